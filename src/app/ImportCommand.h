#pragma once
// Kalvio6 --import-sqlite FILE: copies a SQLite measurement database (results,
// settings, users, parameter sets, captions) into the empty server database
// named in Database.ini beside the program's database, and prints the rows
// copied per table. No window opens.
#include <QString>

namespace kv {

// Returns the process's exit code: 0 when everything was copied.
int ImportSqliteCommand(const QString &sqliteFile, const QString &databaseFile);

} // namespace kv
