// The main window's commands on a scripted box: rights of the three kinds of
// user, the enabled state through a run, a group and a continuous group,
// digits, language and machine type, the control-mode switch and the box
// commands of the run panel.
#include "WindowTestSupport.h"
#include "ui/dialogs/ControlModeDialog.h"
#include "ui/dialogs/ConstantLoadDialog.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QTest>

using namespace kv;
using kvtest::Child;

namespace {

struct TUserRig : windowtest::TWindowRunRig {
    explicit TUserRig(const QString &user)
    {
        Steps.Login = [user](QWidget *) { return TLoginOutcome{true, user}; };
    }
};

int AutoLoadRows(TZovData &data, const QString &model, QString *value = nullptr)
{
    const auto rows =
        data.Open(QStringLiteral("select * from CtrlBoxSaveItems where CtrlBox = '%1' and Name = 'FAutoLoad'").arg(model));
    if (!rows)
        return -1;
    if (value && rows->recordCount() == 1)
        *value = rows->fieldByName(QStringLiteral("Value")).asString();
    return rows->recordCount();
}

} // namespace

TEST(WindowRights, ThreeKindsOfUser)
{
    struct TCase {
        const char *user;
        bool maintenance, settings;
    };
    for (const TCase &c : {TCase{"quilmo", true, true}, TCase{"Admin", false, true},
                           TCase{"worker", false, false}}) {
        SCOPED_TRACE(c.user);
        TUserRig rig{QString::fromLatin1(c.user)};
        rig.Open();
        TfrmMeasure &w = *rig.W;
        EXPECT_EQ(w.FUserName, QString::fromLatin1(c.user));
        EXPECT_EQ(Child<QAction>(w, "menuRun")->isVisible(), c.maintenance);
        EXPECT_EQ(Child<QMenu>(w, "MenuMachine")->menuAction()->isVisible(), c.maintenance);
        EXPECT_EQ(Child<QMenu>(w, "N1")->menuAction()->isVisible(), c.maintenance);
        EXPECT_EQ(Child<QFrame>(w, "PlManuCtrl")->isVisible(), c.maintenance);
        EXPECT_EQ(Child<QMenu>(w, "menuSetting")->menuAction()->isVisible(), c.settings);
        for (const char *name : {"menuAdvanced", "menuGro", "menuUser"})
            EXPECT_EQ(Child<QAction>(w, name)->isVisible(), c.settings) << name;
        EXPECT_EQ(Child<QToolButton>(w, "btnOneChk")->isVisible(), c.settings);
        EXPECT_EQ(Child<QToolButton>(w, "btnCheck")->isVisible(), c.settings);
        // Everything else is everybody's.
        for (const char *name : {"menuLeave", "menuQuit", "menuAbtAbt", "NHelp"})
            EXPECT_TRUE(Child<QAction>(w, name)->isVisible()) << name;
        EXPECT_TRUE(Child<QPushButton>(w, "btnRun")->isVisible());
        EXPECT_TRUE(Child<QToolButton>(w, "btnStable")->isVisible());
        EXPECT_TRUE(Child<QAction>(w, "menuAbtAbt")->isEnabled());
        // Without a report-settings step of the wiring its command stays disabled.
        for (const char *name : {"NConfigRep"})
            EXPECT_FALSE(Child<QAction>(w, name)->isEnabled()) << name;
        // The hardware test and the settings backup are there for those who see the menu.
        for (const char *name : {"menuTestHard", "menuBackPar", "menuResPar"})
            EXPECT_TRUE(Child<QAction>(w, name)->isEnabled()) << name;
        EXPECT_TRUE(Child<QToolButton>(w, "btnPrint")->isVisible());
        EXPECT_FALSE(Child<QToolButton>(w, "btnPrint")->isEnabled());
        EXPECT_FALSE(Child<QToolButton>(w, "btnOneChk")->isEnabled());
        EXPECT_FALSE(Child<QToolButton>(w, "btnCheck")->isEnabled());
        EXPECT_FALSE(Child<QAction>(w, "menuGro")->isEnabled());
    }
}

TEST(WindowRights, ValvePanelOfTheMaintenanceUserStaysAtRest)
{
    TUserRig rig{QStringLiteral("quilmo")};
    rig.Open();
    TfrmMeasure &w = *rig.W;
    QSlider *valveSet = Child<QSlider>(w, "tbValveSet");
    EXPECT_EQ(valveSet->maximum(), 1200); // FValveInit 1000 x 1.2
    rig.Box->Aux = 345;
    valveSet->setEnabled(true);
    valveSet->setValue(50);
    rig.Box->Calls.clear();
    rig.Ticks(1); // one tick of the status timer
    EXPECT_EQ(valveSet->value(), 0);
    EXPECT_FALSE(valveSet->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(w, "btnValveDec")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(w, "btnValveInc")->isEnabled());
    EXPECT_EQ(Child<QProgressBar>(w, "guValvePos")->value(), 345);
    EXPECT_EQ(Child<QLineEdit>(w, "edtValvePos")->text(), QStringLiteral("345"));
}

TEST(WindowCommands, EnabledStateThroughRunGroupOfflineAndContinuous)
{
    windowtest::TWindowRunRig rig;
    InstallConstantLoadDialog(rig.Steps);
    rig.Open();
    TfrmMeasure &w = *rig.W;
    rig.Box->Loading = runtest::Specimen(40000);

    // At rest, on line.
    for (const char *name : {"btnRun", "btnStable", "tbTest", "btnOut", "btnReset", "sb_ClearZero"})
        EXPECT_TRUE(Child<QWidget>(w, name)->isEnabled()) << name;
    EXPECT_FALSE(Child<QToolButton>(w, "btnEndGro")->isEnabled());

    // Running: only stopping is left.
    Child<QPushButton>(w, "btnRun")->click();
    ASSERT_TRUE(w.Run().Running());
    rig.Clock.advance(2000);
    QCoreApplication::processEvents();
    for (const char *name : {"btnRun", "btnStable", "tbTest", "btnOut", "btnReset", "btnEndGro", "sb_ClearZero"})
        EXPECT_FALSE(Child<QWidget>(w, name)->isEnabled()) << name;
    EXPECT_TRUE(Child<QPushButton>(w, "btnStop")->isEnabled());
    EXPECT_FALSE(Child<QMenu>(w, "menuSystem")->menuAction()->isEnabled());

    // Between the specimens of a group.
    rig.RunToEnd();
    QCoreApplication::processEvents();
    ASSERT_FALSE(w.Run().Running());
    ASSERT_TRUE(w.Run().GroupActive());
    EXPECT_TRUE(Child<QPushButton>(w, "btnRun")->isEnabled());
    EXPECT_TRUE(Child<QToolButton>(w, "btnEndGro")->isEnabled());
    EXPECT_TRUE(Child<QToolButton>(w, "btnOut")->isEnabled());
    EXPECT_FALSE(Child<QToolButton>(w, "btnStable")->isEnabled());
    EXPECT_FALSE(Child<QToolButton>(w, "tbTest")->isEnabled());
    EXPECT_FALSE(Child<QMenu>(w, "menuSetting")->menuAction()->isEnabled());

    // A continuous group counting down: no run, no exit, no early end.
    rig.Probe->FContinuous = 1;
    w.EnableAllButton();
    EXPECT_FALSE(Child<QPushButton>(w, "btnRun")->isEnabled());
    EXPECT_FALSE(Child<QToolButton>(w, "btnOut")->isEnabled());
    EXPECT_FALSE(Child<QAction>(w, "menuQuit")->isEnabled());
    EXPECT_FALSE(Child<QToolButton>(w, "btnEndGro")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(w, "btnReset")->isEnabled());
    rig.Probe->FContinuous = 0;

    // Off line: no run and no box command; the records stay reachable.
    rig.Box->Connected = false;
    w.Run().State().GroupActive = false;
    rig.Ticks(1);
    EXPECT_FALSE(Child<QPushButton>(w, "btnRun")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(w, "btnReset")->isEnabled());
    EXPECT_TRUE(Child<QToolButton>(w, "btnStable")->isEnabled());
    EXPECT_TRUE(Child<QToolButton>(w, "btnOut")->isEnabled());
}

TEST(WindowCommands, RunPanelButtonsTalkToTheBox)
{
    windowtest::TWindowRunRig rig;
    rig.Open();
    TfrmMeasure &w = *rig.W;
    Child<QPushButton>(w, "btnReset")->click();
    Child<QPushButton>(w, "bitUp")->click();   // hidden on a hydraulic machine, still wired
    Child<QPushButton>(w, "BitDown")->click();
    EXPECT_EQ(rig.Box->Calls, (QStringList{QStringLiteral("Command(5)"), QStringLiteral("Command(6)")}));
}

TEST(WindowCommands, ReportButtonOpensTheRecordsWithTheBoxQuiet)
{
    windowtest::TWindowRunRig rig;
    bool statusTimerWhileOpen = true;
    rig.Steps.RecordsWindow = [&](TfrmMeasure &w) {
        statusTimerWhileOpen = w.StatusTimerActive();
        rig.Box->Log(QStringLiteral("records"));
    };
    rig.Open();
    TfrmMeasure &w = *rig.W;
    ASSERT_TRUE(Child<QToolButton>(w, "btnPrint")->isEnabled());
    Child<QToolButton>(w, "btnPrint")->click();
    EXPECT_EQ(rig.Box->Calls, (QStringList{QStringLiteral("SetADState(2)"), QStringLiteral("records"),
                                           QStringLiteral("SetADState(0)")}));
    EXPECT_FALSE(statusTimerWhileOpen);
    EXPECT_TRUE(w.StatusTimerActive());
}

TEST(WindowCommands, LanguageAndMachineTypeWaitForTheNextStart)
{
    TUserRig rig{QStringLiteral("quilmo")};
    rig.Open();
    TfrmMeasure &w = *rig.W;
    const QString title = w.windowTitle();
    const QString caption = Child<QLabel>(w, "pnl_ZH")->text();
    Child<QAction>(w, "English1")->trigger();
    EXPECT_EQ(rig.Messages.lastText(), QStringLiteral("语言切换成功,下次启动后生效!"));
    EXPECT_TRUE(Child<QAction>(w, "Chinese1")->isChecked());
    EXPECT_FALSE(Child<QAction>(w, "English1")->isChecked());
    EXPECT_EQ(Child<QMenu>(w, "menuSystem")->title(), QStringLiteral("系统功能(&S)"));
    qint32 language = -1;
    ASSERT_TRUE(w.DataModule()->ReadNumInt(20005, language));
    EXPECT_EQ(language, 1);

    Child<QAction>(w, "Nbend")->trigger();
    EXPECT_EQ(rig.Messages.lastText(), QStringLiteral("机型切换成功,下次启动后生效!"));
    QString type;
    ASSERT_TRUE(w.DataModule()->ReadStr(103, type));
    EXPECT_EQ(type, QStringLiteral("4"));
    EXPECT_EQ(w.MachineTypeNo(), 0);
    EXPECT_TRUE(Child<QPushButton>(w, "btnReset")->isVisible());
    EXPECT_FALSE(Child<QToolButton>(w, "btnKY")->isVisible());
    EXPECT_EQ(w.windowTitle(), title);
    EXPECT_EQ(Child<QLabel>(w, "pnl_ZH")->text(), caption);
}

TEST(WindowCommands, DigitsShowAtOnceAndAreStored)
{
    windowtest::TWindowRunRig rig;
    rig.Open();
    TfrmMeasure &w = *rig.W;
    QLabel *force = Child<QLabel>(w, "stPress");
    QMenu *digits = Child<QMenu>(w, "PMUnitLoad");
    w.ShowValue(force, 123.4567, w.FLoadFormat);
    digits->actions().at(2)->trigger();
    EXPECT_EQ(force->text(), QStringLiteral("123.46"));
    digits->actions().at(0)->trigger();
    EXPECT_EQ(w.FLoadFormat, QStringLiteral("1"));
    EXPECT_EQ(force->text(), QStringLiteral("123"));
    const auto unit = w.DataModule()->Open(QStringLiteral("select * from Unit where Name = '%1'").arg(w.FLoadUnit));
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->fieldByName(QStringLiteral("Round")).asInteger(), 0);
    EXPECT_FALSE(digits->actions().at(2)->isChecked());
    EXPECT_TRUE(digits->actions().at(0)->isChecked());
}

TEST(ControlMode, StoredUnderTheCurrentModel)
{
    windowtest::TWindowRunRig rig;
    rig.Open();
    TKVD510 box510;
    TZovData &data = *rig.W->DataModule();
    ASSERT_TRUE(data.ExecSql(QStringLiteral("delete from CtrlBoxSaveItems where Name = 'FAutoLoad'")));

    ASSERT_TRUE(ApplyControlMode(&data, box510, 1, rig.W.get()));
    EXPECT_EQ(box510.HandMode(), 1);
    EXPECT_EQ(rig.Messages.lastText(), QStringLiteral("切换到手动控制"));
    QString value;
    EXPECT_EQ(AutoLoadRows(data, QStringLiteral("KVD510"), &value), 1);
    EXPECT_EQ(value, QStringLiteral("1"));
    EXPECT_EQ(AutoLoadRows(data, QStringLiteral("KVD300")), 0);

    // The row is updated, not doubled.
    ASSERT_TRUE(ApplyControlMode(&data, box510, 0, rig.W.get()));
    EXPECT_EQ(rig.Messages.lastText(), QStringLiteral("切换到自动控制"));
    EXPECT_EQ(AutoLoadRows(data, QStringLiteral("KVD510"), &value), 1);
    EXPECT_EQ(value, QStringLiteral("0"));

    // A quote in a model name stays inside its value.
    ASSERT_TRUE(StoreAutoLoad(data, QStringLiteral("KV'D"), 1));
    EXPECT_EQ(AutoLoadRows(data, QStringLiteral("KV''D")), 1);
}

TEST(ControlMode, MenuShownWithManualControlAndDialogSwitches)
{
    windowtest::TWindowRunRig rig;
    rig.Steps.CreateDriver = [&rig](int) -> std::unique_ptr<TCtrlBox> {
        auto box = std::make_unique<runtest::TScriptedBox>(rig.Clock);
        box->FExistHand = 1;
        rig.Box = box.get();
        return box;
    };
    rig.Open();
    TfrmMeasure &w = *rig.W;
    ASSERT_TRUE(Child<QAction>(w, "NChangeAutoORHand")->isVisible());
    ASSERT_TRUE(Child<QAction>(w, "NChangeAutoORHand")->isEnabled());

    // Cancel changes nothing.
    windowtest::OnNextDialog([](QDialog &d) {
        auto *c = qobject_cast<TChange *>(&d);
        EXPECT_TRUE(Child<QRadioButton>(*c, "rbAuto")->isChecked());
        Child<QRadioButton>(*c, "rbHand")->setChecked(true);
        c->reject();
    });
    Child<QAction>(w, "NChangeAutoORHand")->trigger();
    EXPECT_EQ(rig.Box->HandMode(), 0);
    EXPECT_TRUE(rig.Box->Calls.isEmpty());

    windowtest::OnNextDialog([](QDialog &d) {
        auto *c = qobject_cast<TChange *>(&d);
        Child<QRadioButton>(*c, "rbHand")->setChecked(true);
        c->accept();
    });
    Child<QAction>(w, "NChangeAutoORHand")->trigger();
    EXPECT_EQ(rig.Box->HandMode(), 1);
    EXPECT_EQ(rig.Box->Calls, QStringList{QStringLiteral("SetControlMode(2)")});
    EXPECT_EQ(rig.Messages.lastText(), QStringLiteral("切换到手动控制"));
    QString value;
    EXPECT_EQ(AutoLoadRows(*w.DataModule(), QStringLiteral("KVD300"), &value), 1);
    EXPECT_EQ(value, QStringLiteral("1"));
    rig.Ticks(1);
    EXPECT_EQ(w.PanelText(3), QStringLiteral("控制状态：  手动控制"));
}

TEST(ControlMode, ParameterWindowThatDropsManualControlSetsAutomaticAndHidesTheSwitch)
{
    // A box whose parameter window is a plain dialog the test answers.
    struct TParamBox : runtest::TScriptedBox {
        using TScriptedBox::TScriptedBox;
        QWidget *ShowParams() override
        {
            auto *d = new QDialog;
            d->setAttribute(Qt::WA_DeleteOnClose);
            return d;
        }
    };
    windowtest::TWindowRunRig rig;
    rig.Steps.CreateDriver = [&rig](int) -> std::unique_ptr<TCtrlBox> {
        auto box = std::make_unique<TParamBox>(rig.Clock);
        box->FExistHand = 1;
        box->FAutoLoad = 1;
        rig.Box = box.get();
        return box;
    };
    rig.Open();
    TfrmMeasure &w = *rig.W;
    ASSERT_TRUE(Child<QAction>(w, "NChangeAutoORHand")->isVisible());
    rig.Box->Calls.clear();
    windowtest::OnNextDialog([&rig](QDialog &d) {
        rig.Box->FExistHand = 0; // the operator's change, as the window would store it
        d.reject();
    });
    ASSERT_TRUE(Child<QAction>(w, "menuAdvanced")->isEnabled());
    Child<QAction>(w, "menuAdvanced")->trigger();
    EXPECT_EQ(rig.Box->FExistHand, 0);
    EXPECT_FALSE(Child<QAction>(w, "NChangeAutoORHand")->isVisible());
    EXPECT_TRUE(rig.Box->Calls.contains(QStringLiteral("SetControlMode(0)"))) << rig.Box->Calls.join(' ').toStdString();

    // Unchanged, the window sends no control mode.
    rig.Box->Calls.clear();
    windowtest::OnNextDialog([](QDialog &d) { d.reject(); });
    Child<QAction>(w, "menuAdvanced")->trigger();
    EXPECT_FALSE(rig.Box->Calls.join(' ').contains(QStringLiteral("SetControlMode"))) << rig.Box->Calls.join(' ').toStdString();
}
