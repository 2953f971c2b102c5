#pragma once
// What the link benchmarks share: kvdsim started on a pty of a temporary
// folder, and a real serial line that counts the bytes and parameter frames.
#include "link/CtrlBox.h"
#include "link/ParamSet.h"
#include "link/SerialPort.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <memory>

namespace benchsim {

struct TCount {
    std::atomic<qint64> Out{0}, In{0}, Reads{0}, Writes{0};
    void Reset() { Out = In = Reads = Writes = 0; }
};

// Counts the bytes each way and the parameter frames on a real line.
class TCountingLine : public kv::TMSComm {
public:
    TCountingLine(const QString &dir, TCount *count) : TMSComm(dir), C(count) {}
    bool Output(const QByteArray &bytes) override
    {
        C->Out += bytes.size();
        C->Reads += bytes.size() == 6 && quint8(bytes[1]) == 0xD1;
        C->Writes += bytes.size() == 11 && quint8(bytes[1]) == 0xD0;
        return TMSComm::Output(bytes);
    }
    QByteArray Input(int count) override
    {
        const QByteArray in = TMSComm::Input(count);
        C->In += in.size();
        return in;
    }

private:
    TCount *C;
};

// Starts kvdsim of a model with its pty linked at link; false when the link
// did not appear (the simulator ended or took longer than 15 s).
inline bool StartSim(QProcess &sim, const char *model, const QString &link)
{
    sim.setProgram(QStringLiteral(KV_STAGE_DIR "/kvdsim"));
    sim.setArguments({QStringLiteral("--model"), QLatin1String(model), QStringLiteral("--link"), link});
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start();
    for (int i = 0; i < 300; ++i) {
        const QFileInfo f(link);
        if (f.isSymLink() && f.symLinkTarget().startsWith(QStringLiteral("/dev/")))
            return true;
        if (sim.state() == QProcess::NotRunning)
            return false;
        QThread::msleep(50);
    }
    return false;
}

// One model of each family, with the baud rate of its line.
struct TFamily {
    int Type;
    const char *Model;
    int Baud;
};
inline constexpr TFamily kFamilies[] = {{0, "KVD300", 9600}, {1, "KVD510", 19200}, {2, "KVD520", 19200}};

// kvdsim of a family on a pty of its own, and a driver with its parameter
// set on a counting line to it.
struct TSimDriver {
    QTemporaryDir Dir;
    QProcess Sim;
    TCount Count;
    std::unique_ptr<kv::TCtrlBox> Box;
    std::unique_ptr<kv::TBaseParams> Params;

    ~TSimDriver()
    {
        if (Box)
            Box->Finish();
        Sim.terminate();
        Sim.waitForFinished(10000);
    }

    // False, with the reason on stderr, when the simulator or the port failed.
    bool Open(const TFamily &f)
    {
        const QString link = Dir.filePath(QStringLiteral("ports/COM1"));
        if (!StartSim(Sim, f.Model, link)) {
            std::fprintf(stderr, "kvdsim %s did not start\n", f.Model);
            return false;
        }
        Box = kv::CreateCtrlBox(f.Type);
        const QString path = Dir.path();
        Box->SetSerialFactory([path, this] { return std::make_unique<TCountingLine>(path, &Count); });
        Box->Init();
        Params = std::make_unique<kv::TBaseParams>(*Box);
        if (!Box->OpenPort()) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(link));
            return false;
        }
        return true;
    }
};

} // namespace benchsim
