#pragma once
// TMyGlbParam: the global settings loaded at start and the state of the
// current run, one instance owned by the main window. FormatValue: the text
// of every numeric display of the main window.
#include "store/DataModule.h"
#include "Rounding.h"

#include <QString>
#include <array>

namespace kv {

// The last 50 samples of a run, entry 1 the newest (the run sequence indexes
// its windows from 1). An index beyond the oldest entry reads the oldest.
class THistory {
public:
    static constexpr int Size = 50;

    float operator[](int k) const { return m_v[Clamp(k) - 1]; }
    float &operator[](int k) { return m_v[Clamp(k) - 1]; }
    // Moves every entry one place toward older (entry 50 drops out) and puts
    // value into entry 1.
    void Push(float value);
    void Clear() { m_v.fill(0.0f); }

private:
    static int Clamp(int k) { return k < 1 ? 1 : (k > Size ? Size : k); }
    std::array<float, Size> m_v{};
};

class TMyGlbParam {
public:
    explicit TMyGlbParam(const QString &programDir = QString());

    // Curve files of the groups: program folder + "/OutFile".
    QString OutFileDir;
    // 1 normal run, 2 demonstration, 7 constant load.
    quint8 RunMode = 1;

    // Run state, cleared at every run start.
    float PeakForce = 0.0f;
    int WaitTicks = 0;
    int ControlTicks = 0;
    THistory ForceHistory;
    THistory ValveHistory;
    quint8 DisplayEvery = 0;
    quint8 SpeedEvery = 0;
    int ValveStart = 0;
    float DisplayRate = 0.0f;
    int AutoRunSeconds = 0;

    // Constant-load run.
    float HoldForce = 0.0f;   // N
    qint16 HoldTime = 0;      // s
    float HoldRate = 0.0f;    // N/s
    bool HoldReached = false;
    int HoldStartTick = 0;

    // The settings block of SavNum 100..105, 1000..1002, 1100..1106 (or
    // 20001, 20002 on the flexure side), loaded at start, saved at exit.
    TGlobalSettings Settings;
    quint8 &RefreshRate() { return Settings.RefreshRate; }
    quint8 &SpeedDisplayMode() { return Settings.SpeedDisplayMode; }

    // Force calibration and verification.
    enum class TCheckMode { Calibration, Verification };
    TCheckMode CheckMode = TCheckMode::Calibration;
    bool SlowRequested = false;
    bool FastRequested = false;
    float FastLoadSpeed = 2400.0f;
    float SlowLoadSpeed = 300.0f;

    // Tells the force-code window that the main window opened it.
    bool SetPortFromMain = false;

    // Clears the run state (not the settings) before a run.
    void ResetRunState();
};

} // namespace kv
