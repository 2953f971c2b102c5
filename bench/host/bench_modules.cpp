// Time to load the modules of a folder and list their tests, as start-up and
// every side switch do. The folder holds eight modules (copies of the test
// suite's modules under new names) and one file that is not a module.
#include "host/TestList.h"
#include "host/ModuleHost.h"
#include "store/DataModule.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 20;

    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("MeasDB.sqlite"));
    if (!QFile::copy(QStringLiteral(KV_STAGE_DIR "/MeasDB.sqlite"), db)) {
        std::fprintf(stderr, "no installed database in %s\n", KV_STAGE_DIR);
        return 1;
    }
    kv::TZovData data(db);

    const QString sfx = kv::TestModuleSuffix();
    const char *sources[] = {"hm_alpha", "hm_beta", "hm_gamma", "hm_delta", "hm_pair"};
    auto makeFolder = [&](const QString &name) {
        const QString folder = dir.filePath(name);
        QDir().mkpath(folder);
        for (int i = 0; i < 8; ++i)
            QFile::copy(QStringLiteral(HOST_TEST_MODULES "/") + QLatin1String(sources[i % 5]) + sfx,
                        folder + QStringLiteral("/Module%1").arg(i) + sfx);
        QFile junk(folder + QStringLiteral("/readme") + sfx);
        junk.open(QIODevice::WriteOnly);
        junk.write("not a module");
        return folder;
    };

    kv::TMyFunction list;
    QElapsedTimer t;

    // First load of fresh files: the libraries are mapped and started.
    std::vector<double> cold;
    for (int r = 0; r < std::min(rounds, 5); ++r) {
        const QString folder = makeFolder(QStringLiteral("cold%1").arg(r));
        t.start();
        list.LoadTestModules(folder, 2, &data.conZovDb);
        cold.push_back(t.nsecsElapsed() / 1e6);
    }

    // Loads of a folder already loaded: a side switch.
    const QString folder = makeFolder(QStringLiteral("warm"));
    list.LoadTestModules(folder, 2, &data.conZovDb);
    std::vector<double> warm, menu;
    int side = 2;
    for (int r = 0; r < rounds; ++r) {
        side = side == 2 ? 4 : 2;
        t.start();
        list.LoadTestModules(folder, side, &data.conZovDb);
        warm.push_back(t.nsecsElapsed() / 1e6);
        t.start();
        const auto entries = kv::TestMenuEntries(list, side);
        menu.push_back(t.nsecsElapsed() / 1e6);
        if (entries.empty())
            return 2;
    }

    std::printf("modules in folder      8 (+1 file that is not a module)\n");
    std::printf("first load and list    median %.2f ms  (%zu runs)\n", Median(cold), cold.size());
    std::printf("reload and list        median %.2f ms  (%d runs, side switch)\n", Median(warm), rounds);
    std::printf("menu order             median %.4f ms\n", Median(menu));
    return 0;
}
