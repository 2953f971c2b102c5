#pragma once
// The audit trail of the records window: who corrected or deleted which
// stored group, when, and the group as it was before and after. Its own
// table AuditTrail, without any key to the module tables, so deleting a
// group never deletes its audit rows.
#include "store/CsvFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <vector>

namespace kv {

namespace db {
class TDbConnection;
}

struct TAuditEntry {
    qint64 Id = 0;     // given by the database on Record
    QString UserName;
    QDateTime At;      // stored as "yyyy-MM-dd hh:mm:ss"; invalid = now
    QString TestKind;  // display name of the test
    QString GroupNo;
    QString Action;    // TAuditTrail::Correction() or Deletion()
    QString Before;    // the group before (a snapshot text)
    QString After;     // the group after; empty for a deletion
};

class TAuditTrail {
    Q_DECLARE_TR_FUNCTIONS(kv::TAuditTrail)
public:
    explicit TAuditTrail(db::TDbConnection &conn) : m_conn(conn) {}

    static QString TableName() { return QStringLiteral("AuditTrail"); }
    // The stored action words.
    static QString Correction() { return QStringLiteral("修正"); }
    static QString Deletion() { return QStringLiteral("删除"); }

    // Creates the table when the database has none; an existing table is
    // left exactly as it is. False on a database error.
    bool Ensure();
    // Adds one row (Ensure first); false and nothing stored on any error.
    bool Record(const TAuditEntry &entry);
    // The rows of one group of a test kind, newest first; empty on error.
    std::vector<TAuditEntry> ForGroup(const QString &testKind, const QString &groupNo);
    // Every row, newest first; empty on error.
    std::vector<TAuditEntry> All();

    // The rows as a CSV file with a header line; false (file untouched) on
    // failure or when progress cancels.
    static bool ExportCsv(const std::vector<TAuditEntry> &entries, const QString &path,
                          const TCsvProgress &progress = {});
    static QStringList CsvTitles();

private:
    std::vector<TAuditEntry> Read(const QString &where);

    db::TDbConnection &m_conn;
    bool m_ready = false;
};

} // namespace kv
