#include "EngineFixture.h"

#include "PgCluster.h"

namespace kvtest {

using kv::db::TDbConnection;
using kv::db::TDbQuery;

std::string BackendName(const ::testing::TestParamInfo<kv::db::TDbBackend> &info)
{
    return info.param == kv::db::TDbBackend::PostgreSQL ? "PostgreSQL" : "SQLite";
}

INSTANTIATE_TEST_SUITE_P(Engines, EngineTest,
                         ::testing::Values(kv::db::TDbBackend::SQLite, kv::db::TDbBackend::PostgreSQL), BackendName);

void EngineTest::SetUp()
{
    m_conn = std::make_unique<TDbConnection>();
    if (pg()) {
        KV_REQUIRE_PG();
        ASSERT_NO_THROW(m_conn->openServer(TPgCluster::Instance().Server(TPgCluster::NewSchemaName())));
    } else {
        m_dir = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(m_dir->isValid());
        m_path = m_dir->filePath(QStringLiteral("MeasDB.sqlite"));
        TDbConnection::createDatabase(m_path);
        m_conn->open(m_path);
    }
    const char *schema[] = {
        "Create Table SavNum (NumNo int, NumCont double)",
        "Create Table SavString (StrNo int, StrCont varchar(255))",
        "Create Table Standard (StdNo int, num double, val double)",
        "Create Table Tester (UserNo counter, name varchar(10), secret int, Rights varchar(10))",
        "Create Table Unit (Type int, Index int, Name varchar(20), Coe int, [Round] int)",
        "Create Table CtrlBoxSaveItems (CtrlBox varchar(20), Name varchar(50), [Value] varchar(50))",
        "Create Table CheckTempValue (ctrlbox varchar(20), name varchar(30), [Value] varchar(30))",
        "Create Table DefaultCaptionInfo (expobj varchar(50), sunxu int, Name1 varchar(50), Data1 varchar(50), "
        "Name2 varchar(50), Data2 varchar(50))",
        "Create Table resgro (zuhao varchar(30), expobj varchar(50), lingqi varchar(3), grono int, gronum int, "
        "grokn varchar(30), grompa varchar(30), pinzhong varchar(30), speed varchar(30), expdate datetime, "
        "expman varchar(30), expres varchar(30))",
        "Create Table resone (zuhao varchar(30), oneno int, shunxu int, lingqi varchar(3), onekn varchar(30), "
        "onempa varchar(30))",
    };
    for (const char *s : schema)
        exec(QString::fromUtf8(s));
    exec(QStringLiteral("Insert into Unit values(0,0,'N',1,'0')"));
    exec(QStringLiteral("Insert into Unit values(0,1,'kN',1000,'2')"));
    exec(QStringLiteral("Insert into Unit values(1,0,'MPa',1,'1')"));
    exec(QStringLiteral("Insert into Unit values(2,0,'Speed',1,'1')"));
    exec(QStringLiteral("Insert into tester (userno,name,secret) Values(1,'Admin',1234)"));
    exec(QStringLiteral("Insert into SavNum values(100,1)"));
    exec(QStringLiteral("Insert into SavString values(101,'0')"));
    for (int k = 1; k <= 12; ++k) {
        exec(QStringLiteral("Insert into CheckTempValue values('KVD300','CheckNum%1','0')").arg(k));
        exec(QStringLiteral("Insert into CheckTempValue values('KVD300','CheckError%1','0')").arg(k));
    }
    createModuleTables(QStringLiteral("CemComp"), QStringLiteral("CemCompGROne"),
                       QStringLiteral("LenAv varchar(5), WidAv varchar(5)"), QString(),
                       QStringLiteral("GuiGe varchar(30), Speed varchar(10), GroNum int, LoadType int, YanShi int, "
                                      "SelectGroNum int, QDDJ varchar(5)"));
    createModuleTables(QStringLiteral("CemFlex"), QStringLiteral("CemFlexOne"),
                       QStringLiteral("LenAv varchar(5), HeiAv varchar(5)"), QString(),
                       QStringLiteral("LenAv varchar(5), HeiAv varchar(5), Speed varchar(10), GroNum int, "
                                      "LoadType int, YanShi int, SelectGroNum int, QDDJ varchar(5)"));
    createModuleTables(QStringLiteral("ConCube"), QStringLiteral("ConCubeOne"),
                       QStringLiteral("LenAv varchar(5), WidAv varchar(5), HeiAv varchar(5), DiameterAv varchar(5), "
                                      "XiShu varchar(10)"),
                       QStringLiteral("SpecialShape int,"),
                       QStringLiteral("GuiGe integer, XiShu varchar(30), Speed varchar(10), GroNum int, LoadType int, "
                                      "YanShi int, SelectGroNum int"));
    createModuleTables(QStringLiteral("ConFlex"), QStringLiteral("ConFlexOne"),
                       QStringLiteral("LenAv varchar(5), WidAv varchar(5), HeiAv varchar(5), XiShu varchar(10), "
                                      "IsOut int"),
                       QString(),
                       QStringLiteral("GuiGe varchar(30), XiShu varchar(30), Speed varchar(10), GroNum int, "
                                      "LoadType int, YanShi int, SelectGroNum int"));
}

void EngineTest::createModuleTables(const QString &word, const QString &specimenTable,
                                    const QString &specimenColumns, const QString &groupExtra,
                                    const QString &paramColumns)
{
    const QString group = word + QStringLiteral("Group");
    const QString caption = word == QLatin1String("ConFlex") ? QStringLiteral("ConFlexCantionInfo")
                                                             : word + QStringLiteral("CaptionInfo");
    exec(QStringLiteral("Create Table ") + group +
         QStringLiteral(" (ZuHao varchar(30), LingQi varchar(3), GroNum int, PingZhong varchar(30), "
                        "Speed varchar(30), GrokN varchar(30), GroMPa varchar(30), ExpMan varchar(30), "
                        "ExpDate varchar(30), ExpCop varchar(30), ") +
         groupExtra + QStringLiteral(" SelectGroNum int, primary key (ZuHao, LingQi))"));
    exec(QStringLiteral("Create Table ") + specimenTable +
         QStringLiteral(" (ZuHao varchar(30), LingQi varchar(3), PingZhong varchar(20), OnekN varchar(10), "
                        "ShunXu int, ") +
         specimenColumns + QStringLiteral(", primary key (ZuHao, LingQi, ShunXu))"));
    exec(QStringLiteral("ALTER TABLE ") + specimenTable + QStringLiteral(" ADD CONSTRAINT ") + specimenTable +
         QStringLiteral(" FOREIGN KEY (Zuhao,LingQi) REFERENCES ") + group +
         QStringLiteral("(ZuHao,LingQi) on delete cascade"));
    exec(QStringLiteral("Create Table ") + word + QStringLiteral("PARAM (ZuHao varchar(30), PingZhong varchar(30), "
                                                                 "LingQi varchar(3), ") +
         paramColumns + QStringLiteral(")"));
    exec(QStringLiteral("Create Table ") + caption +
         QStringLiteral(" (ZuHao varchar(30), LingQi varchar(3), SunXu int, Name1 varchar(50), Data1 varchar(50), "
                        "Name2 varchar(50), Data2 varchar(50), primary key (ZuHao, LingQi, SunXu))"));
    exec(QStringLiteral("ALTER TABLE ") + caption + QStringLiteral(" ADD CONSTRAINT ") + caption +
         QStringLiteral(" FOREIGN KEY (Zuhao,LingQi) REFERENCES ") + group +
         QStringLiteral("(ZuHao,LingQi) on delete cascade"));
}

void EngineTest::TearDown()
{
    m_conn.reset();
    m_dir.reset();
}

int EngineTest::exec(const QString &jet)
{
    try {
        return m_conn->execute(jet);
    } catch (const kv::db::EDatabaseError &e) {
        ADD_FAILURE() << "statement failed: " << jet.toStdString() << "\n" << e.what();
        return -1;
    }
}

QVector<QStringList> EngineTest::rows(const QString &jet)
{
    QVector<QStringList> out;
    try {
        TDbQuery q(*m_conn);
        q.setSql(jet);
        q.open();
        for (q.first(); !q.eof(); q.next()) {
            QStringList r;
            for (const QString &f : q.fieldNames())
                r.append(q.fieldByName(f).asString());
            out.append(r);
        }
    } catch (const kv::db::EDatabaseError &e) {
        ADD_FAILURE() << "query failed: " << jet.toStdString() << "\n" << e.what();
    }
    return out;
}

QString EngineTest::scalar(const QString &jet)
{
    const auto r = rows(jet);
    return r.isEmpty() || r[0].isEmpty() ? QStringLiteral("<none>") : r[0][0];
}

int EngineTest::count(const QString &table, const QString &where)
{
    return scalar(QStringLiteral("select count(*) from ") + table + (where.isEmpty() ? QString() : QStringLiteral(" where ") + where))
        .toInt();
}

} // namespace kvtest
