#pragma once
// Which database the program uses: the SQLite file (the default) or a
// PostgreSQL server, kept in Database.ini beside the database file. The
// password is never written there: the server's password file (~/.pgpass)
// gives it, or the operator types it at start.
#include "db/DbEngine.h"

#include <QString>

namespace kv {

struct TDbChoice {
    bool Server = false;     // false: the SQLite file
    db::TDbServer Params;    // the server (Password always empty here)

    static constexpr const char *FileName = "Database.ini";
    // The INI file in the folder of the database file.
    static QString IniFileFor(const QString &databaseFile);
    // The stored choice; SQLite when the file is missing or names no server.
    static TDbChoice Load(const QString &iniFile);
    // Writes the choice (never a password); false when it cannot be written.
    bool Save(const QString &iniFile) const;
};

} // namespace kv
