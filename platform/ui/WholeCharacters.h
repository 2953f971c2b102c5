#pragma once
// A line edit with a length limit (maxLength) cuts typed or pasted text at a
// UTF-16 unit, which can keep half of a character outside the basic plane
// (an emoji) and store a text the operator never typed. KeepWholeCharacters
// gives the box a validator that refuses such an input whole instead.
#include <QLineEdit>
#include <QValidator>

namespace kv {

class TWholeCharacters : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        for (int i = 0; i < input.size(); ++i) {
            if (input[i].isHighSurrogate()) {
                if (i + 1 >= input.size() || !input[i + 1].isLowSurrogate())
                    return Invalid;
                ++i;
            } else if (input[i].isLowSurrogate()) {
                return Invalid;
            }
        }
        return Acceptable;
    }
};

inline void KeepWholeCharacters(QLineEdit *edit) { edit->setValidator(new TWholeCharacters(edit)); }

} // namespace kv
