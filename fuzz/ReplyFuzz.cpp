// Fuzz entry point of what the driver reads besides status frames: the
// parameter replies (TCtrlBox::ReadParamRaw, and TBaseParams::ReadBox over a
// whole item table) and the port scan (TPortScan) over ports that deliver
// arbitrary bytes, all on a line in virtual time.
//
// Input: byte 0 picks the mode, byte 1 the model.
// Mode 0, words: pairs of bytes name addresses that are read one by one.
// Mode 1, item table: one ReadBox of the model's parameter set.
//   In both, every read request is answered as the next input byte says:
//   the right reply, arbitrary bytes, silence or another word's reply, late
//   or at once (right replies at once when the input is used up). A word is
//   read when, and only when, a reply the driver took names its address; the
//   value is that reply's; a read ends within its bounded waits; a reply in
//   time on a quiet line is never missed, and silence is never asked again.
//   A whole table read on a line whose replies are right gives the values of
//   a read on a perfect line.
// Mode 2, port scan: each of the ports 1..16 opens or not and streams its
//   bytes at its own pace once asked to; a cancel may come at one port. The
//   scan tries the ports in order, stops at the first port whose bytes held
//   a well-formed status frame and only there, and never passes a cancel.
// A violated property aborts (a crash for libFuzzer, a failure for CTest).
#include "link/CtrlBox.h"
#include "link/ParamSet.h"
#include "link/PortScan.h"
#include "link/SerialPort.h"
#include "Clock.h"
#include "FuzzSupport.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <vector>

namespace {

[[noreturn]] void Fail(const char *what, int type)
{
    std::fprintf(stderr, "reply fuzz: %s (machine type %d)\n", what, type);
    std::abort();
}

struct TInput {
    const uint8_t *Data = nullptr;
    size_t Size = 0;
    size_t At = 0;
    bool Empty() const { return At >= Size; }
    int Next() { return At < Size ? Data[At++] : -1; }
};

// The word the box holds at an address.
int Memory(int address) { return (address * 7919 + 17) % 65536; }

QByteArray Digits(int value, int width)
{
    QByteArray d(width, '0');
    for (int i = width - 1; i >= 0; --i, value /= 10)
        d[i] = char('0' + value % 10);
    return d;
}

QByteArray Reply(int address, int value)
{
    return QByteArray(1, char(0x68)) + Digits(address, 3) + Digits(value, 5) + QByteArray(1, char(0x16));
}

// A reply as the box sends it, read here on its own: false for anything else.
bool ParseReply(const QByteArray &r, int &address, int &value)
{
    if (r.size() != 10 || uint8_t(r[0]) != 0x68 || uint8_t(r[9]) != 0x16)
        return false;
    address = value = 0;
    for (int i = 1; i < 9; ++i) {
        if (r[i] < '0' || r[i] > '9')
            return false;
        (i <= 3 ? address : value) = (i <= 3 ? address : value) * 10 + (r[i] - '0');
    }
    return true;
}

// A read request 68 D1 A2 A1 A0 16; its address, or -1.
int RequestAddress(const QByteArray &b)
{
    if (b.size() != 6 || uint8_t(b[0]) != 0x68 || uint8_t(b[1]) != 0xD1 || uint8_t(b[5]) != 0x16)
        return -1;
    int a = 0;
    for (int i = 2; i < 5; ++i) {
        if (b[i] < '0' || b[i] > '9')
            return -1;
        a = a * 10 + (b[i] - '0');
    }
    return a;
}

// ---------------------------------------------------------------- replies

// How one request was answered.
struct TAnswer {
    bool Whole = false;  // the right reply of the requested word
    bool Short = false;  // fewer than ten bytes, or none, within the wait
    bool Quiet = false;  // nothing else was on its way when it was asked
    qint64 Delay = 0;
};

// The box end of the line for parameter reads.
struct TReplyBox {
    kv::TVirtualClock *Clock = nullptr;
    TInput *In = nullptr;
    bool Open = false;
    struct TChunk {
        qint64 At;
        QByteArray Bytes;
    };
    std::deque<TChunk> Coming;
    QByteArray Rx;
    int Address = -1;                    // word of the last request
    std::vector<TAnswer> Answers;        // of the requests of the current read
    // Replies the driver took that name the requested word, with their value.
    std::map<int, std::vector<int>> Taken;

    void Arrive()
    {
        while (!Coming.empty() && Coming.front().At <= Clock->nowMs()) {
            Rx += Coming.front().Bytes;
            Coming.pop_front();
        }
    }

    void Request(int address)
    {
        Address = address;
        TAnswer a;
        a.Quiet = Coming.empty();
        const int c = In->Next();
        QByteArray bytes;
        if (c < 0) {
            bytes = Reply(address, Memory(address));
        } else {
            a.Delay = (c >> 2) * 5;
            switch (c & 3) {
            case 0: bytes = Reply(address, Memory(address)); break;
            case 1: {
                const int n = std::max(0, In->Next()) % 24;
                for (int i = 0; i < n && !In->Empty(); ++i)
                    bytes.append(char(In->Next()));
                break;
            }
            case 2: break;
            case 3: {
                const int other = (address + 1 + std::max(0, In->Next())) % 1000;
                bytes = Reply(other, Memory(other));
                break;
            }
            }
        }
        a.Whole = bytes == Reply(address, Memory(address));
        a.Short = bytes.size() < 10 || a.Delay > 260;
        Answers.push_back(a);
        if (!bytes.isEmpty())
            Coming.push_back({Clock->nowMs() + a.Delay, bytes});
        // Chunks arrive in the order they were sent, whatever their delays.
        for (size_t i = Coming.size(); i > 1 && Coming[i - 1].At < Coming[i - 2].At; --i)
            Coming[i - 1].At = Coming[i - 2].At;
    }
};

class TReplyLine : public kv::TSerialLine {
public:
    explicit TReplyLine(TReplyBox *b) : B(b) {}
    bool Open(int, const QString &) override { return B->Open = true; }
    void Close() override { B->Open = false; }
    bool IsOpen() const override { return B->Open; }
    bool Output(const QByteArray &bytes) override
    {
        const int a = RequestAddress(bytes);
        if (a >= 0)
            B->Request(a);
        return B->Open;
    }
    int InBufferCount() override
    {
        B->Arrive();
        return B->Rx.size();
    }
    QByteArray Input(int count) override
    {
        B->Arrive();
        const QByteArray out = B->Rx.left(count);
        B->Rx.remove(0, out.size());
        int address = -1, value = 0;
        if (ParseReply(out, address, value) && address == B->Address)
            B->Taken[address].push_back(value);
        return out;
    }
    void DiscardInput() override
    {
        B->Arrive();
        B->Rx.clear();
    }

private:
    TReplyBox *B;
};

void ReadWords(kv::TCtrlBox &box, TReplyBox &far, kv::TVirtualClock &clock, TInput &in, int type)
{
    for (int k = 0; k < 8 && in.At + 2 <= in.Size; ++k) {
        const int address = ((in.Next() << 8) | in.Next()) % 1000;
        far.Answers.clear();
        far.Taken.clear();
        const qint64 before = clock.nowMs();
        int value = -12345;
        const bool ok = box.ReadParamRaw(address, value);
        // A pause, three requests and their waits of ten 20 ms rounds.
        if (clock.nowMs() - before > 20 + 3 * 200)
            Fail("a read waited longer than its rounds allow", type);
        if (far.Answers.empty() || far.Answers.size() > 3)
            Fail("a read sent no request or more than three", type);
        const std::vector<int> &taken = far.Taken[address];
        if (ok != !taken.empty())
            Fail("a read's result does not follow the replies it took", type);
        if (ok && value != taken.back())
            Fail("a read gave another value than its reply's", type);
        if (!ok && value != -12345)
            Fail("a failed read changed the value", type);
        const TAnswer &first = far.Answers.front();
        if (first.Quiet && first.Whole && first.Delay <= 180 && (!ok || value != Memory(address)))
            Fail("a right reply in time was missed", type);
        for (size_t i = 0; i < far.Answers.size(); ++i)
            if (far.Answers[i].Quiet && far.Answers[i].Short && i + 1 < far.Answers.size())
                Fail("a silent box was asked again", type);
        clock.advance(in.Next() & 0x3F);
    }
}

// Values a ReadBox on a perfect line gives, per model. Computed before the
// input's clock is installed (it installs one of its own).
const std::vector<int> &PerfectValues(int type)
{
    static std::map<int, std::vector<int>> cache;
    auto it = cache.find(type);
    if (it != cache.end())
        return it->second;
    kv::TVirtualClock clock;
    kv::TClockGuard guard(&clock);
    TInput none;
    TReplyBox far;
    far.Clock = &clock;
    far.In = &none;
    auto box = kv::CreateCtrlBox(type);
    box->SetSerialFactory([&far] { return std::make_unique<TReplyLine>(&far); });
    box->Init();
    box->OpenPort();
    kv::TBaseParams set(*box, nullptr);
    if (set.ReadBox() != 0)
        Fail("a perfect line failed a read", type);
    std::vector<int> values;
    for (int i = 0; i < set.Count(); ++i)
        values.push_back(set.BoxValue(i));
    box->Finish();
    return cache[type] = values;
}

void ReadTable(kv::TCtrlBox &box, TReplyBox &far, int type)
{
    const std::vector<int> &perfect = PerfectValues(type);
    kv::TBaseParams set(box, nullptr);
    int calls = 0, last = 0;
    const int failures = set.ReadBox([&](int done, int total) {
        ++calls;
        if (done != last + 1 || total != set.BoxItemCount())
            Fail("progress out of step", type);
        last = done;
    });
    if (calls != set.BoxItemCount())
        Fail("progress not reported for every box item", type);
    int unknown = 0;
    auto clean = [&far](int address) {
        const auto it = far.Taken.find(address);
        if (it == far.Taken.end() || it->second.empty())
            return false;
        for (int v : it->second)
            if (v != Memory(address))
                return false;
        return true;
    };
    for (int i = 0; i < set.Count(); ++i) {
        const kv::TParamDef &def = *set.Item(i).Def;
        if (!def.InBox())
            continue;
        const bool read = far.Taken.count(def.Address) && (!def.TwoWords() || far.Taken.count(def.HighAddress));
        const bool unknownItem = set.Item(i).BoxUnknown;
        unknown += unknownItem ? 1 : 0;
        if (read == unknownItem)
            Fail("an item's known flag does not follow the replies taken", type);
        if (read && clean(def.Address) && (!def.TwoWords() || clean(def.HighAddress)) &&
            set.BoxValue(i) != perfect[size_t(i)])
            Fail("right replies gave another value than a perfect line", type);
    }
    if (failures != unknown || set.ReadFailures() != unknown)
        Fail("the failure count differs from the unknown items", type);
}

// ---------------------------------------------------------------- port scan

bool WellFormed(const QByteArray &w, int len)
{
    const auto b = [&w](int i) { return uint8_t(w[i]); };
    if (len == 7)
        return (b(0) & 0xE0) == 0xE0 && (b(3) & 0xA0) == 0xA0 && (b(6) & 0x0A) == 0x0A;
    return b(0) == 0xAA && (b(10) & 0xF0) == 0 && b(11) == 0x88;
}

bool HoldsFrame(const QByteArray &bytes, int len)
{
    for (int i = 0; i + len <= bytes.size(); ++i)
        if (WellFormed(bytes.mid(i, len), len))
            return true;
    return false;
}

struct TPortScript {
    bool Opens = false;
    int MsPerByte = 0;
    QByteArray Stream;
    // What happened.
    bool Opened = false;
    QByteArray Seen;    // bytes the driver took
    qint64 TriedAt = -1;
};

struct TPorts {
    kv::TVirtualClock *Clock = nullptr;
    TPortScript Script[17];
    int Port = 0;           // open port, 0 none
    bool Streaming = false;
    qint64 Start = 0;
    int Sent = 0;           // stream bytes delivered
    QByteArray Rx;

    void Arrive()
    {
        if (!Port || !Streaming)
            return;
        TPortScript &s = Script[Port];
        int n = s.Stream.size() - Sent;
        if (s.MsPerByte > 0)
            n = std::min<qint64>(n, (Clock->nowMs() - Start) / s.MsPerByte - Sent);
        if (n > 0) {
            Rx += s.Stream.mid(Sent, n);
            Sent += n;
        }
    }
};

class TPortLine : public kv::TSerialLine {
public:
    explicit TPortLine(TPorts *p) : P(p) {}
    bool Open(int port, const QString &) override
    {
        Close();
        if (port < 1 || port > 16 || !P->Script[port].Opens)
            return false;
        P->Port = port;
        P->Script[port].Opened = true;
        return true;
    }
    void Close() override
    {
        P->Port = 0;
        P->Streaming = false;
        P->Sent = 0;
        P->Rx.clear();
    }
    bool IsOpen() const override { return P->Port != 0; }
    bool Output(const QByteArray &bytes) override
    {
        if (!P->Port)
            return false;
        // Asked to stream with relative codes: the port's bytes begin.
        if (bytes == QByteArray(1, char(0xF6)) && !P->Streaming) {
            P->Streaming = true;
            P->Start = P->Clock->nowMs();
        }
        return true;
    }
    int InBufferCount() override
    {
        P->Arrive();
        return P->Rx.size();
    }
    QByteArray Input(int count) override
    {
        P->Arrive();
        const QByteArray out = P->Rx.left(count);
        P->Rx.remove(0, out.size());
        if (P->Port)
            P->Script[P->Port].Seen += out;
        return out;
    }
    void DiscardInput() override
    {
        P->Arrive();
        P->Rx.clear();
    }

private:
    TPorts *P;
};

// Runs the scan on the calling thread, as its thread would.
class TScanHere : public kv::TPortScan {
public:
    using TPortScan::TPortScan;
    void RunHere() { run(); }
};

void ScanPorts(TInput &in, kv::TVirtualClock &clock, int type)
{
    static const int paces[4] = {0, 1, 5, 20};
    TPorts ports;
    ports.Clock = &clock;
    for (int p = 1; p <= 16; ++p) {
        TPortScript &s = ports.Script[p];
        const int o = std::max(0, in.Next());
        s.Opens = o % 4 != 0;
        s.MsPerByte = paces[(o >> 2) % 4];
        const int n = std::max(0, in.Next()) % 64;
        for (int i = 0; i < n && !in.Empty(); ++i)
            s.Stream.append(char(in.Next()));
    }
    const int c = in.Next();
    const int cancelAt = c >= 0 && c < 16 ? c + 1 : 0;

    auto box = kv::CreateCtrlBox(type);
    box->SetSerialFactory([&ports] { return std::make_unique<TPortLine>(&ports); });
    box->Init();
    const int len = box->Model().FrameLength;
    TScanHere scan(*box);
    int last = 0, done = 0;
    bool found = false;
    QObject::connect(&scan, &kv::TPortScan::Progress, [&](int port) {
        if (port == cancelAt)
            scan.Cancel();
    });
    QObject::connect(&scan, &kv::TPortScan::Trying, [&](int port) {
        if (port != last + 1)
            Fail("ports not tried in order", type);
        if (last > 0 && clock.nowMs() - ports.Script[last].TriedAt > 10 + 100 + 5 * (11 * 20 + 10))
            Fail("a port took longer than its polls allow", type);
        last = port;
        ports.Script[port].TriedAt = clock.nowMs();
    });
    QObject::connect(&scan, &kv::TPortScan::Done, [&](bool f) {
        ++done;
        found = f;
    });
    scan.RunHere();
    if (last > 0 && clock.nowMs() - ports.Script[last].TriedAt > 10 + 100 + 5 * (11 * 20 + 10))
        Fail("a port took longer than its polls allow", type);

    if (done != 1)
        Fail("the scan did not end exactly once", type);
    if (box->Line() && box->Line()->IsOpen())
        Fail("the line was left open", type);
    if (cancelAt && last >= cancelAt)
        Fail("a port was tried after the cancel", type);
    for (int p = 1; p < last; ++p)
        if (ports.Script[p].Opened && HoldsFrame(ports.Script[p].Seen, len))
            Fail("the scan passed a port that sent a frame", type);
    const bool lastHeld = last > 0 && ports.Script[last].Opened && HoldsFrame(ports.Script[last].Seen, len);
    if (found != lastHeld)
        Fail("found does not follow the frames of the last port", type);
    if (found && box->CommPort != last)
        Fail("the driver is not left on the port found", type);
    if (!found && !cancelAt && last != 16)
        Fail("the scan gave up before the last port", type);
    box->Finish();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    kvfuzz::NoteInput();
    if (size < 2)
        return 0;
    const int mode = data[0] % 3;
    const int type = data[1] % 6;
    TInput in{data, size, 2};
    if (mode == 1)
        PerfectValues(type);
    kv::TVirtualClock clock;
    kv::TClockGuard guard(&clock);
    if (mode == 2) {
        ScanPorts(in, clock, type);
        return 0;
    }
    TReplyBox far;
    far.Clock = &clock;
    far.In = &in;
    auto box = kv::CreateCtrlBox(type);
    box->SetSerialFactory([&far] { return std::make_unique<TReplyLine>(&far); });
    box->Init();
    box->OpenPort();
    if (mode == 0)
        ReadWords(*box, far, clock, in, type);
    else
        ReadTable(*box, far, type);
    box->Finish();
    return 0;
}
