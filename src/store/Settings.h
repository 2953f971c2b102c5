#pragma once
// The numbered settings of the measurement database by what they hold: the
// rows of SavNum and SavString, the global settings block loaded at start and
// saved at exit, and typed access to the single settings the program reads
// and writes on the way (language, machine type, last user and test, the
// constant-load dialog).
#include <QString>
#include <QtGlobal>

namespace kv {

class TZovData;

// Rows of SavNum.
enum class TSavNum : int {
    ControlMode = 100,       // 1 automatic control; set to 1 after every load
    BreakFlag = 101,         // cleared by the main window's unload
    GlobalByte = 102,
    RefreshRate = 103,       // display refreshes per second during a run
    SpeedDisplayMode = 104,  // 20 or more: the loading rate refreshes every 255 samples
    GlobalMode = 105,
    GlobalValue = 1000,      // 32 bits, read at start and written back at exit
    AutoFastSlow = 1001,     // verification run: non-zero automatic fast/slow switching
    LoadByte = 1002,
    FastSpeed = 1100,        // verification loading speeds (KVD520 family: 20001, 20002)
    SlowSpeed = 1101,
    StopValue = 1102,        // constant-load programme
    StopForce = 1103,
    StopTime = 1104,
    StopFlag = 1105,
    StopValue2 = 1106,
    FastSpeedFlexural = 20001,
    SlowSpeedFlexural = 20002,
    SlowAdvance = 20003,     // slow-speed advance of the verification run (KVD520 family: 20004)
    SlowAdvanceFlexural = 20004,
    Language = 20005,        // 1 English, 0 Chinese
    HoldForceFlexural = 20006, // constant-load dialog on the KVD520 family: force (display units), time (s)
    HoldTimeFlexural = 20007,
    HoldForce = 20008,       // the same on every other model
    HoldTime = 20009,
};

// Rows of SavString.
enum class TSavString : int {
    LastUser = 100,          // the user who logged in last
    TestIndex = 101,         // test selected last, outside the KVD520 family
    TestIndexFlexural = 102, // the same on the KVD520 family
    MachineType = 103,       // 0..5 as text
};

// The settings block of SavNum 100..105, 1000..1002, 1100..1106 (or 20001,
// 20002 on the flexure side) as loaded at start; defaults where a row is
// missing.
struct TGlobalSettings {
    quint8 ControlMode = 1;
    quint8 BreakFlag = 0;
    quint8 GlobalByte = 0;
    quint8 RefreshRate = 1;
    quint8 SpeedDisplayMode = 1;
    quint8 GlobalMode = 2;
    quint32 GlobalValue = 1;
    quint8 AutoFastSlow = 0;
    quint8 LoadByte = 1;
    float FastSpeed = 2.4f;
    float SlowSpeed = 0.3f;
    float StopValue = 3.0f;
    float StopForce = 100.0f;
    qint16 StopTime = 60;
    quint8 StopFlag = 0;
    qint16 StopValue2 = 60;
};

// Force and time of the constant-load dialog.
struct THoldSettings {
    qint32 Force = 100; // display units
    qint32 Time = 100;  // s
};

// Typed access to single settings; every operation reports a database
// failure by its result, never by a message.
class TSettingsStore {
public:
    explicit TSettingsStore(TZovData &data) : m_data(data) {}

    // SavNum 20005: 1 means English; no row or an unreadable one is Chinese.
    bool English() const;
    bool SetEnglish(bool english);

    // SavString 103; an empty, unreadable or negative text is type 0 (the
    // model table decides which types exist).
    int MachineType() const;
    bool SetMachineType(int type);

    // SavString 100.
    QString LastUser() const;
    bool SetLastUser(const QString &name);

    // SavString 101 (102 on the flexure side): the index of the test
    // selected last; false when no single row holds it.
    bool TestIndex(bool flexural, int &index) const;
    bool SetTestIndex(bool flexural, int index);

    // SavNum 20006 / 20007 on the flexure side, else 20008 / 20009; a
    // missing row reads as 100.
    THoldSettings Hold(bool flexural) const;
    bool SetHold(bool flexural, const THoldSettings &hold);

private:
    TZovData &m_data;
};

} // namespace kv
