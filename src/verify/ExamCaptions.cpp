#include "verify/ExamCaptions.h"

#include "store/DataModule.h"
#include "SqlText.h"

namespace kv {

QString ExamCaptionsSql()
{
    return QStringLiteral("select * from DefaultCaptionInfo where expobj = ") +
           QuotedStr(QString::fromUtf8(ExamCaptionObject)) + QStringLiteral(" order by sunxu");
}

std::vector<TExamCaption> LoadExamCaptions(TZovData &data)
{
    std::vector<TExamCaption> lines;
    const auto q = data.Open(ExamCaptionsSql());
    if (!q)
        return lines;
    const int cols[4] = {q->fieldIndex(QStringLiteral("Name1")), q->fieldIndex(QStringLiteral("Data1")),
                         q->fieldIndex(QStringLiteral("Name2")), q->fieldIndex(QStringLiteral("Data2"))};
    for (int r = 0; r < q->recordCount(); ++r) {
        const auto text = [&](int i) { return q->valueAt(r, cols[i]).toString().trimmed(); };
        lines.push_back({text(0), text(1), text(2), text(3)});
    }
    return lines;
}

} // namespace kv
