#pragma once
// A stored group as readable text, for the audit trail: the group row and
// every row that references it by a foreign key (specimens, captions), found
// generically through SQLite's foreign-key list, so any module's tables work.
//
// Snapshot text: one line per row, lines joined by "\n":
//     <Table>: <column>=<value>; <column>=<value>; ...
// the group table's rows first, then each referencing table (tables in name
// order, rows in primary-key order). Columns in table order. Values: text as
// stored, numbers with '.' as decimal point; a null is \N; inside a value a
// backslash is written \\, ';' as \; and line breaks as \n and \r.
//     CemCompGroup: ZuHao=G1; LingQi=28; GroNum=6; ...
//     CemCompGROne: ZuHao=G1; LingQi=28; PingZhong=P·O; OnekN=64000.00; ShunXu=1; ...
#include "store/AuditTrail.h"

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <vector>

namespace kv {

class TBaseTest;
namespace db {
class TDbConnection;
}

// A table whose foreign key references the group table.
struct TChildTable {
    QString Table;             // as stored
    QStringList Columns;       // its key columns, in key order
    QStringList GroupColumns;  // the group-table columns they reference
    QStringList Order;         // its primary-key columns (empty: row order)
};

// Every table with a foreign key to groupTable (compared without regard to
// case), in name order. Throws db::EDatabaseError.
std::vector<TChildTable> ReferencingTables(db::TDbConnection &conn, const QString &groupTable);

// Reads the rows of one referencing table group by group, through one
// prepared statement (the key values are bound, never written into the
// text). Throws db::EDatabaseError.
class TChildReader {
public:
    TChildReader(db::TDbConnection &conn, const TChildTable &child);
    const TChildTable &Child() const { return m_child; }
    const QStringList &ColumnNames() const { return m_columns; }
    // The rows whose key columns hold keyValues (in the order of
    // Child().Columns), in primary-key order.
    std::vector<QVector<QVariant>> Rows(const QVariantList &keyValues);

private:
    TChildTable m_child;
    QStringList m_columns;
    QSqlQuery m_query;
};

// The module's delete statement "delete [*] from T [where W]" (any case,
// "T.*" too, a trailing ';' allowed): T without brackets or quotes and W
// without "where". False for any other statement.
bool ParseDeleteStatement(const QString &sql, QString *table, QString *where);

// The group table of a test kind, read from its delete statement; empty
// when the module builds none.
QString GroupTableOf(TBaseTest &test);

// The rows of groupTable matching where (Jet text without "where"; empty:
// every row) with all their referencing rows, in the format above. ok is
// false on a database error (the text is then empty). No rows give "".
QString GroupSnapshot(db::TDbConnection &conn, const QString &groupTable, const QString &where,
                      bool *ok = nullptr);
// The same for the rows a delete statement is about to delete; ok false
// also when the statement cannot be parsed.
QString StatementSnapshot(db::TDbConnection &conn, const QString &deleteStatement, bool *ok = nullptr);

// Deletes what a delete statement names with its audit row, in one
// transaction: entry (user, test kind, group number, time) is stored as a
// deletion with the snapshot as Before. False, and neither the rows deleted
// nor the audit row written, on any failure or when nothing matches.
bool DeleteWithAudit(db::TDbConnection &conn, const QString &deleteStatement, TAuditEntry entry);

} // namespace kv
