#include "verify/ExamCaptions.h"

#include "store/DataModule.h"
#include "SqlText.h"

#include <QSqlDatabase>

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

bool SaveExamCaptions(TZovData &data, const std::vector<TExamCaption> &lines)
{
    QSqlDatabase db = data.conZovDb.database();
    const bool own = db.isValid() && db.transaction();
    const QString object = QuotedStr(QString::fromUtf8(ExamCaptionObject));
    bool ok = data.ExecSql(QStringLiteral("delete from DefaultCaptionInfo where expobj = ") + object);
    for (size_t i = 0; ok && i < lines.size(); ++i) {
        const TExamCaption &l = lines[i];
        ok = data.ExecSql(QStringLiteral("insert into DefaultCaptionInfo(expobj,sunxu, Name1, Data1, Name2, Data2) "
                                         "values(") +
                          object + QStringLiteral(",") + QString::number(i + 1) + QStringLiteral(",") +
                          QuotedStr(l.Name1.trimmed()) + QStringLiteral(",") + QuotedStr(l.Data1.trimmed()) +
                          QStringLiteral(",") + QuotedStr(l.Name2.trimmed()) + QStringLiteral(",") +
                          QuotedStr(l.Data2.trimmed()) + QStringLiteral(")"));
    }
    if (own) {
        if (ok)
            ok = db.commit();
        else
            db.rollback();
    }
    return ok;
}

} // namespace kv
