#pragma once
// Kalvio6 --import-sqlite FILE: copies a SQLite measurement database (results,
// settings, users, parameter sets, captions) into the empty server database
// named in Database.ini beside the database the program works with, and prints the rows
// copied per table. No window opens.
#include <QString>

namespace kv {

// Returns the process's exit code: 0 when everything was copied.
int ImportSqliteCommand(const QString &sqliteFile, const QString &databaseFile);

// The database file the program started as programFile works with (in its
// own folder, or in the data folder when that one may not be written), beside
// which the import reads Database.ini.
QString ImportDatabaseFile(const QString &programFile);

} // namespace kv
