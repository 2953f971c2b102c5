// The run sequence in virtual time against a scripted box: starts and their
// refusals, waiting for the start force, the control stage, breaks, the end
// of a group, stops and the constant-load hold.
#include "RunTestSupport.h"

#include <cmath>

using namespace kv;
using runtest::Specimen;
using runtest::TRunRig;

namespace {

int IndexOf(const QStringList &calls, const QString &call, int from = 0)
{
    for (int i = from; i < calls.size(); ++i)
        if (calls[i] == call)
            return i;
    return -1;
}

} // namespace

TEST(RunSequence, AGroupOfThreeBreaksAtEachStrengthAndEndsWithEndGroup)
{
    TRunRig r;
    r.Open();
    const float strengths[3] = {30000.0f, 32000.0f, 31000.0f};
    for (int i = 0; i < 3; ++i) {
        r.Box->Loading = Specimen(strengths[i]);
        ASSERT_TRUE(r.Run->StartRun()) << r.Messages.texts().join(';').toStdString();
        EXPECT_TRUE(r.Run->Running());
        EXPECT_FALSE(r.Run->Idle().Active()) << "the sampling timer takes over";
        r.RunToEnd();
        EXPECT_FALSE(r.Run->Active());
        EXPECT_FALSE(r.Box->Loaded) << "the box is unloaded after the break";
    }
    EXPECT_TRUE(r.Messages.texts().isEmpty()) << r.Messages.texts().join(';').toStdString();
    ASSERT_EQ(r.Probe->Forces.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(r.Probe->Forces[i], strengths[i]);
        EXPECT_NEAR(r.Probe->Strengths[i], strengths[i] / 1600.0, 1e-3);
    }
    EXPECT_EQ(r.Probe->BeginGroups, 1);
    EXPECT_EQ(r.Probe->BeginSpecimens, 3);
    EXPECT_EQ(r.Probe->EndGroups, 1);
    EXPECT_EQ(r.Probe->FCurrent, 1);
    EXPECT_FALSE(r.Run->GroupActive());
    EXPECT_FALSE(r.Run->Running());
    EXPECT_TRUE(r.Run->Idle().Active()) << "the status timer runs again after the unload";

    // Every specimen's curve is in the group's curve file.
    const QString file = CurveFilePath(*r.Probe, r.OutDir.path());
    for (int i = 0; i < 3; ++i) {
        const TCurvePoints points = ReadCurveFile(file, i);
        ASSERT_FALSE(points.empty()) << i;
        float top = 0.0f;
        for (const TCurvePoint &p : points)
            top = std::max(top, p.Force);
        EXPECT_FLOAT_EQ(top, strengths[i]);
    }
    // The peak mark of the last specimen, in the display unit.
    ASSERT_EQ(r.Observer.PeakMarks, 1);
    EXPECT_EQ(QString::asprintf("%.2f", r.Observer.PeakForce), QStringLiteral("31.00"));
}

TEST(RunSequence, DriverCallsOfARunComeInTheirOrder)
{
    TRunRig r;
    r.Open();
    r.Box->Loading = Specimen(20000.0f);
    ASSERT_TRUE(r.Run->StartRun());
    const QStringList start = r.Box->Calls;
    EXPECT_EQ(start, (QStringList{"SetADState(2)", "SetFastSpeed(2400)", "SetADState(0)", "SetValveStart(1000)",
                                  "Command(1)"}));
    r.RunToEnd();
    const QStringList &c = r.Box->Calls;
    const int back = IndexOf(c, QStringLiteral("MoveValve(0,100)"));
    ASSERT_GT(back, 0) << "the valve backs off at the start force";
    const int unload = IndexOf(c, QStringLiteral("MoveValve(0,900)"), back + 1);
    ASSERT_GT(unload, back) << "the unload moves the valve by what is left of the valve start";
    EXPECT_EQ(c.mid(unload), (QStringList{"MoveValve(0,900)", "Command(0)", "Command(0)", "SetADState(0)"}));
}

TEST(RunSequence, StartRefusals)
{
    TRunRig r;
    r.Open();
    r.TestSelected = false;
    EXPECT_FALSE(r.Run->StartRun());
    EXPECT_EQ(r.Messages.lastText(), QStringLiteral("请选择试验"));
    r.TestSelected = true;

    r.Box->ParamDiffCount = 2;
    EXPECT_FALSE(r.Run->StartRun());
    EXPECT_EQ(r.Messages.lastText(), QStringLiteral("软件与控制箱之间有2个参数不一致,请判断"));
    // Settled in the difference dialog: the run goes on to the next check.
    r.Resolve = [&r] { r.Box->ParamDiffCount = 0; };
    r.Box->ParamDiffCount = 1;

    r.Probe->FGroupNo = QStringLiteral("A\"1");
    EXPECT_FALSE(r.Run->StartRun());
    EXPECT_EQ(r.Messages.lastText(), QStringLiteral("组号中不能包括'/', '\\', '*', ':', '?', '\"', '<', '>', '|'字符"));
    EXPECT_EQ(r.Probe->EndGroups, 1);
    EXPECT_EQ(r.Box->ParamDiffCount, 0);
    r.Probe->FGroupNo = QStringLiteral("G2");

    r.Probe->StoredState = 1;
    EXPECT_FALSE(r.Run->StartRun());
    EXPECT_EQ(r.Messages.lastText(), QStringLiteral("当前编号的试样已经在数据库中存在，请填写新的编号"));
    r.Probe->StoredState = 0;

    r.Probe->GroupRefusal = QStringLiteral("请输入组号");
    EXPECT_FALSE(r.Run->StartRun());
    EXPECT_EQ(r.Messages.lastText(), QStringLiteral("请输入组号"));
    r.Probe->GroupRefusal.clear();

    // A speed the box does not take: no loading, and no run left active.
    r.Box->FastSpeedAccepted = false;
    r.Box->Calls.clear();
    EXPECT_FALSE(r.Run->StartRun());
    EXPECT_EQ(r.Messages.lastText(), QStringLiteral("发送数据到控制器出错"));
    EXPECT_EQ(IndexOf(r.Box->Calls, QStringLiteral("Command(1)")), -1);
    EXPECT_FALSE(r.Run->Active());
    EXPECT_FALSE(r.Run->Running());
    EXPECT_EQ(r.Run->SamplingTimer(), nullptr);
}

TEST(RunSequence, InitialForceTooLargeStopsInTheFirstSecondAndTheNextRunStillWorks)
{
    TRunRig r;
    r.Open();
    r.Box->IdleForce = 2000.0f;
    r.Box->Loading = [](qint64) { return 2000.0f; };
    ASSERT_TRUE(r.Run->StartRun());
    const int steps = r.RunToEnd();
    EXPECT_EQ(steps, 1);
    EXPECT_TRUE(r.Messages.texts().contains(QStringLiteral("初始力值过大，系统无法加载，请检查是否清零！")));
    EXPECT_EQ(r.Probe->EndGroups, 1) << "stopping the first specimen closes the group";
    EXPECT_FALSE(r.Run->GroupActive());

    // The step that stopped must not leave the next run blocked.
    r.Box->IdleForce = 0.0f;
    r.Box->Loading = Specimen(20000.0f);
    r.Messages.clear();
    ASSERT_TRUE(r.Run->StartRun());
    r.RunToEnd();
    ASSERT_EQ(r.Probe->Forces.size(), 1);
    EXPECT_DOUBLE_EQ(r.Probe->Forces[0], 20000.0);
}

TEST(RunSequence, CannotLoadAfterTheWaitAndTheRemainingTimeOnEveryTenthSample)
{
    TRunRig r;
    r.Open();
    r.Box->Loading = [](qint64) { return 10.0f; };
    ASSERT_TRUE(r.Run->StartRun());
    r.Clock.advance(900);
    EXPECT_EQ(r.Observer.Panel(1), QStringLiteral("到现在等待时间还有10秒"));
    r.Clock.advance(1000);
    EXPECT_EQ(r.Observer.Panel(1), QStringLiteral("到现在等待时间还有9秒"));
    r.Clock.advance(100 * 109 - 1900);
    EXPECT_TRUE(r.Run->Active()) << "109 samples: 10 whole seconds, not more";
    EXPECT_TRUE(r.Messages.texts().isEmpty());
    r.Clock.advance(100);
    EXPECT_FALSE(r.Run->Active());
    EXPECT_EQ(r.Messages.lastText(),
              QStringLiteral("无法加载,可能原因是\n1.等待加载时间不够.\n2.初始开度不够.\n3.回油阀没关紧(液压式)"));
    EXPECT_FALSE(r.Run->GroupActive());
    EXPECT_EQ(r.Probe->EndGroups, 1);
}

TEST(RunSequence, TheFirstTwoControlSamplesNeitherDrawNorJudge)
{
    TRunRig r;
    r.Open();
    // The start force comes at once on the 15th sample; afterwards the force
    // drops far, so the first judged sample breaks.
    r.Box->FStartJudge = 0;
    r.Box->Loading = [](qint64 ms) { return ms < 1450 ? 0.0f : (ms < 1550 ? 20000.0f : 1500.0f); };
    ASSERT_TRUE(r.Run->StartRun());
    r.Clock.advance(1500); // 15 samples: the start force, control sample 1
    EXPECT_EQ(r.State().ControlTicks, 1);
    EXPECT_EQ(r.State().Phase.load(), TRunPhase::Control);
    EXPECT_TRUE(r.Run->Curve().empty());
    // The valve pause of 200 ms passed over two grid points; the next is 1800.
    r.Clock.advance(100);
    EXPECT_EQ(r.State().ControlTicks, 2);
    EXPECT_TRUE(r.Run->Curve().empty());
    EXPECT_TRUE(r.Run->Active()) << "sample 2 is not judged";
    r.Clock.advance(100);
    EXPECT_EQ(r.State().ControlTicks, 3);
    ASSERT_EQ(r.Run->Curve().size(), 1u);
    EXPECT_NEAR(r.Run->Curve()[0].X, 0.3, 1e-6);
    EXPECT_FALSE(r.Run->Active()) << "sample 3 is judged: the drop is a break";
    EXPECT_EQ(r.Observer.Points.size(), 1u);
}

TEST(RunSequence, SpaceBarBreaksBelowTheStartJudgeForceOnlyWhenAllowed)
{
    for (int spaceJudge : {0, 1}) {
        TRunRig r;
        r.Open();
        r.Box->FSpaceJudge = spaceJudge;
        r.Box->Loading = [](qint64 ms) { return runtest::RampAt(ms, 4000.0f, 4000.0f, 1200.0f); };
        ASSERT_TRUE(r.Run->StartRun());
        r.Clock.advance(3000);
        ASSERT_TRUE(r.Run->Active());
        EXPECT_TRUE(r.Run->KeyPress(Qt::Key_Space, false)) << "space never reaches a button during a run";
        r.Clock.advance(100);
        EXPECT_EQ(r.Run->Active(), spaceJudge != 0) << spaceJudge;
        if (spaceJudge == 0) {
            ASSERT_EQ(r.Probe->Forces.size(), 1);
            EXPECT_DOUBLE_EQ(r.Probe->Forces[0], 4000.0);
        }
    }
}

TEST(RunSequence, EarlierOfTwoEqualMaximaCarriesThePeakMark)
{
    TRunRig r;
    r.Open();
    r.Box->Loading = [](qint64 ms) {
        if (ms < 4000)
            return runtest::RampAt(ms, 4000.0f, 9500.0f, 1500.0f); // the maximum from 3500 on
        return 2000.0f;
    };
    ASSERT_TRUE(r.Run->StartRun());
    r.RunToEnd();
    ASSERT_EQ(r.Observer.PeakMarks, 1);
    const TCurvePoints &c = r.Run->Curve();
    auto first = std::find_if(c.begin(), c.end(), [](const TCurvePoint &p) { return p.Force == 9500.0f; });
    ASSERT_NE(first, c.end());
    EXPECT_FLOAT_EQ(r.Observer.PeakTime, first->X);
    EXPECT_TRUE(std::count_if(c.begin(), c.end(), [](const TCurvePoint &p) { return p.Force == 9500.0f; }) > 1);
}

TEST(RunSequence, StopDuringARunUnloadsAtTheNextSample)
{
    TRunRig r;
    r.Open();
    r.Box->Loading = Specimen(60000.0f);
    ASSERT_TRUE(r.Run->StartRun());
    r.Clock.advance(3000);
    r.Run->StopClick();
    EXPECT_TRUE(r.Run->Active()) << "the step unloads, not the button";
    EXPECT_FALSE(r.Run->Running()) << "Run is offered again at once";
    r.Box->Calls.clear();
    EXPECT_FALSE(r.Run->StartRun()) << "no new start before the unload";
    EXPECT_TRUE(r.Box->Calls.isEmpty());
    r.Clock.advance(100);
    EXPECT_FALSE(r.Run->Active());
    EXPECT_FALSE(r.Box->Loaded);
    EXPECT_EQ(r.Messages.lastText(), QStringLiteral("试验已停止，请等工作台回落后继续试验"));
    EXPECT_EQ(r.Probe->EndGroups, 1);
    EXPECT_TRUE(r.Probe->Forces.isEmpty());
}

TEST(RunSequence, OverloadAndLostLinkUnloadAndCloseTheGroup)
{
    TRunRig r;
    r.Open();
    // A force above 1.02 x the maximum force of 300 kN.
    r.Box->Loading = [](qint64 ms) { return ms < 3050 ? runtest::RampAt(ms, 2400.0f, 60000.0f) : 306001.0f; };
    ASSERT_TRUE(r.Run->StartRun());
    r.Clock.advance(3000);
    EXPECT_TRUE(r.Run->Active());
    r.Clock.advance(100);
    EXPECT_FALSE(r.Run->Active());
    EXPECT_FALSE(r.Box->Loaded);
    EXPECT_EQ(r.Messages.lastText(), QStringLiteral("当前力值已经超过选择的最大力值，请等工作台复位后继续试验！."));

    // Second specimen of a group: the link goes during the run.
    TRunRig g;
    g.Open();
    g.Box->Loading = Specimen(20000.0f);
    ASSERT_TRUE(g.Run->StartRun());
    g.RunToEnd();
    ASSERT_TRUE(g.Run->GroupActive());
    g.Box->Loading = Specimen(60000.0f);
    ASSERT_TRUE(g.Run->StartRun());
    g.Clock.advance(3000);
    g.Box->Connected = false;
    g.Clock.advance(100);
    EXPECT_FALSE(g.Run->Active());
    EXPECT_FALSE(g.Box->Loaded) << "the unload is sent even so";
    EXPECT_FALSE(g.Run->GroupActive());
    EXPECT_EQ(g.Messages.lastText(), QStringLiteral("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"));
    EXPECT_EQ(g.Observer.Panel(2), QStringLiteral("系统状态：脱机工作"));
    // The status timer takes over the off-line period without a second message.
    const int shown = g.Messages.texts().size();
    g.Ticks(3);
    EXPECT_EQ(g.Messages.texts().size(), shown);
    EXPECT_EQ(g.SilentTicks, (QList<int>{1, 2, 3}));
    EXPECT_EQ(g.Observer.Panel(2), QStringLiteral("系统状态：脱机工作"));
}

TEST(RunSequence, ConstantLoadHoldsSixtySecondsThenUnloads)
{
    TRunRig r;
    r.Open();
    r.State().Mode = TRunMode::ConstantLoad;
    r.State().HoldForce = 20000.0f;
    r.State().HoldTime = 60;
    r.Box->Loading = [](qint64 ms) { return runtest::RampAt(ms, 2400.0f, 20000.0f); };
    ASSERT_TRUE(r.Run->StartRun());
    r.Clock.advance(20000);
    EXPECT_EQ(r.State().Phase.load(), TRunPhase::Hold);
    r.RunToEnd();
    EXPECT_EQ(r.State().ControlTicks - r.State().HoldStartTick, 601);
    EXPECT_EQ(r.Messages.lastText(), QStringLiteral("定荷的时间已到，自动卸载"));
    EXPECT_FALSE(r.Box->Loaded);
    EXPECT_TRUE(r.Probe->Forces.isEmpty()) << "a hold is not a break";
    // The time axis grew by 20 s whenever the curve passed 8/10 of it.
    const float last = r.Run->Curve().back().X;
    EXPECT_EQ(r.Observer.TimeAxisMax, 20.0f * std::ceil((last / 0.8f - 20.0f) / 20.0f) + 20.0f) << last;
    EXPECT_EQ(r.Observer.Unloads, QList<TRunMode>{TRunMode::ConstantLoad});
}

TEST(RunSequence, EndGroupEarlyKeepsTheSpecimensTested)
{
    TRunRig r;
    r.Open();
    r.Box->Loading = Specimen(20000.0f);
    ASSERT_TRUE(r.Run->StartRun());
    r.RunToEnd();
    ASSERT_TRUE(r.Run->GroupActive() && !r.Run->Running()) << "a group between specimens may end early";
    r.Run->EndGroupClick();
    EXPECT_EQ(r.Probe->EndGroups, 1);
    EXPECT_FALSE(r.Run->GroupActive());
    EXPECT_EQ(r.Probe->FCurrent, 1);
    EXPECT_EQ(r.Probe->FGroupSize, 3);
}
