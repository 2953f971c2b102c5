#pragma once
// The steps of start-up, first show and closing that other subsystems
// provide: the login, the controller driver, the test modules. Each one is
// optional; a main window without them runs off-line with an empty test
// list, except the login: without it nobody is let in and the start ends.
#include <QString>
#include <functional>
#include <memory>

class QAction;
class QWidget;

namespace kv {

class TfrmMeasure;
class TMyFunction;

struct TLoginOutcome {
    bool Ok = false;
    QString UserName;
};
// Shows the login window modally over owner; Ok when a user was accepted.
using TLoginStep = std::function<TLoginOutcome(QWidget *owner)>;

// The controller driver operations the main window's start-up, first show
// and closing use. The driver of each controller model provides them.
class TStartupDriver {
public:
    virtual ~TStartupDriver() = default;
    virtual void Init() = 0;
    virtual void OpenPort() = 0;
    virtual void Activate() = 0;
    virtual void SetControlMode(int mode) = 0;
    virtual void SetADState(int state) = 0;
    virtual void ReadForceCode() = 0;
    virtual bool IsOnline() const = 0;
    virtual void Command(int command) = 0;
    // Compares the stored parameter set with the box's; may show the
    // parameter-difference dialog.
    virtual void CompareParams(QWidget *owner) = 0;
    // The serial settings dialog with the driver's port and settings; true
    // when the operator chose new ones (already stored in the driver).
    virtual bool EditCommSettings(QWidget *owner) = 0;
    // Run fields at first show: the saved cooling reduction back in place,
    // no run active, the reduction recomputed for the time since the last run.
    virtual void ResetRunFields() = 0;
    virtual int ValveInit() const = 0;
    virtual int ExistHand() const = 0;
    virtual int HandMode() const = 0;
    // Copies the live cooling reduction and the time of the last run into
    // their saved twins (stored with the global settings at exit).
    virtual void SaveRunState() = 0;
    // Closes the port and stores its settings.
    virtual void Finish() = 0;
    // Leaving this driver for the other side of a two-frame machine.
    virtual void Deactivate() {}
    // FMaxLoad, N (the window caption and the chart's force axis).
    virtual int MaxLoad() const { return 0; }
};

// The run sequence of a main window: the run commands, the keys, the status
// timer's tick and the sampling timer. The window forwards to it.
class TRunCommands {
public:
    virtual ~TRunCommands() = default;
    virtual void btnRunClick() = 0;
    virtual void btnStopClick() = 0;
    virtual void btnEndGroClick() = 0;
    virtual void menuRunClick() = 0;
    virtual void btnStableClick() = 0;
    // Demonstration buttons: Command 3 up, 2 keep, 4 down.
    virtual void DemoCommand(int command) = 0;
    // A key pressed anywhere in the window (seen first); true = consumed.
    virtual bool KeyPress(int key, bool autoRepeat) = 0;
    // Message 1253: first parameter 0 starts a run.
    virtual void OnMsg_CheckMulti(int wParam) = 0;
    virtual void StatusTick() = 0;
    virtual void KillSamplingTimer() = 0;
    // A specimen run is active (sampling).
    virtual bool RunActive() const = 0;
    // The chart's zoom undone: both axes back to their full range of the run.
    virtual void ZoomReset() = 0;
};

struct TMeasureSteps {
    TLoginStep Login;
    // The user management window, modal over owner.
    std::function<void(QWidget *owner)> UserManagement;
    // The driver of a machine type 0..5, created on first use.
    std::function<std::unique_ptr<TStartupDriver>(int machineType)> CreateDriver;
    // Fills the test list from the module folder for a kind mask.
    std::function<void(TfrmMeasure &, const QString &folder, int mask)> LoadTestModules;
    // Fills the test-list menu pmTestList for a kind mask.
    std::function<void(TfrmMeasure &, int mask)> BuildTestMenu;
    // Makes the test of a test-list menu item current.
    std::function<void(TfrmMeasure &, QAction *item)> SelectTest;
    // The current test runs its group continuously (FContinuous).
    std::function<bool(const TfrmMeasure &)> CurrentTestContinuous;
    // One tick of the 200 ms status timer.
    std::function<void(TfrmMeasure &)> StatusTick;
    // Stops the sampling timer of a run, if one exists.
    std::function<void(TfrmMeasure &)> KillSamplingTimer;
    // The run sequence of a window (created with the window); without it
    // the run commands stay disabled.
    std::function<std::unique_ptr<TRunCommands>(TfrmMeasure &)> CreateRun;
    // The constant-load dialog: true when confirmed, with the hold force (N)
    // and time (s) filled in. Without it btnStable stays disabled.
    std::function<bool(TfrmMeasure &, float &force, int &seconds)> ConstantLoadDialog;
    // The exit question; true = leave the program. Empty: TfrmQuit.
    std::function<bool(QWidget *owner)> AskQuit;
    // Ends the message loop. Empty: a queued quit of the application.
    std::function<void()> QuitApplication;
};

} // namespace kv
