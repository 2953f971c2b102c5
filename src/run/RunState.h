#pragma once
// The state of the run: one object for everything the run sequence and the
// idle monitor keep between steps, with an explicit phase. The sampling
// thread writes the sample fields; the user-interface thread the group and
// idle fields; the phase and the operator's requests cross between them.
#include "BaseTest.h"

#include <array>
#include <atomic>

namespace kv {

// Where a specimen run stands.
enum class TRunPhase {
    Idle,       // no run: the status timer watches the machine
    Waiting,    // loading started, waiting for the start force
    Control,    // the start force is reached: break judgement on every sample
    Hold,       // constant load: the hold force is reached and held
    Unloading,  // the run ended: the platen is being unloaded
    Protected,  // idle protection kept by the operator: no run until restart
};

// What a run does, and how it was started.
enum class TRunMode : quint8 {
    Normal = 1,       // btnRun, continuous countdown: to break, group checks on specimen 1
    Demonstration = 2, // menuRun: to break, manual up/keep/down buttons, no group checks
    ConstantLoad = 7, // btnStable: to a force, held for a time, then unloaded
};

// The last 50 samples of a run, entry 1 the newest (the judgement indexes
// its windows from 1). An index beyond the oldest entry reads the oldest.
class THistory {
public:
    static constexpr int Size = 50;

    float operator[](int k) const { return m_v[size_t(Clamp(k) - 1)]; }
    float &operator[](int k) { return m_v[size_t(Clamp(k) - 1)]; }
    // Moves every entry one place toward older (entry 50 drops out) and puts
    // value into entry 1.
    void Push(float value);
    void Clear() { m_v.fill(0.0f); }

private:
    static int Clamp(int k) { return k < 1 ? 1 : (k > Size ? Size : k); }
    std::array<float, Size> m_v{};
};

struct TRunState {
    std::atomic<TRunPhase> Phase{TRunPhase::Idle};
    TRunMode Mode = TRunMode::Normal;

    // Requests of the operator, read by the sampling step.
    std::atomic<bool> StopRequested{false};  // btnStop, Shift; also cancels a countdown
    std::atomic<bool> ManualBreak{false};    // the space bar declared the break
    std::atomic<bool> AutoRunPending{false}; // continuous testing waits for its next run
    std::atomic<bool> StepBusy{false};       // a sampling step is judging

    // What the window shows (user-interface thread): a run going, the group.
    bool Running = false;          // a run is shown as going (set at its start, cleared by stop and unload)
    bool GroupActive = false;      // a group was started and is not finished
    bool GroupClosed = true;       // EndGroup was called for the group of the last start
    int GroupSizeAtStart = 0;      // the test's FGroupSize at the last start
    bool DemoControls = false;     // the up / keep / down buttons of a demonstration show

    // The specimen run (sampling thread while a run is active).
    float PeakForce = 0.0f;        // N, the largest force of any status frame since the start: the result
    float SamplePeak = 0.0f;       // N, the largest 100 ms sample: what the sample judgements compare with
    int WaitTicks = 0;             // samples while waiting for the start force
    int ControlTicks = 0;          // samples since the start force
    bool Judging = false;          // the samples are judged (the control stage is past its first 0.3 s)
    int StreamRestartsAtStart = 0; // the driver's count of streaming restarts when the run started
    THistory ForceHistory;         // N
    THistory ValveHistory;         // valve positions
    quint8 DisplayEvery = 0;       // displays refresh on every n-th sample
    quint8 SpeedEvery = 0;         // the speed display on every n-th sample
    int ValveStart = 0;            // valve start value sent for this run
    float DisplayRate = 0.0f;      // set rate in display units
    float SamplePeriod = 0.1f;     // s
    double Area = 0.0;             // divisor of the specimen (mm²)
    double LoadCoe = 1000.0;       // display unit of forces during the run
    float AxisForceMax = 0.0f;     // chart axes as the run grows them (display units, s)
    float AxisTimeMax = 0.0f;
    TCurvePoints Curve;            // time since the start force (s), force (N)
    qint64 BelowStartSinceMs = -1; // control stage: clock time the force fell below the start force (-1: above)
    float BelowStartSeconds = 0.0f; // control stage: how long the force has stayed below the start force

    // Constant load.
    float HoldForce = 0.0f;        // N
    qint16 HoldTime = 0;           // s
    float HoldRate = 0.0f;         // N/s
    bool HoldReached = false;
    int HoldStartTick = 0;

    // Between runs (user-interface thread).
    int AutoRunSeconds = 0;        // countdown steps toward the next continuous run
    bool OfflineShown = false;     // the off-line warning was shown for this off-line period
    int SilentTicks = 0;           // status ticks since then (the link's re-initialisation counts them)
    bool ProtectBusy = false;      // a protection dialog is open, or protection stays on for good
    bool ProtectTripped = false;   // idle protection tripped at least once
    bool ProtectSuppressed = false; // no new trip until the force was below the limit
    bool JustUnloaded = false;     // the protection check waits after an unload
    float IdleElapsed = 0.0f;      // ms since the unload
    int TickCount = 0;             // status ticks toward the next countdown step

    // A specimen is being loaded (sampling runs).
    bool Active() const
    {
        const TRunPhase p = Phase.load();
        return p == TRunPhase::Waiting || p == TRunPhase::Control || p == TRunPhase::Hold ||
               p == TRunPhase::Unloading;
    }
    bool Protected() const { return Phase.load() == TRunPhase::Protected; }
};

} // namespace kv
