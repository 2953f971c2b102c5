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

// An SQLite identifier in double quotes (these statements bypass the Jet
// dialect, where double quotes would mean text).
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

QSqlQuery Run(db::TDbConnection &conn, const QString &sql, const QVariantList &binds = {})
{
    QSqlQuery q(conn.database());
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        Fail(q, sql);
    for (const QVariant &b : binds)
        q.addBindValue(b);
    if (!q.exec())
        Fail(q, sql);
    return q;
}

QStringList FirstColumn(QSqlQuery q)
{
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QStringList KeyColumns(db::TDbConnection &conn, const QString &table)
{
    return FirstColumn(Run(conn, QStringLiteral("SELECT name FROM pragma_table_info(?) WHERE pk > 0 ORDER BY pk"),
                           {table}));
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
    const QString sql =
        QStringLiteral("SELECT m.name, f.id, f.\"from\", f.\"to\" FROM sqlite_master AS m "
                       "JOIN pragma_foreign_key_list(m.name) AS f "
                       "WHERE m.type = 'table' AND m.name NOT LIKE 'sqlite!_%' ESCAPE '!' "
                       "AND f.\"table\" = ") +
        QuotedStr(groupTable) + QStringLiteral(" COLLATE NOCASE ORDER BY m.name COLLATE NOCASE, f.id, f.seq");
    std::vector<TChildTable> out;
    QSqlQuery q = Run(conn, sql);
    qint64 lastId = -1;
    while (q.next()) {
        const QString name = q.value(0).toString();
        const qint64 id = q.value(1).toLongLong();
        if (out.empty() || out.back().Table != name || id != lastId)
            out.push_back({name, {}, {}, {}});
        lastId = id;
        out.back().Columns << q.value(2).toString();
        out.back().GroupColumns << (q.value(3).isNull() ? QString() : q.value(3).toString());
    }
    QStringList groupKey;
    for (TChildTable &c : out) {
        // "REFERENCES T" without columns means the group table's primary key.
        if (c.GroupColumns.contains(QString())) {
            if (groupKey.isEmpty())
                groupKey = KeyColumns(conn, groupTable);
            c.GroupColumns = groupKey.mid(0, c.Columns.size());
        }
        c.Order = KeyColumns(conn, c.Table);
    }
    return out;
}

TChildReader::TChildReader(db::TDbConnection &conn, const TChildTable &child)
    : m_child(child), m_query(conn.database())
{
    m_columns = FirstColumn(Run(conn, QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid"),
                                {child.Table}));
    QStringList where, order;
    for (const QString &c : child.Columns)
        where << Ident(c) + QStringLiteral(" = ?");
    for (const QString &c : child.Order)
        order << Ident(c);
    const QString sql = QStringLiteral("SELECT * FROM ") + Ident(child.Table) + QStringLiteral(" WHERE ") +
                        where.join(QStringLiteral(" AND ")) + QStringLiteral(" ORDER BY ") +
                        (order.isEmpty() ? QStringLiteral("rowid") : order.join(QStringLiteral(", ")));
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
