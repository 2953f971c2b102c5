// A full read and a full write of every box parameter through the worker-thread
// exchange (TParamExchange), each family against the simulated box on a pty.
// The measured time is set against what the line and the box need at least:
// the bytes on the wire at the model's baud rate (10 bits a byte) plus the
// driver's pauses (20 ms before a read, 20 ms rounds waiting for its reply,
// 80 ms after each word written, 10 ms after each streaming command).
#include "SimBench.h"
#include "link/SerialPort.h"
#include "link/ParamExchange.h"
#include "link/ParamSet.h"
#include "link/CtrlBox.h"
#include "Clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdio>

namespace {


// The real clock, summing every pause the driver takes.
class TPauseClock : public kv::TRealClock {
public:
    void sleepMs(int ms) override
    {
        Slept += ms;
        TRealClock::sleepMs(ms);
    }
    std::atomic<qint64> Slept{0};
};

// Runs one exchange and spins the event loop until it ends; returns failures.
int Exchange(kv::TParamExchange &exchange, bool read, int &ticks)
{
    QEventLoop loop;
    int failures = -99;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
    const auto c = QObject::connect(&exchange, &kv::TParamExchange::finished, [&](int f) { failures = f; loop.quit(); });
    tick.start(50);
    if (read ? exchange.StartRead() : exchange.StartWrite())
        loop.exec();
    QObject::disconnect(c);
    return failures;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TPauseClock clock;
    kv::TClockGuard guard(&clock);
    std::printf("parameter exchange on a worker thread with kvdsim over a pty\n");
    std::printf("%-7s %-6s %5s %6s %9s %8s %8s %9s %6s %6s\n", "model", "dir", "items", "words", "measured", "line",
                "pauses", "line+pau", "ratio", "ticks");
    for (const benchsim::TFamily &f : benchsim::kFamilies) {
        benchsim::TSimDriver sim;
        if (!sim.Open(f))
            return 1;
        kv::TBaseParams &params = *sim.Params;
        benchsim::TCount &count = sim.Count;
        kv::TParamExchange exchange(params);
        for (int pass = 0; pass < 2; ++pass) {
            const bool read = pass == 0;
            if (!read)
                for (int i = 0; i < params.Count(); ++i)
                    if (params.Item(i).Def->InBox())
                        params.SetDiffers(i, true);
            count.Reset();
            clock.Slept = 0;
            int ticks = 0;
            QElapsedTimer t;
            t.start();
            const int failed = Exchange(exchange, read, ticks);
            const double ms = t.nsecsElapsed() / 1e6;
            const double line = double(count.Out + count.In) * 10.0 * 1000.0 / f.Baud;
            const double pauses = double(clock.Slept.load());
            std::printf("%-7s %-6s %5d %6lld %6.0f ms %5.0f ms %5.0f ms %6.0f ms %5.2fx %6d%s\n", f.Model,
                        read ? "read" : "write", params.BoxItemCount(),
                        read ? qint64(count.Reads) : qint64(count.Writes), ms, line, pauses, line + pauses,
                        ms / (line + pauses), ticks, failed ? "  (failures)" : "");
        }
    }
    std::printf("a pty carries the bytes without wire time: below 1x the measured time is the pauses and the\n"
                "round trips; on a real line the bytes add their line time. ticks: 50 ms timer of the caller's loop\n");
    return 0;
}
