// The verification run without a window, in virtual time on a scripted box:
// the default checkpoints, a whole run whose points are taken by the
// operator, the results stored and shown again, every stop reason ending
// the load on the tick that saw it, the idle protection, and the end button.
#include "../run/RunTestSupport.h"
#include "TestSupport.h"

#include "store/DataModule.h"
#include "store/GlobalParams.h"
#include "verify/CheckRun.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <thread>

using namespace kv;

namespace {

class TCheckBox : public runtest::TScriptedBox {
public:
    using TScriptedBox::TScriptedBox;
    void SetSpeedStage(int stage) override { Log(QStringLiteral("SetSpeedStage(%1)").arg(stage)); }
    int ReadForceCode() override { return 10 * TScriptedBox::ReadForceCode(); }
};

struct TProbe : TCheckObserver {
    QString Force, Speed, Time;
    int ForceCodeWindows = 0;
    void ShowForce(const QString &t) override { Force = t; }
    void ShowSpeed(const QString &t) override { Speed = t; }
    void ShowTime(const QString &t) override { Time = t; }
    void OpenForceCodes() override { ++ForceCodeWindows; }
};

struct TCheckRig {
    TVirtualClock clock;
    TClockGuard clockGuard{&clock};
    TRecordingMessageService messages;
    TMessageGuard messageGuard{&messages};
    kvtest::TFreshDb fresh = kvtest::FreshDatabase();
    TZovData data{fresh.path};
    TCheckBox box{clock};
    TMyGlbParam glb;
    TProbe probe;
    int valveStart = 0;
    std::unique_ptr<TCheckRun> run;

    explicit TCheckRig(TMyGlbParam::TCheckMode mode = TMyGlbParam::TCheckMode::Verification)
    {
        // The box's table: 0, 50, 100, 150, 200, 250 kN, then zero: four checkpoints.
        for (int p = 0; p < 6; ++p) {
            box.FLoadValue[size_t(p)] = 50000 * p;
            box.FLoadCode[size_t(p)] = 5000 * p;
        }
        box.FMaxLoad = 300000;
        box.FForcedLoad = 5000;
        glb.CheckMode = mode;
        glb.Settings.ControlMode = 1;
        glb.FastLoadSpeed = 10000;
        glb.SlowLoadSpeed = 2000;
        TCheckContext c;
        c.Box = [this] { return &box; };
        c.Glb = &glb;
        c.Data = &data;
        c.Coe = 1000;
        c.ValveStart = &valveStart;
        c.Observer = &probe;
        run = std::make_unique<TCheckRun>(std::move(c));
        run->Open();
    }
    // The box loads at rate N/s from 1.5 s after the start.
    bool Start(float rate = 10000)
    {
        box.Loading = [rate](qint64 ms) { return runtest::RampAt(ms, rate, 1e9f); };
        return run->Start();
    }
    // Advances until the box's force reaches f, then takes the point.
    void TakeAt(float f)
    {
        while (run->Running() && box.Current() < f)
            clock.advance(100);
        run->TakePoint();
    }
};

QStringList Texts(const TCheckRun &run, int column)
{
    QStringList out;
    for (const QStringList &row : run.Rows())
        out << row.value(column);
    return out;
}

} // namespace

TEST(CheckPoints, FirstZeroOfTheTableDecidesHowManyCheckpoints)
{
    std::vector<float> points;
    std::vector<int> codes;
    auto count = [&](std::array<int, 12> force) {
        std::array<int, 12> code{};
        for (size_t i = 0; i < 12; ++i)
            code[i] = force[i] / 10;
        return TCheckRun::DefaultCheckpoints(force, code, points, codes);
    };
    EXPECT_EQ(count({0, 0, 10, 20}), 0);  // F[2] zero
    EXPECT_EQ(count({0, 10, 0, 20}), 0);  // F[3] zero
    EXPECT_EQ(count({0, 10, 20, 0}), 1);  // F[4] zero: the single checkpoint F[2]
    EXPECT_EQ(points, std::vector<float>{10});
    EXPECT_EQ(codes, std::vector<int>{1});
    EXPECT_EQ(count({0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110}), 10); // none zero
    EXPECT_EQ(points.back(), 100.0f);  // the highest point is no checkpoint
}

TEST(CheckRun, OperatorTakesEveryPointThenIsAskedToCorrectTheTable)
{
    TCheckRig rig;
    ASSERT_EQ(rig.run->Rows().size(), 4u);
    EXPECT_EQ(Texts(*rig.run, 0), QStringList({"50", "100", "150", "200"}));
    rig.glb.Settings.AutoFastSlow = 1;
    rig.glb.SlowAdvance = 5000;
    ASSERT_TRUE(rig.Start(1000));
    EXPECT_TRUE(rig.box.Loaded);
    // The reference shows each checkpoint while the machine reads 1 % more.
    for (float c : {50000.f, 100000.f, 150000.f, 200000.f})
        rig.TakeAt(c * 1.01f);
    rig.clock.advance(100);
    EXPECT_FALSE(rig.run->Running());
    EXPECT_FALSE(rig.box.Loaded);
    EXPECT_EQ(rig.run->LastStop(), TCheckStop::Complete);
    EXPECT_EQ(rig.glb.RecordedCount, 4);
    for (const QString &e : Texts(*rig.run, 3))
        EXPECT_NEAR(e.toDouble(), 1.0, 0.25) << e.toStdString();
    EXPECT_EQ(rig.run->Rows()[0][2].toInt(), 10 * int(rig.glb.CheckMeasured[0]));
    // Slow near each checkpoint, fast again once it is taken.
    EXPECT_GE(rig.box.Calls.count("SetSpeedStage(1)"), 4);
    EXPECT_GE(rig.box.Calls.count("SetSpeedStage(0)"), 3);
    EXPECT_EQ(rig.messages.lastText(), "力值检测结束，是否需要修正标定力值数据");
    EXPECT_TRUE(rig.messages.messages().last().defaultNo);
    EXPECT_EQ(rig.probe.ForceCodeWindows, 1);
    ASSERT_EQ(rig.run->Series().size(), 1u);

    // The force-code window stores the results; the next opening shows them.
    // An older database may miss a row: the result is not lost to it.
    ASSERT_TRUE(rig.data.ExecSql("delete from CheckTempValue where name = 'CheckNum2'"));
    ASSERT_TRUE(rig.run->SaveCheckResults(4));
    const QString measured = rig.run->Rows()[1][1];
    rig.glb.CheckMeasured.fill(0);
    rig.run->Open();
    EXPECT_EQ(rig.run->Rows()[1][1], measured);
    EXPECT_EQ(rig.run->Rows()[1][2], "10000"); // the table's code of that point
}

TEST(CheckRun, EveryStopReasonEndsTheLoadOnTheTickThatSawIt)
{
    struct TCase {
        TCheckStop reason;
        std::function<void(TCheckRig &)> cause;
        qint64 afterMs; // when the cause is set, after the start
    };
    const std::vector<TCase> cases = {
        {TCheckStop::ValveOpen, [](TCheckRig &r) { r.valveStart = kValveStartLimit; }, 3000},
        {TCheckStop::LinkLost, [](TCheckRig &r) { r.box.Connected = false; }, 3000},
        {TCheckStop::Stopped, [](TCheckRig &r) { r.run->KeyPress(Qt::Key_Shift); }, 3000},
        {TCheckStop::Overload, [](TCheckRig &r) { r.box.Loading = [](qint64) { return 320000.f; }; }, 3000},
        {TCheckStop::CannotLoad, [](TCheckRig &r) { r.box.Loading = [](qint64) { return 0.f; }; }, 0},
        {TCheckStop::InitialForce, [](TCheckRig &r) { r.box.Loading = [](qint64) { return 9000.f; }; }, 0},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(int(c.reason));
        TCheckRig rig;
        rig.box.FCantLoadTime = 3;
        ASSERT_TRUE(rig.Start());
        rig.clock.advance(c.afterMs);
        ASSERT_TRUE(rig.run->Running());
        rig.box.Calls.clear();
        c.cause(rig);
        if (c.reason == TCheckStop::CannotLoad) {
            rig.clock.advance(3900);  // 3.9 s waited: not yet more than 3 whole seconds
            ASSERT_TRUE(rig.run->Running());
        }
        rig.clock.advance(100);
        EXPECT_FALSE(rig.run->Running());
        EXPECT_EQ(rig.run->LastStop(), c.reason);
        EXPECT_EQ(rig.box.Calls.count("Command(0)"), 2);
        EXPECT_EQ(rig.valveStart, 0);
        EXPECT_EQ(rig.messages.lastText(), TCheckRun::StopText(c.reason));
        EXPECT_EQ(rig.probe.Speed, "0.00");
    }
}

TEST(CheckRun, CalibrationOverloadIsNoStopReason)
{
    TCheckRig rig(TMyGlbParam::TCheckMode::Calibration);
    ASSERT_TRUE(rig.Start());
    rig.clock.advance(3000);
    rig.box.Loading = [](qint64) { return 320000.f; };
    rig.clock.advance(500);
    EXPECT_TRUE(rig.run->Running());
}

TEST(CheckRun, EndButtonKeepsTakenPointsOrRestoresTheStoredOnes)
{
    {
        TCheckRig rig(TMyGlbParam::TCheckMode::Calibration);
        ASSERT_TRUE(rig.Start());
        rig.TakeAt(50000);
        rig.TakeAt(100000);
        rig.clock.advance(100);
        rig.run->EndClick();
        rig.clock.advance(100);
        EXPECT_FALSE(rig.run->Running());
        EXPECT_EQ(rig.run->Rows().size(), 2u);
        EXPECT_EQ(rig.glb.RecordedCount, 2);
        EXPECT_EQ(rig.probe.ForceCodeWindows, 1); // calibration: the window at once
        EXPECT_EQ(rig.messages.lastText(), TCheckRun::StopText(TCheckStop::Stopped));
    }
    {
        TCheckRig rig;
        ASSERT_TRUE(rig.Start());
        rig.clock.advance(3000);
        rig.run->EndClick();
        rig.clock.advance(100);
        EXPECT_EQ(rig.run->Rows().size(), 4u);
        EXPECT_EQ(rig.run->Rows()[0][1], "0.00"); // the stored results, two decimals
        EXPECT_EQ(rig.probe.ForceCodeWindows, 0);
    }
}

TEST(CheckRun, IdleForceProtectsUntilReleasedOrRestart)
{
    TCheckRig rig;
    rig.box.FUseProtect = 0;
    rig.box.FProtectLoad = 5; // kN
    rig.box.IdleForce = 6000;
    rig.messages.queueAnswer(TMsgResult::Ok);
    rig.messages.queueAnswer(TMsgResult::No);
    rig.clock.advance(kCheckIdleMs);
    EXPECT_TRUE(rig.box.Calls.contains("SetProtect(0)"));
    EXPECT_TRUE(rig.run->Protected());
    EXPECT_EQ(rig.messages.lastText(), "当前处于保护状态,请重启软件和控制器!");
    EXPECT_FALSE(rig.run->Start());
    EXPECT_FALSE(rig.box.Loaded);

    TCheckRig released;
    released.box.FUseProtect = 0;
    released.box.FProtectLoad = 5;
    released.box.IdleForce = 6000;
    released.clock.advance(kCheckIdleMs);
    EXPECT_TRUE(released.box.Calls.contains("SetProtect(1)"));
    EXPECT_FALSE(released.run->Protected());
    released.clock.advance(10 * kCheckIdleMs); // no second alarm before the force fell
    EXPECT_EQ(released.box.Calls.count("SetProtect(0)"), 1);
}

// The run tick stops on its own thread and hands what follows to the
// user-interface thread; an End pressed before that arrives (right after the
// last point) must not put the stored results over the ones just taken.
TEST(CheckRun, EndPressedWhileTheLastPointsStopIsOnItsWayKeepsThePoints)
{
    TCheckRig rig(TMyGlbParam::TCheckMode::Calibration);
    ASSERT_TRUE(rig.Start(1000));
    for (float c : {50000.f, 100000.f, 150000.f, 200000.f})
        rig.TakeAt(c * 1.01f);
    std::thread([&] { rig.clock.advance(100); }).join(); // the tick as on its timer thread
    ASSERT_FALSE(rig.run->Running());
    rig.run->EndClick();
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.probe.ForceCodeWindows, 1);
    EXPECT_EQ(rig.glb.RecordedCount, 4);
    ASSERT_EQ(rig.run->Rows().size(), 4u);
    for (const QString &e : Texts(*rig.run, 3))
        EXPECT_NEAR(e.toDouble(), 1.0, 0.25) << e.toStdString();
    ASSERT_EQ(rig.run->Series().size(), 1u);
    EXPECT_NEAR(rig.run->Series().back().Points.at(0).Measured, 50500.f, 600.f);
}

// The force-code window pairs each checkpoint with the code taken there. A
// window opened again shows the default checkpoints; the pairs it leaves
// must be the ones its grid shows, never a default checkpoint with the code
// an earlier run took at another force.
TEST(CheckRun, ReopenedWindowLeavesNoCheckpointPairedWithAnotherPointsCode)
{
    TCheckRig rig(TMyGlbParam::TCheckMode::Calibration);
    rig.glb.CheckCount = 2;
    rig.glb.CheckForce[0] = 20000;
    rig.glb.CheckForce[1] = 40000;
    ASSERT_TRUE(rig.Start(1000));
    rig.TakeAt(20000);
    rig.TakeAt(40000);
    rig.clock.advance(100);
    ASSERT_EQ(rig.glb.RecordedCount, 2);
    rig.run->Open();
    EXPECT_EQ(rig.glb.RecordedCount, 0); // no point of the default checkpoints taken
    for (int k = 0; k < rig.glb.CheckCount; ++k) {
        EXPECT_EQ(rig.glb.CheckForce[size_t(k)], rig.run->Rows()[size_t(k)][0].toFloat() * 1000);
        EXPECT_EQ(rig.glb.CheckCode[size_t(k)], rig.run->Rows()[size_t(k)][2].toInt());
    }
}
