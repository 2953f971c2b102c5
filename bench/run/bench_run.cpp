// The sampling loop against the simulated box on a pty for a stretch of real
// time (default ten minutes), specimen after specimen, with the main window
// shown and its chart redrawing. Reports the period between sampling steps
// (median, 99th percentile, maximum), the grid points skipped, and the time
// from the box's first frame after a specimen broke to the stop command
// arriving on the wire (read from the simulator's byte log).
//
//   build/bench/bench_run [--minutes N]
#include "ui/main/MainWindow.h"
#include "link/SerialPort.h"
#include "link/ParamSet.h"
#include "link/CtrlBox.h"
#include "run/RunSequence.h"
#include "store/DataModule.h"
#include "Clock.h"
#include "MessageService.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <vector>

using namespace kv;

namespace {

class TBenchTest : public TBaseTest {
public:
    TBenchTest()
    {
        FTestName = QStringLiteral("Bench");
        FGroupNo = QStringLiteral("B1");
        FSpeed = 2400.0f;
        FGroupSize = 60;
        CreateSpecimens(60);
    }
    void CreateSpecimens(int n) override
    {
        FSpecials.Clear();
        for (int i = 0; i < n; ++i) {
            auto s = std::make_unique<TSpecial>();
            s->FArea = 1600.0;
            FSpecials.AddObject(QString::number(i), std::move(s));
        }
    }
    void EndSpecimen(bool) override { ++FCurrent; }
    int CheckGroupState() override { return 0; }
};

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5));
    return v[i];
}

// Break-to-stop times in ms from the simulator's log: a break note, the
// first frame the box sends after it, the first stop byte it receives.
std::vector<double> BreakToStop(const QString &logFile)
{
    QFile f(logFile);
    std::vector<double> out;
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    enum { Idle, Broke, Framed } state = Idle;
    QDateTime firstFrame;
    QTextStream in(&f);
    while (!in.atEnd()) {
        // "<date> <time> <box seconds> <TX|RX|--> <text>"
        static const QRegularExpression re(QStringLiteral("^(\\S+ \\S+)\\s+\\S+\\s+(TX|RX|--) (.*)$"));
        const QRegularExpressionMatch m = re.match(in.readLine());
        if (!m.hasMatch())
            continue;
        const QDateTime at = QDateTime::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
        const QString rest = m.captured(2) + QLatin1Char(' ') + m.captured(3);
        if (rest.startsWith(QStringLiteral("-- ")) && rest.contains(QStringLiteral("specimen broke"))) {
            state = Broke;
        } else if (state == Broke && rest.startsWith(QStringLiteral("TX "))) {
            firstFrame = at;
            state = Framed;
        } else if (state == Framed && rest.startsWith(QStringLiteral("RX ")) &&
                   rest.mid(3).split(QLatin1Char(' ')).contains(QStringLiteral("F1"))) {
            out.push_back(static_cast<double>(firstFrame.msecsTo(at)));
            state = Idle;
        }
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                      : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    double minutes = 10.0;
    const QStringList args = app.arguments();
    const int mi = static_cast<int>(args.indexOf(QStringLiteral("--minutes")));
    if (mi > 0 && mi + 1 < args.size())
        minutes = args[mi + 1].toDouble();

    QTemporaryDir dir;
    const QString db = dir.path() + QStringLiteral("/MeasDB.sqlite");
    QFile::copy(QStringLiteral(KV_STAGE_DIR "/MeasDB.sqlite"), db);
    QFile(db).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    {
        TZovData data(db);
        data.ExecSql(QStringLiteral("Update SavString set StrCont = '1' where StrNo = 103")); // KVD510
    }
    const QString link = dir.path() + QStringLiteral("/ports/COM1");
    const QString simLog = dir.path() + QStringLiteral("/box.log");
    QProcess sim;
    sim.start(QStringLiteral(KV_STAGE_DIR "/kvdsim"),
              {QStringLiteral("--model"), QStringLiteral("KVD510"), QStringLiteral("--link"), link,
               QStringLiteral("--log"), simLog, QStringLiteral("--strength-mean"), QStringLiteral("15000"),
               QStringLiteral("--strength-spread"), QStringLiteral("1000")});
    for (int i = 0; i < 300 && !QFileInfo(link).isSymLink(); ++i)
        QThread::msleep(20);
    if (!QFileInfo(link).isSymLink()) {
        std::fprintf(stderr, "kvdsim did not start\n");
        return 1;
    }

    TRecordingMessageService messages;
    TMessageGuard guard(&messages);
    InstallBaseParamsFactory();
    TMeasureEnv env;
    env.ProgramDir = dir.path();
    env.Data = std::make_unique<TZovData>(db);
    SetZovData(env.Data.get());
    env.Steps.Login = [](QWidget *) { return TLoginOutcome{true, QStringLiteral("Admin")}; };
    env.Steps.AskQuit = [](QWidget *) { return true; };
    env.Steps.QuitApplication = [] {};
    TCtrlBox *box = nullptr;
    const QString folder = dir.path();
    env.Steps.CreateDriver = [&box, folder](int type) {
        auto d = CreateCtrlBox(type);
        box = d.get();
        box->SetSerialFactory([folder] { return std::make_unique<TMSComm>(folder); });
        return d;
    };
    auto w = std::make_unique<TfrmMeasure>(std::move(env));
    w->show();
    TRunSequence *run = &w->Run();
    auto test = std::make_unique<TBenchTest>();
    TBenchTest *bench = test.get();
    w->MyFunction()->AddTest(QStringLiteral("Bench"), std::move(test));
    w->MyFunction()->SetCurrentIndex(0);
    if (!box || !box->IsOnline() || !run) {
        std::fprintf(stderr, "no link to kvdsim\n");
        return 1;
    }
    box->FJudgeFlags = TJudgeFlags{true, false, false};
    box->FJudgeLoadPointType = 1;
    box->FBreakValue = 1000;
    box->FStartJudge = 2000;

    using clock = std::chrono::steady_clock;
    std::mutex lock;
    std::vector<clock::time_point> stepTimes;
    std::vector<double> periods;
    run->SetStepObserver([&] {
        std::lock_guard<std::mutex> g(lock);
        stepTimes.push_back(clock::now());
    });

    qint64 skipped = 0, runs = 0, group = 1;
    QElapsedTimer total;
    total.start();
    const qint64 endMs = static_cast<qint64>(minutes * 60000.0);
    while (total.elapsed() < endMs) {
        if (!run->Active() && !run->Running()) {
            {
                std::lock_guard<std::mutex> g(lock);
                for (size_t i = 1; i < stepTimes.size(); ++i)
                    periods.push_back(std::chrono::duration<double, std::milli>(stepTimes[i] - stepTimes[i - 1]).count());
                stepTimes.clear();
            }
            if (run->SamplingTimer())
                skipped += run->SamplingTimer()->Skipped();
            if (!run->GroupActive())
                bench->FGroupNo = QStringLiteral("B%1").arg(++group);
            QElapsedTimer pause;
            pause.start();
            while (pause.elapsed() < 1500)
                app.processEvents(QEventLoop::AllEvents, 20);
            if (!w->RunEnabled() || !run->StartRun()) {
                std::fprintf(stderr, "run refused: %s\n", qPrintable(messages.lastText()));
                break;
            }
            ++runs;
        }
        app.processEvents(QEventLoop::AllEvents, 10);
    }
    while (run->Active())
        app.processEvents(QEventLoop::AllEvents, 10);
    if (run->SamplingTimer())
        skipped += run->SamplingTimer()->Skipped();
    {
        std::lock_guard<std::mutex> g(lock);
        for (size_t i = 1; i < stepTimes.size(); ++i)
            periods.push_back(std::chrono::duration<double, std::milli>(stepTimes[i] - stepTimes[i - 1]).count());
    }
    w->close();
    w.reset();
    sim.terminate();
    sim.waitForFinished(5000);
    QFile::remove(QStringLiteral("/tmp/bench_run_box.log"));
    QFile::copy(simLog, QStringLiteral("/tmp/bench_run_box.log"));

    // Steps right after the start force follow a 200 ms valve pause; those
    // intervals are the pause, not jitter.
    std::vector<double> regular;
    for (double p : periods)
        if (p < 150.0)
            regular.push_back(p);
    std::vector<double> jitter;
    for (double p : regular)
        jitter.push_back(std::abs(p - 100.0));
    const std::vector<double> latency = BreakToStop(simLog);
    std::printf("bench_run: %.1f min, %lld runs, %zu step intervals (%zu after a pause left out)\n", minutes,
                static_cast<long long>(runs), periods.size(), periods.size() - regular.size());
    std::printf("  step period ms: median %.3f  p99 %.3f  max %.3f\n", Percentile(regular, 0.5),
                Percentile(regular, 0.99), regular.empty() ? 0.0 : *std::max_element(regular.begin(), regular.end()));
    std::printf("  jitter |period-100| ms: median %.3f  p99 %.3f  max %.3f\n", Percentile(jitter, 0.5),
                Percentile(jitter, 0.99), jitter.empty() ? 0.0 : *std::max_element(jitter.begin(), jitter.end()));
    // Each run passes over two grid points in its 200 ms valve pause on purpose.
    std::printf("  grid points skipped: %lld (valve pauses account for %lld)\n", static_cast<long long>(skipped),
                static_cast<long long>(2 * runs));
    std::printf("  break -> stop on the wire ms (%zu breaks): median %.0f  p99 %.0f  max %.0f\n", latency.size(),
                Percentile(latency, 0.5), Percentile(latency, 0.99),
                latency.empty() ? 0.0 : *std::max_element(latency.begin(), latency.end()));
    return 0;
}
