#pragma once
// TCheckRun: a force verification or calibration run as a state machine.
// The operator loads the machine through the checkpoints; whenever the
// reference instrument shows a checkpoint he takes the point, and the run
// records the force the machine measures, the box's force code and the
// relative error. Between runs an idle tick shows the force and keeps the
// idle protection. The run tick comes every 100 ms from the clock's periodic
// timer (the sampling timer of the specimen runs) and owns the serial line
// from the run command to the unload; what it does on the user-interface
// thread it queues there in order. TfrmCheck only shows and forwards.
#include "verify/CheckSeries.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "UiQueue.h"

namespace kv {

class TClock;
class TCtrlBox;
class TMessageService;
class TMyGlbParam;
class TPeriodicTimer;
class TZovData;

inline constexpr int kCheckTickMs = 100;
inline constexpr int kCheckIdleMs = 250;
// A valve start this large means the valve opened without building force.
inline constexpr int kValveStartLimit = 55000;

// Why a run ended (the numbers are the reasons of the stop messages).
enum class TCheckStop {
    None = 0,
    ValveOpen = 1,    // the valve start reached its limit
    LinkLost = 2,
    Stopped = 3,      // the operator's stop (结束, Shift)
    Overload = 4,     // verification above 1.02 x the maximum force
    CannotLoad = 5,   // the start force not reached in the waiting time
    InitialForce = 6, // the start force was there within the first second
    Complete,         // every checkpoint taken
};

enum class TCheckPhase { Idle, Waiting, Control, Protected };

// What the window shows; every call comes on the user-interface thread.
class TCheckObserver {
public:
    virtual ~TCheckObserver() = default;
    virtual void ShowForce(const QString &) {}    // stPress
    virtual void ShowSpeed(const QString &) {}    // stSpeed
    virtual void ShowTime(const QString &) {}     // stTime
    // The chart empties; axes in display units and seconds.
    virtual void ChartReset(float, float) {}
    virtual void ChartAxes(float, float) {}
    virtual void ChartPoint(float, float) {}       // force (display units), t (s)
    virtual void GridChanged() {}                  // Rows() changed
    virtual void StateChanged() {}                 // buttons, speed buttons, zero button
    virtual void FocusGrid() {}
    // The force-code window, in its normal mode (after a run, or 力码设置).
    virtual void OpenForceCodes() {}
};

// What the run works on.
struct TCheckContext {
    std::function<TCtrlBox *()> Box;
    TMyGlbParam *Glb = nullptr;
    TZovData *Data = nullptr;       // CheckTempValue; null: nothing is read or stored
    double Coe = 1.0;               // display unit = N / Coe
    // The valve start of the specimen runs (a stop closes the valve by it
    // and sets it to 0); null: none. No specimen run is active meanwhile.
    int *ValveStart = nullptr;
    // Opens the parameters dialog (检测参数); true when it confirmed the run.
    std::function<bool()> AskParams;
    TClock *Clock = nullptr;             // null: the clock in force
    TMessageService *Messages = nullptr; // null: the service in force
    TCheckObserver *Observer = nullptr;
};

class TCheckRun {
    Q_DECLARE_TR_FUNCTIONS(kv::TfrmCheck)
public:
    explicit TCheckRun(TCheckContext context);
    ~TCheckRun();
    TCheckRun(const TCheckRun &) = delete;
    TCheckRun &operator=(const TCheckRun &) = delete;

    // ---- the points ----
    // The default checkpoints from the box's calibration table: n = (position
    // of the first zero force among points 2..12) - 3, 10 when none is zero,
    // never below 0; checkpoint k is point k + 1. Codes of the same points.
    static int DefaultCheckpoints(const std::array<int, 12> &force, const std::array<int, 12> &code,
                                  std::vector<float> &points, std::vector<int> &codes);
    // The relative error of a measured force at a checkpoint, %.
    static float RelativeError(float measured, float checkpoint);

    // ---- commands (user-interface thread) ----
    // The window opens: the chart, the default checkpoints with the stored
    // results, the idle tick.
    void Open();
    // 开始: false when the run was refused (the reason was shown).
    bool Start();
    // 结束.
    void EndClick();
    // 采点 or the space bar.
    void TakePoint() { FTakeRequest = true; }
    void FastClick() { FFastRequest = true; }
    void SlowClick() { FSlowRequest = true; }
    // A key of the window (seen first); true = consumed.
    bool KeyPress(int key);
    // 清零.
    void ClearZero();
    // The idle tick stops while another window talks to the box (the
    // force-code download) and starts again afterwards.
    void SuspendIdle();
    void ResumeIdle() { StartIdle(); }
    // Closing: false (with the message) during a run.
    bool MayClose();
    // The window closes: timers end, the run state goes back to its start.
    void Close();
    // The force-code window stores a new table: the results of the last run
    // (n points) into CheckTempValue; false when a statement failed.
    bool SaveCheckResults(int n);

    // ---- ticks ----
    void RunTick();  // every 100 ms during a run (the run's timer thread)
    void IdleTick(); // every 250 ms between runs (user-interface thread)

    // ---- state ----
    TCheckPhase Phase() const { return FPhase.load(); }
    bool Running() const { return FRunning.load(); }
    bool Protected() const { return FPhase.load() == TCheckPhase::Protected; }
    int CurrentPoint() const { return FCurrent.load(); }
    TCheckStop LastStop() const { return FLastStop; }
    bool SpeedButtonsVisible() const { return FSpeedButtons; }
    bool FastEnabled() const { return FFastEnabled; }
    bool SlowEnabled() const { return FSlowEnabled; }
    bool ZeroEnabled() const { return FZeroEnabled; }
    bool Slow() const { return FSlowStage; }
    // The grid's value columns of each row: checkpoint, measured force,
    // code, error (display texts).
    const std::vector<QStringList> &Rows() const { return FRows; }
    // Every run of this window that took points, oldest first.
    const std::vector<TCheckSeries> &Series() const { return FSeries; }
    TPeriodicTimer *RunTimer() const { return FTimer.get(); }
    TPeriodicTimer *IdleTimer() const { return FIdleTimer.get(); }
    // The force display shown last (tests and the report).
    float AxisForceMax() const { return FAxisForce; }
    float AxisTimeMax() const { return FAxisTime; }

    static QString StopText(TCheckStop reason);

private:
    TCtrlBox *Box() const;
    TClock &Clock() const;
    TMessageService &Messages() const;
    TCheckObserver &Observer() const { return *FContext.Observer; }
    void Ui(std::function<void()> effect) { FUi.Post(std::move(effect)); }
    void Info(const QString &text);

    void ShowDefaults(const char *format);
    void LoadStoredResults(std::array<float, 12> &measured, std::array<float, 12> &error) const;
    void StartIdle();
    void ResetChart(TCtrlBox &box);

    // One run tick's parts.
    bool Control(TCtrlBox &box, float x, int code);
    bool PointsAndSpeed(TCtrlBox &box, float x, int code);
    float DisplayRate(float target) const;
    void StopRun(TCtrlBox &box, TCheckStop reason);
    void EndTick(TCtrlBox &box);
    // After a run that took points: the question or the force-code window.
    void Finish();
    void KeepSeries(int recorded);

    TCheckContext FContext;
    TUiQueue FUi;
    std::unique_ptr<TPeriodicTimer> FTimer;     // the run tick
    std::unique_ptr<TPeriodicTimer> FIdleTimer; // the idle tick

    std::atomic<TCheckPhase> FPhase{TCheckPhase::Idle};
    std::atomic<bool> FRunning{false};
    std::atomic<int> FCurrent{1};
    std::atomic<bool> FStopRequest{false};
    std::atomic<bool> FTakeRequest{false};
    std::atomic<bool> FFastRequest{false};
    std::atomic<bool> FSlowRequest{false};
    // The tick has stopped the run; what follows the stop has not yet run on
    // the user-interface thread.
    std::atomic<bool> FStopPending{false};
    bool FEndAfterStop = false;
    bool FTickEnded = false;
    TCheckStop FLastStop = TCheckStop::None;

    // The run tick's own state.
    int FWaitTicks = 0;
    int FControlTicks = 0;
    int FDisplayEvery = 1;
    int FSpeedEvery = 1;
    bool FSlowStage = false;
    bool FJustRecorded = false;
    float FTarget = 0;
    std::array<float, 50> FHistory{};
    float FAxisForce = 1;
    float FAxisTime = 20;

    // Window state the observer reads.
    std::vector<QStringList> FRows;
    std::vector<TCheckSeries> FSeries;
    bool FSpeedButtons = false;
    bool FFastEnabled = false;
    bool FSlowEnabled = false;
    bool FZeroEnabled = true;

    // Idle protection.
    int FProtectHold = 0;     // idle ticks the check still waits after a run
    bool FProtectArmed = true;
    bool FProtectBusy = false;
    bool FProtectShown = false;
};

} // namespace kv
