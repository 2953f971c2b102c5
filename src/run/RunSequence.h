#pragma once
// TRunSequence: loading the specimens of a group to break (or holding a
// constant load), one run at a time, as a state machine over TRunState.
//
// StartRun checks and starts a run on the user-interface thread. SampleStep
// runs every 100 ms on the sampling timer's thread and talks to the
// controller box there; whatever it does on the user-interface thread (the
// observer's reports, messages, storing a broken specimen, the stop
// button's steps) it queues there in order, as one batch per step. Between
// runs the idle monitor works on the status timer. The sequence knows no
// window: it reports through the observer of its context.
#include "run/IdleMonitor.h"
#include "run/RunContext.h"
#include "run/RunObserver.h"
#include "run/RunState.h"
#include "UiQueue.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QThread;

namespace kv {

class TBaseTest;
class TClock;
class TCtrlBox;
class TMessageService;
class TPeriodicTimer;
struct TSafetyRule;

inline constexpr int kSamplePeriodMs = 100;
// How often the sampling thread looks at the status frames between samples:
// well inside the box's 20 ms frame period, so a break stops within a frame.
inline constexpr int kFrameWatchMs = 5;

// Chart axes at the start of a run: the time axis 0..20 s, the force axis
// 0..half the maximum force in display units (at least 1).
struct TChartAxes {
    float ForceMax;
    float TimeMax;
};
TChartAxes StartAxes(double maxLoad, double loadCoe);

class TRunSequence {
public:
    explicit TRunSequence(TRunContext context);
    ~TRunSequence();
    TRunSequence(const TRunSequence &) = delete;
    TRunSequence &operator=(const TRunSequence &) = delete;

    // ---- commands (user-interface thread) ----
    // btnRun: a constant-load mode left over goes back to a normal run.
    void RunClick();
    // btnStop, also the program's own stop: ends a first specimen's group,
    // ends continuous testing, asks a running step to unload.
    void StopClick();
    // btnEndGro (when Run is enabled): ends the group early.
    void EndGroupClick();
    // menuRun (when Run is enabled): a demonstration run.
    void DemonstrationClick();
    // A confirmed constant-load dialog: the hold force (N) and time (s); the
    // run starts from the event loop.
    void StartConstantLoad(float force, int seconds);
    // Demonstration buttons: Command 3 up, 2 keep, 4 down.
    void DemoCommand(int command);
    // A key of the window (seen first); true = consumed.
    bool KeyPress(int key, bool autoRepeat);
    // Message 1253: first parameter 0 starts a run, any other refreshes the
    // box's streaming.
    void OnMsg_CheckMulti(int wParam);
    // A group left unfinished is continued (resumed by its test).
    void GroupResumed();
    // First show: the idle protection and its delays start afresh.
    void ResetProtection();

    // Starts one specimen run; false when it was refused.
    bool StartRun();
    // One tick of the sampling thread: every status frame since the last
    // tick is looked at, and the 100 ms sampling step runs when it is due.
    void SamplingTick();
    // One sampling step.
    void SampleStep();
    // Stops a sampling timer (closing); pending reports are delivered.
    void KillSamplingTimer();

    // ---- state ----
    const TRunState &State() const { return FState; }
    TRunState &State() { return FState; }
    bool Active() const { return FState.Active(); }
    bool Running() const { return FState.Running; }
    bool GroupActive() const { return FState.GroupActive; }
    TRunMode Mode() const { return FState.Mode; }
    const TCurvePoints &Curve() const { return FState.Curve; }
    TIdleMonitor &Idle() { return *FIdle; }
    TPeriodicTimer *SamplingTimer() const { return FTimer.get(); }
    // Sampling steps left out because a step ran past the next one's time.
    qint64 SkippedSteps() const { return FSkippedSteps.load(); }
    // Called on the sampling thread at the start of every step (benchmarks).
    void SetStepObserver(std::function<void()> observer) { FStepObserver = std::move(observer); }

    TCtrlBox *Box() const;
    TBaseTest *Test() const;

private:
    // ---- starting ----
    bool RefuseStart(const QString &text, bool information);
    bool OpenGroup(TBaseTest &test);
    void ArmRun(TCtrlBox &box);
    bool PrepareBox(TCtrlBox &box, TBaseTest &test, bool opensGroup);
    void StartSampling(TCtrlBox &box, TBaseTest &test);

    // ---- one step ----
    // The frames the driver decoded since they were last looked at: the
    // peak, and the one-point force drop on each; true when one showed the break.
    bool WatchFrames(TCtrlBox &box);
    bool ReadSample(TCtrlBox &box, float &force);
    void TrackStall(TCtrlBox &box, float force);
    // After every tick: the line back to the user-interface thread once the
    // run unloaded, and the tick's effects queued there.
    void EndOfTick(TCtrlBox &box);
    bool WaitForStartForce(TCtrlBox &box, float force);
    void EnterControl(TCtrlBox &box);
    void JudgeSample(TCtrlBox &box, TBaseTest &test, float force);
    void ShowSample(float force, float speed, float t);
    void GrowAxesAndDraw(TCtrlBox &box, float t, float forceDisplay);

    // ---- ending ----
    // Ends the run as a fired safety check says.
    void EndBy(const TSafetyRule &rule, const QString &message);
    void StopAndUnload(const QString &text);
    void OnBreak();
    void StoreBrokenSpecimen(float peak, const TCurvePoints &curve);
    void FunBreak();
    void SetDemoControls(bool visible);

    // ---- the user-interface thread ----
    // An effect: run now on the user-interface thread, else queued.
    void Ui(std::function<void()> effect);
    void FlushUi();
    bool OnUiThread() const;
    void Warn(const QString &text);
    TRunObserver &Observer() const { return *FContext.Observer; }
    TClock &Clock() const;
    TMessageService &Messages() const;
    double Stress(double force) const;
    double CurrentArea() const;

    TRunContext FContext;
    TRunState FState;
    std::unique_ptr<TIdleMonitor> FIdle;
    std::unique_ptr<TPeriodicTimer> FTimer;
    TUiQueue FUi;                 // effects of the sampling thread, in order
    bool FRunEnded = false;       // the current step unloaded
    std::atomic<int> FDemoCommand{0};
    qint64 FSamplingStartMs = 0;  // clock time the sampling timer started
    qint64 FLastStep = 0;         // the 100 ms grid point of the last step
    std::atomic<qint64> FSkippedSteps{0};
    std::function<void()> FStepObserver;
};

} // namespace kv
