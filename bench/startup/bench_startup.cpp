// Runs the staged program N times (default 10) from a private copy of the
// program folder, each time with KALVIO_BENCH_EXIT_AFTER_SHOW=1 so that it
// leaves right after the main window's first show, and prints the time from
// process start to that point: as the program measured it (from main) and as
// seen from here (from spawning the process to its line on stdout).
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct TStats {
    std::vector<double> v;
    void add(double x) { v.push_back(x); }
    void print(const char *what) const
    {
        if (v.empty())
            return;
        std::vector<double> s = v;
        std::sort(s.begin(), s.end());
        double sum = 0;
        for (double x : s)
            sum += x;
        std::printf("%-34s min %7.1f  median %7.1f  mean %7.1f  max %7.1f ms\n", what, s.front(),
                    s[s.size() / 2], sum / s.size(), s.back());
    }
};

bool CopyFolder(const QString &from, const QString &to)
{
    for (const char *f : {"Kalvio6", "libkvplatform.so", "MeasDB.sqlite", "Kalvio6.ENU.qm"}) {
        const QString name = QLatin1String(f);
        if (!QFile::copy(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name)) {
            std::fprintf(stderr, "cannot copy %s\n", f);
            return false;
        }
    }
    QFile::setPermissions(to + QStringLiteral("/MeasDB.sqlite"), QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 10;

    QTemporaryDir dir;
    if (!dir.isValid() || !CopyFolder(QStringLiteral(KV_STAGE_DIR), dir.path()))
        return 1;

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KALVIO_BENCH_EXIT_AFTER_SHOW"), QStringLiteral("1"));
    if (!env.contains(QStringLiteral("DISPLAY")) && !env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    std::printf("Kalvio6 start-up, %d runs, platform %s\n", runs,
                qPrintable(env.value(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"))));
    TStats inner, outer, total;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setProgram(dir.filePath(QStringLiteral("Kalvio6")));
        QElapsedTimer t;
        t.start();
        p.start();
        double seen = -1;
        QByteArray out;
        while (p.state() != QProcess::NotRunning || p.bytesAvailable()) {
            p.waitForReadyRead(100);
            out += p.readAllStandardOutput();
            if (seen < 0 && out.contains("startup-ms"))
                seen = t.nsecsElapsed() / 1e6;
            if (p.state() == QProcess::NotRunning && !p.bytesAvailable())
                break;
        }
        p.waitForFinished(30000);
        const double all = t.nsecsElapsed() / 1e6;
        const int at = out.indexOf("startup-ms ");
        if (at < 0 || p.exitCode() != 0) {
            std::fprintf(stderr, "run %d: no start-up line (exit %d)\n%s\n", i + 1, p.exitCode(),
                         p.readAllStandardError().constData());
            return 1;
        }
        inner.add(out.mid(at + 11).split('\n').first().trimmed().toDouble());
        outer.add(seen);
        total.add(all);
    }
    inner.print("main() to first show (program)");
    outer.print("spawn to first show (driver)");
    total.print("spawn to process exit");
    return 0;
}
