// Break judgement, displayed speed and the constant-load hold on their own.
#include "link/CtrlBox.h"
#include "run/RunJudge.h"
#include "run/SafetyChecks.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

constexpr float kPeriod = 0.1f;

struct TJudgeRig {
    TKVD300 Box;
    TRunState Glb;
    TJudgeRig()
    {
        Box.FStartJudge = 5000;
        Box.FBreakValue = 500;
        Box.FdotCount = 3;
    }
    // Feeds forces oldest first, as the samples come.
    void Feed(std::initializer_list<float> forces)
    {
        for (float f : forces) {
            Glb.ForceHistory.Push(f);
            Glb.SamplePeak = std::max(Glb.SamplePeak, f);
        }
    }
    int Judge(float x) { return JudgeBreak(Box, Glb, x, 2400.0f, kPeriod).State; }
};

// A steady ramp of rate N/s over n samples, newest last.
void Ramp(THistory &h, float rate, int n, float start = 10000.0f)
{
    for (int i = 0; i < n; ++i)
        h.Push(start + rate * kPeriod * static_cast<float>(i));
}

} // namespace

TEST(RunJudge, OnePointBreaksOnlyPastTheDropAndTheStartJudgeForce)
{
    TJudgeRig r;
    r.Box.FJudgeFlags.Force = true;
    r.Box.FJudgeLoadPointType = 1;
    r.Feed({8000.0f});
    EXPECT_EQ(r.Judge(7500.0f), jsContinue) << "a drop of exactly 500 N is not a break";
    EXPECT_EQ(r.Judge(7499.9f), jsBreak);

    TJudgeRig low;
    low.Box.FJudgeFlags.Force = true;
    low.Box.FJudgeLoadPointType = 1;
    low.Feed({4000.0f});
    EXPECT_EQ(low.Judge(100.0f), jsContinue) << "no break before the peak passed the start-judge force";
    low.Glb.ManualBreak = true;
    EXPECT_EQ(low.Judge(100.0f), jsBreak) << "the operator's break counts below the start-judge force";
}

TEST(RunJudge, SeveralPointsCompareWithTheMaximumOrThePreviousPoint)
{
    TJudgeRig r;
    r.Box.FJudgeFlags.Force = true;
    r.Box.FJudgeLoadPointType = 0;
    r.Box.FJudgeLoadType = 1;
    r.Feed({9000.0f, 10000.0f, 9999.0f, 9998.0f});
    EXPECT_EQ(r.Judge(9998.0f), jsContinue) << "two points below the peak of three";
    r.Feed({9999.5f});
    EXPECT_EQ(r.Judge(9999.5f), jsBreak) << "the three newest all below the peak";

    TJudgeRig prev;
    prev.Box.FJudgeFlags.Force = true;
    prev.Box.FJudgeLoadPointType = 0;
    prev.Box.FJudgeLoadType = 0;
    prev.Feed({9000.0f, 10000.0f, 9990.0f, 9995.0f, 9980.0f});
    EXPECT_EQ(prev.Judge(9980.0f), jsContinue) << "9995 rose over 9990";
    prev.Feed({9970.0f, 9960.0f});
    EXPECT_EQ(prev.Judge(9960.0f), jsBreak) << "three falls in a row";
}

TEST(RunJudge, SpeedDropAndValveSurge)
{
    TJudgeRig r;
    r.Box.FJudgeFlags.Speed = true;
    r.Box.FJudgeSpeedTime = 10;
    r.Box.FJudgeSpeedK = 50;
    Ramp(r.Glb.ForceHistory, 2400.0f, 20);
    r.Glb.SamplePeak = 20000.0f;
    EXPECT_EQ(r.Judge(r.Glb.ForceHistory[1]), jsContinue);
    Ramp(r.Glb.ForceHistory, 1000.0f, 20); // below half the set rate
    EXPECT_EQ(r.Judge(r.Glb.ForceHistory[1]), jsBreak);

    // A window longer than the history reads its oldest entry instead of
    // running off the end.
    r.Box.FJudgeSpeedTime = 200;
    Ramp(r.Glb.ForceHistory, 2400.0f, 60);
    EXPECT_NEAR(HistorySlope(r.Glb.ForceHistory, 200, kPeriod) * 199.0f / 49.0f, 2400.0f, 1.0f);
    r.Box.FJudgeSpeedTime = 1;
    EXPECT_EQ(r.Judge(r.Glb.ForceHistory[1]), jsContinue) << "one sample has no slope";

    TJudgeRig v;
    v.Box.FJudgeFlags.Valve = true;
    v.Box.FJudgeFaTime = 5;
    v.Box.FJudgeFaK = 20;
    v.Glb.SamplePeak = 20000.0f;
    for (int i = 0; i < 20; ++i)
        v.Glb.ValveHistory.Push(static_cast<float>(i * 10));
    EXPECT_EQ(v.Judge(15000.0f), jsContinue) << "a steady valve does not surge";
    v.Glb.ValveHistory.Push(400.0f);
    EXPECT_EQ(v.Judge(15000.0f), jsBreak);
}

TEST(RunJudge, DisplayedSpeedStaysInItsBandNearTheSetRate)
{
    THistory h;
    const float rate = 2400.0f;
    for (float actual : {1300.0f, 2000.0f, 2400.0f, 2600.0f, 4700.0f}) {
        h.Clear();
        Ramp(h, actual, 40);
        const float s = DisplaySpeed(h, rate, kPeriod);
        EXPECT_GE(s, 0.93f * rate - 0.01f) << actual;
        EXPECT_LE(s, 1.07f * rate + 0.01f) << actual;
    }
    h.Clear();
    Ramp(h, 6000.0f, 40);
    EXPECT_NEAR(DisplaySpeed(h, rate, kPeriod), 6000.0f, 1.0f) << "outside twice the rate: the raw slope";
    h.Clear();
    Ramp(h, 1000.0f, 40);
    EXPECT_NEAR(DisplaySpeed(h, rate, kPeriod), 1000.0f, 1.0f) << "below half the rate: the raw slope";
    EXPECT_EQ(DisplaySpeed(h, 0.0f, kPeriod), 0.0f);

    // Too fast is one of the safety checks of a judged sample.
    TJudgeRig fast;
    Ramp(fast.Glb.ForceHistory, 70000.0f, 40);
    const TJudgement j = JudgeBreak(fast.Box, fast.Glb, 50000.0f, 2400.0f, kPeriod);
    EXPECT_EQ(j.State, jsContinue);
    QString message;
    const TSafetyRule *rule = FirstFiring(TCheckStage::Judgement, {fast.Box, fast.Glb, 50000.0f, 50.0, j.Speed}, message);
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->Check, TSafetyCheck::TooFast);
    EXPECT_EQ(message, QStringLiteral("系统加载速度过快"));
}

TEST(RunJudge, HoldEndsOnTheFirstSampleAfterTheHoldTime)
{
    TRunState g;
    g.HoldForce = 20000.0f;
    g.HoldTime = 60;
    g.HoldRate = 2400.0f;
    g.ControlTicks = 50;
    EXPECT_EQ(JudgeHold(g, 19998.0f, kPeriod).State, jsContinue);
    EXPECT_FALSE(g.HoldReached);
    g.ControlTicks = 51;
    JudgeHold(g, 19999.5f, kPeriod);
    EXPECT_TRUE(g.HoldReached) << "reached above HoldForce - 1 N";
    EXPECT_EQ(g.HoldStartTick, 51);
    g.ControlTicks = 51 + 600;
    EXPECT_EQ(JudgeHold(g, 20000.0f, kPeriod).State, jsContinue) << "exactly 60 s is not more than 60 s";
    g.ControlTicks = 51 + 601;
    const TJudgement j = JudgeHold(g, 20000.0f, kPeriod);
    EXPECT_EQ(j.State, jsHoldOver);
    EXPECT_EQ(j.Speed, 0.0f);
}
