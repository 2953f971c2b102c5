#pragma once
// TMyGlbParam: the global settings of the program, one instance owned by the
// main window: the folder of the curve files, the settings block loaded at
// start and saved at exit, and the working values of force calibration and
// verification. The state of a run is the run's own (TRunState).
#include "store/Settings.h"

#include <QString>

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

    // Tells the force-code window that the main window opened it.
    bool SetPortFromMain = false;
};

} // namespace kv
