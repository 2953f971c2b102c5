// The run against the real driver on a line that streams a status frame
// every 20 ms, in virtual time: the stored peak is the largest frame, a
// force drop stops the run within a frame, and a run whose force stays below
// the start force ends by itself.
#include "RunTestSupport.h"

#include "link/BoxFrames.h"

#include <cmath>

using namespace kv;
using runtest::TRunRig;

namespace {

constexpr int kFramePeriodMs = 20;

// The box's side of the line: a frame every 20 ms whose force follows
// Loading(ms since the run byte); the stop byte lets the force fall away.
class TFrameLine : public TSerialLine {
public:
    struct TFrame {
        qint64 Ms;
        int Code;
    };

    explicit TFrameLine(TVirtualClock &clock) : Clock(clock) {}

    bool Open(int, const QString &) override { return true; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    bool Output(const QByteArray &bytes) override
    {
        Stream();
        const int b = bytes.size() == 1 ? static_cast<quint8>(bytes[0]) : -1;
        if (b == box::CmdRun) {
            Loaded = true;
            LoadStart = Clock.nowMs();
        } else if (b == box::CmdStop && Loaded) {
            Loaded = false;
            StopMs = Clock.nowMs();
        }
        if (b == box::CmdStop)
            ++Stops;
        if (b == box::CmdStreamRelative)
            Restarted = false;
        return true;
    }
    int InBufferCount() override
    {
        Stream();
        return static_cast<int>(Rx.size());
    }
    QByteArray Input(int count) override
    {
        Stream();
        const QByteArray out = Rx.left(count);
        Rx.remove(0, out.size());
        return out;
    }
    void DiscardInput() override
    {
        Stream();
        Rx.clear();
    }

    void Stream()
    {
        for (; NextMs <= Clock.nowMs(); NextMs += kFramePeriodMs) {
            if (Restarted)
                continue;
            const int code = Loaded && Loading ? static_cast<int>(std::lround(Loading(NextMs - LoadStart))) : 0;
            Rx += box::Encode12(code, 0, 0, 0);
            if (Loaded)
                Frames.push_back({NextMs, code});
        }
    }
    int LargestCode() const
    {
        int top = 0;
        for (const TFrame &f : Frames)
            top = std::max(top, f.Code);
        return top;
    }

    TVirtualClock &Clock;
    std::function<float(qint64)> Loading;
    QByteArray Rx;
    std::vector<TFrame> Frames; // sent while loading
    bool Loaded = false;
    bool Restarted = false; // the box restarted: no frames until it is told to stream
    qint64 LoadStart = 0;
    qint64 NextMs = 0;
    qint64 StopMs = -1;
    int Stops = 0;
};

// The run rig on a KVD510 driver over the frame line; one code is one newton.
struct TFrameRig : TRunRig {
    TFrameLine *Line = nullptr;
    std::unique_ptr<TCtrlBox> Real = CreateCtrlBox(1);

    TFrameRig()
    {
        Real->SetSerialFactory([this] {
            auto line = std::make_unique<TFrameLine>(Clock);
            Line = line.get();
            return line;
        });
        Real->Init();
        Real->OpenPort();
        Real->FLoadCode[0] = Real->FLoadValue[0] = 100000;
        Real->FMaxLoad = 300000;
        Real->FForcedLoad = 1000;
        Real->FCantLoadTime = 10;
        Real->FStartJudge = 5000;
        Real->FJudgeFlags.Force = true;
        Real->FJudgeLoadPointType = 1;
        Real->FBreakValue = 500;
        Real->FViewSpeedTime = 10;
        Real->FUseProtect = 1;
        Driver = Real.get();
        Open();
    }
};

// Rises at rate N/s after 1.5 s of approach to strength, then loses a tenth
// of it every 20 ms down to a fifth.
std::function<float(qint64)> Prism(float strength, float rate)
{
    return [strength, rate](qint64 ms) {
        const float t = static_cast<float>(ms - 1500) / 1000.0f;
        if (t <= 0.0f)
            return 0.0f;
        const float rise = strength / rate;
        if (t <= rise)
            return rate * t;
        return std::max(strength / 5.0f, strength * (1.0f - (t - rise) / 0.2f));
    };
}

} // namespace

TEST(RunFrames, StoredPeakIsTheLargestFrameAndTheDropStopsWithinAFrame)
{
    for (float rate : {600.0f, 2400.0f, 5000.0f}) {
        TFrameRig r;
        r.Probe->FSpeed = rate;
        r.Line->Loading = Prism(64978.0f, rate);
        ASSERT_TRUE(r.Run->StartRun());
        r.RunToEnd();
        ASSERT_EQ(r.Probe->Forces.size(), 1) << r.Messages.texts().join(';').toStdString();
        EXPECT_DOUBLE_EQ(r.Probe->Forces[0], r.Line->LargestCode()) << rate;

        // The first frame more than the break value below the peak stops the
        // box within one look at the frames, not at the next 100 ms sample.
        int peak = 0;
        qint64 dropMs = -1;
        for (const TFrameLine::TFrame &f : r.Line->Frames) {
            peak = std::max(peak, f.Code);
            if (peak - f.Code > r.Real->FBreakValue) {
                dropMs = f.Ms;
                break;
            }
        }
        ASSERT_GE(dropMs, 0);
        EXPECT_GE(r.Line->StopMs, dropMs) << rate;
        EXPECT_LE(r.Line->StopMs - dropMs, kFrameWatchMs) << rate;
        EXPECT_EQ(r.Probe->EndGroups, 0) << "a group of three goes on";
    }
}

TEST(RunFrames, NoBreakBeforeTheStartJudgeForce)
{
    TFrameRig r;
    // Up to 4 kN, back to 2 kN and held there: a drop of 2 kN, but the peak
    // never passed the start-judge force of 5 kN.
    r.Line->Loading = [](qint64 ms) { return ms < 3500 ? (ms < 1500 ? 0.0f : (ms - 1500) * 2.0f) : 2000.0f; };
    ASSERT_TRUE(r.Run->StartRun());
    r.RunToEnd(30000);
    EXPECT_TRUE(r.Run->Active());
    EXPECT_TRUE(r.Probe->Forces.isEmpty());
    EXPECT_FLOAT_EQ(r.State().PeakForce, static_cast<float>(r.Line->LargestCode()));
}

TEST(RunFrames, ADipWhileTheValveBacksOffIsNoBreak)
{
    TFrameRig r;
    r.Real->FStartJudge = 0;
    auto ramp = [](qint64 ms) { return ms < 1500 ? 0.0f : static_cast<float>(ms - 1500) * 2.4f; };
    r.Line->Loading = ramp;
    ASSERT_TRUE(r.Run->StartRun());
    while (r.State().Phase.load() != TRunPhase::Control)
        r.Clock.advance(kFrameWatchMs);
    // For 100 ms after the valve pause the force sags 1.5 kN, then it is back
    // on its ramp before the first judged sample.
    const qint64 at = r.Clock.nowMs() - r.Line->LoadStart;
    r.Line->Loading = [ramp, at](qint64 ms) { return ms >= at && ms < at + 100 ? ramp(at) - 1500.0f : ramp(ms); };
    r.Clock.advance(3000);
    EXPECT_TRUE(r.Run->Active());
    EXPECT_TRUE(r.Probe->Forces.isEmpty());
}

TEST(RunFrames, ForceBelowTheStartForceForTheWaitingTimeEndsTheRun)
{
    for (int specimen : {1, 2}) {
        TRunRig r;
        r.Open();
        r.Probe->FCurrent = specimen;
        // A prism that fails at 4.8 kN, below the start-judge force of 5 kN:
        // the force falls to nothing at 3.5 s and no break is judged.
        r.Box->Loading = [](qint64 ms) { return ms < 3500 ? runtest::RampAt(ms, 2400.0f, 4800.0f) : 0.0f; };
        ASSERT_TRUE(r.Run->StartRun());
        for (int i = 0; i < 100 && r.State().BelowStartSinceMs < 0; ++i)
            r.Clock.advance(100);
        ASSERT_EQ(r.State().Phase.load(), TRunPhase::Control);
        const qint64 below = r.State().BelowStartSinceMs; // the first sample at zero
        ASSERT_GE(below, 0);
        r.Clock.advance(below + 10 * 1000 - 100 - r.Clock.nowMs());
        EXPECT_TRUE(r.Run->Active()) << "9.9 s below the start force";
        r.Clock.advance(100);
        EXPECT_FALSE(r.Run->Active()) << "10 s below the start force";
        EXPECT_FALSE(r.Box->Loaded);
        ASSERT_EQ(r.Messages.texts().size(), 1);
        EXPECT_TRUE(r.Messages.lastText().contains(QStringLiteral("破碎起判力值以下"))) << r.Messages.lastText().toStdString();
        EXPECT_TRUE(r.Probe->Forces.isEmpty()) << "nothing is stored";
        // As the stop button: a first specimen closes its group, a later one leaves it open.
        EXPECT_EQ(r.Probe->EndGroups, specimen == 1 ? 1 : 0);
        EXPECT_EQ(r.Run->GroupActive(), specimen != 1);
    }
}

TEST(RunFrames, ASlowSplitRampNeverStalls)
{
    TFrameRig r;
    // 0.05 MPa/s on a 150 mm splitting cube is about 1.77 kN/s.
    const float rate = 0.05f * 150.0f * 150.0f / 0.637f;
    r.Probe->FSpeed = rate;
    r.Line->Loading = Prism(120000.0f, rate);
    ASSERT_TRUE(r.Run->StartRun());
    r.RunToEnd();
    EXPECT_TRUE(r.Messages.texts().isEmpty()) << r.Messages.texts().join(';').toStdString();
    ASSERT_EQ(r.Probe->Forces.size(), 1);
    EXPECT_DOUBLE_EQ(r.Probe->Forces[0], r.Line->LargestCode());
}

TEST(RunFrames, ABoxThatRestartsMidRunEndsTheRunAndStoresNothing)
{
    TFrameRig r;
    r.Line->Loading = Prism(64978.0f, 2400.0f);
    ASSERT_TRUE(r.Run->StartRun());
    while (r.State().PeakForce < 30000.0f)
        r.Clock.advance(kFrameWatchMs);
    // The box restarts: its run is lost, and its frames stay away until the
    // missed-poll rule tells it to stream again; they come back at zero.
    r.Line->Loaded = false;
    r.Line->Restarted = true;
    const int stops = r.Line->Stops;
    r.RunToEnd(20000);
    EXPECT_FALSE(r.Run->Active());
    EXPECT_TRUE(r.Probe->Forces.isEmpty()) << "the fall to zero is no break";
    EXPECT_EQ(r.Messages.texts(),
              QStringList{QStringLiteral("控制器通讯中断后恢复,控制器可能已复位,本次加载无效,试验已停止!")});
    EXPECT_EQ(r.Probe->EndGroups, 1) << "a first specimen's group closes as on a stop";
    EXPECT_GT(r.Line->Stops, stops) << "the stop is sent";
}
