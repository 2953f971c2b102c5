// Main window creation and first show: machine types, language marks,
// missing settings, the controller contact, rights, the last test.
#include "CoreTestSupport.h"

#include "link/BoxModels.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

using coretest::TWindowRig;
using kvtest::Child;

namespace {

int CountOf(const QStringList &log, const QString &entry) { return log.count(entry); }

} // namespace

// ---------------------------------------------------------------------------
// FormCreate

TEST(MainWindowCreate, MachineTypeSetsButtonsDriverAndTestMask)
{
    struct TCase {
        int type;
        bool side, reset, motor, ky, kz;
        int mask;
    };
    const TCase cases[] = {
        {0, false, true, false, false, false, 1}, {1, true, true, false, true, false, 2},
        {2, true, true, false, false, true, 4},   {3, false, false, true, false, false, 1},
        {4, true, false, true, true, false, 2},   {5, true, false, true, false, true, 4},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.type);
        TWindowRig rig;
        rig.UseDriver(false);
        rig.Sql(QStringLiteral("Update SavString set StrCont = '%1' where StrNo = 103").arg(c.type));
        QString folder;
        int mask = -1;
        rig.Steps.LoadTestModules = [&](kv::TfrmMeasure &, const QString &f, int m) {
            folder = f;
            mask = m;
        };
        auto w = rig.Create();
        EXPECT_EQ(w->MachineTypeNo(), c.type);
        EXPECT_EQ(!Child<QToolButton>(*w, "btnKY")->isHidden(), c.side);
        EXPECT_EQ(!Child<QToolButton>(*w, "btnKZ")->isHidden(), c.side);
        EXPECT_EQ(!Child<QPushButton>(*w, "btnReset")->isHidden(), c.reset);
        EXPECT_EQ(!Child<QPushButton>(*w, "bitUp")->isHidden(), c.motor);
        EXPECT_EQ(!Child<QPushButton>(*w, "BitDown")->isHidden(), c.motor);
        EXPECT_EQ(Child<QToolButton>(*w, "btnKY")->isChecked(), c.ky);
        EXPECT_EQ(Child<QToolButton>(*w, "btnKZ")->isChecked(), c.kz);
        EXPECT_EQ(mask, c.mask);
        EXPECT_EQ(folder, rig.ProgramDir.path() + QStringLiteral("/dll/"));
        EXPECT_EQ(rig.DriverTypes, QList<int>{c.type});
        EXPECT_EQ(w->FlexuralSide(), c.mask == 4);
    }
}

TEST(MainWindowCreate, UnreadableMachineTypeIsTheSingleFrameHydraulic)
{
    for (const char *text : {"9", "-1", "abc", ""}) {
        SCOPED_TRACE(text);
        TWindowRig rig;
        rig.Sql(QStringLiteral("Update SavString set StrCont = '%1' where StrNo = 103").arg(QLatin1String(text)));
        auto w = rig.Create();
        EXPECT_EQ(w->MachineTypeNo(), 0);
        EXPECT_TRUE(Child<QToolButton>(*w, "btnKY")->isHidden());
        EXPECT_FALSE(Child<QPushButton>(*w, "btnReset")->isHidden());
    }
}

TEST(MainWindowCreate, LanguageMarksFollowTheStoredSetting)
{
    TWindowRig rig;
    rig.Sql(QStringLiteral("Update SavNum set NumCont = 1 where NumNo = 20005"));
    auto w = rig.Create();
    EXPECT_TRUE(Child<QAction>(*w, "English1")->isChecked());
    EXPECT_FALSE(Child<QAction>(*w, "Chinese1")->isChecked());

    // Choosing Chinese stores it for the next start; the marks stay.
    Child<QAction>(*w, "Chinese1")->trigger();
    EXPECT_EQ(rig.Messages.lastText(), QStringLiteral("语言切换成功,下次启动后生效!"));
    EXPECT_TRUE(Child<QAction>(*w, "English1")->isChecked());
    EXPECT_FALSE(Child<QAction>(*w, "Chinese1")->isChecked());
    qint32 stored = -1;
    ASSERT_TRUE(kv::ZovData()->ReadNumInt(20005, stored));
    EXPECT_EQ(stored, 0);

    // The item already checked does nothing.
    rig.Messages.clear();
    Child<QAction>(*w, "English1")->trigger();
    EXPECT_TRUE(rig.Messages.messages().isEmpty());
    EXPECT_TRUE(Child<QAction>(*w, "English1")->isChecked());
    ASSERT_TRUE(kv::ZovData()->ReadNumInt(20005, stored));
    EXPECT_EQ(stored, 0);
}

TEST(MainWindowCreate, MachineTypeMenuStoresTheTypeForTheNextStart)
{
    TWindowRig rig;
    auto w = rig.Create();
    Child<QAction>(*w, "Nbend")->trigger();
    EXPECT_EQ(rig.Messages.lastText(), QStringLiteral("机型切换成功,下次启动后生效!"));
    QString text;
    ASSERT_TRUE(kv::ZovData()->ReadStr(103, text));
    EXPECT_EQ(text, QStringLiteral("4"));
    EXPECT_EQ(w->MachineTypeNo(), 0); // unchanged until the next start
    Child<QAction>(*w, "Ncompress")->trigger();
    ASSERT_TRUE(kv::ZovData()->ReadStr(103, text));
    EXPECT_EQ(text, QStringLiteral("3"));
}

TEST(MainWindowCreate, MissingSettingsAreReportedAndLockTheRunButton)
{
    TWindowRig rig;
    rig.UseDriver(true);
    rig.Sql(QStringLiteral("Delete from SavNum where NumNo = 103 or NumNo = 1104"));
    auto w = rig.Create();
    ASSERT_EQ(rig.Messages.messages().size(), 1);
    EXPECT_EQ(rig.Messages.messages()[0].text, QStringLiteral("读取参数时有2个参数读取错误"));
    EXPECT_EQ(rig.Messages.messages()[0].icon, kv::TMsgIcon::Error);
    EXPECT_TRUE(w->RunLocked());

    // Even with the run command available and the box on line, Run stays off.
    w->SetCommandAvailable(Child<QPushButton>(*w, "btnRun"), true);
    w->show();
    ASSERT_TRUE(w->IsOnline());
    w->EnableAllButton(false, false, true, false);
    EXPECT_FALSE(Child<QPushButton>(*w, "btnRun")->isEnabled());
    EXPECT_TRUE(Child<QToolButton>(*w, "btnOut")->isEnabled());
}

TEST(MainWindowCreate, CompleteSettingsLeaveTheRunButtonToTheRunState)
{
    TWindowRig rig;
    rig.UseDriver(true);
    auto w = rig.Create();
    EXPECT_TRUE(rig.Messages.messages().isEmpty());
    EXPECT_FALSE(w->RunLocked());
    w->SetCommandAvailable(Child<QPushButton>(*w, "btnRun"), true);
    w->show();
    EXPECT_TRUE(Child<QPushButton>(*w, "btnRun")->isEnabled());
    // The settings block is loaded into the global parameter object.
    EXPECT_EQ(w->GlbParam()->Settings.RefreshRate, 5);
    EXPECT_EQ(w->Run().Mode(), kv::TRunMode::Normal);
    EXPECT_EQ(w->GlbParam()->OutFileDir, rig.ProgramDir.path() + QStringLiteral("/OutFile"));
}

TEST(MainWindowCreate, CreatesTheWorkingFolders)
{
    TWindowRig rig;
    auto w = rig.Create();
    for (const char *f : {"OutFile", "Report", "BackUp"})
        EXPECT_TRUE(QDir(rig.ProgramDir.path()).exists(QLatin1String(f))) << f;
}

TEST(MainWindowCreate, StatusBarStartsWithItsSixCaptions)
{
    TWindowRig rig;
    auto w = rig.Create();
    const QStringList expected = {QStringLiteral("信息提示："), QStringLiteral("状态提示："),
                                  QStringLiteral("系统状态："), QStringLiteral("当前时间："),
                                  QStringLiteral("当前相对码:"), QStringLiteral("当前阀口位置:")};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(w->PanelText(i), expected[i]) << i;
    EXPECT_EQ(Child<QLabel>(*w, "pnl_ZH")->text(), QStringLiteral("载荷(kN)"));
    EXPECT_EQ(Child<QLabel>(*w, "Pnl_Speed")->text(), QStringLiteral("速度(kN/s)"));
    EXPECT_EQ(Child<QLabel>(*w, "Pnl_QDFZ")->text(), QStringLiteral("峰值(MPa)"));
}

// ---------------------------------------------------------------------------
// FormShow

TEST(MainWindowShow, WithoutControllerDriverTheProgramRunsOffline)
{
    TWindowRig rig;
    auto w = rig.Create();
    w->SetCommandAvailable(Child<QPushButton>(*w, "btnRun"), true);
    w->show();
    EXPECT_EQ(w->PanelText(2), QStringLiteral("系统状态：脱机工作"));
    EXPECT_FALSE(Child<QPushButton>(*w, "btnRun")->isEnabled());
    EXPECT_FALSE(Child<QAction>(*w, "menuRun")->isEnabled());
    EXPECT_EQ(w->FUserName, QStringLiteral("Admin"));
    EXPECT_TRUE(w->StatusTimerActive());
    EXPECT_EQ(w->Run().State().TickCount, 1);
    EXPECT_TRUE(rig.Messages.messages().isEmpty()); // nothing to contact, nothing to warn about
}

TEST(MainWindowShow, OnlineContactRunsTheCommandsInOrder)
{
    TWindowRig rig;
    rig.UseDriver(true);
    auto w = rig.Create();
    rig.LastDriver->FValveInit = 1234;
    w->show();

    QStringList expected = {QStringLiteral("Init"), QStringLiteral("OpenPort"), QStringLiteral("SetControlMode(3)"),
                            QStringLiteral("SetControlMode(3)"), QStringLiteral("SetADState(0)")};
    for (int i = 0; i < 12; ++i)
        expected << QStringLiteral("ReadForceCode");
    expected << QStringLiteral("Activate") << QStringLiteral("SetControlMode(3)") << QStringLiteral("SetControlMode(3)")
             << QStringLiteral("Command(0)") << QStringLiteral("SetADState(2)") << QStringLiteral("CompareParams")
             << QStringLiteral("SetADState(0)") << QStringLiteral("ResetRunFields")
             << QStringLiteral("SetControlMode(0)");
    EXPECT_EQ(rig.DriverLog, expected);
    EXPECT_EQ(w->PanelText(2), QStringLiteral("系统状态：联机工作"));
    EXPECT_EQ(Child<QSlider>(*w, "tbValveSet")->maximum(), 1481); // round(1234 * 1.2)
    EXPECT_EQ(Child<QProgressBar>(*w, "guValvePos")->maximum(), 1481);
    EXPECT_FALSE(Child<QAction>(*w, "NChangeAutoORHand")->isVisible());
    // Pauses between the commands: 2 x 100 and 100 before the first read,
    // 2 x 100 after activation.
    EXPECT_EQ(rig.Clock.totalSlept(), 500);
}

TEST(MainWindowShow, ManualControlIsRestoredWhenTheMachineHasIt)
{
    TWindowRig rig;
    rig.UseDriver(true);
    auto w = rig.Create();
    rig.LastDriver->FExistHand = 1;
    rig.LastDriver->FAutoLoad = 1;
    w->show();
    EXPECT_EQ(rig.DriverLog.last(), QStringLiteral("SetControlMode(2)"));
    EXPECT_TRUE(Child<QAction>(*w, "NChangeAutoORHand")->isVisible());
}

TEST(MainWindowShow, SilentControllerWarnsAndCancelContinuesOffline)
{
    TWindowRig rig;
    rig.UseDriver(false);
    auto w = rig.Create();
    rig.LastDriver->CommSettingsAnswers = {false};
    w->show();
    ASSERT_EQ(rig.Messages.messages().size(), 1);
    EXPECT_EQ(rig.Messages.messages()[0].text,
              QStringLiteral("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"));
    EXPECT_EQ(rig.Messages.messages()[0].icon, kv::TMsgIcon::Warning);
    EXPECT_EQ(CountOf(rig.DriverLog, QStringLiteral("EditCommSettings")), 1);
    EXPECT_EQ(CountOf(rig.DriverLog, QStringLiteral("CompareParams")), 0);
    EXPECT_EQ(w->PanelText(2), QStringLiteral("系统状态：脱机工作"));
    EXPECT_FALSE(Child<QPushButton>(*w, "btnRun")->isEnabled());
    EXPECT_FALSE(Child<QAction>(*w, "menuRun")->isEnabled());
}

TEST(MainWindowShow, NewSerialSettingsAreTriedUntilTheBoxAnswers)
{
    TWindowRig rig;
    rig.UseDriver(false);
    auto w = rig.Create();
    rig.LastDriver->OnlineAfterSettings = false;
    rig.LastDriver->CommSettingsAnswers = {true, true, false};
    w->show();
    EXPECT_EQ(rig.Messages.messages().size(), 3);
    EXPECT_EQ(CountOf(rig.DriverLog, QStringLiteral("EditCommSettings")), 3);
    // Each accepted setting reopens the port: the first open plus two.
    EXPECT_EQ(CountOf(rig.DriverLog, QStringLiteral("OpenPort")), 3);
    EXPECT_EQ(w->PanelText(2), QStringLiteral("系统状态：脱机工作"));

    TWindowRig rig2;
    rig2.UseDriver(false);
    auto w2 = rig2.Create();
    rig2.LastDriver->CommSettingsAnswers = {true};
    w2->show();
    EXPECT_EQ(rig2.Messages.messages().size(), 1);
    EXPECT_EQ(w2->PanelText(2), QStringLiteral("系统状态：联机工作"));
    EXPECT_EQ(CountOf(rig2.DriverLog, QStringLiteral("CompareParams")), 1);
}

TEST(MainWindowShow, FailedLoginEndsBeforeAnyControllerCommand)
{
    TWindowRig rig;
    rig.UseDriver(true);
    rig.Steps.Login = [](QWidget *) { return kv::TLoginOutcome{false, QString()}; };
    auto w = rig.Create();
    w->show();
    EXPECT_EQ(rig.QuitCalls, 1);
    EXPECT_TRUE(w->isMinimized());
    EXPECT_TRUE(rig.DriverLog.isEmpty());
    EXPECT_FALSE(w->StatusTimerActive());
}

TEST(MainWindowShow, WaitWindowIsFreedAfterTheLogin)
{
    TWindowRig rig;
    auto *wait = new QWidget;
    QPointer<QWidget> watch(wait);
    bool waitAliveAtLogin = false;
    rig.Steps.Login = [&](QWidget *) {
        waitAliveAtLogin = !watch.isNull();
        return kv::TLoginOutcome{true, QStringLiteral("Tester")};
    };
    kv::TMeasureEnv env;
    env.ProgramDir = rig.ProgramDir.path();
    env.Data = std::make_unique<kv::TZovData>(rig.Db.path);
    kv::SetZovData(env.Data.get());
    env.WaitWindow.reset(wait);
    env.Steps = rig.Steps;
    kv::TfrmMeasure w(std::move(env));
    EXPECT_FALSE(watch.isNull());
    w.show();
    EXPECT_TRUE(waitAliveAtLogin);
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(w.FUserName, QStringLiteral("Tester"));
}

TEST(MainWindowShow, RightsFollowTheUserName)
{
    struct TCase {
        const char *user;
        bool settings, calib, demo, machine;
    };
    const TCase cases[] = {{"quilmo", true, true, true, true},
                           {"Admin", true, true, false, false},
                           {"Tester", false, false, false, false}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.user);
        TWindowRig rig;
        const QString user = QLatin1String(c.user);
        rig.Steps.Login = [user](QWidget *) { return kv::TLoginOutcome{true, user}; };
        auto w = rig.Create();
        w->show();
        EXPECT_EQ(Child<QMenu>(*w, "menuSetting")->menuAction()->isVisible(), c.settings);
        EXPECT_EQ(Child<QAction>(*w, "menuAdvanced")->isVisible(), c.settings);
        EXPECT_EQ(Child<QAction>(*w, "menuGro")->isVisible(), c.settings);
        EXPECT_EQ(Child<QAction>(*w, "menuUser")->isVisible(), c.settings);
        EXPECT_EQ(!Child<QToolButton>(*w, "btnOneChk")->isHidden(), c.calib);
        EXPECT_EQ(!Child<QToolButton>(*w, "btnCheck")->isHidden(), c.calib);
        EXPECT_EQ(Child<QAction>(*w, "menuRun")->isVisible(), c.demo);
        EXPECT_EQ(!Child<QFrame>(*w, "PlManuCtrl")->isHidden(), c.demo);
        EXPECT_EQ(Child<QMenu>(*w, "MenuMachine")->menuAction()->isVisible(), c.machine);
        EXPECT_EQ(Child<QMenu>(*w, "N1")->menuAction()->isVisible(), c.machine);
        EXPECT_TRUE(Child<QAction>(*w, "menuLeave")->isVisible());
        EXPECT_TRUE(Child<QAction>(*w, "menuLeave")->isEnabled());
    }
}

TEST(MainWindowShow, NewLoginKeepsThePreviousUserWhenItFails)
{
    TWindowRig rig;
    QList<kv::TLoginOutcome> answers = {{true, QStringLiteral("Admin")}, {false, QString()},
                                        {true, QStringLiteral("Tester")}};
    rig.Steps.Login = [&](QWidget *) { return answers.takeFirst(); };
    auto w = rig.Create();
    w->show();
    Child<QAction>(*w, "menuLeave")->trigger();
    EXPECT_EQ(w->FUserName, QStringLiteral("Admin"));
    EXPECT_TRUE(Child<QMenu>(*w, "menuSetting")->menuAction()->isVisible());
    Child<QAction>(*w, "menuLeave")->trigger();
    EXPECT_EQ(w->FUserName, QStringLiteral("Tester"));
    EXPECT_FALSE(Child<QMenu>(*w, "menuSetting")->menuAction()->isVisible());
}

namespace {

// Three test-list entries, as the test host builds them.
void AddThreeTests(TWindowRig &rig, QList<QAction *> *selected)
{
    rig.Steps.BuildTestMenu = [](kv::TfrmMeasure &w, int) {
        for (const char *name : {"CemComp", "CemFlex", "ConCube"}) {
            QAction *a = Child<QMenu>(w, "pmTestList")->addAction(QLatin1String(name));
            a->setCheckable(true);
        }
    };
    rig.Steps.SelectTest = [selected](kv::TfrmMeasure &w, QAction *item) {
        for (QAction *a : Child<QMenu>(w, "pmTestList")->actions())
            a->setChecked(a == item);
        selected->append(item);
    };
}

} // namespace

TEST(MainWindowShow, LastTestIsSelectedAgain)
{
    TWindowRig rig;
    QList<QAction *> selected;
    AddThreeTests(rig, &selected);
    rig.Sql(QStringLiteral("Update SavString set StrCont = '2' where StrNo = 101"));
    auto w = rig.Create();
    w->show();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0], Child<QMenu>(*w, "pmTestList")->actions()[2]);
    EXPECT_EQ(w->CheckedTestIndex(), 2);
}

TEST(MainWindowShow, StoredTestIndexBeyondTheListSelectsTheFirstTest)
{
    for (const char *stored : {"3", "17", "-2", "x"}) {
        SCOPED_TRACE(stored);
        TWindowRig rig;
        QList<QAction *> selected;
        AddThreeTests(rig, &selected);
        rig.Sql(QStringLiteral("Update SavString set StrCont = '%1' where StrNo = 101").arg(QLatin1String(stored)));
        auto w = rig.Create();
        w->show();
        ASSERT_EQ(selected.size(), 1);
        EXPECT_EQ(selected[0], Child<QMenu>(*w, "pmTestList")->actions()[0]);
    }
}

TEST(MainWindowShow, FlexureSideRemembersItsOwnTest)
{
    TWindowRig rig;
    QList<QAction *> selected;
    AddThreeTests(rig, &selected);
    rig.Sql(QStringLiteral("Update SavString set StrCont = '2' where StrNo = 103"));
    rig.Sql(QStringLiteral("Update SavString set StrCont = '0' where StrNo = 101"));
    rig.Sql(QStringLiteral("Update SavString set StrCont = '1' where StrNo = 102"));
    auto w = rig.Create();
    w->show();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0], Child<QMenu>(*w, "pmTestList")->actions()[1]);
}

TEST(MainWindowShow, EmptyTestListSelectsNothing)
{
    TWindowRig rig;
    int calls = 0;
    rig.Steps.SelectTest = [&](kv::TfrmMeasure &, QAction *) { ++calls; };
    auto w = rig.Create();
    w->show();
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(Child<QMenu>(*w, "pmTestList")->isEmpty());
    EXPECT_EQ(w->CheckedTestIndex(), 0);
}

// ---------------------------------------------------------------------------
// Commands and state

TEST(MainWindowCommands, EnableAllButtonFollowsTheRunState)
{
    TWindowRig rig;
    auto w = rig.Create();
    for (const char *name : {"btnRun", "btnEndGro", "btnKY", "btnKZ", "btnPrint", "btnReset"})
        w->SetCommandAvailable(Child<QObject>(*w, name), true);

    w->EnableAllButton(false, false, true, false); // idle, on line
    EXPECT_TRUE(Child<QPushButton>(*w, "btnRun")->isEnabled());
    EXPECT_TRUE(Child<QToolButton>(*w, "btnKY")->isEnabled());
    EXPECT_TRUE(Child<QToolButton>(*w, "btnPrint")->isEnabled());
    EXPECT_TRUE(Child<QToolButton>(*w, "tbTest")->isEnabled());
    EXPECT_FALSE(Child<QToolButton>(*w, "btnEndGro")->isEnabled());
    EXPECT_TRUE(Child<QToolButton>(*w, "btnOut")->isEnabled());
    EXPECT_TRUE(Child<QMenu>(*w, "menuSystem")->menuAction()->isEnabled());

    w->EnableAllButton(true, true, true, false); // running
    EXPECT_FALSE(Child<QPushButton>(*w, "btnRun")->isEnabled());
    EXPECT_FALSE(Child<QToolButton>(*w, "btnOut")->isEnabled());
    EXPECT_FALSE(Child<QAction>(*w, "menuQuit")->isEnabled());
    EXPECT_FALSE(Child<QToolButton>(*w, "btnEndGro")->isEnabled());
    EXPECT_FALSE(Child<QMenu>(*w, "menuSetting")->menuAction()->isEnabled());

    w->EnableAllButton(false, true, true, false); // between specimens of a group
    EXPECT_TRUE(Child<QPushButton>(*w, "btnRun")->isEnabled());
    EXPECT_TRUE(Child<QToolButton>(*w, "btnEndGro")->isEnabled());
    EXPECT_FALSE(Child<QToolButton>(*w, "btnKY")->isEnabled());
    EXPECT_FALSE(Child<QToolButton>(*w, "btnPrint")->isEnabled());
    EXPECT_TRUE(Child<QToolButton>(*w, "btnOut")->isEnabled());

    w->EnableAllButton(false, true, true, true); // continuous group counting down
    EXPECT_FALSE(Child<QPushButton>(*w, "btnRun")->isEnabled());
    EXPECT_FALSE(Child<QToolButton>(*w, "btnOut")->isEnabled());
    EXPECT_FALSE(Child<QToolButton>(*w, "btnEndGro")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(*w, "btnReset")->isEnabled());

    w->EnableAllButton(false, false, false, false); // off line
    EXPECT_FALSE(Child<QPushButton>(*w, "btnRun")->isEnabled());
    EXPECT_FALSE(Child<QToolButton>(*w, "btnKZ")->isEnabled());
    EXPECT_TRUE(Child<QToolButton>(*w, "btnPrint")->isEnabled());
}

TEST(MainWindowCommands, CommandsWithoutTheirWindowStayDisabled)
{
    TWindowRig rig;
    rig.UseDriver(true);
    auto w = rig.Create();
    w->show();
    EXPECT_TRUE(w->IsOnline());
    for (const char *name : {"btnPrint", "btnCheck", "btnOneChk", "btnStable", "btnKY", "menuAdvanced", "menuUser"})
        EXPECT_FALSE(Child<QObject>(*w, name)->property("enabled").toBool()) << name;
    EXPECT_TRUE(Child<QPushButton>(*w, "btnRun")->isEnabled()) << "the run is the window's own";
    EXPECT_TRUE(Child<QToolButton>(*w, "btnOut")->isEnabled());
    EXPECT_TRUE(Child<QToolButton>(*w, "tbTest")->isEnabled());
    EXPECT_TRUE(Child<QAction>(*w, "menuQuit")->isEnabled());
}

TEST(MainWindowCommands, DigitsChangeTheDisplayAndAreStored)
{
    TWindowRig rig;
    auto w = rig.Create();
    EXPECT_EQ(w->ReadUnit(0, 1), 2);
    EXPECT_EQ(w->FLoadUnit, QStringLiteral("kN"));
    EXPECT_DOUBLE_EQ(w->FLoadCoe, 1000.0);
    EXPECT_EQ(Child<QLabel>(*w, "pnl_ZH")->text(), QStringLiteral("载荷(kN)"));

    Child<QLabel>(*w, "stPress")->setProperty("kvValue", 12.3456);
    QAction *three = Child<QMenu>(*w, "PMUnitLoad")->actions()[3];
    w->SetDigits(three);
    EXPECT_EQ(w->FLoadFormat, QStringLiteral("0.001"));
    EXPECT_EQ(Child<QLabel>(*w, "stPress")->text(), QStringLiteral("12.346"));
    EXPECT_TRUE(three->isChecked());
    EXPECT_FALSE(Child<QMenu>(*w, "PMUnitLoad")->actions()[2]->isChecked());
    EXPECT_EQ(w->ReadUnit(0, 1), 3);

    w->SetDigits(Child<QMenu>(*w, "pmUnitSpeed")->actions()[0]);
    EXPECT_EQ(w->FSpeedFormat, QStringLiteral("1"));
    EXPECT_EQ(w->ReadUnit(2, 0), 0);
    EXPECT_EQ(w->ReadUnit(0, 0), 0);
    EXPECT_EQ(w->FLoadUnit, QStringLiteral("N"));
    EXPECT_EQ(Child<QLabel>(*w, "pnl_ZHFZ")->text(), QStringLiteral("峰值(N)"));
}

TEST(MainWindowCommands, RestoreMessageBringsBackAMinimisedWindow)
{
    TWindowRig rig;
    auto w = rig.Create();
    w->show();
    w->showMinimized();
    ASSERT_TRUE(w->isMinimized());
    w->OnMsg_RESTORE(1001, 0);
    EXPECT_TRUE(w->isMinimized());
    w->OnMsg_RESTORE(0, 0);
    EXPECT_FALSE(w->isMinimized());
    EXPECT_TRUE(w->isVisible());
}
