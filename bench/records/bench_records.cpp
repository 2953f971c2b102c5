// Cost of the records window's searches on a large measurement database:
// 100 000 CemComp groups of six specimens each (made in one transaction by
// prepared inserts in a temporary folder), then the module's group-number
// search (a range) and date search, each opened through the engine (every
// row held in memory) and through a forward-only query reading only the 50
// rows of a first screen. The process memory (VmRSS) follows each; last the
// CSV export of the groups of one search.
#include "CemCompTest.h"
#include "db/DbEngine.h"
#include "records/RecordsBrowser.h"
#include "records/RecordsExport.h"
#include "SqlText.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

long VmRssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

void Check(QSqlQuery &q)
{
    if (!q.exec()) {
        std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
        std::exit(1);
    }
}

QString GroupNo(int i) { return QStringLiteral("G%1").arg(i, 6, 10, QLatin1Char('0')); }

// Groups G000000.. of age 28, a hundred per test day from 2024-01-01, six
// specimens each.
void Generate(kv::db::TDbConnection &conn, int groups)
{
    QSqlDatabase db = conn.database();
    db.transaction();
    QSqlQuery g(db), s(db);
    // Every value is bound: the statement texts hold none.
    g.prepare(QStringLiteral("INSERT INTO CemCompGroup (ZuHao, LingQi, GroNum, PingZhong, Speed, GrokN, GroMPa, "
                             "ExpMan, ExpDate, ExpCop, SelectGroNum) VALUES (?, ?, 6, ?, ?, ?, ?, ?, ?, ?, 6)"));
    s.prepare(QStringLiteral("INSERT INTO CemCompGROne (ZuHao, LingQi, PingZhong, OnekN, ShunXu, LenAv, WidAv) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?)"));
    const QString age = QStringLiteral("28"), variety = QStringLiteral("P·O 42.5"), side = QStringLiteral("40");
    const QDate first(2024, 1, 1);
    for (int i = 0; i < groups; ++i) {
        const QString no = GroupNo(i);
        const double force = 60000.0 + (i % 1000) * 10.0;
        const QVariantList gv = {no, age, variety, QStringLiteral("2.4"), kv::FixedText(force / 1000.0, 2),
                                 kv::FixedText(force / 1600.0, 1), QStringLiteral("Admin"),
                                 first.addDays(i / 100).toString(QStringLiteral("yyyy-MM-dd")),
                                 QStringLiteral("GB/T 17671-1999")};
        for (int c = 0; c < gv.size(); ++c)
            g.bindValue(c, gv[c]);
        Check(g);
        for (int k = 1; k <= 6; ++k) {
            const QVariantList sv = {no, age, variety, kv::FixedText(force + k, 2), k, side, side};
            for (int c = 0; c < sv.size(); ++c)
                s.bindValue(c, sv[c]);
            Check(s);
        }
    }
    db.commit();
}

// Milliseconds of each of three runs: first and best.
void Time(const char *what, const std::function<int()> &op)
{
    double firstMs = 0, best = 1e30;
    int rows = 0;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        rows = op();
        const double ms = double(t.nsecsElapsed()) / 1e6;
        if (run == 0)
            firstMs = ms;
        best = std::min(best, ms);
    }
    std::printf("  %-36s %7d rows  first %8.1f ms  best %8.1f ms  VmRSS %7ld kB\n", what, rows, firstMs, best,
                VmRssKb());
}

void Search(kv::db::TDbConnection &conn, const QString &title, const QString &jetSql)
{
    std::printf("%s\n  %s\n", qPrintable(title), qPrintable(jetSql));
    Time("engine: TDbQuery open (every row)", [&] {
        kv::db::TDbQuery q(conn);
        q.setSql(jetSql);
        q.open();
        return q.recordCount();
    });
    // What the records window does: the first 200 rows, the rest on scrolling.
    Time("window: TDbQuery on demand, 200 rows", [&] {
        kv::db::TDbQuery q(conn);
        q.setFetchOnDemand(true, 200);
        q.setSql(jetSql);
        q.open();
        return q.recordCount();
    });
    const QString sqlite = kv::db::TranslateJetSql(jetSql);
    Time("plain forward-only query, 50 rows", [&] {
        QSqlQuery q(conn.database());
        q.setForwardOnly(true);
        q.exec(sqlite);
        int n = 0;
        while (n < 50 && q.next())
            ++n;
        return n;
    });
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int groups = argc > 1 ? std::max(1000, QString::fromLocal8Bit(argv[1]).toInt()) : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("MeasDB.sqlite"));
    if (!QFile::copy(QStringLiteral(KV_STAGE_DIR "/MeasDB.sqlite"), path)) {
        std::fprintf(stderr, "cannot copy the installed database\n");
        return 1;
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    kv::db::TDbConnection conn;
    conn.open(path);
    kv::cem::TCemCompTest test;
    test.TestName();
    test.SetConnection(&conn);
    if (!test.InitTables()) {
        std::fprintf(stderr, "cannot create the CemComp tables\n");
        return 1;
    }
    std::printf("database in %s, VmRSS %ld kB before\n", qPrintable(dir.path()), VmRssKb());
    QElapsedTimer t;
    t.start();
    Generate(conn, groups);
    std::printf("generated %d groups, %d specimens in %.1f s (%.0f MB), VmRSS %ld kB\n\n", groups, groups * 6,
                double(t.elapsed()) / 1000.0, double(QFileInfo(path).size()) / 1e6, VmRssKb());

    const int tenth = groups / 10;
    const QDate first(2024, 1, 1);
    const auto day = [&](int i) { return first.addDays(i / 100).toString(QStringLiteral("yyyy-MM-dd")); };
    Search(conn, QStringLiteral("number search, a tenth of the groups"),
           kv::SearchStatement(test, 0, GroupNo(tenth), GroupNo(2 * tenth - 1)));
    Search(conn, QStringLiteral("number search, every group"),
           kv::SearchStatement(test, 0, GroupNo(0), GroupNo(groups - 1)));
    Search(conn, QStringLiteral("date search, a tenth of the days"),
           kv::SearchStatement(test, 1, day(tenth), day(2 * tenth - 1)));
    Search(conn, QStringLiteral("date search, every day"), kv::SearchStatement(test, 1, day(0), day(groups - 1)));

    // The CSV export of the tenth found by number, with its six specimens each.
    kv::db::TDbQuery found(conn);
    found.setSql(kv::SearchStatement(test, 0, GroupNo(tenth), GroupNo(2 * tenth - 1)));
    found.open();
    t.restart();
    const bool ok = kv::TRecordsExport::Groups(conn, found, kv::GroupTableOf(test), dir.filePath("found.csv"));
    std::printf("\nCSV export of %d groups (%d lines): %s in %.1f s (%.1f MB), VmRSS %ld kB\n", found.recordCount(),
                found.recordCount() * 6, ok ? "written" : "FAILED", double(t.elapsed()) / 1000.0,
                double(QFileInfo(dir.filePath("found.csv")).size()) / 1e6, VmRssKb());
    return 0;
}
