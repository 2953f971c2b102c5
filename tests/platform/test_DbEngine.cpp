// The connection, the query object with its row editing, and the grid model.
#include "EngineFixture.h"

#include "ui/DbGridModel.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTableView>

using kv::db::EDatabaseError;
using kv::db::TDbConnection;
using kv::db::TDbGridModel;
using kv::db::TDbQuery;
using kvtest::EngineTest;

namespace {
QString u(const char *s) { return QString::fromUtf8(s); }

QString pragma(TDbConnection &c, const char *name)
{
    QSqlQuery q(c.database());
    q.exec(QStringLiteral("PRAGMA ") + QString::fromLatin1(name));
    return q.next() ? q.value(0).toString() : QString();
}
} // namespace

TEST(DbConnection, RefusesMissingEmptyAndForeignFiles)
{
    QTemporaryDir dir;
    TDbConnection c;
    const QString missing = dir.filePath(u("无此文件.sqlite"));
    try {
        c.open(missing);
        FAIL() << "opened a missing file";
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.message().contains(missing));
    }
    EXPECT_FALSE(QFile::exists(missing)); // never created
    EXPECT_FALSE(c.connected());

    const QString empty = dir.filePath(u("empty.sqlite"));
    QFile(empty).open(QIODevice::WriteOnly);
    EXPECT_THROW(c.open(empty), EDatabaseError);

    const QString text = dir.filePath(u("MeasDB.mdb"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("Standard Jet DB, but not really; this is plain text padding ").repeated(100));
    }
    EXPECT_THROW(c.open(text), EDatabaseError);
    EXPECT_FALSE(c.connected());
    EXPECT_THROW(c.tableNames(), EDatabaseError);
    EXPECT_THROW(TDbConnection::createDatabase(text), EDatabaseError); // will not overwrite
}

TEST(DbConnection, OpensWithDurableSettingsAndSharesCommittedWrites)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u("数据 库.sqlite")); // a path with blanks and Chinese
    TDbConnection::createDatabase(path);
    TDbConnection a, b;
    a.open(path);
    b.open(path);
    EXPECT_NE(a.connectionName(), b.connectionName());
    EXPECT_EQ(pragma(a, "foreign_keys"), u("1"));
    EXPECT_EQ(pragma(a, "journal_mode"), u("wal"));
    EXPECT_EQ(pragma(a, "synchronous"), u("2")); // FULL
    a.execute(u("Create Table Tester (UserNo int, name varchar(10))"));
    a.execute(u("Insert into Tester values(1, 'Admin')"));
    TDbQuery q(b);
    q.setSql(u("select * from tester"));
    q.open();
    EXPECT_EQ(q.recordCount(), 1);
    // The counter column's sqlite_sequence and the engine's own helpers are not listed.
    a.execute(u("Create Table zeta (id counter, v text)"));
    a.execute(u("Insert into zeta (v) values ('x')"));
    a.execute(u("Create Table Alpha (x int)"));
    EXPECT_EQ(a.tableNames(), (QStringList{u("Alpha"), u("Tester"), u("zeta")}));
    EXPECT_TRUE(b.tableExists(u("TESTER")));
    EXPECT_FALSE(b.tableExists(u("sqlite_sequence")));
    a.close();
    EXPECT_FALSE(a.connected());
    a.open(path);
    EXPECT_TRUE(a.connected());
}

TEST_P(EngineTest, FieldConversions)
{
    exec(u("Create Table conv (t varchar(30), r double, i int)"));
    exec(u("insert into conv values('12', 5, 7)"));
    exec(u("insert into conv values('12.5', 0.3, null)"));
    exec(u("insert into conv values(null, null, null)"));
    exec(u("insert into conv values('abc', 2.5, -3)"));
    exec(u("insert into conv values('2024-05-06', 45000.5, 0)"));
    exec(u("insert into conv values('2024-05-06 13:14:15', 1e20, 0)"));
    exec(u("insert into conv values(' 7 ', -0.1, 0)"));
    TDbQuery q(*m_conn);
    q.setSql(u("select * from conv"));
    q.open();
    ASSERT_EQ(q.recordCount(), 7);
    EXPECT_EQ(q.fieldByName(u("T")).asInteger(), 12);
    EXPECT_EQ(q.fieldByName(u("r")).asString(), u("5"));
    EXPECT_EQ(q.fieldByName(u("r")).asInteger(), 5);
    EXPECT_EQ(q.fieldByName(u("i")).asFloat(), 7.0);
    q.next();
    EXPECT_DOUBLE_EQ(q.fieldByName(u("t")).asFloat(), 12.5);
    EXPECT_EQ(q.fieldByName(u("t")).asInteger(), 13);
    EXPECT_EQ(q.fieldByName(u("r")).asString(), u("0.3"));
    EXPECT_TRUE(q.fieldByName(u("i")).isNull());
    q.next();
    EXPECT_EQ(q.fieldByName(u("t")).asInteger(), 0);
    EXPECT_EQ(q.fieldByName(u("t")).asString(), u(""));
    EXPECT_EQ(q.fieldByName(u("r")).asFloat(), 0.0);
    EXPECT_FALSE(q.fieldByName(u("t")).asDateTime().isValid());
    q.next();
    EXPECT_THROW(q.fieldByName(u("t")).asFloat(), EDatabaseError);
    EXPECT_THROW(q.fieldByName(u("t")).asDateTime(), EDatabaseError);
    EXPECT_EQ(q.fieldByName(u("r")).asString(), u("2.5"));
    EXPECT_EQ(q.fieldByName(u("i")).asString(), u("-3"));
    q.next();
    EXPECT_EQ(q.fieldByName(u("t")).asDateTime(), QDateTime(QDate(2024, 5, 6), QTime(0, 0)));
    EXPECT_EQ(q.fieldByName(u("r")).asDateTime(), QDateTime(QDate(1899, 12, 30).addDays(45000), QTime(12, 0)));
    q.next();
    EXPECT_EQ(q.fieldByName(u("t")).asDateTime(), QDateTime(QDate(2024, 5, 6), QTime(13, 14, 15)));
    EXPECT_EQ(q.fieldByName(u("r")).asString(), u("1e+20"));
    q.next();
    EXPECT_EQ(q.fieldByName(u("t")).asInteger(), 7);
    EXPECT_EQ(q.fieldByName(u("r")).asString(), u("-0.1"));
    EXPECT_THROW(q.fieldByName(u("nosuch")), EDatabaseError);
    EXPECT_EQ(q.fieldIndex(u("NOSUCH")), -1);
}

TEST_P(EngineTest, NavigationFollowsDelphiRules)
{
    TDbQuery q(*m_conn);
    q.setSql(u("select * from Unit order by Type, Index"));
    q.open();
    ASSERT_EQ(q.recordCount(), 4);
    EXPECT_TRUE(q.bof());
    EXPECT_FALSE(q.eof());
    int seen = 0;
    for (q.first(); !q.eof(); q.next())
        ++seen;
    EXPECT_EQ(seen, 4);
    EXPECT_EQ(q.recNo(), 3);
    q.prior();
    EXPECT_EQ(q.fieldByName(u("name")).asString(), u("MPa"));
    q.last();
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.fieldByName(u("name")).asString(), u("Speed"));
    q.moveTo(1);
    EXPECT_EQ(q.fieldByName(u("coe")).asInteger(), 1000);
    EXPECT_THROW(q.moveTo(9), EDatabaseError);

    // The text with a leading blank still opens; an empty result reads as nulls.
    q.setSql(u(" select * from Unit where Type = 9"));
    EXPECT_FALSE(q.active());
    q.open();
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.recNo(), -1);
    EXPECT_EQ(q.fieldByName(u("Coe")).asInteger(), 0);

    q.clearSql();
    q.addSql(u("select Name"));
    q.addSql(u("from Unit where Type = 1"));
    q.open();
    EXPECT_EQ(q.fieldByName(u("Name")).asString(), u("MPa"));

    q.setSql(u("update Unit set Coe = 2 where Type = 2"));
    EXPECT_THROW(q.open(), EDatabaseError); // not a row-returning statement, and nothing ran
    EXPECT_EQ(scalar(u("select Coe from Unit where Type = 2")), u("1"));
    EXPECT_EQ(q.execSql(), 1);
    q.setSql(u("select * from nosuchtable"));
    EXPECT_THROW(q.open(), EDatabaseError);
}

TEST_P(EngineTest, FetchOnDemandReadsBatchesAndAllBeforeAWrite)
{
    TDbQuery q(*m_conn);
    q.setFetchOnDemand(true, 3);
    q.setSql(u("select * from Unit order by Type, Index"));
    q.open();
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_TRUE(q.canFetchMore());
    int announced = 0;
    QObject::connect(&q, &TDbQuery::rowsAboutToBeFetched, [&](int first, int last) { announced += last - first + 1; });
    q.moveTo(3); // beyond the rows read: reads up to it
    EXPECT_EQ(q.fieldByName(u("name")).asString(), u("Speed"));
    EXPECT_EQ(announced, 1);
    EXPECT_FALSE(q.canFetchMore());

    // A write through the same query first reads everything.
    q.open();
    ASSERT_TRUE(q.canFetchMore());
    q.edit();
    EXPECT_FALSE(q.canFetchMore());
    q.setFieldValue(u("Coe"), 7);
    q.post();
    EXPECT_EQ(q.recordCount(), 4);
}

TEST_P(EngineTest, RowEditingOnOneTable)
{
    TDbQuery q(*m_conn);
    QSignalSpy changed(&q, &TDbQuery::dataChanged);
    q.setSql(u("select * from CtrlBoxSaveItems where CtrlBox = 'KVD520' and Name = 'FSpeed'"));
    q.open();
    ASSERT_EQ(q.recordCount(), 0);
    // No hidden column (PostgreSQL names the columns of * in lower case).
    EXPECT_EQ(q.fieldNames().join(u(",")).toLower(), u("ctrlbox,name,value"));
    q.append();
    EXPECT_TRUE(q.editing());
    q.setFieldValue(u("ctrlbox"), u("KVD520"));
    q.setFieldValue(u("NAME"), u("FSpeed"));
    q.setFieldValue(u("Value"), 120);
    EXPECT_EQ(q.fieldByName(u("Value")).asInteger(), 120); // the buffer shows while editing
    q.post();
    EXPECT_FALSE(q.editing());
    EXPECT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.fieldByName(u("Value")).asString(), u("120")); // read back through the column's type
    EXPECT_EQ(count(u("CtrlBoxSaveItems")), 1);

    q.edit();
    q.setFieldValue(u("Value"), u("130"));
    q.cancel();
    EXPECT_EQ(q.fieldByName(u("Value")).asString(), u("120"));
    q.edit();
    q.setFieldValue(u("Value"), 0.3f);
    q.post();
    EXPECT_EQ(scalar(u("select [Value] from CtrlBoxSaveItems where Name = 'FSpeed'")), u("0.3"));

    // Moving on stores a pending edit, as a data set does.
    exec(u("Insert Into CtrlBoxSaveItems (CtrlBox, Name, [Value]) Values ('KVD520','FMaxLoad','300000')"));
    q.setSql(u("select Name as 名称, [Value], CtrlBox & '/' & Name as label from CtrlBoxSaveItems order by Name"));
    q.open();
    ASSERT_EQ(q.recordCount(), 2);
    EXPECT_EQ(q.fieldByName(u("label")).asString(), u("KVD520/FMaxLoad"));
    q.edit();
    q.setFieldValue(u("value"), u("250000"));
    EXPECT_THROW(q.setFieldValue(u("label"), u("x")), EDatabaseError); // computed
    EXPECT_THROW(q.setFieldValue(u("nosuch"), u("x")), EDatabaseError);
    q.next();
    EXPECT_EQ(scalar(u("select [Value] from CtrlBoxSaveItems where Name = 'FMaxLoad'")), u("250000"));
    EXPECT_THROW(q.setFieldValue(u("名称"), u("x")), EDatabaseError); // not editing any more
}

TEST_P(EngineTest, RowEditingRefusedOnJoinsAndAggregates)
{
    TDbQuery q(*m_conn);
    for (const char *sql : {"select count(*) from SavNum", "select * from SavNum, SavString",
                            "select distinct Type from Unit", "select Type, count(*) from Unit group by Type"}) {
        q.setSql(u(sql));
        q.open();
        EXPECT_THROW(q.edit(), EDatabaseError) << sql;
        EXPECT_THROW(q.append(), EDatabaseError) << sql;
        EXPECT_THROW(q.deleteRow(), EDatabaseError) << sql;
    }
    q.close();
    EXPECT_THROW(q.edit(), EDatabaseError);
}

TEST_P(EngineTest, DeleteRowAndSignals)
{
    TDbQuery q(*m_conn);
    QSignalSpy rowSpy(&q, &TDbQuery::currentRowChanged);
    QSignalSpy dataSpy(&q, &TDbQuery::dataChanged);
    q.setSql(u("select * from Unit where Type = 0 order by Index"));
    q.open();
    EXPECT_EQ(dataSpy.count(), 1);
    q.next();
    EXPECT_EQ(rowSpy.last().at(0).toInt(), 1);
    q.deleteRow();
    EXPECT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.recNo(), 0);
    EXPECT_EQ(dataSpy.count(), 2);
    EXPECT_EQ(count(u("Unit")), 3);
    EXPECT_EQ(scalar(u("select Name from Unit where Type = 0")), u("N"));
    q.deleteRow();
    EXPECT_EQ(q.recordCount(), 0);
    EXPECT_TRUE(q.eof());
    EXPECT_THROW(q.deleteRow(), EDatabaseError);
    // An edited row deleted meanwhile by someone else is reported, not lost silently.
    q.setSql(u("select * from Unit"));
    q.open();
    q.edit();
    q.setFieldValue(u("Coe"), 5);
    exec(u("delete from Unit"));
    EXPECT_THROW(q.post(), EDatabaseError);
}

// A row is found again by its address (rowid, or the server's ctid), which
// another row may take once the row went: the key read with the row must
// still be there, or nothing is written.
TEST_P(EngineTest, AnAddressTakenByAnotherRowIsNotWrittenOver)
{
    exec(u("Create Table Keyed (K varchar(10), V varchar(10), primary key (K))"));
    exec(u("Insert Into Keyed (K, V) Values ('a', '1')"));
    TDbQuery q(*m_conn);
    q.setSql(u("select * from Keyed"));
    q.open();
    TDbQuery gone(*m_conn);
    gone.setSql(u("select * from Keyed"));
    gone.open();
    q.edit();
    q.setFieldValue(u("V"), u("2"));
    QSqlQuery raw(m_conn->database());
    const auto address = [&] {
        raw.exec(pg() ? u("SELECT ctid::text FROM keyed") : u("SELECT rowid FROM Keyed"));
        return raw.next() ? raw.value(0).toString() : QString();
    };
    const QString before = address();
    exec(u("delete from Keyed"));
    if (pg())
        ASSERT_TRUE(raw.exec(u("VACUUM keyed")));
    exec(u("Insert Into Keyed (K, V) Values ('b', '9')"));
    ASSERT_EQ(address(), before) << "the new row took the old address";
    EXPECT_THROW(q.post(), EDatabaseError);
    gone.deleteRow(); // the row it showed is gone already
    EXPECT_EQ(scalar(u("select V from Keyed where K = 'b'")), u("9"));
}

TEST_P(EngineTest, GridModelShowsAliasesAndFollowsTheQuery)
{
    exec(u("insert into CemCompGroup Values('2008','28',6,'42.5  P·O','2.4','72.5','45.3','admin','2024-05-06','GB',6)"));
    exec(u("insert into CemCompGroup Values('2009','28',6,'42.5  P·O','2.4','70','43.8','admin','2024-05-07','GB',6)"));
    TDbQuery q(*m_conn);
    TDbGridModel model;
    model.setQuery(&q);
    EXPECT_EQ(model.rowCount(), 0);
    q.setSql(u("select zuhao as 组号, lingqi as 龄期, GroKn as 有效力值 from CemCompGroup order by zuhao"));
    q.open();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), u("组号"));
    EXPECT_EQ(model.data(model.index(1, 2)).toString(), u("70"));

    QTableView view;
    model.bindView(&view);
    view.setCurrentIndex(model.index(1, 0));
    EXPECT_EQ(q.recNo(), 1);
    EXPECT_EQ(q.fieldByName(u("组号")).asString(), u("2009"));
    q.first();
    EXPECT_EQ(view.currentIndex().row(), 0);
    q.close();
    EXPECT_EQ(model.rowCount(), 0);
}
