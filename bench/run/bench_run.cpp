// The sampling loop against the simulated box on a pty for a stretch of real
// time (default ten minutes), specimen after specimen, with the main window
// shown and its chart redrawing. Reports the period between sampling steps
// (median, 99th percentile, maximum), the grid points skipped, the time from
// the box's first frame after a specimen broke to the stop command arriving
// on the wire, and for every broken specimen the stored peak against the
// largest frame the box sent in that run and against the true breaking force
// (both from the simulator's log), and the mean loading rate of its curve.
//
//   build/bench/bench_run [--minutes N] [--rate KN_PER_S] [--breaks N] [--strength N]
#include "ui/main/MainWindow.h"
#include "link/SerialPort.h"
#include "link/ParamSet.h"
#include "link/CtrlBox.h"
#include "run/RunSequence.h"
#include "store/DataModule.h"
#include "Clock.h"
#include "CurveFile.h"
#include "LoadingRate.h"
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
#include <optional>
#include <vector>

using namespace kv;

namespace {

// What the bench test saw of one stored specimen.
struct TStored {
    qint64 Run = 0;        // 1-based run that stored it
    double Peak = 0.0;     // stored peak force, N
    TLoadingRate Rate;     // mean loading rate of its stored curve
};

class TBenchTest : public TBaseTest {
public:
    TBenchTest(const QString &outFileDir, const qint64 *runs) : FOutFileDir(outFileDir), FRuns(runs)
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
    // Called after the run stored the specimen's peak and curve.
    void EndSpecimen(bool) override
    {
        TStored r;
        r.Run = *FRuns;
        if (const TSpecial *s = GetSpecial(FCurrent - 1))
            r.Peak = s->FForce;
        FCurveFile = QDir(FOutFileDir).filePath(CurveFileName());
        TCurvePoints curve;
        ReadCurve(FCurrent - 1, curve);
        r.Rate = MeanLoadingRate(curve);
        Stored.push_back(r);
        ++FCurrent;
    }
    int CheckGroupState() override { return 0; }

    std::vector<TStored> Stored;

private:
    QString FOutFileDir;
    const qint64 *FRuns;
};

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5));
    return v[i];
}

double Max(const std::vector<double> &v)
{
    return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
}

double Min(const std::vector<double> &v)
{
    return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}

// One run of the compression frame in the simulator's log, from its run
// note to the note of the largest frame at the stop.
struct TBoxRun {
    std::optional<double> Broke;     // true breaking force, N
    std::optional<double> Largest;   // force of the largest frame sent, N
};

struct TBoxLog {
    std::vector<TBoxRun> Runs;
    std::vector<double> BreakToStop;   // ms
};

// Reads the simulator's log: the runs with their notes, and the break-to-stop
// times (a break note, the first frame the box sends after it, the first stop
// byte it receives).
TBoxLog ReadBoxLog(const QString &logFile)
{
    TBoxLog out;
    QFile f(logFile);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    // "<date> <time> <box seconds> <TX|RX|--> <text>"
    static const QRegularExpression re(QStringLiteral("^(\\S+ \\S+)\\s+\\S+\\s+(TX|RX|--) (.*)$"));
    static const QRegularExpression broke(QStringLiteral("^compression: specimen broke at ([0-9.]+) N$"));
    static const QRegularExpression largest(
        QStringLiteral("^compression: largest frame since run: code -?\\d+ = (-?[0-9.]+) N$"));
    enum { Idle, Broke, Framed } state = Idle;
    QDateTime firstFrame;
    bool open = false;   // the last run still waits for its stop
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QRegularExpressionMatch m = re.match(in.readLine());
        if (!m.hasMatch())
            continue;
        const QDateTime at = QDateTime::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
        const QString kind = m.captured(2);
        const QString text = m.captured(3);
        if (kind == QStringLiteral("--")) {
            if (text.startsWith(QStringLiteral("compression: run ("))) {
                out.Runs.emplace_back();
                open = true;
            } else if (const QRegularExpressionMatch b = broke.match(text); b.hasMatch()) {
                if (open)
                    out.Runs.back().Broke = b.captured(1).toDouble();
                state = Broke;
            } else if (const QRegularExpressionMatch l = largest.match(text); l.hasMatch()) {
                if (open)
                    out.Runs.back().Largest = l.captured(1).toDouble();
                open = false;
            }
        } else if (state == Broke && kind == QStringLiteral("TX")) {
            firstFrame = at;
            state = Framed;
        } else if (state == Framed && kind == QStringLiteral("RX") &&
                   text.split(QLatin1Char(' ')).contains(QStringLiteral("F1"))) {
            out.BreakToStop.push_back(static_cast<double>(firstFrame.msecsTo(at)));
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
    const QStringList args = app.arguments();
    // The number after an option, or the default when the option is absent.
    auto option = [&args](const char *name, double fallback) {
        const int i = static_cast<int>(args.indexOf(QLatin1String(name)));
        return i > 0 && i + 1 < args.size() ? args[i + 1].toDouble() : fallback;
    };
    const double minutes = option("--minutes", 10.0);
    const double rateKn = option("--rate", 2.4);
    const int breaks = static_cast<int>(option("--breaks", 0.0));
    const double strength = option("--strength", 15000.0);
    if (minutes <= 0.0 || rateKn <= 0.0 || strength <= 0.0 || breaks < 0) {
        std::fprintf(stderr, "usage: bench_run [--minutes N] [--rate KN_PER_S] [--breaks N] [--strength N]\n");
        return 2;
    }
    const double setRate = rateKn * 1000.0;   // N/s

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
               QStringLiteral("--log"), simLog, QStringLiteral("--strength-mean"), QString::number(strength),
               QStringLiteral("--strength-spread"), QString::number(strength * 0.02)});
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
    qint64 skipped = 0, runs = 0, group = 1;
    auto test = std::make_unique<TBenchTest>(dir.path() + QStringLiteral("/OutFile"), &runs);
    test->FSpeed = static_cast<float>(setRate);
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

    QElapsedTimer total;
    total.start();
    const qint64 endMs = static_cast<qint64>(minutes * 60000.0);
    while (total.elapsed() < endMs && (breaks == 0 || bench->Stored.size() < static_cast<size_t>(breaks))) {
        if (!run->Active() && !run->Running()) {
            {
                std::lock_guard<std::mutex> g(lock);
                for (size_t i = 1; i < stepTimes.size(); ++i)
                    periods.push_back(std::chrono::duration<double, std::milli>(stepTimes[i] - stepTimes[i - 1]).count());
                stepTimes.clear();
            }
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
    // Sampling steps left out over every run (the 5 ms frame watch ticks between them).
    skipped = run->SkippedSteps();
    {
        std::lock_guard<std::mutex> g(lock);
        for (size_t i = 1; i < stepTimes.size(); ++i)
            periods.push_back(std::chrono::duration<double, std::milli>(stepTimes[i] - stepTimes[i - 1]).count());
    }
    // The window owns the bench test: its records are taken first.
    const std::vector<TStored> stored = bench->Stored;
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
    const TBoxLog boxLog = ReadBoxLog(simLog);
    const std::vector<double> &latency = boxLog.BreakToStop;

    // Each stored specimen goes with the box's record of the run that stored
    // it; runs the box saw no break in are left out.
    std::vector<std::pair<const TStored *, const TBoxRun *>> pairs;
    const auto broken = [](const TBoxRun &b) { return b.Broke && b.Largest; };
    const size_t boxBreaks = static_cast<size_t>(std::count_if(boxLog.Runs.begin(), boxLog.Runs.end(), broken));
    if (boxLog.Runs.size() == static_cast<size_t>(runs)) {
        for (const TStored &r : stored)
            if (r.Run >= 1 && broken(boxLog.Runs[static_cast<size_t>(r.Run - 1)]))
                pairs.emplace_back(&r, &boxLog.Runs[static_cast<size_t>(r.Run - 1)]);
    } else {
        std::fprintf(stderr, "warning: %zu runs in the box log, %lld started; breaks paired in order\n",
                     boxLog.Runs.size(), static_cast<long long>(runs));
        size_t k = 0;
        for (const TBoxRun &b : boxLog.Runs)
            if (broken(b) && k < stored.size())
                pairs.emplace_back(&stored[k++], &b);
    }
    std::vector<double> vsLargest, vsTrue, vsTruePct, ratePct;
    size_t equal = 0, outside = 0;
    for (const auto &[r, b] : pairs) {
        const double d = r->Peak - *b->Largest;
        vsLargest.push_back(d);
        if (std::abs(d) <= 0.1 + 1e-6)
            ++equal;
        vsTrue.push_back(r->Peak - *b->Broke);
        vsTruePct.push_back(100.0 * (r->Peak - *b->Broke) / *b->Broke);
        if (r->Rate.Known) {
            ratePct.push_back(100.0 * r->Rate.Rate / setRate);
            if (!LoadingRateComplies(r->Rate, setRate))
                ++outside;
        }
    }

    std::printf("bench_run: %.1f min (limit %.1f), %.1f kN/s, strength %.0f N +- 2 %%: %lld runs, %zu breaks by the box, "
                "%zu stored, %zu paired\n",
                static_cast<double>(total.elapsed()) / 60000.0, minutes, rateKn, strength, static_cast<long long>(runs),
                boxBreaks, stored.size(), pairs.size());
    std::printf("  step intervals: %zu (%zu after a pause left out)\n", periods.size(), periods.size() - regular.size());
    std::printf("  step period ms: median %.3f  p99 %.3f  max %.3f\n", Percentile(regular, 0.5),
                Percentile(regular, 0.99), Max(regular));
    std::printf("  jitter |period-100| ms: median %.3f  p99 %.3f  max %.3f\n", Percentile(jitter, 0.5),
                Percentile(jitter, 0.99), Max(jitter));
    // Each run passes over two grid points in its 200 ms valve pause on purpose.
    std::printf("  grid points skipped: %lld (valve pauses account for %lld)\n", static_cast<long long>(skipped),
                static_cast<long long>(2 * runs));
    std::printf("  break -> stop on the wire ms (%zu breaks): median %.0f  p99 %.0f  max %.0f\n", latency.size(),
                Percentile(latency, 0.5), Percentile(latency, 0.99), Max(latency));
    std::printf("  stored - largest frame N (%zu): median %.1f  min %.1f  max %.1f  equal within 0.1 N: %zu of %zu\n",
                vsLargest.size(), Percentile(vsLargest, 0.5), Min(vsLargest), Max(vsLargest), equal, vsLargest.size());
    std::printf("  stored - true break N (%zu): median %.1f  min %.1f  max %.1f  | %% of true: median %.2f  min %.2f  "
                "max %.2f  | allowance rate x 20 ms: %.1f N\n",
                vsTrue.size(), Percentile(vsTrue, 0.5), Min(vsTrue), Max(vsTrue), Percentile(vsTruePct, 0.5),
                Min(vsTruePct), Max(vsTruePct), setRate * 0.020);
    std::printf("  loading rate / set %% (%zu of %zu curves): median %.1f  min %.1f  max %.1f  outside +-10 %%: %zu\n",
                ratePct.size(), pairs.size(), Percentile(ratePct, 0.5), Min(ratePct), Max(ratePct), outside);
    return 0;
}
