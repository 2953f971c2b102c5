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


} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::printf("parameter exchange with kvdsim over a pty (line time at the model's baud rate, 10 bits a byte)\n");
    std::printf("%-8s %-9s %6s %9s %10s %10s %8s\n", "model", "direction", "words", "bytes", "measured", "line", "ratio");
    for (const benchsim::TFamily &f : benchsim::kFamilies) {
        benchsim::TSimDriver sim;
        if (!sim.Open(f))
            return 1;
        kv::TCtrlBox *box = sim.Box.get();
        kv::TBaseParams &params = *sim.Params;
        benchsim::TCount &count = sim.Count;
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
    }
    return 0;
}
