// Press physics of the simulated box, stepped through kvdsim_core in box time
// (no real time passes): loading, rate control, break, unload, keep, faults.
#include "SimBox.h"
#include "SimControl.h"
#include "WireDecode.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <algorithm>
#include <vector>

using namespace kvdsim;
using namespace simtest;

namespace {

struct TSample {
    double t;       // s since the run command
    double force;   // N
    int valve;
    TPressSide::TMode mode;
    bool control;
};

TBoxOptions Options(TModel m, std::uint32_t seed = 3)
{
    TBoxOptions o;
    o.model = m;
    o.seed = seed;
    return o;
}

// Runs the box for the given seconds, sampling one frame every 100 ms.
std::vector<TSample> Sample(TSimBox &box, int sideIndex, double seconds, double t0 = 0)
{
    std::vector<TSample> s;
    const TPressSide &side = box.Side(sideIndex);
    for (int i = 1; i <= int(seconds * 10 + 0.5); ++i) {
        box.Advance(100);
        box.TakeOutput();
        s.push_back({t0 + i * 0.1, side.Force(), side.Valve(), side.Mode(), side.ControlActive()});
    }
    return s;
}

// Loading rate between the first samples above lo and hi newtons.
double RateBetween(const std::vector<TSample> &s, double lo, double hi)
{
    const TSample *a = nullptr, *b = nullptr;
    for (const TSample &x : s) {
        if (!a && x.force >= lo)
            a = &x;
        if (!b && x.force >= hi)
            b = &x;
    }
    if (!a || !b || b->t <= a->t)
        return -1;
    return (b->force - a->force) / (b->t - a->t);
}

} // namespace

TEST(SimPhysics, RunLoadsAtTheSetSpeedThenTheSpecimenBreaksWithADrop)
{
    TSimBox box(Options(TModel::KVD510));
    ExecuteControl(box, QStringLiteral("strength 40000"));
    box.Receive(WriteParam(37, 2400));
    box.Receive(ValueFrame(0xD4, 24000));
    box.Receive(Byte(0xF0));
    const std::vector<TSample> s = Sample(box, 0, 30);

    // The platen closes the gap first: no force in the first second.
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(s[std::size_t(i)].force, 0.0) << "sample " << i;
    // Rate control from the control entry force on, at about the set speed.
    const double rate = RateBetween(s, 10000, 30000);
    EXPECT_NEAR(rate, 2400, 240);
    EXPECT_TRUE(std::any_of(s.begin(), s.end(), [](const TSample &x) { return x.control; }));

    // The break: peak at the strength, then a drop to a fraction of it.
    const TPressSide &side = box.Side(0);
    ASSERT_TRUE(side.SpecimenBroken());
    EXPECT_GE(side.SpecimenPeak(), 40000);
    EXPECT_LE(side.SpecimenPeak(), 40000 * 1.01);
    auto peakAt = std::max_element(s.begin(), s.end(), [](auto &x, auto &y) { return x.force < y.force; });
    ASSERT_LT(peakAt + 10, s.end());
    EXPECT_LT((peakAt + 10)->force, 0.5 * side.SpecimenPeak()) << "one second after the peak";
    // The box keeps demanding rate: the valve opens wide after the break.
    EXPECT_GT((peakAt + 10)->valve, peakAt->valve + 5000);
}

TEST(SimPhysics, StopUnloadsAndResetReturnsThePlaten)
{
    TSimBox box(Options(TModel::KVD510));
    ExecuteControl(box, QStringLiteral("strength 90000"));
    box.Receive(Byte(0xF0));
    Sample(box, 0, 12);
    const TPressSide &side = box.Side(0);
    ASSERT_GT(side.Force(), 10000);
    ASSERT_FALSE(side.SpecimenBroken());

    box.Receive(Byte(0xF1));
    box.Receive(Byte(0xF1));
    EXPECT_EQ(side.Mode(), TPressSide::Unloading);
    EXPECT_EQ(side.Valve(), 0);
    std::vector<TSample> s = Sample(box, 0, 15);
    EXPECT_EQ(s.back().force, 0.0);
    EXPECT_EQ(s.back().mode, TPressSide::Idle) << "unloaded after the unload delay";
    for (std::size_t i = 1; i < s.size(); ++i)
        EXPECT_LE(s[i].force, s[i - 1].force + 1e-6) << "the force only falls while unloading";

    // Manual moves lift the platen; reset brings it home.
    box.Receive(Byte(0xFA));
    box.Advance(1500);
    box.Receive(Byte(0xFA));
    box.Advance(1500);
    ASSERT_GT(side.Position(), 1.5);
    box.Receive(Byte(0xF9));
    EXPECT_EQ(side.Mode(), TPressSide::Returning);
    Sample(box, 0, 5);
    EXPECT_EQ(side.Position(), 0.0);
    EXPECT_EQ(side.Mode(), TPressSide::Idle);
}

TEST(SimPhysics, AResetBoxLosesItsRunAndStreamsOnlyWhenToldAgain)
{
    TSimBox box(Options(TModel::KVD510));
    ExecuteControl(box, QStringLiteral("strength 90000"));
    box.Receive(Byte(0xF6));
    box.Receive(Byte(0xF0));
    Sample(box, 0, 12);
    const TPressSide &side = box.Side(0);
    ASSERT_GT(side.Force(), 10000);
    box.Receive(Byte(0xD0)); // manual control
    ExecuteControl(box, QStringLiteral("offset 300"));

    EXPECT_EQ(ExecuteControl(box, QStringLiteral("reset")).text, QStringLiteral("ok"));
    EXPECT_EQ(box.Streaming(), TSimBox::StreamOff);
    EXPECT_EQ(box.ControlMode(), TSimBox::ControlAutomatic);
    EXPECT_EQ(side.Mode(), TPressSide::Unloading);
    EXPECT_FALSE(side.InRun());
    EXPECT_EQ(side.RelativeCode(), side.ForceToCode(side.Force()) + 300) << "zeroed without the drift, as at power-on";
    box.TakeOutput();
    box.Advance(500);
    EXPECT_TRUE(box.TakeOutput().isEmpty()) << "silent until told to stream";
    EXPECT_EQ(box.Word(37), 2400) << "parameters kept";
    box.Receive(Byte(0xF6));
    box.Advance(100);
    EXPECT_GE(SplitFrames(box.TakeOutput(), false).size(), 4);
    Sample(box, 0, 10);
    EXPECT_EQ(side.Force(), 0.0);
}

TEST(SimPhysics, NextRunPlacesTheNextSpecimen)
{
    TSimBox box(Options(TModel::KVD510));
    ExecuteControl(box, QStringLiteral("strength 20000 25000"));
    const TPressSide &side = box.Side(0);
    for (double expected : {20000.0, 25000.0}) {
        box.Receive(Byte(0xF0));
        Sample(box, 0, 20);
        ASSERT_TRUE(side.SpecimenBroken());
        EXPECT_NEAR(side.SpecimenPeak(), expected, expected * 0.01);
        box.Receive(Byte(0xF1));
        Sample(box, 0, 10);
    }
    // Then strengths are drawn around the frame's mean, the same for the same seed.
    box.Receive(Byte(0xF0));
    EXPECT_FALSE(side.SpecimenBroken());
    EXPECT_NEAR(side.SpecimenStrength(), 68000, 4 * 3000);
    TSimBox twin1(Options(TModel::KVD510, 11)), twin2(Options(TModel::KVD510, 11)), other(Options(TModel::KVD510, 12));
    for (TSimBox *b : {&twin1, &twin2, &other})
        b->Receive(Byte(0xF0));
    EXPECT_EQ(twin1.Side(0).SpecimenStrength(), twin2.Side(0).SpecimenStrength());
    EXPECT_NE(twin1.Side(0).SpecimenStrength(), other.Side(0).SpecimenStrength());
}

TEST(SimPhysics, StopNotesTheLargestFrameOfTheRun)
{
    TBoxOptions o = Options(TModel::KVD510);
    o.rateMs = 10;
    TSimBox box(o);
    QStringList notes;
    box.onNote = [&notes](const QString &t) { notes << t; };
    ExecuteControl(box, QStringLiteral("strength 20000"));
    box.Receive(Byte(0xF6));
    box.Advance(500);
    box.TakeOutput();
    box.Receive(Byte(0xF0));
    box.Advance(12000);
    const QList<QByteArray> frames = SplitFrames(box.TakeOutput(), false);
    EXPECT_NEAR(frames.size(), 1200, 2) << "one frame every 10 ms";
    int largest = 0;
    for (const QByteArray &f : frames)
        largest = std::max(largest, Decode12(f).a);
    box.Receive(Byte(0xF1));
    box.Receive(Byte(0xF1));

    ASSERT_TRUE(box.Side(0).SpecimenBroken());
    const QString expected = QStringLiteral("compression: largest frame since run: code %1 = %2 N")
                                 .arg(largest)
                                 .arg(box.Side(0).CodeToForce(largest), 0, 'f', 1);
    EXPECT_EQ(notes.filter(QStringLiteral("largest frame")), QStringList{expected}) << "one note, at the first stop";
    EXPECT_EQ(notes.filter(QRegularExpression(QStringLiteral("specimen broke at \\d+\\.\\d N$"))).size(), 1);
}

TEST(SimPhysics, KeepHoldsThePresentForce)
{
    TSimBox box(Options(TModel::KVD510));
    ExecuteControl(box, QStringLiteral("strength 90000"));
    box.Receive(Byte(0xF0));
    Sample(box, 0, 10);
    box.Receive(Byte(0xF5));
    const TPressSide &side = box.Side(0);
    EXPECT_EQ(side.Mode(), TPressSide::Keeping);
    const double held = side.Force();
    const std::vector<TSample> s = Sample(box, 0, 10);
    for (std::size_t i = 10; i < s.size(); ++i)
        EXPECT_NEAR(s[i].force, held, held * 0.03) << "t = " << s[i].t;
    EXPECT_EQ(side.StatusBits() & TPressSide::StatusControl, TPressSide::StatusControl);
}

TEST(SimPhysics, KeepLoadTargetMakesAConstantLoadRun)
{
    TSimBox box(Options(TModel::KVD510));
    ExecuteControl(box, QStringLiteral("strength 90000"));
    box.Receive(ValueFrame(0xD3, 25));   // 25 kN on the compression frame
    box.Receive(WriteParam(37, 5000));
    box.Receive(Byte(0xF0));
    const std::vector<TSample> s = Sample(box, 0, 30);
    EXPECT_LE(std::max_element(s.begin(), s.end(), [](auto &x, auto &y) { return x.force < y.force; })->force,
              25000 * 1.05);
    for (std::size_t i = 200; i < s.size(); ++i)
        EXPECT_NEAR(s[i].force, 25000, 25000 * 0.03) << "t = " << s[i].t;
    // The target belongs to that run: the next run loads normally.
    box.Receive(Byte(0xF1));
    Sample(box, 0, 10);
    box.Receive(Byte(0xF0));
    Sample(box, 0, 10);
    EXPECT_GT(box.Side(0).Force(), 30000);
}

TEST(SimPhysics, SlowStageLoadsAtTheSlowSpeed)
{
    TSimBox box(Options(TModel::KVD510));
    ExecuteControl(box, QStringLiteral("strength 90000"));
    box.Receive(WriteParam(56, 800));
    box.Receive(Byte(0xF4));
    box.Receive(Byte(0xF0));
    const std::vector<TSample> s = Sample(box, 0, 30);
    EXPECT_NEAR(RateBetween(s, 8000, 20000), 800, 80);
    EXPECT_EQ(box.Side(0).StatusBits() & TPressSide::StatusSlow, TPressSide::StatusSlow);
    box.Receive(Byte(0xF3));
    const std::vector<TSample> fast = Sample(box, 0, 5, 30);
    EXPECT_NEAR((fast.back().force - fast[10].force) / (fast.back().t - fast[10].t), 2400, 240)
        << "back to the fast stage";
}

TEST(SimPhysics, FlexureFrameRunsOnTheFlexureBytesAndReportsOnChannelB)
{
    TSimBox box(Options(TModel::KVD520));
    ExecuteControl(box, QStringLiteral("strength 2000"));
    box.Receive(WriteParam(137, 5000));   // 50 N/s
    box.Receive(Byte(0xF6));
    box.Receive(Byte(0xE0));
    const std::vector<TSample> s = Sample(box, 1, 60);
    EXPECT_NEAR(RateBetween(s, 400, 1500), 50, 6);
    const TPressSide &flex = box.Side(1);
    ASSERT_TRUE(flex.SpecimenBroken());
    EXPECT_NEAR(flex.SpecimenPeak(), 2000, 20);
    EXPECT_EQ(box.Side(0).Force(), 0.0) << "the compression frame stays still";

    // Frames carry the flexure force on channel B.
    box.Receive(Byte(0xF1));
    box.Advance(10000);
    ExecuteControl(box, QStringLiteral("preload 1000"));
    box.TakeOutput();
    box.Advance(40);
    const TStatus st = Decode12(SplitFrames(box.TakeOutput(), false).last());
    EXPECT_NEAR(st.b, 20080, 10) << "1000 N on the flexure table";
    EXPECT_NEAR(st.a, 0, 10);
}

TEST(SimPhysics, MotorDrivenSingleFrameMachine)
{
    TSimBox box(Options(TModel::KVD300_DJ));
    ExecuteControl(box, QStringLiteral("strength 300000"));
    box.Receive(Byte(0xF6));
    box.Receive(Byte(0xF0));
    const std::vector<TSample> s = Sample(box, 0, 45);
    EXPECT_NEAR(RateBetween(s, 60000, 200000), 10000, 1000);
    EXPECT_TRUE(box.Side(0).SpecimenBroken());
    int stray = -1;
    box.Advance(100);
    EXPECT_EQ(SplitFrames(box.TakeOutput(), false, &stray).size(), 5u);
    EXPECT_EQ(stray, 0);
}

TEST(SimPhysics, LeakingReturnValveBuildsNoForce)
{
    TSimBox box(Options(TModel::KVD510));
    ExecuteControl(box, QStringLiteral("leak"));
    box.Receive(Byte(0xF0));
    const std::vector<TSample> s = Sample(box, 0, 40);
    EXPECT_TRUE(std::all_of(s.begin(), s.end(), [](const TSample &x) { return x.force == 0; }));
    ExecuteControl(box, QStringLiteral("leak off"));
    Sample(box, 0, 5);
    EXPECT_GT(box.Side(0).Force(), 0.0);
}

TEST(SimPhysics, SpecimenAlreadyLoadedAtStart)
{
    TSimBox box(Options(TModel::KVD300));
    ExecuteControl(box, QStringLiteral("preload"));
    box.Receive(Byte(0xF6));
    box.Advance(100);
    const QList<QByteArray> frames = SplitFrames(box.TakeOutput(), true);
    ASSERT_FALSE(frames.isEmpty());
    EXPECT_NEAR(Decode7(frames.first()).a, 12060, 20) << "200 kN, a tenth of the 2000 kN frame";
    // The next run keeps that specimen and goes on loading it.
    box.Receive(Byte(0xF0));
    box.Advance(500);
    EXPECT_GT(box.Side(0).Force(), 200000);
}

TEST(SimPhysics, OverloadReadsAboveTheMaximumUntilTheStop)
{
    TSimBox box(Options(TModel::KVD510));
    box.Receive(Byte(0xF6));
    box.Receive(Byte(0xF0));
    box.Advance(3000);
    ExecuteControl(box, QStringLiteral("overload"));
    box.TakeOutput();
    box.Advance(40);
    const int code = Decode12(SplitFrames(box.TakeOutput(), false).last()).a;
    EXPECT_GT(code, 209590 + (230400 - 209590) / 10 * 2) << "above 1.02 x 300 kN";
    box.Receive(Byte(0xF1));
    box.Advance(40);
    EXPECT_LT(Decode12(SplitFrames(box.TakeOutput(), false).last()).a, 50000);
}

TEST(SimPhysics, LockedCompressionSideRefusesRuns)
{
    TSimBox box(Options(TModel::KVD300));
    box.Receive(Byte(0xD3));
    box.Receive(Byte(0xF0));
    EXPECT_EQ(box.Side(0).Mode(), TPressSide::Idle);
    box.Receive(Byte(0xD4));
    box.Receive(Byte(0xF0));
    EXPECT_EQ(box.Side(0).Mode(), TPressSide::Loading);

    // A flexure driver locks the compression side and still runs its own frame.
    TSimBox dual(Options(TModel::KVD520));
    dual.Receive(Hex("F1D3E0"));
    EXPECT_EQ(dual.Side(1).Mode(), TPressSide::Loading);
    EXPECT_EQ(dual.ActiveSide(), 1);
    dual.Receive(Byte(0xF0));
    EXPECT_EQ(dual.Side(0).Mode(), TPressSide::Idle);
}

TEST(SimPhysics, HostClosingStopsEverything)
{
    TSimBox box(Options(TModel::KVD510));
    box.Receive(Hex("F6F0"));
    box.Advance(3000);
    box.Receive(Hex("F8A2"));
    EXPECT_EQ(box.Streaming(), TSimBox::StreamOff);
    EXPECT_NE(box.Side(0).Mode(), TPressSide::Loading);
}

TEST(SimPhysics, ManualControlLoadsOpenLoop)
{
    TSimBox box(Options(TModel::KVD510));
    ExecuteControl(box, QStringLiteral("strength 200000"));
    ExecuteControl(box, QStringLiteral("preload 1000"));   // platen already on the specimen
    box.Receive(Byte(0xD0));
    box.Receive(ValueFrame(0xD4, 12300));   // a small opening above the middle
    box.Receive(Byte(0xF0));
    const std::vector<TSample> s = Sample(box, 0, 30);
    EXPECT_TRUE(std::none_of(s.begin(), s.end(), [](const TSample &x) { return x.control; }));
    // 300 steps above the middle on this frame: 1000 N/s, whatever the set speed.
    EXPECT_NEAR(RateBetween(s, 5000, 15000), 1000, 100);
    box.Receive(Byte(0xD2));
    EXPECT_EQ(box.ControlMode(), TSimBox::ControlAutomatic);
}

TEST(SimPhysics, JogMovesThePlaten)
{
    TSimBox box(Options(TModel::KVD510_DJ));
    box.Receive(Byte(0xB5));
    box.Advance(2000);
    const double up = box.Side(0).Position();
    EXPECT_GT(up, 0.5);
    EXPECT_EQ(box.Side(0).Mode(), TPressSide::Idle) << "one move per command";
    box.Receive(Byte(0xB6));
    box.Advance(2000);
    EXPECT_LT(box.Side(0).Position(), up);
    box.Receive(Byte(0xFA));
    EXPECT_EQ(box.Side(0).Mode(), TPressSide::Jogging);
}
