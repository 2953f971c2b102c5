// Cost of the settings store on a copy of the installed database: one
// settings write (update and insert paths), one text write, and a full load
// of the global settings block. Every write is a committed transaction.
#include "store/DataModule.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

void Measure(const char *what, int count, const std::function<bool(int)> &op)
{
    QElapsedTimer t;
    t.start();
    int failures = 0;
    for (int i = 0; i < count; ++i)
        if (!op(i))
            ++failures;
    const double us = double(t.nsecsElapsed()) / 1000.0 / count;
    std::printf("%-48s %6d x  %10.1f us each%s\n", what, count, us, failures ? "  (FAILURES)" : "");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("MeasDB.sqlite");
    if (!QFile::copy(QStringLiteral(KV_STAGE_DIR "/MeasDB.sqlite"), path)) {
        std::fprintf(stderr, "cannot copy the installed database\n");
        return 1;
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    kv::TZovData zov(path);
    const int n = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 300;

    std::printf("settings store, %d operations each (database in %s)\n", n, qPrintable(dir.path()));
    Measure("WriteNumInt, existing row (update)", n, [&](int i) { return zov.WriteNumInt(101, i); });
    Measure("WriteNumInt, new row (insert)", n, [&](int i) { return zov.WriteNumInt(30000 + i, i); });
    Measure("WriteNumSingle, existing row (update)", n,
            [&](int i) { return zov.WriteNumSingle(1100, 2.4f + float(i) * 0.001f); });
    Measure("WriteStr, existing row (update)", n,
            [&](int i) { return zov.WriteStr(101, QString::number(i)); });
    Measure("WriteStr, new row (insert)", n,
            [&](int i) { return zov.WriteStr(30000 + i, QStringLiteral("O'Brien")); });
    kv::TGlobalSettings s;
    Measure("ReadNumByte (one select)", n, [&](int) {
        quint8 b = 0;
        return zov.ReadNumByte(103, b);
    });
    Measure("LoadGlobalParams (16 reads)", n,
            [&](int) { return zov.LoadGlobalParams(s, false) >= 100; });
    // An update that leaves a row as it was writes nothing to disk, so the
    // usual exit (settings unchanged) costs far less than changed settings.
    Measure("SaveGlobalParams (9 updates, values unchanged)", n / 10 + 1,
            [&](int) { return zov.SaveGlobalParams(s); });
    Measure("SaveGlobalParams (9 updates, values changed)", n / 10 + 1, [&](int i) {
        s.ControlMode = s.BreakFlag = s.GlobalByte = s.RefreshRate = s.SpeedDisplayMode = s.GlobalMode = quint8(i + 1);
        s.AutoFastSlow = s.LoadByte = quint8(i + 1);
        s.GlobalValue = quint32(i + 1);
        return zov.SaveGlobalParams(s);
    });
    return 0;
}
