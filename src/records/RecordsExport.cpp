#include "records/RecordsExport.h"

#include "records/AuditSnapshot.h"
#include "db/DbEngine.h"

namespace kv {

namespace {

// The column of found titled title, as written or as translated by the
// modules (context "TModuleText"); -1 when there is none.
int TitledColumn(const db::TDbQuery &found, const char *title)
{
    const int i = found.fieldIndex(QString::fromUtf8(title));
    return i >= 0 ? i : found.fieldIndex(QCoreApplication::translate("TModuleText", title));
}

} // namespace

std::vector<TChildTable> SpecimenTables(db::TDbConnection &conn, const QString &groupTable)
{
    std::vector<TChildTable> out;
    for (const TChildTable &c : ReferencingTables(conn, groupTable)) {
        const bool groupKey = c.GroupColumns.size() == 2 &&
                              c.GroupColumns.contains(QStringLiteral("ZuHao"), Qt::CaseInsensitive) &&
                              c.GroupColumns.contains(QStringLiteral("LingQi"), Qt::CaseInsensitive);
        if (groupKey && c.Order.contains(QStringLiteral("ShunXu"), Qt::CaseInsensitive))
            out.push_back(c);
    }
    return out;
}

QString TRecordsExport::CancelledText() { return tr("导出已取消"); }

bool TRecordsExport::Groups(db::TDbConnection &conn, const db::TDbQuery &found, const QString &groupTable,
                            const QString &path, const TCsvProgress &progress, QString *error)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    const int groupCol = TitledColumn(found, "组号");
    const int ageCol = TitledColumn(found, "龄期");
    if (groupCol < 0 || ageCol < 0)
        return fail(tr("查询结果中没有组号或龄期"));
    TCsvFile csv(path);
    try {
        // Per specimen table: its reader and the columns shown (its key
        // columns repeat the group's number and age and are left out).
        struct TBlock {
            TChildReader Reader;
            QVector<int> Shown;
        };
        std::vector<TBlock> blocks;
        QStringList header = found.fieldNames();
        int specimenWidth = 0;
        for (const TChildTable &c : SpecimenTables(conn, groupTable)) {
            TBlock b{TChildReader(conn, c), {}};
            for (int i = 0; i < b.Reader.ColumnNames().size(); ++i)
                if (!c.Columns.contains(b.Reader.ColumnNames()[i], Qt::CaseInsensitive)) {
                    b.Shown << i;
                    header << b.Reader.ColumnNames()[i];
                }
            specimenWidth += b.Shown.size();
            blocks.push_back(std::move(b));
        }
        if (!csv.Open())
            return fail(csv.ErrorText());
        csv.AddLine(header);
        const int total = found.recordCount();
        for (int r = 0; r < total; ++r) {
            QStringList group;
            for (int i = 0; i < found.fieldCount(); ++i)
                group << ValueText(found.valueAt(r, i));
            bool any = false;
            int offset = 0;
            for (TBlock &b : blocks) {
                QVariantList key;
                for (const QString &c : b.Reader.Child().GroupColumns)
                    key << found.valueAt(r, c.compare(QStringLiteral("ZuHao"), Qt::CaseInsensitive) == 0 ? groupCol
                                                                                                        : ageCol);
                for (const QVector<QVariant> &row : b.Reader.Rows(key)) {
                    QStringList line = group;
                    for (int k = 0; k < specimenWidth; ++k)
                        line << QString();
                    for (int k = 0; k < b.Shown.size(); ++k)
                        line[group.size() + offset + k] = ValueText(row[b.Shown[k]]);
                    csv.AddLine(line);
                    any = true;
                }
                offset += b.Shown.size();
            }
            if (!any) {
                for (int k = 0; k < specimenWidth; ++k)
                    group << QString();
                csv.AddLine(group);
            }
            if (progress && !progress(r + 1, total)) {
                csv.Cancel();
                return fail(CancelledText());
            }
        }
    } catch (const db::EDatabaseError &e) {
        csv.Cancel();
        return fail(e.message());
    }
    if (!csv.Commit())
        return fail(csv.ErrorText());
    return true;
}

} // namespace kv
