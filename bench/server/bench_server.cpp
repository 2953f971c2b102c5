// SQLite file against PostgreSQL server, the same statements through the
// same engine: (1) 100 CemComp groups of six specimens stored as the module
// stores them (one transaction per specimen), (2) 100 000 groups with
// 600 000 specimens made by the database itself, then the records window's
// number and date searches opened through the engine, every row and a first
// screen of 200.
#include "CemCompTest.h"
#include "MessageService.h"
#include "PgCluster.h"
#include "ParamForm.h"
#include "db/DbEngine.h"
#include "records/RecordsBrowser.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

using kv::db::TDbConnection;

void Run(TDbConnection &c, const QString &sql)
{
    QSqlQuery q(c.database());
    if (!q.exec(sql)) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(q.lastError().text()), qPrintable(sql));
        std::exit(1);
    }
}

QString GroupNo(int i) { return QStringLiteral("G%1").arg(i, 6, 10, QLatin1Char('0')); }

void StoreGroups(TDbConnection &c, kv::cem::TCemCompTest &t, int groups)
{
    auto *f = t.ParamForm();
    f->findChild<QComboBox *>(QStringLiteral("cbCount"))->setCurrentText(QStringLiteral("6"));
    f->findChild<QComboBox *>(QStringLiteral("cbSize"))->setCurrentText(QStringLiteral("40*40"));
    f->findChild<QComboBox *>(QStringLiteral("cbMode"))->setCurrentIndex(0);
    QElapsedTimer timer;
    timer.start();
    for (int g = 0; g < groups; ++g) {
        f->findChild<QLineEdit *>(QStringLiteral("edtGroupNo"))->setText(QStringLiteral("S%1").arg(g));
        QString msg;
        t.BeginGroup(msg);
        for (int k = 0; k < 6; ++k) {
            t.BeginSpecimen(msg);
            kv::TSpecial *s = t.GetSpecial(t.FCurrent - 1);
            s->FForce = 64000 + k;
            s->FStrength = s->FForce / s->FArea;
            t.EndSpecimen(true);
        }
        t.EndGroup();
    }
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    QSqlQuery q(c.database());
    q.exec(QStringLiteral("SELECT count(*) FROM cemcompgrone WHERE zuhao LIKE 'S%'"));
    q.next();
    std::printf("  store %d groups of 6: %.0f ms, %.2f ms per specimen (%d specimens stored)\n", groups, ms,
                ms / (groups * 6), q.value(0).toInt());
}

void Generate(TDbConnection &c, int groups, bool pg)
{
    const QString series = pg ? QStringLiteral("generate_series(0, %1) AS s(i)").arg(groups - 1)
                              : QStringLiteral("(WITH RECURSIVE s(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM s "
                                               "WHERE i < %1) SELECT i FROM s) AS s")
                                    .arg(groups - 1);
    const QString no = pg ? QStringLiteral("'G' || lpad(CAST(i AS text), 6, '0')")
                          : QStringLiteral("'G' || substr('000000' || i, -6, 6)");
    const QString day = pg ? QStringLiteral("to_char(date '2024-01-01' + i / 100, 'YYYY-MM-DD')")
                           : QStringLiteral("date('2024-01-01', '+' || (i / 100) || ' days')");
    Run(c, QStringLiteral("INSERT INTO cemcompgroup (zuhao, lingqi, gronum, pingzhong, speed, grokn, grompa, expman, "
                          "expdate, expcop, selectgronum) SELECT %1, '28', 6, 'P·O 42.5', '2.4', '64.00', '40.0', "
                          "'Admin', %2, 'GB/T 17671-1999', 6 FROM %3")
               .arg(no, day, series));
    Run(c, QStringLiteral("INSERT INTO cemcompgrone (zuhao, lingqi, pingzhong, onekn, shunxu, lenav, widav) SELECT "
                          "zuhao, lingqi, pingzhong, '64000.00', k, '40', '40' FROM cemcompgroup, (SELECT 1 AS k UNION "
                          "ALL SELECT 2 UNION ALL SELECT 3 UNION ALL SELECT 4 UNION ALL SELECT 5 UNION ALL SELECT 6) "
                          "AS n WHERE zuhao LIKE 'G%'"));
    if (pg)
        Run(c, QStringLiteral("ANALYZE"));
}

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
    std::printf("    %-34s %7d rows  first %8.1f ms  best %8.1f ms\n", what, rows, firstMs, best);
}

void Search(TDbConnection &c, const char *title, const QString &jet)
{
    std::printf("  %s\n", title);
    Time("every row", [&] {
        kv::db::TDbQuery q(c);
        q.setSql(jet);
        q.open();
        return q.recordCount();
    });
    Time("first screen (200 on demand)", [&] {
        kv::db::TDbQuery q(c);
        q.setFetchOnDemand(true, 200);
        q.setSql(jet);
        q.open();
        return q.recordCount();
    });
}

void Bench(const char *name, TDbConnection &c, int groups)
{
    std::printf("%s (%s)\n", name, qPrintable(c.filePath()));
    kv::cem::TCemCompTest t;
    t.TestName();
    t.SetConnection(&c);
    if (!t.InitTables()) {
        std::fprintf(stderr, "cannot create the CemComp tables\n");
        std::exit(1);
    }
    t.FGroupData.FOperator = QStringLiteral("Admin");
    t.FGroupData.FTestDate = QDateTime(QDate(2026, 12, 9), QTime(10, 0));
    t.CreateParamForm(nullptr);
    StoreGroups(c, t, 100);
    QElapsedTimer timer;
    timer.start();
    Generate(c, groups, c.backend() == kv::db::TDbBackend::PostgreSQL);
    std::printf("  made %d groups, %d specimens in %.1f s\n", groups, groups * 6, double(timer.elapsed()) / 1000.0);
    const int tenth = groups / 10;
    const QDate first(2024, 1, 1);
    const auto day = [&](int i) { return first.addDays(i / 100).toString(QStringLiteral("yyyy-MM-dd")); };
    Search(c, "number search, a tenth of the groups", kv::SearchStatement(t, 0, GroupNo(tenth), GroupNo(2 * tenth - 1)));
    Search(c, "number search, every group", kv::SearchStatement(t, 0, GroupNo(0), GroupNo(groups - 1)));
    Search(c, "date search, a tenth of the days", kv::SearchStatement(t, 1, day(tenth), day(2 * tenth - 1)));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("KV_PG_DURABLE", "1"); // commits on disk, as SQLite's FULL synchronous mode
    QApplication app(argc, argv);
    kv::TRecordingMessageService messages;
    kv::TMessageService::install(&messages);
    const int groups = argc > 1 ? std::max(1000, QString::fromLocal8Bit(argv[1]).toInt()) : 100000;
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("MeasDB.sqlite"));
        QFile::copy(QStringLiteral(KV_STAGE_DIR "/MeasDB.sqlite"), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        TDbConnection c;
        c.open(path);
        Bench("SQLite", c, groups);
    }
    kvtest::TPgCluster &cluster = kvtest::TPgCluster::Instance();
    if (!cluster.Available()) {
        std::printf("PostgreSQL: %s\n", qPrintable(cluster.WhyNot()));
        return 0;
    }
    TDbConnection c;
    c.openServer(cluster.Server(kvtest::TPgCluster::NewSchemaName()));
    Bench("PostgreSQL", c, groups);
    if (!messages.texts().isEmpty())
        std::printf("messages: %s\n", qPrintable(messages.texts().join(QStringLiteral("; "))));
    return 0;
}
