#pragma once
// What the main window is wired with: the login, the controller drivers,
// the test modules, the dialogs that ask the operator. Start-up puts the
// program's own in; tests put in scripted ones. Each one is optional; a main
// window without them runs off-line with an empty test list, except the
// login: without it nobody is let in and the start ends.
#include <QString>
#include <functional>
#include <memory>

class QAction;
class QWidget;

namespace kv {

class TCtrlBox;
class TfrmMeasure;

struct TLoginOutcome {
    bool Ok = false;
    QString UserName;
};
// Shows the login window modally over owner; Ok when a user was accepted.
using TLoginStep = std::function<TLoginOutcome(QWidget *owner)>;

struct TMeasureSteps {
    TLoginStep Login;
    // The user management window, modal over owner.
    std::function<void(QWidget *owner)> UserManagement;
    // The driver of a machine type 0..5, created on first use
    // (CreateCtrlBox); none: no controller link.
    std::function<std::unique_ptr<TCtrlBox>(int machineType)> CreateDriver;
    // The serial settings for a silent box, modal over owner: true when the
    // operator chose a port and settings (set in the box). Empty: the
    // serial settings dialog.
    std::function<bool(QWidget *owner, TCtrlBox &box)> CommSettings;
    // Fills the test list from the module folder for a kind mask.
    std::function<void(TfrmMeasure &, const QString &folder, int mask)> LoadTestModules;
    // Fills the test-list menu pmTestList for a kind mask.
    std::function<void(TfrmMeasure &, int mask)> BuildTestMenu;
    // Makes the test of a test-list menu item current.
    std::function<void(TfrmMeasure &, QAction *item)> SelectTest;
    // The constant-load dialog: true when confirmed, with the hold force (N)
    // and time (s) filled in. Without it btnStable stays disabled.
    std::function<bool(TfrmMeasure &, float &force, int &seconds)> ConstantLoadDialog;
    // The records window, modal over the main window. Without it the report
    // button stays disabled.
    std::function<void(TfrmMeasure &)> RecordsWindow;
    // The report template window (报表设置), modal. Without it the menu item
    // stays disabled.
    std::function<void(TfrmMeasure &)> ReportSettings;
    // Another settings backup file than the program folder's (save: where
    // to write it); empty when cancelled. Empty step: the file dialog.
    std::function<QString(QWidget *owner, bool save, const QString &suggested)> ChooseBackupFile;
    // Which database the program uses (SQLite file or a server), modal;
    // the choice counts from the next start. Without it the menu item stays
    // disabled.
    std::function<void(QWidget *owner)> DatabaseSettings;
    // The exit question; true = leave the program. Empty: TfrmQuit.
    std::function<bool(QWidget *owner)> AskQuit;
    // Ends the message loop. Empty: a queued quit of the application.
    std::function<void()> QuitApplication;
};

} // namespace kv
