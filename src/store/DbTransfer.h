#pragma once
// Moving a lab's database onto a server: every table of a SQLite database
// (its columns, keys, indexes, cascading foreign keys and rows) copied into a
// server database that has none of them yet.
#include "db/DbEngine.h"

#include <QString>
#include <QVector>

namespace kv {

struct TTableCount {
    QString Table;
    int Rows = 0;
};

// Copies the tables of from (a SQLite database) into to, table by table in
// name order. Throws db::EDatabaseError, naming the table, when to already
// holds one of them or a row cannot be stored; what was copied stays.
QVector<TTableCount> CopyDatabase(db::TDbConnection &from, db::TDbConnection &to);

// A server database without the program's tables gets them, with their
// initial rows, from the installed database file templateFile; true when it
// was filled. Throws db::EDatabaseError.
bool FillEmptyServerDatabase(db::TDbConnection &server, const QString &templateFile);

} // namespace kv
