// Full parameter upload (every box parameter read) and download (every box
// parameter written) of each family against the simulated box on a pty, and
// the time the same bytes need on a real line at the model's baud rate
// (10 bits a byte). The difference is the driver's fixed pauses (20 ms
// before a read, 20 ms rounds while waiting for the reply, 80 ms after a
// write) and the round trips.
#include "SimBench.h"
#include "link/SerialPort.h"
#include "link/ParamSet.h"
#include "link/CtrlBox.h"
#include "Clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

using benchsim::TCount;
using benchsim::TCountingLine;

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    struct TFamily {
        int Type;
        const char *Model;
        int Baud;
    };
    const TFamily families[] = {{0, "KVD300", 9600}, {1, "KVD510", 19200}, {2, "KVD520", 19200}};
    std::printf("parameter exchange with kvdsim over a pty (line time at the model's baud rate, 10 bits a byte)\n");
    std::printf("%-8s %-9s %6s %9s %10s %10s %8s\n", "model", "direction", "words", "bytes", "measured", "line", "ratio");
    for (const TFamily &f : families) {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("ports/COM1"));
        QProcess sim;
        if (!benchsim::StartSim(sim, f.Model, link)) {
            std::fprintf(stderr, "kvdsim %s did not start\n", f.Model);
            return 1;
        }
        TCount count;
        auto box = kv::CreateCtrlBox(f.Type);
        const QString path = dir.path();
        box->SetSerialFactory([path, &count] { return std::make_unique<TCountingLine>(path, &count); });
        box->Init();
        kv::TBaseParams params(*box);
        if (!box->OpenPort()) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(link));
            return 1;
        }
        box->SetADState(2);
        kv::Sleep(100);
        box->Line()->DiscardInput();

        count.Reset();
        QElapsedTimer t;
        t.start();
        const int failed = params.ReadBox();
        const double upMs = t.nsecsElapsed() / 1e6;
        const int reads = static_cast<int>(count.Reads);

        for (int i = 0; i < params.Count(); ++i)
            if (params.Item(i).Def->InBox())
                params.SetDiffers(i, true);
        count.Reset();
        t.start();
        const int unsent = params.WriteBox();
        const double downMs = t.nsecsElapsed() / 1e6;
        const int writes = static_cast<int>(count.Writes);

        const double upLine = reads * (6 + 10) * 10.0 * 1000.0 / f.Baud;
        const double downLine = writes * 11 * 10.0 * 1000.0 / f.Baud;
        std::printf("%-8s %-9s %6d %9d %8.0f ms %7.0f ms %7.1fx%s\n", f.Model, "upload", reads, reads * 16, upMs,
                    upLine, upMs / upLine, failed ? "  (read failures)" : "");
        std::printf("%-8s %-9s %6d %9d %8.0f ms %7.0f ms %7.1fx%s\n", f.Model, "download", writes, writes * 11,
                    downMs, downLine, downMs / downLine, unsent ? "  (not sent)" : "");
        std::printf("%-8s pauses: upload %d x (20 ms + one 20 ms reply round) = %d ms, download %d x 80 ms = %d ms\n",
                    f.Model, reads, reads * 40, writes, writes * 80);
        box->SetADState(0);
        box->Finish();
        sim.terminate();
        sim.waitForFinished(10000);
    }
    return 0;
}
