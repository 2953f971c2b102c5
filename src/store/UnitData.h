#pragma once
// TZovData: the data module. Owns the one database connection, the shared
// query and the numbered settings store (SavNum / SavString), the global
// settings block and the user look-ups of the login.
#include "db/DbEngine.h"
#include "ui/DbGridModel.h"

#include <QString>
#include <memory>

namespace kv {

// The settings block loaded at start and saved at exit (SavNum 100..105,
// 1000..1002, the verification speeds and the constant-load programme).
struct TGlobalSettings {
    quint8 ModeBytes[6] = {1, 0, 0, 1, 1, 2}; // SavNum 100..105
    quint32 Value1000 = 1;                     // SavNum 1000
    quint8 AutoFastSlow = 0;                   // SavNum 1001
    quint8 Byte1002 = 1;                       // SavNum 1002
    float FastSpeed = 2.4f;                    // SavNum 1100 / 20001 (KVD520 family)
    float SlowSpeed = 0.3f;                    // SavNum 1101 / 20002
    float StopValue = 3.0f;                    // SavNum 1102
    float StopForce = 100.0f;                  // SavNum 1103
    qint16 StopTime = 60;                      // SavNum 1104
    quint8 StopFlag = 0;                       // SavNum 1105
    qint16 StopValue2 = 60;                    // SavNum 1106

    quint8 RefreshRate() const { return ModeBytes[3]; }      // SavNum 103
    quint8 SpeedDisplayMode() const { return ModeBytes[4]; } // SavNum 104
};

class TZovData {
public:
    // The installed database file beside the executable.
    static QString DefaultDatabaseFile();
    static constexpr const char *DatabaseFileName = "MeasDB.sqlite";

    // Opens the database (DataModuleCreate). Throws db::EDatabaseError when
    // it cannot be opened; start-up then ends the program.
    explicit TZovData(const QString &databaseFile = DefaultDatabaseFile());
    ~TZovData();

    db::TDbConnection conZovDb;
    db::TDbQuery qryZov;
    db::TDbGridModel sd_Zov;

    // Runs one statement on qryZov; a select leaves its rows open there.
    // False on any database error, silently.
    bool ExecSql(const QString &sql);
    bool FunTestBdeRealGood();

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
    bool ReadNumInteger(int numNo, qint64 &value);
    bool WriteNumText(int numNo, const QString &valueText);
};

// The one data module of the running program (set by start-up).
TZovData *ZovData();
void SetZovData(TZovData *data);

} // namespace kv
