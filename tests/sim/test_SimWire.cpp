// The simulated box's wire behaviour, driven through kvdsim_core without a
// pty: frames byte for byte, parameter memory, streaming, receiver recovery.
#include "SimBox.h"
#include "SimControl.h"
#include "WireDecode.h"

#include <gtest/gtest.h>

using namespace kvdsim;
using namespace simtest;

namespace {

TBoxOptions Options(TModel m, double noise = 0)
{
    TBoxOptions o;
    o.model = m;
    o.noise = noise;
    return o;
}

QByteArray Drain(TSimBox &box, int ms)
{
    box.Advance(ms);
    return box.TakeOutput();
}

} // namespace

TEST(SimWire, WorkedExampleWriteThenReadParameter37)
{
    TSimBox box(Options(TModel::KVD510));
    box.Receive(Hex("68D0303337303234303016"));   // write 37 = 2400
    EXPECT_TRUE(box.TakeOutput().isEmpty()) << "a write has no reply";
    EXPECT_EQ(box.Word(37), 2400);
    box.Receive(Hex("68D130333716"));              // read 37
    EXPECT_EQ(box.TakeOutput(), Hex("68303337303234303016"));
}

TEST(SimWire, WorkedExampleTwelveByteFrames)
{
    TSimBox box(Options(TModel::KVD510));
    ASSERT_EQ(ExecuteControl(box, QStringLiteral("pattern 1000 172 0 5")).text, QStringLiteral("ok"));
    box.Receive(Byte(0xF6));
    QList<QByteArray> frames = SplitFrames(Drain(box, 60), false);
    ASSERT_FALSE(frames.isEmpty());
    EXPECT_EQ(frames[0], Hex("AA 00 07 68 00 01 2C 00 00 00 05 88"));

    ExecuteControl(box, QStringLiteral("pattern -1000 -172 -3 15"));
    frames = SplitFrames(Drain(box, 60), false);
    ASSERT_FALSE(frames.isEmpty());
    EXPECT_EQ(frames[0], Hex("AA 40 07 68 40 01 2C 40 00 03 0F 88"));
    const TStatus s = Decode12(frames[0]);
    EXPECT_EQ(s.a, -1000);
    EXPECT_EQ(s.b, -172);
    EXPECT_EQ(s.aux, -3);
    EXPECT_EQ(s.status, 15);

    // Extremes of a channel and the negative zero of the description.
    ExecuteControl(box, QStringLiteral("pattern 1048575 0 65535 0"));
    frames = SplitFrames(Drain(box, 60), false);
    ASSERT_FALSE(frames.isEmpty());
    EXPECT_EQ(frames[0].mid(1, 3), Hex("3F7F7F"));
    EXPECT_EQ(Decode12(frames[0]).aux, 65535);
}

TEST(SimWire, SevenByteFramesOfTheKvd300)
{
    TSimBox box(Options(TModel::KVD300));
    ExecuteControl(box, QStringLiteral("pattern -70000 0 40000 9"));
    box.Receive(Byte(0xF6));
    QList<QByteArray> frames = SplitFrames(Drain(box, 60), true);
    ASSERT_FALSE(frames.isEmpty());
    EXPECT_EQ(frames[0], Hex("EC2270A94E100A"));

    ExecuteControl(box, QStringLiteral("pattern 1000 0 40003 5"));
    frames = SplitFrames(Drain(box, 60), true);
    ASSERT_FALSE(frames.isEmpty());
    EXPECT_EQ(frames[0], Hex("E00768A54E106A"));
    const TStatus s = Decode7(frames[0]);
    EXPECT_EQ(s.a, 1000);
    EXPECT_EQ(s.aux, 40003);
    EXPECT_EQ(s.status, 5);
}

TEST(SimWire, EveryModelStreamsItsOwnFormat)
{
    const TModel models[] = {TModel::KVD300, TModel::KVD510, TModel::KVD520,
                             TModel::KVD300_DJ, TModel::KVD510_DJ, TModel::KVD520_DJ};
    for (TModel m : models) {
        TSimBox box(Options(m, 2));
        box.Receive(Byte(0xF6));
        const QByteArray out = Drain(box, 1000);
        const bool seven = m == TModel::KVD300;
        int stray = -1;
        const QList<QByteArray> frames = SplitFrames(out, seven, &stray);
        EXPECT_EQ(stray, 0) << ModelInfo(m).key;
        EXPECT_EQ(out.size() % (seven ? 7 : 12), 0) << ModelInfo(m).key;
        // 20 ms period over one second: about 50 frames.
        EXPECT_GE(frames.size(), 45) << ModelInfo(m).key;
        EXPECT_LE(frames.size(), 51) << ModelInfo(m).key;
    }
}

TEST(SimWire, StreamingOnOffAndReadsRefusedWhileStreaming)
{
    TSimBox box(Options(TModel::KVD520));
    EXPECT_TRUE(Drain(box, 200).isEmpty()) << "a fresh box is quiet";
    box.Receive(ReadParam(136));
    EXPECT_EQ(box.TakeOutput(), Hex("68313336313030303016")) << "max load of the flexure frame, 10000 N";

    box.Receive(Byte(0xF6));
    box.Receive(ReadParam(136));
    const QByteArray streamed = Drain(box, 200);
    int stray = -1;
    EXPECT_FALSE(SplitFrames(streamed, false, &stray).isEmpty());
    EXPECT_EQ(stray, 0) << "no reply mixed into the stream";
    EXPECT_EQ(box.ReadsRefused(), 1);

    box.Receive(Byte(0xF8));
    box.TakeOutput();
    EXPECT_TRUE(Drain(box, 500).isEmpty());
    box.Receive(ReadParam(137));
    EXPECT_EQ(box.TakeOutput(), Hex("68313337303530303016")) << "fast speed 50 N/s x 100";
    EXPECT_EQ(box.ReadsAnswered(), 2);
}

TEST(SimWire, FactoryMemoryHoldsTwoWordCodesAndSharedValveMiddle)
{
    TSimBox box(Options(TModel::KVD510));
    // Family 510: code 11 = 209590 = 3 * 65536 + 12982 at addresses 31/32.
    EXPECT_EQ(box.Word(31), 3);
    EXPECT_EQ(box.Word(32), 12982);
    EXPECT_EQ(box.Word(30), 300);          // value 11 in kN
    EXPECT_EQ(box.Word(36), 300);          // max load in kN
    // Family 520 one hundred words up, valve middle shared at 75.
    EXPECT_EQ(box.Word(136), 10000);
    EXPECT_EQ(box.Word(75), 12000);
    EXPECT_EQ(box.Word(137), 5000);
    // The single-frame box has nothing above 100.
    TSimBox single(Options(TModel::KVD300));
    EXPECT_EQ(single.Word(36), 2000);
    EXPECT_EQ(single.Word(136), 0);
    EXPECT_EQ(single.Word(34) * 65536 + single.Word(35), 131610);
}

TEST(SimWire, WritesAreStoredAndChangeTheBoxCalibration)
{
    TSimBox box(Options(TModel::KVD510));
    ExecuteControl(box, QStringLiteral("preload 60000"));
    const int before = box.Side(0).RelativeCode();
    EXPECT_NEAR(before, 42240, 5);   // 60 kN is point 3 of the factory table
    // Download a table with twice the codes: the same force reads twice the code.
    const long factory[12] = {0, 21150, 42240, 63290, 84300, 105270, 126200, 147090, 167950, 188780, 209590, 230400};
    for (int i = 0; i < 12; ++i) {
        box.Receive(WriteParam(3 * i + 1, int((2 * factory[i]) >> 16)));
        box.Receive(WriteParam(3 * i + 2, int((2 * factory[i]) & 0xFFFF)));
    }
    EXPECT_EQ(box.Word(8), (2 * 42240) & 0xFFFF);
    EXPECT_NEAR(box.Side(0).RelativeCode(), 2 * 42240, 10);
    EXPECT_TRUE(box.TakeOutput().isEmpty());
}

TEST(SimWire, GainedSensorKeepsItsOwnTableWhateverIsDownloaded)
{
    TSimBox box(Options(TModel::KVD510));
    const TPressSide &side = box.Side(0);
    ExecuteControl(box, QStringLiteral("preload 50000"));   // held, between two table points
    box.Receive(Byte(0xF6));
    auto code = [&box] { return Decode12(SplitFrames(Drain(box, 40), false).last()).a; };
    const double force = side.Force();
    const int plain = code();

    EXPECT_EQ(ExecuteControl(box, QStringLiteral("gain 1.02")).text, QStringLiteral("ok"));
    const int gained = code();
    const double oneCode = side.CodeToForce(gained + 1) - side.CodeToForce(gained);
    EXPECT_NEAR(side.CodeToForce(gained), 1.02 * force, oneCode) << "read through the factory table";
    EXPECT_TRUE(ExecuteControl(box, QStringLiteral("status")).text.contains(QStringLiteral("sensor gain 1.02")));

    // A table with twice the codes reaches the box's memory but not the sensor.
    for (int k = 0; k < 12; ++k) {
        const int a = 3 * k + 1;
        const long doubled = 2 * ((long(box.Word(a)) << 16) | box.Word(a + 1));
        box.Receive(WriteParam(a, int(doubled >> 16)));
        box.Receive(WriteParam(a + 1, int(doubled & 0xFFFF)));
    }
    EXPECT_EQ(box.Word(8), (2 * 42240) & 0xFFFF);
    EXPECT_EQ(code(), gained);

    EXPECT_EQ(ExecuteControl(box, QStringLiteral("gain off")).text, QStringLiteral("ok"));
    EXPECT_EQ(code(), side.ForceToCode(force)) << "the table in force again";
    EXPECT_NEAR(code(), 2 * plain, 2);
    EXPECT_FALSE(ExecuteControl(box, QStringLiteral("status")).text.contains(QStringLiteral("gain")));
    EXPECT_TRUE(ExecuteControl(box, QStringLiteral("gain 0")).text.startsWith(QStringLiteral("error:")));
}

TEST(SimWire, OtherCommandFrames)
{
    TSimBox box(Options(TModel::KVD510));
    box.Receive(ValueFrame(0xD4, 30000));     // valve start
    box.Receive(ValueFrame(0xD5, 1234));      // valve position
    EXPECT_EQ(box.Side(0).Valve(), 1234);
    box.Receive(MoveValve(1, 766));
    EXPECT_EQ(box.Side(0).Valve(), 2000);
    box.Receive(MoveValve(0, 300));
    EXPECT_EQ(box.Side(0).Valve(), 1700);
    box.Receive(Byte(0xF0));
    EXPECT_EQ(box.Side(0).Valve(), 30000) << "the run opens the valve to the start value";
    EXPECT_EQ(box.BadFrames(), 0);
    // A move frame with a wrong check sum is not executed.
    QByteArray bad = MoveValve(0, 1000);
    bad[4] = char(bad[4] + 1);
    box.Receive(bad);
    EXPECT_EQ(box.Side(0).Valve(), 30000);
    EXPECT_EQ(box.BadFrames(), 1);
}

TEST(SimWire, ReceiverRecoversFromBrokenFrames)
{
    TSimBox box(Options(TModel::KVD510));
    box.Receive(Byte(0xF8));
    // A write cut short by a new read: the read is still answered.
    box.Receive(Hex("68D03033") + ReadParam(36));
    EXPECT_EQ(box.TakeOutput(), Hex("68303336303033303016"));
    // A stray header followed by the stop byte: the stop is carried out.
    box.Receive(Byte(0xF0));
    ASSERT_EQ(box.Side(0).Mode(), TPressSide::Loading);
    box.Receive(Hex("68F1"));
    EXPECT_NE(box.Side(0).Mode(), TPressSide::Loading);
    // A half frame that never ends is dropped after a while; later bytes work.
    box.Receive(Hex("68D130"));
    box.Advance(500);
    box.Receive(ReadParam(37));
    EXPECT_EQ(box.TakeOutput(), Hex("68303337303234303016"));
    EXPECT_GE(box.BadFrames(), 3);
}

TEST(SimWire, AbsoluteAndRelativeCodesAndZero)
{
    TSimBox box(Options(TModel::KVD510));
    box.Receive(Byte(0xF7));
    TStatus s = Decode12(SplitFrames(Drain(box, 40), false).last());
    EXPECT_EQ(s.a, 1200) << "absolute code of the unloaded compression sensor";
    EXPECT_EQ(s.b, 800);
    box.Receive(Byte(0xF6));
    s = Decode12(SplitFrames(Drain(box, 40), false).last());
    EXPECT_EQ(s.a, 0);
    EXPECT_EQ(s.b, 0);
    ExecuteControl(box, QStringLiteral("offset 350 a"));
    ExecuteControl(box, QStringLiteral("offset -90 b"));
    s = Decode12(SplitFrames(Drain(box, 40), false).last());
    EXPECT_EQ(s.a, 350);
    EXPECT_EQ(s.b, -90);
    box.Receive(Byte(0xF2));   // zero the compression channel only
    s = Decode12(SplitFrames(Drain(box, 40), false).last());
    EXPECT_EQ(s.a, 0);
    EXPECT_EQ(s.b, -90);
    box.Receive(Byte(0xE2));
    s = Decode12(SplitFrames(Drain(box, 40), false).last());
    EXPECT_EQ(s.b, 0);
    box.Receive(Byte(0xF7));
    s = Decode12(SplitFrames(Drain(box, 40), false).last());
    EXPECT_EQ(s.a, 1550) << "absolute codes keep the offset";
}

TEST(SimWire, SameSeedSameBytes)
{
    auto run = [](std::uint32_t seed) {
        TBoxOptions o = Options(TModel::KVD510, 3);
        o.seed = seed;
        TSimBox box(o);
        box.Receive(Byte(0xF6));
        box.Receive(Byte(0xF0));
        return Drain(box, 8000);
    };
    EXPECT_EQ(run(7), run(7));
    EXPECT_NE(run(7), run(8));
}

TEST(SimWire, FaultsOnTheWire)
{
    TSimBox box(Options(TModel::KVD510));
    box.Receive(Byte(0xF6));
    Drain(box, 100);

    ExecuteControl(box, QStringLiteral("stray 3"));
    QByteArray out = Drain(box, 20);
    ASSERT_EQ(out.size(), 15);
    EXPECT_EQ(std::uint8_t(out[3]), 0xAA);
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(std::uint8_t(out[i]), 0xAA);
    EXPECT_TRUE(IsFrame12(out.mid(3)));

    ExecuteControl(box, QStringLiteral("raw AA 01 02"));
    EXPECT_EQ(box.TakeOutput(), Hex("AA0102"));
    ExecuteControl(box, QStringLiteral("garbage 5"));
    EXPECT_EQ(box.TakeOutput().size(), 5);

    ExecuteControl(box, QStringLiteral("drop 5"));
    out = Drain(box, 40);
    int stray = 0;
    EXPECT_EQ(SplitFrames(out, false, &stray).size(), 1);
    EXPECT_EQ(stray, 7) << "the rest of the cut frame";

    ExecuteControl(box, QStringLiteral("silence 1.5"));
    EXPECT_TRUE(Drain(box, 1400).isEmpty());
    EXPECT_FALSE(Drain(box, 200).isEmpty());

    ExecuteControl(box, QStringLiteral("unplug"));
    EXPECT_FALSE(box.Plugged());
    box.Receive(Byte(0xF8));
    EXPECT_TRUE(Drain(box, 200).isEmpty());
    ExecuteControl(box, QStringLiteral("plug"));
    EXPECT_EQ(box.Streaming(), TSimBox::StreamRelative) << "bytes sent while unplugged never arrived";
    EXPECT_FALSE(Drain(box, 100).isEmpty());
}

TEST(SimWire, SwappedCablesMoveTheForceToTheOtherChannel)
{
    TSimBox box(Options(TModel::KVD510));
    box.Receive(Byte(0xF6));
    ExecuteControl(box, QStringLiteral("preload 30000"));
    TStatus s = Decode12(SplitFrames(Drain(box, 40), false).last());
    EXPECT_GT(s.a, 20000);
    EXPECT_EQ(s.b, 0);
    ExecuteControl(box, QStringLiteral("swap"));
    s = Decode12(SplitFrames(Drain(box, 40), false).last());
    EXPECT_EQ(s.a, 0);
    EXPECT_GT(s.b, 20000);

    TSimBox single(Options(TModel::KVD300));
    single.Receive(Byte(0xF6));
    ExecuteControl(single, QStringLiteral("preload"));
    EXPECT_GT(Decode7(SplitFrames(Drain(single, 40), true).last()).a, 10000);
    ExecuteControl(single, QStringLiteral("swap on"));
    EXPECT_EQ(Decode7(SplitFrames(Drain(single, 40), true).last()).a, 0) << "the force sits on the unused input";
}

TEST(SimWire, ControlCommandErrorsAndStatus)
{
    TSimBox box(Options(TModel::KVD300));
    EXPECT_TRUE(ExecuteControl(box, QStringLiteral("bogus")).text.startsWith(QStringLiteral("error:")));
    EXPECT_TRUE(ExecuteControl(box, QStringLiteral("strength -5")).text.startsWith(QStringLiteral("error:")));
    EXPECT_TRUE(ExecuteControl(box, QStringLiteral("strength 100 b")).text.startsWith(QStringLiteral("error:")))
        << "no flexure frame on a KVD300";
    EXPECT_TRUE(ExecuteControl(box, QStringLiteral("raw 1FF")).text.startsWith(QStringLiteral("error:")));
    EXPECT_TRUE(ExecuteControl(box, QStringLiteral("param 1000")).text.startsWith(QStringLiteral("error:")));
    EXPECT_EQ(ExecuteControl(box, QStringLiteral("param 36")).text, QStringLiteral("36 = 2000\nok"));
    EXPECT_TRUE(ExecuteControl(box, QStringLiteral("quit")).quit);
    const QString st = ExecuteControl(box, QStringLiteral("status")).text;
    EXPECT_TRUE(st.contains(QStringLiteral("model: KVD300")));
    EXPECT_TRUE(st.endsWith(QStringLiteral("\nok")));
}
