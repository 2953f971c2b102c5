// Fuzz entry point of the status-frame reader: TCtrlBox::Poll on a line that
// delivers arbitrary bytes as time passes (virtual time).
//
// Input: byte 0 picks the model, byte 1 the mode.
// Mode 0, arbitrary stream: the rest of the input arrives at one byte per
//   millisecond while the driver polls every 100 ms. Every poll ends within
//   its bounded waits, every value it decodes is that of a contiguous window
//   of the delivered bytes that is a well-formed frame, and once the stream
//   is over and the box streams good frames again (five per poll), the
//   driver is back on the newest frames within a few polls.
// Mode 1, framed stream: the input is cut into segments of junk (without a
//   frame-start byte, shorter than three frames) followed by one good frame;
//   each segment arrives whole and the next poll must decode exactly its
//   frame.
// A violated property aborts (a crash for libFuzzer, a failure for CTest).
#include "link/BoxFrames.h"
#include "link/SerialPort.h"
#include "link/CtrlBox.h"
#include "Clock.h"
#include "FuzzSupport.h"

#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <tuple>

namespace {

using TValues = std::tuple<int, int, int, int>; // channel A, channel B, aux, status

[[noreturn]] void Fail(const char *what, int type)
{
    std::fprintf(stderr, "poll fuzz: %s (machine type %d)\n", what, type);
    std::abort();
}

struct TFeed {
    kv::TVirtualClock *Clock = nullptr;
    QByteArray Pending;     // bytes still on their way
    qint64 Start = 0;       // when the first pending byte was sent
    int MsPerByte = 1;      // 0: everything at once
    QByteArray Rx;          // arrived, not yet read
    QByteArray Delivered;   // everything that ever arrived
    bool Open = false;

    void Arrive()
    {
        qint64 n = Pending.size();
        if (MsPerByte > 0)
            n = qMin<qint64>(n, (Clock->nowMs() - Start) / MsPerByte);
        if (n <= 0)
            return;
        Rx.append(Pending.constData(), int(n));
        Delivered.append(Pending.constData(), int(n));
        Pending.remove(0, int(n));
        Start = Clock->nowMs();
    }
};

class TFeedLine : public kv::TSerialLine {
public:
    explicit TFeedLine(TFeed *f) : F(f) {}
    bool Open(int, const QString &) override { return F->Open = true; }
    void Close() override { F->Open = false; }
    bool IsOpen() const override { return F->Open; }
    bool Output(const QByteArray &) override { return F->Open; }
    int InBufferCount() override
    {
        F->Arrive();
        return F->Rx.size();
    }
    QByteArray Input(int count) override
    {
        F->Arrive();
        const QByteArray out = F->Rx.left(count);
        F->Rx.remove(0, out.size());
        return out;
    }
    void DiscardInput() override
    {
        F->Arrive();
        F->Rx.clear();
    }

private:
    TFeed *F;
};

TValues Decode(const QByteArray &w, int len)
{
    const kv::box::TStatusFrame s = len == 7 ? kv::box::Decode7(w) : kv::box::Decode12(w);
    return {s.ChannelA, len == 7 ? 0 : s.ChannelB, s.Aux, s.Status};
}

// Well-formed windows of the delivered bytes, kept up to date.
struct TWindows {
    explicit TWindows(int len) : Len(len) {}
    int Len;
    int Scanned = 0;
    std::set<TValues> Values;
    void Update(const QByteArray &all)
    {
        for (; Scanned + Len <= all.size(); ++Scanned) {
            // A view of the bytes, not a copy: this runs for every byte.
            const QByteArray w = QByteArray::fromRawData(all.constData() + Scanned, Len);
            if (Len == 7 ? kv::box::Looks7(w) : kv::box::Looks12(w))
                Values.insert(Decode(w, Len));
        }
    }
};

// What the driver decoded in the last poll, as channel values; false when
// it decoded nothing (the status was left at its sentinel).
bool Decoded(const kv::TCtrlBox &box, TValues &v)
{
    if (box.Status < 0)
        return false;
    // A seven-byte frame has channel A only; its channel B reads 0.
    const bool onB = box.Model().Family.ForceChannel == kv::TForceChannel::B;
    const int a = onB ? box.SecondCode : box.ForceCode;
    const int b = onB ? box.ForceCode : box.SecondCode;
    v = {a, b, box.AuxCode, box.Status};
    return true;
}

QByteArray Frame(int len, int a, int b, int aux, int status)
{
    return len == 7 ? kv::box::Encode7(a, aux, status) : kv::box::Encode12(a, b, aux, status);
}

// Values a frame of this length can carry, taken from four input bytes.
TValues Values(int len, const uint8_t *p, int serial)
{
    const int sa = (p[0] << 8 | p[1]) + serial;
    const int a = (len == 7 ? sa % 131072 : sa % 1048576) * ((p[0] & 1) ? -1 : 1);
    const int b = len == 7 ? 0 : ((p[1] << 8 | p[2]) % 1048576) * ((p[2] & 1) ? -1 : 1);
    const int aux = len == 7 ? (p[2] << 8 | p[3]) : ((p[2] << 8 | p[3]) % 65536) * ((p[3] & 1) ? -1 : 1);
    return {a, b, aux, p[3] & 0x0F};
}

void TimedPoll(kv::TCtrlBox &box, kv::TVirtualClock &clock, int type)
{
    box.Status = -1;
    const qint64 before = clock.nowMs();
    box.Poll();
    // One wait of at most eleven 20 ms rounds.
    if (clock.nowMs() - before > 11 * 20)
        Fail("a poll waited longer than its rounds allow", type);
}

void ArbitraryStream(kv::TCtrlBox &box, TFeed &feed, kv::TVirtualClock &clock, const uint8_t *data, size_t size,
                     int type)
{
    const int len = box.Model().FrameLength;
    TWindows windows{len};
    feed.Pending = QByteArray(reinterpret_cast<const char *>(data), int(size));
    feed.Start = clock.nowMs();
    feed.MsPerByte = 1;
    const int maxPolls = int(size) / 50 + 40;
    for (int i = 0; i < maxPolls && !(feed.Pending.isEmpty() && feed.Rx.size() < len); ++i) {
        TimedPoll(box, clock, type);
        windows.Update(feed.Delivered);
        TValues v;
        if (Decoded(box, v) && !windows.Values.count(v))
            Fail("decoded values that no frame on the line carried", type);
        clock.advance(100);
    }
    if (!feed.Pending.isEmpty())
        Fail("the stream was not consumed", type);

    // The box streams good frames again: five per poll, as at 20 ms.
    feed.MsPerByte = 0;
    for (int batch = 0; batch < 10; ++batch) {
        std::set<TValues> sent;
        for (int k = 0; k < 5; ++k) {
            const uint8_t seed[4] = {uint8_t(batch), uint8_t(k), uint8_t(batch * 7 + k), uint8_t(k + 1)};
            const TValues v = Values(len, seed, 1000 + batch * 5 + k);
            sent.insert(v);
            feed.Pending += Frame(len, std::get<0>(v), std::get<1>(v), std::get<2>(v), std::get<3>(v));
        }
        TimedPoll(box, clock, type);
        windows.Update(feed.Delivered);
        TValues v;
        const bool decoded = Decoded(box, v);
        if (decoded && !windows.Values.count(v))
            Fail("decoded values that no frame on the line carried", type);
        if (batch >= 5 && (!decoded || !sent.count(v)))
            Fail("the newest frames were not read again after the stream", type);
        clock.advance(100);
    }
    if (!box.IsOnline())
        Fail("off-line while good frames arrive", type);
}

void FramedStream(kv::TCtrlBox &box, TFeed &feed, kv::TVirtualClock &clock, const uint8_t *data, size_t size, int type)
{
    const int len = box.Model().FrameLength;
    feed.MsPerByte = 0;
    size_t at = 0;
    int serial = 0;
    while (at + 5 <= size) {
        const int junkLength = data[at++] % (3 * len);
        QByteArray junk;
        for (int i = 0; i < junkLength && at < size; ++i) {
            uint8_t b = data[at++];
            if (len == 7 ? (b & 0xE0) == 0xE0 : b == 0xAA)
                b &= 0x7F; // never a frame start
            junk.append(char(b));
        }
        if (at + 4 > size)
            break;
        const TValues v = Values(len, data + at, serial++);
        at += 4;
        feed.Pending += junk + Frame(len, std::get<0>(v), std::get<1>(v), std::get<2>(v), std::get<3>(v));
        TimedPoll(box, clock, type);
        TValues got;
        if (!Decoded(box, got) || got != v)
            Fail("a whole frame behind junk was not decoded", type);
        if (!feed.Rx.isEmpty())
            Fail("bytes left over after a whole frame", type);
        clock.advance(100);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    kvfuzz::NoteInput();
    if (size < 2)
        return 0;
    const int type = data[0] % 6;
    const int mode = data[1] % 2;
    kv::TVirtualClock clock;
    kv::TClockGuard guard(&clock);
    TFeed feed;
    feed.Clock = &clock;
    auto box = kv::CreateCtrlBox(type);
    box->SetSerialFactory([&feed] { return std::make_unique<TFeedLine>(&feed); });
    box->Init();
    box->OpenPort();
    if (mode == 0)
        ArbitraryStream(*box, feed, clock, data + 2, size - 2, type);
    else
        FramedStream(*box, feed, clock, data + 2, size - 2, type);
    box->Finish();
    return 0;
}
