// The main window's side of the users: the login at first show, the rights
// after every login, log-off, and the user management command.
#include "UsersTestSupport.h"

#include "app/Startup.h"
#include "ui/main/MainWindow.h"
#include "Clock.h"

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

using namespace kv;
using kvtest::Child;

namespace {

struct TMainRig {
    kvtest::TFreshDb Db = kvtest::FreshDatabase();
    QTemporaryDir ProgramDir;
    TRecordingMessageService Messages;
    TMessageGuard MessageGuard{&Messages};
    TVirtualClock Clock;
    TClockGuard ClockGuard{&Clock};
    TMeasureSteps Steps;
    QList<TLoginOutcome> Logins;
    int LoginCalls = 0;
    int UserManagementCalls = 0;
    int QuitCalls = 0;

    TMainRig()
    {
        Steps.Login = [this](QWidget *) {
            ++LoginCalls;
            return Logins.isEmpty() ? TLoginOutcome{} : Logins.takeFirst();
        };
        Steps.UserManagement = [this](QWidget *) { ++UserManagementCalls; };
        Steps.AskQuit = [](QWidget *) { return false; };
        Steps.QuitApplication = [this] { ++QuitCalls; };
    }

    std::unique_ptr<TfrmMeasure> Create()
    {
        TMeasureEnv env;
        env.ProgramDir = ProgramDir.path();
        env.Data = std::make_unique<TZovData>(Db.path);
        SetZovData(env.Data.get());
        env.Steps = Steps;
        return std::make_unique<TfrmMeasure>(std::move(env));
    }
};

struct TVisible {
    bool demo, machine, language, settings, advanced, forceCode, users, calib, check, valvePanel;
};

TVisible VisibleOf(const TfrmMeasure &w)
{
    return {Child<QAction>(w, "menuRun")->isVisible(),
            Child<QMenu>(w, "MenuMachine")->menuAction()->isVisible(),
            Child<QMenu>(w, "N1")->menuAction()->isVisible(),
            Child<QMenu>(w, "menuSetting")->menuAction()->isVisible(),
            Child<QAction>(w, "menuAdvanced")->isVisible(),
            Child<QAction>(w, "menuGro")->isVisible(),
            Child<QAction>(w, "menuUser")->isVisible(),
            !Child<QToolButton>(w, "btnOneChk")->isHidden(),
            !Child<QToolButton>(w, "btnCheck")->isHidden(),
            !Child<QFrame>(w, "PlManuCtrl")->isHidden()};
}

void ExpectRights(const TfrmMeasure &w, bool maintenance, bool privileged)
{
    const TVisible v = VisibleOf(w);
    EXPECT_EQ(v.demo, maintenance);
    EXPECT_EQ(v.machine, maintenance);
    EXPECT_EQ(v.language, maintenance);
    EXPECT_EQ(v.valvePanel, maintenance);
    EXPECT_EQ(v.settings, privileged);
    EXPECT_EQ(v.advanced, privileged);
    EXPECT_EQ(v.forceCode, privileged);
    EXPECT_EQ(v.users, privileged);
    EXPECT_EQ(v.calib, privileged);
    EXPECT_EQ(v.check, privileged);
}

} // namespace

TEST(UsersStartup, TheProgramPlugsInTheLoginAndTheUserWindow)
{
    TStartup startup(TStartup::TOptions{});
    EXPECT_TRUE(static_cast<bool>(startup.Steps.Login));
    EXPECT_TRUE(static_cast<bool>(startup.Steps.UserManagement));
}

TEST(UsersMainWindow, WithoutALoginStepNobodyGetsIn)
{
    TMainRig rig;
    rig.Steps.Login = nullptr;
    auto w = rig.Create();
    w->show();
    EXPECT_EQ(rig.QuitCalls, 1);
    EXPECT_TRUE(w->FUserName.isEmpty());
    EXPECT_FALSE(w->StatusTimerActive());
}

TEST(UsersMainWindow, CancelledLoginEndsTheProgram)
{
    TMainRig rig;
    auto w = rig.Create();
    w->show();
    EXPECT_EQ(rig.LoginCalls, 1);
    EXPECT_EQ(rig.QuitCalls, 1);
    EXPECT_TRUE(w->isMinimized());
}

TEST(UsersMainWindow, RightsForEachKindOfUser)
{
    struct TCase {
        const char *user;
        bool maintenance, privileged;
    };
    for (const TCase &c : {TCase{"quilmo", true, true}, TCase{"Admin", false, true}, TCase{"Wang", false, false}}) {
        SCOPED_TRACE(c.user);
        TMainRig rig;
        rig.Logins = {{true, QLatin1String(c.user)}};
        auto w = rig.Create();
        w->show();
        EXPECT_EQ(w->FUserName, QLatin1String(c.user));
        ExpectRights(*w, c.maintenance, c.privileged);
    }
}

TEST(UsersMainWindow, EveryNewLoginAppliesTheRightsAgain)
{
    TMainRig rig;
    rig.Logins = {{true, QStringLiteral("quilmo")},
                  {true, QStringLiteral("Tester")},
                  {false, QString()},
                  {true, QStringLiteral("Admin")}};
    auto w = rig.Create();
    w->show();
    ExpectRights(*w, true, true);
    Child<QAction>(*w, "menuLeave")->trigger();
    EXPECT_EQ(w->FUserName, QStringLiteral("Tester"));
    ExpectRights(*w, false, false); // the valve panel goes with the maintenance account
    Child<QAction>(*w, "menuLeave")->trigger();
    EXPECT_EQ(w->FUserName, QStringLiteral("Tester")) << "a failed login keeps the previous user";
    ExpectRights(*w, false, false);
    Child<QAction>(*w, "menuLeave")->trigger();
    EXPECT_EQ(w->FUserName, QStringLiteral("Admin"));
    ExpectRights(*w, false, true);
    EXPECT_EQ(rig.LoginCalls, 4);
    EXPECT_EQ(rig.QuitCalls, 0);
}

TEST(UsersMainWindow, UserMenuOpensTheUserWindowForAllowedUsersOnly)
{
    TMainRig rig;
    rig.Logins = {{true, QStringLiteral("Admin")}, {true, QStringLiteral("Tester")}, {true, QStringLiteral("quilmo")}};
    auto w = rig.Create();
    w->show();
    EXPECT_EQ(Child<QAction>(*w, "menuUser")->text(), QStringLiteral("用户操作"));
    EXPECT_TRUE(Child<QAction>(*w, "menuUser")->isEnabled());
    Child<QAction>(*w, "menuUser")->trigger();
    EXPECT_EQ(rig.UserManagementCalls, 1);

    Child<QAction>(*w, "menuLeave")->trigger(); // Tester: hidden, and a stray trigger opens nothing
    EXPECT_FALSE(Child<QAction>(*w, "menuUser")->isVisible());
    Child<QAction>(*w, "menuUser")->trigger();
    EXPECT_EQ(rig.UserManagementCalls, 1);

    Child<QAction>(*w, "menuLeave")->trigger();
    Child<QAction>(*w, "menuUser")->trigger();
    EXPECT_EQ(rig.UserManagementCalls, 2);
}

TEST(UsersMainWindow, WithoutTheUserWindowTheMenuStaysDisabled)
{
    TMainRig rig;
    rig.Steps.UserManagement = nullptr;
    rig.Logins = {{true, QStringLiteral("Admin")}};
    auto w = rig.Create();
    w->show();
    EXPECT_FALSE(Child<QAction>(*w, "menuUser")->isEnabled());
}
