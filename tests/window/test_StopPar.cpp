// Constant-load settings: the force range of the dialog, the accepted
// forces, the settings rows per model family and the run it starts.
#include "WindowTestSupport.h"
#include "ui/dialogs/ConstantLoadDialog.h"

#include <QPushButton>
#include <QLabel>
#include <QSpinBox>

using namespace kv;
using kvtest::Child;

namespace {

class TKeepLoadBox : public runtest::TScriptedBox {
public:
    using TScriptedBox::TScriptedBox;
    bool SetKeepLoad(double force) override
    {
        KeepLoads.append(force);
        return true;
    }
    QList<double> KeepLoads;
};

struct TStopRig : windowtest::TWindowRunRig {
    TKeepLoadBox *Keep = nullptr;
    TStopRig()
    {
        Steps.CreateDriver = [this](int) -> std::unique_ptr<TCtrlBox> {
            auto box = std::make_unique<TKeepLoadBox>(Clock);
            Box = Keep = box.get();
            return box;
        };
        InstallConstantLoadDialog(Steps);
    }
    qint32 Num(int no)
    {
        qint32 v = -1;
        return W->DataModule()->ReadNumInt(no, v) ? v : -1;
    }
};

} // namespace

TEST(StopParRules, RangeAndAcceptedForcesFollowTheMaximumForce)
{
    const TStopParRange kN = StopParRange(300000, 1000);
    EXPECT_EQ(kN.Min, 6);
    EXPECT_EQ(kN.Max, 306);
    const TStopParRange n = StopParRange(300000, 1);
    EXPECT_EQ(n.Min, 6000);
    EXPECT_EQ(n.Max, 306000);

    EXPECT_TRUE(StopForceAccepted(3000, 300000));
    EXPECT_FALSE(StopForceAccepted(2999, 300000));
    EXPECT_TRUE(StopForceAccepted(309000, 300000));
    EXPECT_FALSE(StopForceAccepted(309001, 300000));
    // Without a known maximum force nothing can be held.
    EXPECT_FALSE(StopForceAccepted(0, 0));
}

TEST(StopParDialog, ShowsTheRangeAndStoredValuesAndRefusesOutOfRange)
{
    TStopRig rig;
    rig.Sql(QStringLiteral("delete from SavNum where NumNo in (20006, 20007, 20008, 20009)"));
    rig.Open();
    // Missing rows read as 100; the unit of the force display beside the edit.
    TfrmStopPar dialog(rig.W->DataModule(), rig.Box, false, 300000, QStringLiteral("kN"), 1000, rig.W.get());
    QSpinBox *force = Child<QSpinBox>(dialog, "se_Stop");
    QSpinBox *time = Child<QSpinBox>(dialog, "se_Time");
    EXPECT_EQ(force->minimum(), 6);
    EXPECT_EQ(force->maximum(), 306);
    EXPECT_EQ(force->value(), 100);
    EXPECT_EQ(time->minimum(), 1);
    EXPECT_EQ(time->maximum(), 36000);
    EXPECT_EQ(time->value(), 100);
    EXPECT_EQ(Child<QLabel>(dialog, "lblUnit")->text(), QStringLiteral("kN"));
    EXPECT_EQ(Child<QPushButton>(dialog, "btnStopSet")->text(), QStringLiteral("运行"));

    // A maximum force of nothing: the only force offered is refused.
    TfrmStopPar none(rig.W->DataModule(), rig.Box, false, 0, QStringLiteral("kN"), 1000, rig.W.get());
    none.btnStopSetClick();
    EXPECT_EQ(none.result(), QDialog::Rejected);
    EXPECT_EQ(rig.Messages.lastText(), QStringLiteral("设定的定荷力值超出范围最大力的(%1-100%)"));
    EXPECT_TRUE(rig.Keep->KeepLoads.isEmpty());
    EXPECT_EQ(rig.Num(20008), -1);
}

TEST(StopParDialog, ConfirmationSendsStoresWaitsAndGivesTheHold)
{
    TStopRig rig;
    rig.Open();
    const qint64 slept = rig.Clock.totalSlept();
    windowtest::OnNextDialog([](QDialog &d) {
        auto *dialog = qobject_cast<TfrmStopPar *>(&d);
        ASSERT_NE(dialog, nullptr);
        Child<QSpinBox>(*dialog, "se_Stop")->setValue(150);
        Child<QSpinBox>(*dialog, "se_Time")->setValue(30);
        Child<QPushButton>(*dialog, "btnStopSet")->click();
    });
    float force = 0;
    int seconds = 0;
    ASSERT_TRUE(ShowStopPar(*rig.W, force, seconds));
    EXPECT_FLOAT_EQ(force, 150000.0f);
    EXPECT_EQ(seconds, 30);
    EXPECT_EQ(rig.Keep->KeepLoads, QList<double>{150000.0});
    EXPECT_EQ(rig.Num(20008), 150);
    EXPECT_EQ(rig.Num(20009), 30);
    EXPECT_GE(rig.Clock.totalSlept() - slept, 200);

    // Cancel changes nothing.
    windowtest::OnNextDialog([](QDialog &d) {
        auto *dialog = qobject_cast<TfrmStopPar *>(&d);
        EXPECT_EQ(Child<QSpinBox>(*dialog, "se_Stop")->value(), 150);
        Child<QSpinBox>(*dialog, "se_Stop")->setValue(200);
        Child<QPushButton>(*dialog, "btnStopOk")->click();
    });
    EXPECT_FALSE(ShowStopPar(*rig.W, force, seconds));
    EXPECT_EQ(rig.Num(20008), 150);
    EXPECT_EQ(rig.Keep->KeepLoads.size(), 1);
}

TEST(StopParDialog, FlexureSideKeepsItsOwnConstantLoad)
{
    TStopRig rig;
    rig.Sql(QStringLiteral("delete from SavNum where NumNo in (20006, 20007, 20008, 20009)"));
    rig.Sql(QStringLiteral("insert into SavNum (NumNo, NumCont) values (20008, '50')"));
    rig.Sql(QStringLiteral("update SavString set StrCont = '2' where StrNo = 103"));
    rig.Open();
    ASSERT_EQ(rig.W->MachineTypeNo(), 2);
    windowtest::OnNextDialog([](QDialog &d) {
        auto *dialog = qobject_cast<TfrmStopPar *>(&d);
        EXPECT_EQ(Child<QSpinBox>(*dialog, "se_Stop")->value(), 100); // not the other family's 50
        Child<QSpinBox>(*dialog, "se_Stop")->setValue(120);
        Child<QSpinBox>(*dialog, "se_Time")->setValue(15);
        Child<QPushButton>(*dialog, "btnStopSet")->click();
    });
    float force = 0;
    int seconds = 0;
    ASSERT_TRUE(ShowStopPar(*rig.W, force, seconds));
    EXPECT_EQ(rig.Num(20006), 120);
    EXPECT_EQ(rig.Num(20007), 15);
    EXPECT_EQ(rig.Num(20008), 50);
    EXPECT_EQ(rig.Num(20009), -1);
}

TEST(StopParDialog, ConstantLoadButtonStartsAHoldRun)
{
    TStopRig rig;
    rig.Open();
    ASSERT_TRUE(Child<QToolButton>(*rig.W, "btnStable")->isEnabled());
    windowtest::OnNextDialog([](QDialog &d) {
        auto *dialog = qobject_cast<TfrmStopPar *>(&d);
        Child<QSpinBox>(*dialog, "se_Stop")->setValue(60);
        Child<QPushButton>(*dialog, "btnStopSet")->click();
    });
    Child<QToolButton>(*rig.W, "btnStable")->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.Run->Mode(), TRunMode::ConstantLoad);
    EXPECT_FLOAT_EQ(rig.Run->State().HoldForce, 60000.0f);
    EXPECT_EQ(rig.Run->State().HoldTime, 100);
    EXPECT_FALSE(rig.Run->State().HoldReached);
    EXPECT_TRUE(rig.Run->Active());
    EXPECT_TRUE(rig.Run->Running());
    Child<QPushButton>(*rig.W, "btnStop")->click();
    rig.RunToEnd();
}
