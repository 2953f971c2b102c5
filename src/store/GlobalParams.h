#pragma once
// TMyGlbParam: the global settings of the program, one instance owned by the
// main window: the folder of the curve files, the settings block loaded at
// start and saved at exit, and the working values of force calibration and
// verification. The state of a run is the run's own (TRunState).
#include "store/Settings.h"

#include <QString>
#include <array>

namespace kv {

class TMyGlbParam {
public:
    explicit TMyGlbParam(const QString &programDir = QString());

    // Curve files of the groups: program folder + "/OutFile".
    QString OutFileDir;

    // The settings block of SavNum 100..105, 1000..1002, 1100..1106 (or
    // 20001, 20002 on the flexure side), loaded at start, saved at exit.
    TGlobalSettings Settings;

    // Force calibration and verification.
    enum class TCheckMode { Calibration, Verification };
    TCheckMode CheckMode = TCheckMode::Calibration;
    bool SlowRequested = false;
    bool FastRequested = false;
    float FastLoadSpeed = 2400.0f;
    float SlowLoadSpeed = 300.0f;
    // Slow-speed advance of automatic fast/slow switching (N): the run slows
    // down this far before a checkpoint.
    float SlowAdvance = 0.0f;

    // The checkpoint list of the run: C[1..n] in CheckForce[0..n-1] (N,
    // strictly increasing), n = CheckCount (0..12).
    static constexpr int MaxCheckPoints = 12;
    int CheckCount = 0;
    std::array<float, MaxCheckPoints> CheckForce{};
    // What the last run took at checkpoint k (index k-1): the force code,
    // the measured force (N) and its error (%); RecordedCount points taken.
    std::array<int, MaxCheckPoints> CheckCode{};
    std::array<float, MaxCheckPoints> CheckMeasured{};
    std::array<float, MaxCheckPoints> CheckError{};
    int RecordedCount = 0;

    // The calibration store of the force-code window: entry 0 the origin,
    // 1..CalCount the points, CalCount + 1 the point extrapolated from the
    // last two (forces in N, codes); what was last downloaded or taken over.
    static constexpr int CalEntries = 15;
    std::array<int, CalEntries> CalForce{};
    std::array<int, CalEntries> CalCode{};
    int CalCount = 0;

    // Tells the force-code window that the main window opened it.
    bool SetPortFromMain = false;
};

} // namespace kv
