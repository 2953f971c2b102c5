#pragma once
// TRunSequence: loading the specimens of a group to break, one run at a time.
// StartRun checks and starts a run on the user-interface thread; SampleStep
// runs every 100 ms on the sampling timer's thread, talks to the controller
// box there and queues everything it does to windows to the user-interface
// thread, in order, as one batch per step. Between runs the idle monitor
// runs on the status timer.
#include "ui/main/MeasureSteps.h"
#include "run/IdleMonitor.h"
#include "BaseTest.h"

#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QLabel;

namespace kv {

class TBaseTest;
class TCtrlBox;
class TfrmMeasure;
class TMyGlbParam;
class TPeriodicTimer;

inline constexpr int kSamplePeriodMs = 100;

class TRunSequence : public TRunCommands {
public:
    explicit TRunSequence(TfrmMeasure &window);
    ~TRunSequence() override;

    // ---- commands (user-interface thread) ----
    void btnRunClick() override;
    void btnStopClick() override;
    void btnEndGroClick() override;
    void menuRunClick() override;
    void btnStableClick() override;
    void DemoCommand(int command) override;
    bool KeyPress(int key, bool autoRepeat) override;
    void OnMsg_CheckMulti(int wParam) override;
    void StatusTick() override { FIdle.Tick(); }
    void KillSamplingTimer() override;
    bool RunActive() const override;

    // Starts one specimen run; false when it was refused.
    bool StartRun();
    // One sampling step (the sampling timer calls it).
    void SampleStep();
    // During a run: both chart axes back to their current full range.
    void ZoomReset() override;

    // ---- state for the window and for tests ----
    const TCurvePoints &Curve() const { return FCurve; }
    float SamplePeriod() const { return FSamplePeriod; }
    int GroupSizeAtStart() const { return FGroupSizeAtStart; }
    TPeriodicTimer *SamplingTimer() const { return FTimer.get(); }
    TIdleMonitor &Idle() { return FIdle; }
    // Called on the sampling thread at the start of every step (benchmarks).
    void SetStepObserver(std::function<void()> observer) { FStepObserver = std::move(observer); }

    TCtrlBox *Box() const;
    TBaseTest *Test() const;

private:
    // A window effect: run now on the user-interface thread, else queued.
    void Ui(std::function<void()> effect);
    void FlushUi();
    bool OnUiThread() const;

    // The parts of a step after the start force; false when the run ended.
    bool HandleJudgement(int state);
    void OnBreak();
    void FunBreak();
    // btnStop clicked by the program from a step.
    void ClickStop();
    // Unloads and shows warning text (stop, overload, initial force).
    void StopAndUnload(const QString &text);
    void ShowLater(QLabel *display, double value, const QString &format);
    void ShowTextLater(QLabel *display, const QString &text);
    void PanelLater(int panel, const QString &text);
    void WarnLater(const QString &text);
    double Stress(double force) const;
    double CurrentArea() const;
    void GrowAxesAndDraw(float t, float forceDisplay);
    void StoreBrokenSpecimen(float peak, const TCurvePoints &curve);
    void ShowDemoButtons(bool visible);

    TfrmMeasure &W;
    TIdleMonitor FIdle;
    std::unique_ptr<TPeriodicTimer> FTimer;
    TCurvePoints FCurve;
    float FSamplePeriod = 0.1f;
    int FGroupSizeAtStart = 0;
    double FArea = 0.0;          // divisor of the specimen being run
    double FLoadCoe = 1000.0;    // display unit of the run
    float FAxisForceMax = 0.0f;  // chart axes as the step grows them
    float FAxisTimeMax = 0.0f;
    bool FRunEnded = false;      // the current step unloaded
    bool FGroupClosed = true;    // EndGroup was called for the group of the last start
    std::atomic<int> FDemoCommand{0};
    std::vector<std::function<void()>> FBatch;
    std::function<void()> FStepObserver;
};

// Puts the run sequence into the steps of a main window.
void InstallRunSequence(TMeasureSteps &steps);

} // namespace kv
