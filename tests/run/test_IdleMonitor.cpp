// The status timer between runs: link supervision, idle-force protection and
// the countdown of continuous testing.
#include "RunTestSupport.h"


using namespace kv;
using runtest::Specimen;
using runtest::TRunRig;

namespace {

const QString kTripped = QStringLiteral("当前力值超过设定的空闲保护力值,已进入保护状态,请先排查原因!");
const QString kLatched = QStringLiteral("当前处于保护状态,请重启软件和控制器!");
const QString kOffline = QStringLiteral("无法联系控制器,系统无法正常运行,请检查控制器是否打开!");

// A rig whose last run just unloaded, with protection on at 5 kN.
void Unloaded(TRunRig &r)
{
    r.Open();
    r.Box->FUseProtect = 0;
    r.Box->Loading = Specimen(20000.0f);
    ASSERT_TRUE(r.Run->StartRun());
    r.RunToEnd();
    ASSERT_TRUE(r.State().JustUnloaded);
    r.Messages.clear();
    r.Box->Calls.clear();
}

} // namespace

TEST(IdleMonitor, ProtectionWaitsAfterAnUnloadThenTripsAndIsReleased)
{
    TRunRig r;
    Unloaded(r);
    r.Box->IdleForce = 6000.0f; // 6 kN over the 5 kN limit
    r.Ticks(10);                // FProtectTime 2 s: ten ticks of 200 ms
    EXPECT_FALSE(r.Box->Calls.contains(QStringLiteral("SetProtect(0)")));
    r.Ticks(1); // the tick that ends the delay is still skipped
    EXPECT_FALSE(r.Box->Calls.contains(QStringLiteral("SetProtect(0)")));
    r.Messages.queueAnswer(TMsgResult::Ok);
    r.Messages.queueAnswer(TMsgResult::Yes);
    r.Ticks(1);
    ASSERT_EQ(r.Messages.texts().size(), 2);
    EXPECT_EQ(r.Messages.texts()[0], kTripped);
    EXPECT_EQ(r.Messages.texts()[1], QStringLiteral("是否解除保护?如已排除请选择\"是\""));
    EXPECT_EQ(r.Box->Calls, (QStringList{"SetProtect(0)", "SetProtect(1)"}));
    EXPECT_TRUE(r.State().ProtectTripped);
    EXPECT_FALSE(r.State().Protected());

    // Still above the limit: no new trip until it has been below it.
    r.Ticks(20);
    EXPECT_EQ(r.Messages.texts().size(), 2);
    r.Box->IdleForce = 1000.0f;
    r.Ticks(1);
    r.Box->IdleForce = 6000.0f;
    r.Messages.queueAnswer(TMsgResult::Ok);
    r.Messages.queueAnswer(TMsgResult::Yes);
    r.Ticks(1);
    EXPECT_EQ(r.Messages.texts().size(), 4);
}

TEST(IdleMonitor, DeclinedReleaseLatchesAndRefusesEveryRun)
{
    TRunRig r;
    Unloaded(r);
    r.Box->IdleForce = 6000.0f;
    r.Ticks(11);
    r.Messages.queueAnswer(TMsgResult::Ok);
    r.Messages.queueAnswer(TMsgResult::No);
    r.Ticks(1);
    ASSERT_EQ(r.Messages.texts().size(), 3);
    EXPECT_EQ(r.Messages.texts()[2], kLatched);
    EXPECT_TRUE(r.State().Protected());
    EXPECT_FALSE(r.Box->Calls.contains(QStringLiteral("SetProtect(1)")));
    r.Box->IdleForce = 0.0f;
    r.Ticks(10);
    EXPECT_EQ(r.Messages.texts().size(), 3) << "the warning comes once";

    EXPECT_FALSE(r.Run->StartRun());
    EXPECT_EQ(r.Messages.lastText(), kLatched);
}

TEST(IdleMonitor, ProtectionOffNeverTrips)
{
    TRunRig r;
    Unloaded(r);
    r.Box->FUseProtect = 1;
    r.Box->IdleForce = 60000.0f;
    r.Ticks(40);
    EXPECT_TRUE(r.Messages.texts().isEmpty());
    EXPECT_FALSE(r.State().ProtectTripped);
}

TEST(IdleMonitor, OneOfflineWarningPerPeriodAndReinitialisationOnEveryTick)
{
    TRunRig r;
    r.Open();
    r.Ticks(1);
    EXPECT_EQ(r.Observer.Panel(2), QStringLiteral("系统状态：联机工作"));
    EXPECT_EQ(r.Observer.Panel(3), QStringLiteral("控制状态：  自动控制"));
    r.Box->Connected = false;
    r.Ticks(1);
    EXPECT_EQ(r.Messages.texts(), QStringList{kOffline});
    EXPECT_EQ(r.Observer.Panel(2), QStringLiteral("系统状态：脱机工作")) << "with the warning, not a tick later";
    r.Box->Calls.clear();
    const qint64 slept = r.Clock.totalSlept();
    r.Ticks(3);
    EXPECT_EQ(r.Messages.texts().size(), 1);
    EXPECT_EQ(r.Observer.Panel(2), QStringLiteral("系统状态：脱机工作"));
    EXPECT_EQ(r.Box->Calls.mid(0, 3), (QStringList{"SetADState(0)", "SetControlMode(3)", "SetControlMode(0)"}));
    EXPECT_EQ(r.Box->Calls.size(), 9);
    EXPECT_EQ(r.Clock.totalSlept() - slept, 900);
    EXPECT_FALSE(r.Box->IsOnline()) << "Run is not offered off line";

    r.Box->Connected = true;
    r.Ticks(2);
    EXPECT_EQ(r.Messages.texts().size(), 1) << "coming back is silent";
    EXPECT_EQ(r.Observer.Panel(2), QStringLiteral("系统状态：联机工作"));
    EXPECT_TRUE(r.Box->IsOnline());
    r.Box->Connected = false;
    r.Ticks(3);
    EXPECT_EQ(r.Messages.texts().size(), 2) << "a new off-line period warns again";
    // The link counts the silent ticks of each period afresh (it reopens the port by them).
    EXPECT_EQ(r.SilentTicks, (QList<int>{1, 2, 3, 1, 2}));
}

TEST(IdleMonitor, ContinuousCountdownStartsTheNextRunAndShiftCancelsIt)
{
    TRunRig r;
    r.Open();
    r.Probe->FContinuous = 1;
    r.Probe->FDelay = 5;
    r.Box->Loading = Specimen(20000.0f);
    ASSERT_TRUE(r.Run->StartRun());
    r.RunToEnd();
    ASSERT_TRUE(r.State().AutoRunPending.load());
    EXPECT_TRUE(r.Run->GroupActive()) << "a continuous group runs on its own";
    r.State().TickCount = 0;
    r.Ticks(6 * 4);
    EXPECT_FALSE(r.Run->Active());
    EXPECT_EQ(r.Observer.Panel(1), QStringLiteral("距离下次运行还有1秒"));
    r.Ticks(6);
    EXPECT_TRUE(r.Run->Active()) << "the fifth step of 1.2 s starts the run";
    EXPECT_EQ(r.Probe->BeginSpecimens, 2);
    r.RunToEnd();
    ASSERT_TRUE(r.State().AutoRunPending.load());

    // Shift between two steps cancels the pending run.
    r.State().TickCount = 0;
    r.Ticks(6 * 2);
    EXPECT_FALSE(r.Run->KeyPress(Qt::Key_Shift, false));
    r.Ticks(6 * 4);
    EXPECT_FALSE(r.State().AutoRunPending.load());
    EXPECT_FALSE(r.Run->Active());
    EXPECT_EQ(r.Probe->BeginSpecimens, 2);
}
