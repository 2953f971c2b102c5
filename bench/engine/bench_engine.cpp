// Prints the cost of the engine's main paths on a temporary database.
#include "SqlText.h"
#include "db/DbEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

using namespace kv;
using namespace kv::db;

namespace {

template <typename F> double perCallMicros(int n, F &&f)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i)
        f(i);
    return double(t.nsecsElapsed()) / 1000.0 / n;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.sqlite"));
    TDbConnection::createDatabase(path);
    TDbConnection c;
    c.open(path);

    const QStringList statements = {
        QStringLiteral("select * from SavNum where NumNo = 1100"),
        QStringLiteral("Insert Into CtrlBoxSaveItems (CtrlBox, Name, [Value]) Values ('KVD520','FSpeed','120')"),
        QStringLiteral("select * from Unit where Type =0and Index = 1"),
        QStringLiteral("Delete * from tester where name = 'x'"),
        QStringLiteral("select zuhao as 组号, lingqi as 龄期, pingzhong as 强度等级, gronum as 本组个数, GroKn as 有效力值, "
                       "GroMpa as 有效强度, expdate as 试验日期 from CemCompGroup where zuhao like '%2008%'"),
        QStringLiteral("Select LenAv,HeiAv,OneKn,1.5*Onekn*HeiAv /(lenav *lenav * lenav) as OneMpa from CemFlexOne "
                       "where zuhao = '2008' and lingqi = '28' order by shunxu"),
        QStringLiteral("Create Table CemCompGROne (ZuHao varchar(30), LingQi varchar(3), PingZhong varchar(20), "
                       "OnekN varchar(10), ShunXu int, LenAv varchar(5), WidAv varchar(5), "
                       "primary key (ZuHao, LingQi, ShunXu))"),
    };
    const double translate = perCallMicros(20000, [&](int i) {
        volatile int n = TranslateJetSql(statements[i % statements.size()]).size();
        (void)n;
    });
    std::printf("translate one statement:          %8.2f us (mean of 20000, %d forms)\n", translate,
                int(statements.size()));

    c.execute(QStringLiteral("Create Table SavNum (NumNo int, NumCont double)"));
    for (int n = 0; n < 20; ++n)
        c.execute(QStringLiteral("Insert into SavNum values(") + SqlNum(qint64(1000 + n)) + QStringLiteral(",0)"));
    TDbQuery q(c);
    const double upsert = perCallMicros(200, [&](int i) {
        const QString no = SqlNum(qint64(1000 + i % 20));
        q.setSql(QStringLiteral("select * from SavNum where NumNo = ") + no);
        q.open();
        if (q.recordCount() == 1)
            c.execute(QStringLiteral("Update SavNum set NumCont = ") + SqlSingle(float(i) * 0.1f) +
                      QStringLiteral(" where NumNo = ") + no);
    });
    std::printf("settings upsert (select+update):  %8.1f us (mean of 200, durable commit each)\n", upsert);

    c.execute(QStringLiteral(
        "Create Table CemCompGROne (ZuHao varchar(30), LingQi varchar(3), PingZhong varchar(20), OnekN varchar(10), "
        "ShunXu int, LenAv varchar(5), WidAv varchar(5), primary key (ZuHao, LingQi, ShunXu))"));
    c.execute(QStringLiteral("BEGIN"));
    for (int r = 0; r < 1000; ++r)
        c.execute(QStringLiteral("insert into CemCompGROne Values(") + QuotedStr(SqlNum(qint64(r / 6))) +
                  QStringLiteral(",'28','42.5  P·O',") + QuotedStr(FixedText(70000 + r, 2)) + QStringLiteral(",") +
                  SqlNum(qint64(r % 6 + 1)) + QStringLiteral(",'40.0','40.0')"));
    c.execute(QStringLiteral("COMMIT"));
    const double open1000 = perCallMicros(50, [&](int) {
        q.setSql(QStringLiteral("select * from CemCompGROne"));
        q.open();
    });
    std::printf("open 1000-row result (editable):  %8.1f us (mean of 50, %d rows)\n", open1000, q.recordCount());
    const double computed = perCallMicros(50, [&](int) {
        q.setSql(QStringLiteral("select zuhao as 组号, OnekN / 1000 as 载荷, OnekN / (LenAv * WidAv) as 强度 "
                                "from CemCompGROne order by zuhao, shunxu"));
        q.open();
    });
    std::printf("open 1000-row computed result:    %8.1f us (mean of 50)\n", computed);
    const double read = perCallMicros(50, [&](int) {
        double sum = 0;
        for (q.first(); !q.eof(); q.next())
            sum += q.fieldByName(QStringLiteral("强度")).asFloat();
        volatile double s = sum;
        (void)s;
    });
    std::printf("walk 1000 rows, one field each:   %8.1f us (mean of 50)\n", read);
    return 0;
}
