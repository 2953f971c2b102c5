#include "store/AuditTrail.h"

#include "db/DbEngine.h"
#include "SqlText.h"

namespace kv {

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

// The same table as in db/schema.sql (the Jet types become those there).
QString CreateStatement()
{
    return QStringLiteral("Create Table AuditTrail (Id counter, UserName text, [At] text, TestKind text, "
                          "GroupNo text, [Action] text, [Before] text, [After] text)");
}

} // namespace

bool TAuditTrail::Ensure()
{
    if (m_ready)
        return true;
    try {
        if (!m_conn.tableExists(TableName()))
            m_conn.execute(CreateStatement());
        m_ready = true;
    } catch (const db::EDatabaseError &) {
        return false;
    }
    return true;
}

bool TAuditTrail::Record(const TAuditEntry &e)
{
    if (!Ensure())
        return false;
    const QDateTime at = e.At.isValid() ? e.At : QDateTime::currentDateTime();
    const QStringList values = {QuotedStr(e.UserName), QuotedStr(at.toString(kTimeFormat)), QuotedStr(e.TestKind),
                                QuotedStr(e.GroupNo),  QuotedStr(e.Action),                 QuotedStr(e.Before),
                                QuotedStr(e.After)};
    try {
        m_conn.execute(QStringLiteral("insert into AuditTrail (UserName, [At], TestKind, GroupNo, [Action], [Before], "
                                      "[After]) values (") +
                       values.join(QStringLiteral(", ")) + QLatin1Char(')'));
    } catch (const db::EDatabaseError &) {
        return false;
    }
    return true;
}

std::vector<TAuditEntry> TAuditTrail::ForGroup(const QString &testKind, const QString &groupNo)
{
    return Read(QStringLiteral(" where TestKind = ") + QuotedStr(testKind) + QStringLiteral(" and GroupNo = ") +
                QuotedStr(groupNo));
}

std::vector<TAuditEntry> TAuditTrail::All() { return Read(QString()); }

std::vector<TAuditEntry> TAuditTrail::Read(const QString &where)
{
    std::vector<TAuditEntry> out;
    if (!Ensure())
        return out;
    try {
        db::TDbQuery q(m_conn);
        q.setSql(QStringLiteral("select Id, UserName, [At], TestKind, GroupNo, [Action], [Before], [After] from "
                                "AuditTrail") +
                 where + QStringLiteral(" order by [At] desc, Id desc"));
        q.open();
        out.reserve(q.recordCount());
        for (int r = 0; r < q.recordCount(); ++r) {
            TAuditEntry e;
            e.Id = q.valueAt(r, 0).toLongLong();
            e.UserName = q.valueAt(r, 1).toString();
            e.At = QDateTime::fromString(q.valueAt(r, 2).toString(), kTimeFormat);
            e.TestKind = q.valueAt(r, 3).toString();
            e.GroupNo = q.valueAt(r, 4).toString();
            e.Action = q.valueAt(r, 5).toString();
            e.Before = q.valueAt(r, 6).toString();
            e.After = q.valueAt(r, 7).toString();
            out.push_back(e);
        }
    } catch (const db::EDatabaseError &) {
        out.clear();
    }
    return out;
}

QStringList TAuditTrail::CsvTitles()
{
    return {tr("编号"), tr("用户"), tr("时间"), tr("试验项目"), tr("组号"), tr("操作"), tr("修改前"), tr("修改后")};
}

bool TAuditTrail::ExportCsv(const std::vector<TAuditEntry> &entries, const QString &path,
                            const TCsvProgress &progress)
{
    TCsvFile csv(path);
    if (!csv.Open())
        return false;
    csv.AddLine(CsvTitles());
    const int total = int(entries.size());
    for (int i = 0; i < total; ++i) {
        const TAuditEntry &e = entries[size_t(i)];
        csv.AddLine({SqlNum(e.Id), e.UserName, e.At.toString(kTimeFormat), e.TestKind, e.GroupNo, e.Action,
                     e.Before, e.After});
        if (progress && !progress(i + 1, total)) {
            csv.Cancel();
            return false;
        }
    }
    return csv.Commit();
}

} // namespace kv
