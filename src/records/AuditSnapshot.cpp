#include "records/AuditSnapshot.h"

#include "records/RecordsBrowser.h"
#include "store/AuditTrail.h"
#include "store/CsvFile.h"
#include "db/DbEngine.h"
#include "SqlText.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>

namespace kv {

namespace {

// An identifier in double quotes (these statements bypass the Jet dialect,
// where double quotes would mean text); both engines read it so.
QString Ident(const QString &name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

[[noreturn]] void Fail(const QSqlQuery &q, const QString &sql)
{
    throw db::EDatabaseError(q.lastError().text() + QLatin1Char('\n') + sql);
}

QString SnapshotValue(const QVariant &v)
{
    if (v.isNull())
        return QStringLiteral("\\N");
    QString t = ValueText(v);
    t.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    t.replace(QLatin1Char(';'), QStringLiteral("\\;"));
    t.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    t.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return t;
}

QString SnapshotLine(const QString &table, const QStringList &columns, const QVector<QVariant> &row)
{
    QStringList parts;
    for (int i = 0; i < columns.size() && i < row.size(); ++i)
        parts << columns[i] + QLatin1Char('=') + SnapshotValue(row[i]);
    return table + QStringLiteral(": ") + parts.join(QStringLiteral("; "));
}

} // namespace

std::vector<TChildTable> ReferencingTables(db::TDbConnection &conn, const QString &groupTable)
{
    std::vector<TChildTable> out;
    QStringList groupKey;
    for (const db::TDbConnection::TForeignKey &k : conn.foreignKeysTo(groupTable)) {
        TChildTable c{k.Table, k.Columns, k.RefColumns, {}};
        // "REFERENCES T" without columns means the group table's primary key.
        if (c.GroupColumns.contains(QString())) {
            if (groupKey.isEmpty())
                groupKey = conn.primaryKeyColumns(groupTable);
            c.GroupColumns = groupKey.mid(0, c.Columns.size());
        }
        c.Order = conn.primaryKeyColumns(c.Table);
        out.push_back(c);
    }
    return out;
}

TChildReader::TChildReader(db::TDbConnection &conn, const TChildTable &child)
    : m_child(child), m_query(conn.database())
{
    m_columns = conn.columnNames(child.Table);
    QStringList where, order;
    for (const QString &c : child.Columns)
        where << Ident(c) + QStringLiteral(" = ?");
    for (const QString &c : child.Order)
        order << Ident(c);
    const QString sql = QStringLiteral("SELECT * FROM ") + Ident(child.Table) + QStringLiteral(" WHERE ") +
                        where.join(QStringLiteral(" AND ")) + QStringLiteral(" ORDER BY ") +
                        (order.isEmpty() ? (conn.backend() == db::TDbBackend::PostgreSQL ? QStringLiteral("ctid")
                                                                                     : QStringLiteral("rowid"))
                                        : order.join(QStringLiteral(", ")));
    m_query.setForwardOnly(true);
    if (!m_query.prepare(sql))
        Fail(m_query, sql);
}

std::vector<QVector<QVariant>> TChildReader::Rows(const QVariantList &keyValues)
{
    for (int i = 0; i < keyValues.size(); ++i)
        m_query.bindValue(i, keyValues[i]);
    if (!m_query.exec())
        Fail(m_query, m_query.lastQuery());
    std::vector<QVector<QVariant>> rows;
    const int n = m_query.record().count();
    while (m_query.next()) {
        QVector<QVariant> r(n);
        for (int i = 0; i < n; ++i)
            r[i] = m_query.value(i);
        rows.push_back(r);
    }
    m_query.finish();
    return rows;
}

bool ParseDeleteStatement(const QString &sql, QString *table, QString *where)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*delete\\s+(?:(?:\\*|[\\w\\[\\]]+\\.\\*)\\s+)?from\\s+"
                       "(\\[[^\\]]+\\]|\"[^\"]+\"|`[^`]+`|\\w+)"
                       "(?:\\s+where\\s+(.*?)|\\s*)\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption |
            QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch m = re.match(sql);
    if (!m.hasMatch())
        return false;
    QString t = m.captured(1);
    if (t.startsWith(QLatin1Char('[')) || t.startsWith(QLatin1Char('"')) || t.startsWith(QLatin1Char('`')))
        t = t.mid(1, t.size() - 2);
    if (table)
        *table = t;
    if (where)
        *where = m.captured(2).trimmed();
    return true;
}

QString GroupTableOf(TBaseTest &test)
{
    QString table;
    return ParseDeleteStatement(RecordStatement(test, QString(), 4), &table, nullptr) ? table : QString();
}

QString GroupSnapshot(db::TDbConnection &conn, const QString &groupTable, const QString &where, bool *ok)
{
    if (ok)
        *ok = false;
    QStringList lines;
    try {
        db::TDbQuery groups(conn);
        groups.setSql(QStringLiteral("select * from [") + groupTable + QLatin1Char(']') +
                      (where.isEmpty() ? QString() : QStringLiteral(" where ") + where));
        groups.open();
        const QStringList groupColumns = groups.fieldNames();
        std::vector<TChildReader> children;
        for (const TChildTable &c : ReferencingTables(conn, groupTable))
            children.emplace_back(conn, c);
        for (int r = 0; r < groups.recordCount(); ++r) {
            QVector<QVariant> row(groupColumns.size());
            for (int i = 0; i < row.size(); ++i)
                row[i] = groups.valueAt(r, i);
            lines << SnapshotLine(groupTable, groupColumns, row);
        }
        for (TChildReader &child : children)
            for (int r = 0; r < groups.recordCount(); ++r) {
                QVariantList key;
                for (const QString &c : child.Child().GroupColumns) {
                    const int i = groups.fieldIndex(c);
                    key << (i >= 0 ? groups.valueAt(r, i) : QVariant());
                }
                for (const QVector<QVariant> &row : child.Rows(key))
                    lines << SnapshotLine(child.Child().Table, child.ColumnNames(), row);
            }
    } catch (const db::EDatabaseError &) {
        return {};
    }
    if (ok)
        *ok = true;
    return lines.join(QLatin1Char('\n'));
}

QString StatementSnapshot(db::TDbConnection &conn, const QString &deleteStatement, bool *ok)
{
    QString table, where;
    if (!ParseDeleteStatement(deleteStatement, &table, &where)) {
        if (ok)
            *ok = false;
        return {};
    }
    return GroupSnapshot(conn, table, where, ok);
}

bool DeleteWithAudit(db::TDbConnection &conn, const QString &deleteStatement, TAuditEntry entry)
{
    TAuditTrail audit(conn);
    QSqlDatabase db = conn.database();
    if (!audit.Ensure() || !db.transaction())
        return false;
    bool ok = false;
    entry.Before = StatementSnapshot(conn, deleteStatement, &ok);
    entry.Action = TAuditTrail::Deletion();
    entry.After.clear();
    try {
        if (ok && !entry.Before.isEmpty() && audit.Record(entry) && conn.execute(deleteStatement) > 0 && db.commit())
            return true;
    } catch (const db::EDatabaseError &) {
    }
    db.rollback();
    return false;
}

} // namespace kv
