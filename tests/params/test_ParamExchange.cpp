// The parameter exchange on a worker thread: the line moves there and back,
// progress and the end arrive on the test's thread while its loop runs.
#include "ParamTestSupport.h"
#include "link/ParamExchange.h"
#include "link/ParamSet.h"

#include "Clock.h"

#include <QEventLoop>
#include <QSemaphore>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A memory line that owns itself like a serial port: only its owner thread
// may hand it on. It keeps every byte sent and the threads that sent them;
// the first read request waits until the test releases the gate.
class TOwnedLine : public paramtest::TMemoryLine {
public:
    using TMemoryLine::TMemoryLine;
    bool HandTo(QThread *thread) override
    {
        if (Refuse || QThread::currentThread() != Owner)
            return false;
        Owner = thread;
        return true;
    }
    bool Output(const QByteArray &b) override
    {
        if (b.size() == 6 && Gate && !Gate->tryAcquire(1, 5000))
            return false;
        if (b.size() == 6)
            Gate = nullptr;
        Sent += b;
        Senders.insert(QThread::currentThread());
        return TMemoryLine::Output(b);
    }
    QThread *Owner = QThread::currentThread();
    bool Refuse = false;
    QSemaphore *Gate = nullptr;
    QByteArray Sent;
    std::set<QThread *> Senders;
};

class ParamExchange : public ::testing::Test {
protected:
    ParamExchange()
    {
        memory = std::make_shared<paramtest::TBoxMemory>();
        box = kv::CreateCtrlBox(1);
        box->SetSerialFactory([this] { return std::make_unique<TOwnedLine>(memory); });
        box->Init();
        box->OpenPort();
        line = static_cast<TOwnedLine *>(box->Line());
        params = std::make_unique<kv::TBaseParams>(*box);
        exchange = std::make_unique<kv::TParamExchange>(*params);
        QObject::connect(exchange.get(), &kv::TParamExchange::progress, [this](int d, int t) { last = {d, t}; });
        QObject::connect(exchange.get(), &kv::TParamExchange::finished, [this](int f) { failures = f; loop.quit(); });
    }
    void Wait() { QTimer::singleShot(5000, &loop, &QEventLoop::quit); loop.exec(); }

    kv::TVirtualClock clock;
    kv::TClockGuard guard{&clock};
    std::shared_ptr<paramtest::TBoxMemory> memory;
    std::unique_ptr<kv::TCtrlBox> box;
    TOwnedLine *line = nullptr;
    std::unique_ptr<kv::TBaseParams> params;
    std::unique_ptr<kv::TParamExchange> exchange;
    QEventLoop loop;
    std::pair<int, int> last{0, 0};
    int failures = -99;
};

} // namespace

TEST_F(ParamExchange, ReadRunsOnAWorkerWhileTheCallersLoopRuns)
{
    for (int i = 0; i < params->Count(); ++i)
        if (params->Item(i).Def->InBox())
            memory->Words[params->Item(i).Def->Address] = 100 + i;
    QSemaphore gate;
    line->Gate = &gate; // opened only by a tick of the test thread's timer
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { gate.release(); });
    tick.start(1);
    ASSERT_TRUE(exchange->StartRead());
    EXPECT_FALSE(exchange->StartRead()) << "one exchange at a time";
    Wait();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(last, std::make_pair(params->BoxItemCount(), params->BoxItemCount()));
    EXPECT_EQ(quint8(line->Sent.front()), 0xF8);
    EXPECT_EQ(quint8(line->Sent.back()), 0xF6);
    EXPECT_EQ(line->Senders.count(QThread::currentThread()), 0u);
    EXPECT_EQ(line->Owner, QThread::currentThread());
    EXPECT_FALSE(exchange->Running());
    const int n = params->Count();
    std::vector<int> got(size_t(n), 0);
    for (int i = 0; i < n; ++i)
        got[size_t(i)] = params->BoxValue(i);
    EXPECT_EQ(params->ReadBox(), 0) << "the line works on this thread again";
    for (int i = 0; i < n; ++i)
        EXPECT_EQ(got[size_t(i)], params->BoxValue(i)) << i;
}

TEST_F(ParamExchange, WriteSendsExactlyTheFlaggedItems)
{
    const int a = params->IndexOf("FMaxLoad"), b = params->IndexOf("FValveBack");
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    params->SetBoxValue(a, 300000);
    params->SetDiffers(a, true);
    params->SetDiffers(b, true);
    ASSERT_TRUE(exchange->StartWrite());
    Wait();
    EXPECT_EQ(failures, 0);
    QList<int> expected;
    for (int i : {a, b}) {
        if (params->Item(i).Def->TwoWords())
            expected.append(params->Item(i).Def->HighAddress);
        expected.append(params->Item(i).Def->Address);
    }
    QList<int> written;
    for (const auto &w : memory->Writes)
        written.append(w.first);
    EXPECT_EQ(written, expected);
    EXPECT_EQ(last, std::make_pair(2, 2));
}

TEST_F(ParamExchange, ALineThatCannotBeHandedOverEndsAtOnce)
{
    line->Refuse = true;
    EXPECT_FALSE(exchange->StartRead());
    Wait();
    EXPECT_EQ(failures, kv::TParamExchange::LineUnavailable);
    EXPECT_TRUE(line->Sent.isEmpty());
}
