#pragma once
// The groups a search found, with their specimens, as a CSV file (see
// store/CsvFile.h: UTF-8 with byte-order mark, quoted fields, '.' decimals).
// One line per specimen: the search's columns of the group first, then the
// columns of the specimen row; a group without specimens gives one line with
// the specimen columns empty. The header line holds the column titles.
#include "records/AuditSnapshot.h"
#include "store/CsvFile.h"

#include <QCoreApplication>
#include <QString>
#include <vector>

namespace kv {

namespace db {
class TDbConnection;
class TDbQuery;
}

// The specimen tables of a group table: those referencing it by a foreign
// key on its ZuHao and LingQi that number their rows by ShunXu (the caption
// table numbers its rows by SunXu and is left out). Throws db::EDatabaseError.
std::vector<TChildTable> SpecimenTables(db::TDbConnection &conn, const QString &groupTable);

class TRecordsExport {
    Q_DECLARE_TR_FUNCTIONS(kv::TRecordsExport)
public:
    // found: the open result of the module's search (BuildSearchSQL), with
    // the columns titled "组号" and "龄期" (or their translations); every row
    // of it is exported, its current row is left as it is. groupTable: the
    // module's group table (GroupTableOf). progress is told after each group
    // (done, total); false from it cancels. False, with the target file
    // untouched and ErrorText set, on failure or cancel.
    static bool Groups(db::TDbConnection &conn, const db::TDbQuery &found, const QString &groupTable,
                       const QString &path, const TCsvProgress &progress = {}, QString *error = nullptr);

    static QString CancelledText();
};

} // namespace kv
