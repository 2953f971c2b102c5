#pragma once
// TZovData: the data module. Owns the one database connection and offers
// the numbered settings store (SavNum / SavString), the global settings
// block and the user look-ups of the login. Every operation runs on a query
// of its own: no result set is shared between callers.
#include "db/DbEngine.h"
#include "store/Settings.h"

#include <QString>
#include <memory>

namespace kv {

class TZovData {
public:
    // The installed database file beside the executable.
    static QString DefaultDatabaseFile();
    static constexpr const char *DatabaseFileName = "MeasDB.sqlite";

    // Opens the database (DataModuleCreate). Throws db::EDatabaseError when
    // it cannot be opened, its fault telling why (TDbFault::ForeignSchema
    // for a file without the program's tables); start-up then ends the
    // program.
    explicit TZovData(const QString &databaseFile = DefaultDatabaseFile());
    // The same on a PostgreSQL server's database (TDbFault::Unreachable when
    // it cannot be reached or refuses the login).
    explicit TZovData(const db::TDbServer &server);
    // Empty when the core tables are there in their shape; else which table
    // is missing or differs.
    static QString SchemaMismatch(const db::TDbConnection &connection);
    ~TZovData();

    db::TDbConnection conZovDb;

    // Runs one statement; a text that starts with "select" (or one blank and
    // "select") is opened as a result set, anything else runs as a command.
    // False on any database error, silently.
    bool ExecSql(const QString &sql);
    // The open result of a select, current row the first; null on any
    // database error.
    std::unique_ptr<db::TDbQuery> Open(const QString &sql);
    bool FunTestBdeRealGood();

    // True when exactly one row holds the number.
    bool NumExists(int numNo);
    bool StrExists(int strNo);
    bool ReadNumByte(int numNo, quint8 &value);
    bool ReadNumSmallInt(int numNo, qint16 &value);
    bool ReadNumCardinal(int numNo, quint32 &value);
    bool ReadNumSingle(int numNo, float &value);
    // Whole value of SavNum (no truncation); false when not exactly one row.
    bool ReadNumInt(int numNo, qint32 &value);
    // Text of SavString; false when not exactly one row.
    bool ReadStr(int strNo, QString &value);
    bool WriteNumByte(int numNo, quint8 value);
    bool WriteNumInt(int numNo, qint32 value);
    bool WriteNumCardinal(int numNo, quint32 value);
    bool WriteNumSingle(int numNo, float value);
    bool WriteStr(int strNo, const QString &value);

    // Returns 100 + the number of rows that were missing (defaults used).
    quint8 LoadGlobalParams(TGlobalSettings &settings, bool kvd520Family);
    // Writes NumNo 100..105 and then 1001, 1002 (each group stops at its
    // first failure), then 1000; true when every write succeeded. Copying the
    // driver's live run state into its saved twins is the caller's part.
    bool SaveGlobalParams(const TGlobalSettings &settings);
    bool SaveModeBytes(const TGlobalSettings &settings);    // NumNo 100..105
    bool SaveLoadSettings(const TGlobalSettings &settings); // NumNo 1001, 1002
    bool SaveStopParams(const TGlobalSettings &) { return true; }

    // Password code of the user; 0 unless exactly one user has that name.
    qint32 GetUserSecret(const QString &name);
    // Creates the user with the code of password when no user has that
    // name; the name must hold 1..MaxUserNameLength characters.
    bool AddUserIfMissing(const QString &name, const QString &password);
    static constexpr int MaxUserNameLength = 10;

private:
    // The single row of a number; null unless exactly one row holds it.
    std::unique_ptr<db::TDbQuery> NumRow(int numNo);
    std::unique_ptr<db::TDbQuery> StrRow(int strNo);
    bool ReadNumInteger(int numNo, qint64 &value);
    bool WriteNumText(int numNo, const QString &valueText);
};

// The one data module of the running program (set by start-up).
TZovData *ZovData();
void SetZovData(TZovData *data);

} // namespace kv
