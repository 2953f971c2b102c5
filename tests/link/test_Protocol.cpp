// The wire traffic of the driver on a scripted line, in virtual time: command
// frames, the parameter read, status-frame reading and link supervision.
#include "LinkTestSupport.h"

#include "link/BoxConnection.h"
#include "link/BoxFrames.h"
#include "Clock.h"

#include <QMap>
#include <gtest/gtest.h>

using namespace linktest;
using kv::TCtrlBox;

namespace {

struct Rig {
    kv::TVirtualClock Clock;
    kv::TClockGuard Guard{&Clock};
    std::shared_ptr<TLineState> Line;
    std::unique_ptr<TCtrlBox> Box;
    explicit Rig(int type = 1) { Box = ScriptedBox(type, Line); }
};

QByteArray Reply(int address, int value)
{
    return QByteArray("\x68") + QByteArray::number(address).rightJustified(3, '0') +
           QByteArray::number(value).rightJustified(5, '0') + QByteArray("\x16");
}

// Answers every read request with the value stored at its address.
void AnswerReads(TLineState &line, const QMap<int, int> &memory, int addressShift = 0)
{
    line.OnOutput = [memory, addressShift](TLineState &s, const QByteArray &f) {
        if (f.size() == 6 && static_cast<quint8>(f[1]) == 0xD1) {
            const int a = f.mid(2, 3).toInt();
            s.Rx += Reply(a + addressShift, memory.value(a));
        }
    };
}

} // namespace

TEST(CommandFrames, WriteParameterBytesPauseAndSign)
{
    Rig r;
    EXPECT_TRUE(r.Box->WriteParamRaw(37, 2400));
    EXPECT_EQ(r.Line->Tx.last(), Hex("68 D0 30 33 37 30 32 34 30 30 16"));
    EXPECT_EQ(r.Clock.totalSlept(), 80);

    r.Box->WriteParamRaw(12, -250); // the sign is lost on the wire
    EXPECT_EQ(r.Line->Tx.last(), Hex("68 D0 30 31 32 30 30 32 35 30 16"));
    r.Box->WriteParamRaw(1037, 5); // address modulo 1000
    EXPECT_EQ(r.Line->Tx.last().mid(2, 3), QByteArray("037"));

    // A value far beyond five digits makes a byte above 255: refused, nothing sent.
    const int sent = r.Line->Tx.size();
    EXPECT_THROW(r.Box->WriteParamRaw(1, 3000000), kv::EAssertion);
    EXPECT_EQ(r.Line->Tx.size(), sent);

    // Closed port: false, still the fixed pause.
    r.Line->IsOpen = false;
    EXPECT_FALSE(r.Box->WriteParamRaw(37, 1));
}

TEST(CommandFrames, ValueFramesAndValveMove)
{
    Rig r(0); // KVD300: keep load in kN
    r.Box->SetKeepLoad(25600.0);
    EXPECT_EQ(r.Line->Tx.last(), Hex("68 D3 30 30 30 32 36 16"));
    r.Box->SetKeepLoad(-24500.0); // magnitude, halves to even
    EXPECT_EQ(r.Line->Tx.last().mid(2, 5), QByteArray("00024"));

    const qint64 before = r.Clock.totalSlept();
    r.Box->SetValveStart(65535);
    EXPECT_EQ(r.Line->Tx.last(), Hex("68 D4 36 35 35 33 35 16"));
    EXPECT_EQ(r.Clock.totalSlept() - before, 80);
    r.Box->SetValvePosition(70000); // a 16-bit value on the wire
    EXPECT_EQ(r.Line->Tx.last().mid(2, 5), QByteArray("04464"));

    r.Box->MoveValve(0, 0x1234);
    EXPECT_EQ(r.Line->Tx.last(), Hex("68 00 34 12 46 16"));
    r.Box->MoveValve(7, 0xFFFF);
    EXPECT_EQ(r.Line->Tx.last(), Hex("68 01 FF FF FE 16"));
    const int sent = r.Line->Tx.size();
    EXPECT_THROW(r.Box->MoveValve(0, 65536), kv::EAssertion);
    EXPECT_THROW(r.Box->MoveValve(0, -1), kv::EAssertion);
    EXPECT_EQ(r.Line->Tx.size(), sent);

    Rig f(2); // KVD520: keep load in N
    f.Box->SetKeepLoad(2500.4);
    EXPECT_EQ(f.Line->Tx.last().mid(2, 5), QByteArray("02500"));
}

TEST(CommandFrames, SingleBytesManualMaskAndNoOps)
{
    Rig r;
    EXPECT_THROW(r.Box->SendByte(256), kv::EAssertion);
    EXPECT_THROW(r.Box->SendFrame({0x68, 0x100}), kv::EAssertion);
    r.Line->Clear();

    r.Box->Command(7);
    r.Box->SetADState(3);
    r.Box->SetSpeedStage(2);
    r.Box->SetControlMode(5);
    r.Box->SetProtect(2);
    EXPECT_TRUE(r.Line->Tx.isEmpty());

    r.Box->FExistHand = 1;
    r.Box->FAutoLoad = 1; // manual control
    const qint64 before = r.Clock.totalSlept();
    for (int b : {0xF0, 0xF1, 0xF3, 0xF4, 0xF5, 0xF9})
        r.Box->SendByte(b);
    EXPECT_TRUE(r.Line->Tx.isEmpty());
    EXPECT_EQ(r.Clock.totalSlept(), before); // dropped bytes cost no pause
    r.Box->SendByte(0xE0);
    r.Box->SendByte(0xF2);
    r.Box->SendByte(0xF6);
    EXPECT_EQ(r.Line->Bytes(), (QList<int>{0xE0, 0xF2, 0xF6}));
    EXPECT_EQ(r.Clock.totalSlept() - before, 30);

    r.Box->FExistHand = 0; // no manual control on this box: nothing masked
    r.Line->Clear();
    r.Box->Command(0);
    EXPECT_EQ(r.Line->Bytes(), QList<int>{0xF1});
}

TEST(CommandFrames, ByteTablesOfTheOperations)
{
    Rig r;
    auto bytes = [&](auto op) {
        r.Line->Clear();
        op();
        return r.Line->Bytes();
    };
    EXPECT_EQ(bytes([&] { for (int k = 0; k <= 6; ++k) r.Box->Command(k); }),
              (QList<int>{0xF1, 0xF0, 0xF5, 0xFA, 0xFB, 0xB5, 0xB6}));
    EXPECT_EQ(bytes([&] { r.Box->SetSpeedStage(0); r.Box->SetSpeedStage(1); }), (QList<int>{0xF3, 0xF4}));
    EXPECT_EQ(bytes([&] { for (int k = 0; k <= 2; ++k) r.Box->SetADState(k); }), (QList<int>{0xF6, 0xF7, 0xF8}));
    EXPECT_EQ(bytes([&] { for (int k = 0; k <= 4; ++k) r.Box->SetControlMode(k); }),
              (QList<int>{0xD2, 0xD1, 0xD0, 0xA1, 0xA2}));
    EXPECT_EQ(bytes([&] { r.Box->SetProtect(0); r.Box->SetProtect(1); }), (QList<int>{0xD3, 0xD4}));
    EXPECT_EQ(bytes([&] { r.Box->ResetPlaten(); r.Box->Cmd35(); r.Box->Cmd36(); }), (QList<int>{0xF9, 0xFD, 0xFC}));
    EXPECT_THROW(r.Box->Reserved43(), kv::EAssertion);
}

TEST(ParameterRead, WorkedExampleAndRetries)
{
    Rig r;
    AnswerReads(*r.Line, {{37, 2400}});
    r.Line->Rx = QByteArray(12, '\x55'); // a streamed leftover is discarded first
    int v = -1;
    EXPECT_TRUE(r.Box->ReadParamRaw(37, v));
    EXPECT_EQ(v, 2400);
    EXPECT_EQ(r.Line->Tx, QList<QByteArray>{Hex("68 D1 30 33 37 16")});

    // Replies naming another address: three attempts, then false, value kept.
    Rig o;
    AnswerReads(*o.Line, {{37, 2400}}, 1);
    v = 7;
    EXPECT_FALSE(o.Box->ReadParamRaw(37, v));
    EXPECT_EQ(v, 7);
    EXPECT_EQ(o.Line->Tx.size(), 3);

    // A garbled first reply, a good second one.
    Rig g;
    int calls = 0;
    g.Line->OnOutput = [&calls](TLineState &s, const QByteArray &) {
        s.Rx += ++calls == 1 ? Hex("68 30 33 37 30 32 3A 30 30 16") : Reply(37, 99);
    };
    EXPECT_TRUE(g.Box->ReadParamRaw(37, v));
    EXPECT_EQ(v, 99);
    EXPECT_EQ(calls, 2);
}

TEST(ParameterRead, ShortReplyFailsAtOnceAfterAbout200ms)
{
    Rig r;
    r.Line->OnOutput = [](TLineState &s, const QByteArray &) { s.Rx += Hex("68 30 33 37 30"); };
    int v = 5;
    const qint64 before = r.Clock.totalSlept();
    EXPECT_FALSE(r.Box->ReadParamRaw(37, v));
    EXPECT_EQ(r.Line->Tx.size(), 1); // no second attempt
    EXPECT_EQ(r.Clock.totalSlept() - before, 20 + 10 * 20);
    EXPECT_EQ(v, 5);
}

TEST(ParameterRead, NumberedAndTwoWordForms)
{
    Rig r; // KVD510
    QMap<int, int> mem{{13, 1}, {14, 34464}, {36, 300}};
    AnswerReads(*r.Line, mem);
    EXPECT_EQ(r.Box->ReadParam32(4), 100000);
    EXPECT_EQ(r.Box->ReadParam(12), 300);
    quint16 w = 0;
    EXPECT_TRUE(r.Box->ReadParamAt(14, w));
    EXPECT_EQ(w, 34464);

    r.Line->Clear();
    r.Line->OnOutput = nullptr;
    EXPECT_TRUE(r.Box->WriteParam32(4, 100000));
    ASSERT_EQ(r.Line->Tx.size(), 2);
    EXPECT_EQ(r.Line->Tx[0].mid(2, 8), QByteArray("01300001"));
    EXPECT_EQ(r.Line->Tx[1].mid(2, 8), QByteArray("01434464"));

    // The low word unreadable: 0, not the high word.
    Rig f;
    f.Line->OnOutput = [](TLineState &s, const QByteArray &req) {
        if (req.mid(2, 3) == "013")
            s.Rx += Reply(13, 1);
    };
    EXPECT_EQ(f.Box->ReadParam32(4), 0);
    w = 77;
    EXPECT_FALSE(f.Box->ReadParamAt(14, w));
    EXPECT_EQ(w, 77);
}

TEST(ParameterRead, FlexuralModelsSitOneHundredWordsHigher)
{
    for (int type : {2, 5}) {
        Rig r(type);
        r.Box->WriteParam(12, 30000);
        EXPECT_EQ(r.Line->Tx.last().mid(2, 3), QByteArray("136"));
        r.Box->WriteParam32(4, 70000);
        EXPECT_EQ(r.Line->Tx[r.Line->Tx.size() - 2].mid(2, 3), QByteArray("113"));
        EXPECT_EQ(r.Line->Tx.last().mid(2, 3), QByteArray("114"));
        r.Box->SetFastSpeed(5);
        EXPECT_EQ(r.Line->Tx.last().mid(2, 8), QByteArray("13700500"));
        r.Box->SetSlowSpeed(2);
        EXPECT_EQ(r.Line->Tx.last().mid(2, 8), QByteArray("15600200"));
    }
    Rig c(4);
    c.Box->SetFastSpeed(2400);
    EXPECT_EQ(c.Line->Tx.last().mid(2, 8), QByteArray("03702400"));
    c.Box->WriteParam(12, 300);
    EXPECT_EQ(c.Line->Tx.last().mid(2, 3), QByteArray("036"));
}

TEST(StatusFrames, WorkedExampleOnEachChannelAssignment)
{
    const QByteArray frame = Hex("AA 00 07 68 00 01 2C 00 00 00 05 88");
    struct Case { int type; int force; int second; };
    for (Case c : {Case{1, 1000, 172}, Case{4, 1000, 172}, Case{3, 1000, 172}, Case{2, 172, 1000}, Case{5, 172, 1000}}) {
        Rig r(c.type);
        r.Line->Rx = frame;
        EXPECT_EQ(r.Box->ReadForceCode(), c.force) << c.type;
        EXPECT_EQ(r.Box->SecondCode, c.second) << c.type;
        EXPECT_EQ(r.Box->GetAuxCode(), 0);
        EXPECT_EQ(r.Box->GetStatus(), 5);
        EXPECT_TRUE(r.Box->IsOnline());
    }
    Rig n;
    QByteArray neg = frame;
    neg[1] = '\x40';
    n.Line->Rx = neg;
    EXPECT_EQ(n.Box->ReadForceCode(), -1000);

    EXPECT_EQ(kv::DecodeChannelCode(0x40, 0x00, 0x00), 0);
    EXPECT_EQ(kv::DecodeChannelCode(0x3F, 0x7F, 0x7F), 1048575);
    EXPECT_EQ(kv::DecodeChannelCode(0x7F, 0x7F, 0x7F), -1048575);
    // The auxiliary code: two top bits in byte 7, sign in bit 6.
    const kv::box::TStatusFrame s = kv::box::Decode12(Hex("AA 00 00 00 00 00 00 43 7F 7F 0F 88"));
    EXPECT_EQ(s.Aux, -65535);
    EXPECT_EQ(s.Status, 15);
}

TEST(StatusFrames, SevenByteFrameOfKvd300)
{
    Rig r(0);
    r.Line->Rx = kv::box::Encode7(-70000, 40000, 9);
    EXPECT_EQ(r.Box->ReadForceCode(), -70000);
    EXPECT_EQ(r.Box->GetAuxCode(), 40000);
    EXPECT_EQ(r.Box->GetStatus(), 9);
    // Bytes as laid out on the wire: 1000 codes, valve 3, status 2.
    r.Line->Rx = Hex("E0 07 68 A2 00 00 6A");
    EXPECT_EQ(r.Box->ReadForceCode(), 1000);
    EXPECT_EQ(r.Box->GetAuxCode(), 3);
    EXPECT_EQ(r.Box->GetStatus(), 2);
    // A twelve-byte frame is not taken for one.
    r.Line->Rx = Hex("AA 00 07 68 00 01 2C");
    r.Box->ReadForceCode();
    EXPECT_EQ(r.Box->ForceCode, 1000);
}

TEST(StatusFrames, LateFrameStartIsFoundInTheSamePoll)
{
    Rig r;
    r.Line->Rx = Hex("01 02 03") + kv::box::Encode12(4321, 5, 6, 7);
    EXPECT_EQ(r.Box->ReadForceCode(), 4321);
    EXPECT_EQ(r.Box->GetAuxCode(), 6);
    EXPECT_TRUE(r.Line->Rx.isEmpty());
    EXPECT_EQ(r.Box->MissCount, 0);

    // The seven-byte frame resynchronises on its marker bits also when the
    // force code is large or negative (frame start byte E1..EF).
    Rig k(0);
    k.Line->Rx = Hex("12 34") + kv::box::Encode7(100000, 7, 1) + kv::box::Encode7(-5, 8, 1);
    k.Box->KeepReadings(true);
    EXPECT_EQ(k.Box->ReadForceCode(), -5);
    const std::vector<kv::TBoxReading> seen = k.Box->TakeReadings();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].ForceCode, 100000);
}

TEST(StatusFrames, GarbageCostsAtMostThreeAttempts)
{
    Rig r;
    // 36 bytes without a frame start: three reads of 12, no decode, no miss.
    r.Line->Rx = QByteArray(36, '\x11');
    r.Box->ForceCode = 9;
    r.Box->ReadForceCode();
    EXPECT_EQ(r.Box->ForceCode, 9);
    EXPECT_EQ(r.Box->MissCount, 0);
    EXPECT_TRUE(r.Line->Rx.isEmpty());
    EXPECT_EQ(r.Clock.totalSlept(), 0);
}

TEST(StatusFrames, EveryWholeFrameIsDecodedTheNewestIsReadAndAPartOneWaits)
{
    Rig r;
    auto f = [](int code) { return kv::box::Encode12(code, 0, code + 1, 0); };
    r.Box->KeepReadings(true);
    r.Line->Rx = f(1) + f(2) + f(3) + f(4).left(5);
    EXPECT_EQ(r.Box->ReadForceCode(), 3);
    EXPECT_EQ(r.Box->GetAuxCode(), 4);
    EXPECT_TRUE(r.Line->Rx.isEmpty());
    // The frame begun is completed by the next bytes, not thrown away.
    r.Line->Rx = f(4).mid(5);
    EXPECT_EQ(r.Box->DrainFrames(), 1);
    EXPECT_EQ(r.Box->ReadForceCode(), 4); // a frame came since the last poll: no wait
    EXPECT_EQ(r.Clock.totalSlept(), 0);
    std::vector<int> codes;
    for (const kv::TBoxReading &x : r.Box->TakeReadings())
        codes.push_back(x.ForceCode);
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(r.Box->TakeReadings().empty());

    // A parameter exchange drops the half frame with the line's buffer.
    r.Line->Rx = f(5).left(7);
    r.Box->DrainFrames();
    quint16 unused = 0;
    r.Box->ReadParamAt(12, unused);
    r.Line->Rx = f(6);
    EXPECT_EQ(r.Box->ReadForceCode(), 6);

    // Seven-byte frames alike.
    Rig k(0);
    k.Line->Rx = kv::box::Encode7(1, 2, 3) + kv::box::Encode7(7, 2, 3) + QByteArray(1, '\0');
    EXPECT_EQ(k.Box->ReadForceCode(), 7);
}

TEST(LinkSupervision, MissedPollsRestartStreamingAndDropTheLink)
{
    Rig r;
    r.Line->Rx = kv::box::Encode12(1, 2, 3, 4);
    r.Box->Poll();
    ASSERT_TRUE(r.Box->IsOnline());
    r.Line->Clear();

    const qint64 before = r.Clock.totalSlept();
    r.Box->Poll();
    EXPECT_EQ(r.Clock.totalSlept() - before, 11 * 20); // one wait, no further attempts
    EXPECT_EQ(r.Box->MissCount, 1);
    for (int i = 2; i <= 4; ++i)
        r.Box->Poll();
    EXPECT_TRUE(r.Line->Tx.isEmpty());
    r.Box->Poll(); // 5th
    EXPECT_EQ(r.Line->Bytes(), QList<int>{0xF6});
    for (int i = 6; i <= 29; ++i)
        r.Box->Poll();
    EXPECT_EQ(r.Line->Bytes(), (QList<int>{0xF6, 0xF6, 0xF6})); // 5th, 15th, 25th
    EXPECT_TRUE(r.Box->IsOnline());
    r.Box->Poll(); // 30th
    EXPECT_FALSE(r.Box->IsOnline());
    EXPECT_EQ(r.Line->Bytes().size(), 4);
    EXPECT_EQ(r.Box->StreamRestarts, 4);

    // A line that went away (cable pulled) is missed at once, never waited on.
    r.Line->IsOpen = false;
    const qint64 closed = r.Clock.totalSlept();
    r.Box->Poll();
    EXPECT_EQ(r.Clock.totalSlept(), closed);
    EXPECT_EQ(r.Box->MissCount, 31);
    r.Line->IsOpen = true;

    // One good frame brings the link back and clears the count.
    r.Line->Rx = kv::box::Encode12(1, 2, 3, 4);
    r.Box->Poll();
    EXPECT_TRUE(r.Box->IsOnline());
    EXPECT_EQ(r.Box->MissCount, 0);
}

TEST(LinkSupervision, ASilentBoxHasItsPortReopenedNowAndThen)
{
    kv::TVirtualClock clock;
    kv::TClockGuard guard(&clock);
    std::shared_ptr<TLineState> line;
    kv::TBoxConnection connection([&line](int type) {
        std::unique_ptr<TCtrlBox> box = ScriptedBox(type, line);
        return box;
    });
    connection.Select(1);
    const int opened = line->OpenCount;
    QList<int> reopenedAt;
    for (int tick = 1; tick <= 25; ++tick) {
        const int before = line->OpenCount;
        connection.Reinitialise(tick);
        if (line->OpenCount > before)
            reopenedAt.append(tick);
    }
    EXPECT_EQ(reopenedAt, (QList<int>{3, 13, 23}));
    EXPECT_EQ(line->OpenCount, opened + 3);
    // Streaming, link initialisation and control mode on every tick; a
    // reopened port first stops and activates the box.
    EXPECT_EQ(line->Bytes().mid(0, 3), (QList<int>{0xF6, 0xA1, 0xD2}));
    EXPECT_EQ(line->Bytes().mid(6, 5), (QList<int>{0xF1, 0xD4, 0xF6, 0xA1, 0xD2}));
    EXPECT_EQ(line->Bytes().size(), 25 * 3 + 3 * 2);

    // While the device stays away nothing is sent and nothing waited for.
    line->OpenSucceeds = false;
    line->IsOpen = false;
    line->Clear();
    const qint64 slept = clock.totalSlept();
    for (int tick = 26; tick <= 33; ++tick)
        connection.Reinitialise(tick);
    EXPECT_TRUE(line->Tx.isEmpty());
    EXPECT_EQ(clock.totalSlept(), slept);
    // Back: the next reopening finds it.
    line->OpenSucceeds = true;
    connection.Reinitialise(33);
    EXPECT_TRUE(line->IsOpen);
    EXPECT_EQ(line->Bytes(), (QList<int>{0xF1, 0xD4, 0xF6, 0xA1, 0xD2}));
}

TEST(LinkSupervision, PortThatCannotBeOpened)
{
    kv::TVirtualClock clock;
    kv::TClockGuard guard(&clock);
    auto state = std::make_shared<TLineState>();
    state->OpenSucceeds = false;
    auto box = kv::CreateCtrlBox(1);
    box->SetSerialFactory([state] { return std::make_unique<TScriptedLine>(state); });
    box->Init();
    box->Online = 1;
    EXPECT_FALSE(box->OpenPort());
    EXPECT_FALSE(box->IsOnline());
    box->Activate();
    EXPECT_TRUE(state->Tx.isEmpty());
    int v = 3;
    EXPECT_FALSE(box->ReadParamRaw(1, v));
    EXPECT_EQ(v, 3);
    EXPECT_EQ(state->Port, 1);
    EXPECT_EQ(state->Settings, QStringLiteral("19200,n,8,1"));
}
