#include "ui/dialogs/UserDialogLook.h"
#include "ui/WholeCharacters.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace kv {


QLineEdit *MakePasswordBox(QWidget *parent, const QString &name, int maxLength)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setEchoMode(QLineEdit::Password);
    // 42 is "*": the same echo on every style.
    e->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    KeepWholeCharacters(e);
    return e;
}

QBoxLayout *ButtonRow(QPushButton *ok, QPushButton *cancel)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton *b : {ok, cancel})
        b->setMinimumSize(90, 30);
    row->addWidget(ok);
    row->addSpacing(20);
    row->addWidget(cancel);
    row->addStretch(1);
    return row;
}

} // namespace kv
