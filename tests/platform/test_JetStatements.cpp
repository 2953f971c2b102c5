// Every statement form the program and the test modules send, run against
// real tables, with the result each must have.
#include "EngineFixture.h"

#include "SqlText.h"

using kv::db::EDatabaseError;
using kv::db::TDbQuery;
using kv::db::TranslateJetSql;
using kvtest::EngineTest;

namespace {
QString u(const char *s) { return QString::fromUtf8(s); }
} // namespace

TEST_P(EngineTest, SettingsStoreStatements)
{
    EXPECT_EQ(scalar(u("select count(*) from savnum")), u("1"));
    EXPECT_EQ(exec(u("Insert into SavNum values(1100,2.4)")), 1);
    EXPECT_EQ(exec(u("Insert into SavNum values(1104,60)")), 1);
    EXPECT_EQ(rows(u("select * from SavNum where NumNo = 1100")), (QVector<QStringList>{{u("1100"), u("2.4")}}));
    EXPECT_EQ(exec(u("Update SavNum set NumCont = ") + kv::SqlSingle(2.5f) + u(" where NumNo = 1100")), 1);
    EXPECT_EQ(scalar(u("select NumCont from SavNum where NumNo = 1100")), u("2.5"));
    EXPECT_EQ(exec(u("Insert Into SavNum(NumNo, NumCont) Values(20004,123.5)")), 1);
    EXPECT_EQ(scalar(u("select NumCont from SavNum where NumNo = 20004")), u("123.5"));
    // A whole number in the REAL column reads back without ".0".
    EXPECT_EQ(scalar(u("select NumCont from SavNum where NumNo = 1104")), u("60"));

    EXPECT_EQ(exec(u("Insert into SavString values(100,'O''Brien')")), 1);
    EXPECT_EQ(rows(u("select * from SavString where StrNo = 100")), (QVector<QStringList>{{u("100"), u("O'Brien")}}));
    EXPECT_EQ(exec(u("Update SavString set StrCont = 'x''; drop table SavNum; --' where StrNo = 100")), 1);
    EXPECT_EQ(scalar(u("select StrCont from SavString where StrNo = 100")), u("x'; drop table SavNum; --"));
    EXPECT_EQ(exec(u("Update savstring set strcont ='3' where strno = 101")), 1);
    EXPECT_EQ(scalar(u("select strcont from savstring where strno = 101")), u("3"));
    EXPECT_TRUE(m_conn->tableExists(u("SavNum")));
}

TEST_P(EngineTest, UnitAndControllerParameterStatements)
{
    // The number runs into the keyword and the column Index is written bare.
    EXPECT_EQ(rows(u("select * from Unit where Type =0and Index = 1")),
              (QVector<QStringList>{{u("0"), u("1"), u("kN"), u("1000"), u("2")}}));
    EXPECT_EQ(exec(u("Update unit set [Round] = '3' where [Name] = 'kN'")), 1);
    EXPECT_EQ(scalar(u("select [Round] from Unit where Type =0and Index = 1")), u("3"));
    EXPECT_EQ(exec(u("Update unit set [Round] = '1' where [Name] = 'Speed'")), 1);

    EXPECT_TRUE(rows(u("Select * from CtrlBoxSaveItems Where [Name] = 'FAutoLoad' and CtrlBox = 'KVD520'")).isEmpty());
    EXPECT_EQ(exec(u("Insert Into CtrlBoxSaveItems (CtrlBox, Name, [Value]) Values ( 'KVD520','FAutoLoad','1')")), 1);
    EXPECT_EQ(exec(u("Insert Into CtrlBoxSaveItems (CtrlBox, Name, [Value]) Values ('KVD300','FSpeed','120')")), 1);
    EXPECT_EQ(rows(u("select * from CtrlBoxSaveItems where CtrlBox = 'KVD520' and Name = 'FAutoLoad'")),
              (QVector<QStringList>{{u("KVD520"), u("FAutoLoad"), u("1")}}));
    // The stored text reads as a number.
    TDbQuery q(*m_conn);
    q.setSql(u("select * from CtrlBoxSaveItems where CtrlBox = 'KVD300' and Name = 'FSpeed'"));
    q.open();
    EXPECT_EQ(q.fieldByName(u("Value")).asInteger(), 120);

    EXPECT_EQ(exec(u("update CheckTempValue set [Value] = '100.25' where ctrlbox = 'KVD300' and name = 'CheckNum1'")), 1);
    q.setSql(u("select * from checktempvalue  where ctrlbox = 'KVD300' and name = 'CheckNum1'"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_DOUBLE_EQ(q.fieldByName(u("value")).asFloat(), 100.25);
}

TEST_P(EngineTest, UserAndBackupStatements)
{
    EXPECT_EQ(scalar(u("select * from savstring where strno = 101")), u("101"));
    EXPECT_EQ(rows(u("select * from tester")).size(), 1);
    EXPECT_EQ(rows(u("select * from tester where name = 'Tester'")).size(), 0);
    const auto ordered = rows(u("select * from tester order by userno"));
    ASSERT_EQ(ordered.size(), 1);
    EXPECT_EQ(exec(u("Insert into tester (userno,name,secret) Values(") + QString::number(ordered.last()[0].toInt() + 1) +
                   u(",'Tester',486)")),
              1);
    // Without a user number the counter column numbers the row.
    EXPECT_EQ(exec(u("Insert into Tester(name,secret) values('新用户',123)")), 1);
    EXPECT_EQ(scalar(u("select userno from tester where name = '新用户'")), u("3"));
    // Jet compares text without regard to case.
    EXPECT_EQ(scalar(u("select secret from tester where name = 'ADMIN'")), u("1234"));
    EXPECT_EQ(exec(u("Update Tester set secret = 555 Where name = 'tester'")), 1);
    EXPECT_EQ(exec(u("Update savstring set strcont ='Admin' where strno = 100")), 0);
    EXPECT_EQ(exec(u("Delete * from tester where name = '新用户'")), 1);
    EXPECT_EQ(count(u("tester")), 2);

    // The restore: a bare A as the fourth value is taken as text.
    EXPECT_TRUE(rows(u("select * from Tester where UserNo = 7")).isEmpty());
    EXPECT_EQ(exec(u("Insert into tester values(7,'bob',321,A)")), 1);
    EXPECT_EQ(rows(u("select * from Tester where UserNo = 7")),
              (QVector<QStringList>{{u("7"), u("bob"), u("321"), u("A")}}));
    EXPECT_EQ(exec(u("Update tester set name = 'o''neil', secret = 111 where userno = 7")), 1);
    EXPECT_EQ(scalar(u("select name from tester where userno = 7")), u("o'neil"));

    EXPECT_EQ(exec(u("Insert into standard values(1,2.5,3)")), 1);
    EXPECT_EQ(rows(u("select * from Standard where StdNo = 1")), (QVector<QStringList>{{u("1"), u("2.5"), u("3")}}));
    EXPECT_EQ(exec(u("Update standard set num = 4, val = 5.5 where stdno = 1")), 1);
    EXPECT_EQ(rows(u("select * from Standard")), (QVector<QStringList>{{u("1"), u("4"), u("5.5")}}));
    EXPECT_EQ(rows(u("select * from SavNum")).size(), 1);
    EXPECT_EQ(rows(u("select * from SavString")).size(), 1);
}

TEST_P(EngineTest, CaptionStatements)
{
    const QString obj = u("水泥胶砂抗压");
    EXPECT_EQ(exec(u("insert into DefaultCaptionInfo(expobj,sunxu, Name1, Data1, Name2, Data2) values('水泥胶砂抗压', 1,"
                     "'委托单位', 'A''s lab', '工程名称', '')")),
              1);
    EXPECT_EQ(rows(u("select * from DefaultCaptionInfo where expobj = '水泥胶砂抗压'")),
              (QVector<QStringList>{{obj, u("1"), u("委托单位"), u("A's lab"), u("工程名称"), u("")}}));
    EXPECT_EQ(exec(u("delete from DefaultCaptionInfo where expobj = '水泥胶砂抗压'")), 1);
    EXPECT_EQ(count(u("DefaultCaptionInfo")), 0);
    EXPECT_TRUE(rows(u("select * from resgro where zuhao = '1' and lingqi = '28' and expobj = '水泥胶砂抗压'")).isEmpty());
}

TEST_P(EngineTest, ModuleGroupLifecycleStatements)
{
    EXPECT_EQ(exec(u("insert into CemCompGroup Values('2008','28',0,'42.5  P·O','2.4','0','0','admin','2024-05-06',"
                     "'GB/T 17671-1999',6)")),
              1);
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(exec(u("insert into CemCompGROne Values('2008','28','42.5  P·O','") + kv::FixedText(72000.0 + k * 100, 2) +
                       u("',") + QString::number(k) + u(",'40.0','40.0')")),
                  1);
    EXPECT_EQ(exec(u("update CemCompGroup set GroKn = '72.20', GroMpa = '45.1', GroNum = 3 where zuhao = '2008' and "
                     "Lingqi = '28'")),
              1);
    EXPECT_EQ(exec(u("update CemCompGroup set SelectGroNum = 3 where zuhao = '2008' and lingqi = '28'")), 1);
    EXPECT_EQ(rows(u("select * from CemCompGroup where zuhao = '2008' and lingqi = '28'")).size(), 1);
    const auto specimens = rows(u("select * from CemCompGROne where zuhao = '2008' and lingqi = '28' order by shunxu"));
    ASSERT_EQ(specimens.size(), 3);
    EXPECT_EQ(specimens[0][3], u("72100.00"));
    EXPECT_EQ(exec(u("update CemCompGROne set onekn = '73000' where zuhao = '2008' and lingqi = '28' and shunxu = 1")), 1);
    // Recomputing the stored group from its specimens.
    EXPECT_EQ(rows(u("select round(onekn/1000, 2) as kn, round(onekn/(lenav*widav), 1) as mpa from CemCompGROne "
                     "where zuhao = '2008' and lingqi = '28' order by shunxu"))[0],
              (QStringList{u("73"), u("45.6")}));

    // The last parameters: delete every row, insert one.
    EXPECT_EQ(exec(u("insert into CemCompPARAM values('2008','325R','28','50*50','2.4',6,1,20,6,'42.5')")), 1);
    EXPECT_EQ(exec(u("Delete * from CemCompPARAM")), 1);
    EXPECT_EQ(exec(u("insert into CemCompPARAM values('2009','P·O','3','40*40','1.0',3,0,8,3,'42.5R')")), 1);
    EXPECT_EQ(exec(u("delete from CemCompPARAM where ZuHao = 'none'")), 0);
    EXPECT_EQ(rows(u("select * from CemCompPARAM"))[0][0], u("2009"));

    // Captions of the group.
    EXPECT_EQ(exec(u("insert into CemCompCaptionInfo (ZuHao, LingQi, sunxu, Name1, Data1, Name2, Data2) "
                     "values('2008','28',2,'b','2','d','4')")),
              1);
    EXPECT_EQ(exec(u("insert into CemCompCaptionInfo values('2008','28',1,'a','1','c','3')")), 1);
    const auto caps = rows(u("Select * from CemCompCaptionInfo where ZuHao ='2008' and Lingqi ='28'order by sunxu"));
    ASSERT_EQ(caps.size(), 2);
    EXPECT_EQ(caps[0][3], u("a"));
    EXPECT_EQ(exec(u("Delete * from CemCompCaptionInfo where ZuHao ='2008' and lingqi= '28'")), 2);

    // Deleting the group takes its specimens with it.
    EXPECT_EQ(exec(u("delete * from  CemCompGroup where ZuHao = '2008' and lingqi ='28'")), 1);
    EXPECT_EQ(count(u("CemCompGROne")), 0);
}

TEST_P(EngineTest, RecordSearchStatements)
{
    const char *groups[] = {"2008", "2009", "2010", "A2009x", "a-2009"};
    int day = 1;
    for (const char *g : groups) {
        exec(u("insert into CemCompGroup Values('") + u(g) + u("','28',6,'42.5  P·O','2.4','72.50','45.3','admin','2024-05-0") +
             QString::number(day++) + u("','GB/T 17671-1999',6)"));
    }
    const QString list = u("select zuhao as 组号, lingqi as 龄期, pingzhong as 强度等级, gronum as 本组个数, "
                           "GroKn as 有效力值, GroMpa as 有效强度, expdate as 试验日期 from CemCompGroup");
    TDbQuery q(*m_conn);
    q.setSql(list + u(" where zuhao >= '2008' and zuhao <= '2010'"));
    q.open();
    EXPECT_EQ(q.fieldNames(), (QStringList{u("组号"), u("龄期"), u("强度等级"), u("本组个数"), u("有效力值"), u("有效强度"),
                                           u("试验日期")}));
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_EQ(q.fieldByName(u("组号")).asString(), u("2008"));
    EXPECT_EQ(rows(list + u(" where zuhao like '%2009%'")).size(), 3); // matches A2009x and a-2009 too
    EXPECT_EQ(rows(list + u(" where zuhao like '%%2009%%'")).size(), 3);
    EXPECT_EQ(rows(list + u(" where zuhao like '%a2009%'")).size(), 1); // like ignores case as Jet does
    EXPECT_EQ(rows(list + u(" where expDate >= '2024-05-02' and expdate <= '2024-05-04'")).size(), 3);

    // The Excel field lists: constant columns and a concatenated size.
    q.setSql(u("select zuhao as 组号, lingqi as 龄期, gronum as 本组个数, pingzhong as 品种, speed as 速度, GroKn as 有效力值, "
               "GroMpa as 有效强度, ExpMan as 试验员, ExpDate as 试验日期, ExpCop as 试验标准, '' as 抗折有效力值, "
               "'' as 抗折有效强度 from CemCompGroup where zuhao = ''"));
    q.open();
    EXPECT_EQ(q.fieldCount(), 12);
    EXPECT_EQ(q.fieldNames().last(), u("抗折有效强度"));
    EXPECT_EQ(q.recordCount(), 0);

    exec(u("insert into CemCompGROne Values('2008','28','42.5  P·O','72000.00',1,'40','40')"));
    EXPECT_EQ(rows(u("select onekn/1000 as 载荷, onekn/(lenav*widav) as 强度, lenav & '*' & widav as 规格 from "
                     "CemCompGROne where zuhao = '2008'")),
              (QVector<QStringList>{{u("72"), u("45"), u("40*40")}}));
}

TEST_P(EngineTest, ComputedStrengthColumnsUseFloatingDivision)
{
    exec(u("insert into CemFlexGroup Values('F1','28',0,'42.5  P·O','50','0','0','admin','2024-05-06','GB',3)"));
    exec(u("insert into CemFlexOne Values('F1','28','42.5  P·O','3000',1,'40','100')"));
    EXPECT_EQ(rows(u("Select LenAv,HeiAv,OneKn,1.5*Onekn*HeiAv /(lenav *lenav * lenav) as OneMpa from CemFlexOne "
                     "where zuhao = 'F1' order by shunxu")),
              (QVector<QStringList>{{u("40"), u("100"), u("3000"), u("7.03125")}}));
    EXPECT_EQ(scalar(u("select 1.5 * ONEKN * HeiAv / (lenav  * LenAv * LenAv) from CemFlexOne")), u("7.03125"));

    exec(u("insert into ConCubeGroup Values('C1','28',0,'C30','0.5','0','0','admin','2024-05-06','GB',0,3)"));
    exec(u("insert into ConCubeOne Values('C1','28','C30','300000',1,'150','150','150','','0.95')"));
    exec(u("insert into ConCubeOne Values('C1','28','C30','500000',2,'','','300','150','1')"));
    // Text columns holding whole numbers: the division must not truncate.
    EXPECT_EQ(scalar(u("select ONEKN / (lenav  * widav) * XISHU as s from ConCubeOne where shunxu = 1")),
              kv::SqlNum(300000.0 / 22500.0 * 0.95));
    EXPECT_EQ(scalar(u("select ONEKN / (lenav  * widav) * XISHU * 0.637 from ConCubeOne where shunxu = 1")),
              kv::SqlNum(300000.0 / 22500.0 * 0.95 * 0.637));
    const double cyl = 500000.0 * 4 / (3.14 * 150 * 150) * 1;
    EXPECT_EQ(scalar(u("select ONEKN *4 / (3.14  * DiameterAv * DiameterAv) * XISHU from ConCubeOne where shunxu = 2")),
              kv::SqlNum(cyl));
    EXPECT_EQ(kv::FixedText(cyl, 1), u("28.3"));
    EXPECT_EQ(scalar(u("select ONEKN*0.637 / (3.14  * DiameterAv * DiameterAv / 4) * XISHU from ConCubeOne where "
                       "shunxu = 2")),
              kv::SqlNum(500000.0 * 0.637 / (3.14 * 150 * 150 / 4) * 1));

    exec(u("insert into ConFlexGroup Values('B1','28',0,'C30','0.05','0','0','admin','2024-05-06','GB',3)"));
    exec(u("insert into ConFlexOne Values('B1','28','C30','30000',1,'150','150','600','1',0)"));
    EXPECT_EQ(scalar(u("select ONEKN * 3 * LenAv/ (lenav  * widav* lenav) * XISHU from ConFlexOne")), u("4"));
    // Integer columns divide as floating point as well; left-to-right grouping stays.
    EXPECT_EQ(scalar(u("select GroNum / 4 from ConFlexGroup")), u("0"));
    exec(u("update ConFlexGroup set GroNum = 6"));
    EXPECT_EQ(scalar(u("select GroNum / 4 from ConFlexGroup")), u("1.5"));
    EXPECT_EQ(scalar(u("select 12 / 4 / 2 from ConFlexGroup")), u("1.5"));
    EXPECT_EQ(scalar(u("select 7 / 2 * 2 from ConFlexGroup")), u("7"));
    EXPECT_EQ(scalar(u("select 1 / 0 from ConFlexGroup")), u("")); // a zero divisor gives an empty value
}

TEST_P(EngineTest, JetOperatorsAndFunctions)
{
    exec(u("Insert into SavString values(1,'abc')"));
    exec(u("Insert into SavString values(2,'12.5kg')"));
    auto one = [&](const char *expr, const char *where = "StrNo = 1") {
        return scalar(u("select ") + u(expr) + u(" from SavString where ") + u(where));
    };
    EXPECT_EQ(one("StrCont & '-' & StrNo"), u("abc-1"));
    EXPECT_EQ(one("StrCont & Null"), u("abc"));
    EXPECT_EQ(one("'x' & 1 + 2"), u("x3")); // '&' binds looser than '+'
    EXPECT_EQ(one("IIf(StrNo = 1, 'one', 'other')"), u("one"));
    EXPECT_EQ(one("Val(StrCont)", "StrNo = 2"), u("12.5"));
    EXPECT_EQ(one("Len(StrCont) & Mid(StrCont, 2, 1) & Left(StrCont, 1) & Right(StrCont, 2)"), u("3babc"));
    EXPECT_EQ(one("UCase(StrCont) & LCase('Q')"), u("ABCq"));
    EXPECT_EQ(one("Round(2.346, 2)"), u("2.35"));
    EXPECT_EQ(one("Format(2.5, '0.00')"), u("2.50"));
    EXPECT_EQ(one("Format(#2024-05-06#, 'yyyy-mm-dd')"), u("2024-05-06"));
    EXPECT_EQ(one("CStr(12) & CInt(2.6) & Int(-2.5) & Fix(-2.5)"), u("123-3-2"));
    EXPECT_EQ(one("Nz(Null, 7)"), u("7"));
    EXPECT_EQ(one("InStr(StrCont, 'c')"), u("3"));
    EXPECT_EQ(one("7 mod 3"), u("1"));
    EXPECT_EQ(one("True"), u("-1"));
    EXPECT_EQ(one("Len(Format(Now(), 'yyyy-mm-dd hh:nn:ss'))"), u("19"));
    EXPECT_EQ(one("Date()"), QDate::currentDate().toString(u("yyyy-MM-dd")));
    EXPECT_EQ(one("count(*)", "StrNo < 100"), u("2"));
    EXPECT_EQ(one("Sum(StrNo) & '/' & Avg(StrNo) & '/' & Max(StrNo)", "StrNo < 100"), u("3/1.5/2"));
    EXPECT_EQ(one("#5/6/2024#"), u("2024-05-06"));
    EXPECT_EQ(one("#2024-05-06 13:05#"), u("2024-05-06 13:05:00"));
    EXPECT_EQ(rows(u("select top 1 * from SavString where StrNo < 100 order by StrNo desc")), (QVector<QStringList>{{u("2"), u("12.5kg")}}));
    EXPECT_EQ(rows(u("select * from SavString where StrNo in (select top 1 StrNo from SavString order by StrNo)")).size(), 1);
    EXPECT_EQ(rows(u("select * from SavString where StrNo between 1 and 2 and StrCont is not null")).size(), 2);
    EXPECT_EQ(rows(u("select * from SavString where StrCont <> 'ABC' and StrNo < 100")).size(), 1);
}

TEST_P(EngineTest, ComputedColumnsWithoutAliasAreNumberedAsInJet)
{
    TDbQuery q(*m_conn);
    q.setSql(u("select NumNo * 0 + 1, NumNo, NumCont * 2 from SavNum"));
    q.open();
    EXPECT_EQ(q.fieldNames(), (QStringList{u("Expr1000"), u("NumNo"), u("Expr1002")}));
    EXPECT_EQ(q.fieldByName(u("expr1000")).asInteger(), 1);
    q.setSql(u("select count(*) from SavNum"));
    q.open();
    EXPECT_EQ(q.fieldNames(), QStringList{u("Expr1000")});
}

TEST(JetDialect, RewritesKeepLiteralsAndMeaning)
{
    EXPECT_TRUE(TranslateJetSql(u("Delete * from tester where name = 'a'")).startsWith(u("Delete from tester")));
    EXPECT_TRUE(TranslateJetSql(u("delete t.* from t")).startsWith(u("delete from t")));
    EXPECT_EQ(TranslateJetSql(u("delete from t")), u("delete from t"));
    // Nothing inside a text literal is ever rewritten.
    const QString lit = u("'Delete * from x where a =0and Index = 1/2 & [Value] #1/2/2003# it''s'");
    const QString out = TranslateJetSql(u("select * from t where a = ") + lit);
    EXPECT_TRUE(out.endsWith(lit)) << out.toStdString();
    EXPECT_TRUE(TranslateJetSql(u("Insert into t values('it''s', 'A')")).contains(u("'it''s'")));
    // Double quotes delimit text in Jet.
    EXPECT_TRUE(TranslateJetSql(u("select * from t where a = \"x'y\"")).contains(u("'x''y'")));
    // The number stops before the keyword; the reserved name is quoted.
    EXPECT_TRUE(TranslateJetSql(u("select * from Unit where Type =0and Index = 1")).contains(u("0 and [Index] = 1")));
    const QString numbers = TranslateJetSql(u("select 1.5e3, .5, 2e from t"));
    EXPECT_TRUE(numbers.contains(u(".5 AS [Expr1001], 2 e from"))) << numbers.toStdString();
    EXPECT_TRUE(TranslateJetSql(u("Create Table t (a varchar(5), b int, primary key (a))"))
                    .contains(u("a varchar(5) COLLATE NOCASE NOT NULL")));
    EXPECT_TRUE(TranslateJetSql(u("select top 3 * from t order by a")).endsWith(u("LIMIT 3")));
    EXPECT_THROW(TranslateJetSql(u("select * from t where a = 'open")), EDatabaseError);
    EXPECT_THROW(TranslateJetSql(u("select (a from t")), EDatabaseError);
    EXPECT_THROW(TranslateJetSql(u("select * from t; delete from t")), EDatabaseError);
    EXPECT_THROW(TranslateJetSql(u("select a \\ b from t")), EDatabaseError);
    EXPECT_THROW(TranslateJetSql(u("select Format(a, 'zz') from t")), EDatabaseError);
    EXPECT_NO_THROW(TranslateJetSql(u("select * from t;")));
}

TEST_P(EngineTest, ForeignKeyRebuildKeepsRowsAndCascades)
{
    // A module table made without the constraint, rows already stored.
    exec(u("Create Table MorCubeGroup (ZuHao varchar(30), LingQi varchar(3), GroNum int, PingZhong varchar(30), "
           "Speed varchar(30), GrokN varchar(30), GroMPa varchar(30), ExpMan varchar(30), ExpDate varchar(30), "
           "ExpCop varchar(30), SelectGroNum int, primary key (ZuHao, LingQi))"));
    exec(u("Create Table MorCubeOne (ZuHao varchar(30), LingQi varchar(3), PingZhong varchar(20), OnekN varchar(10), "
           "ShunXu int, LenAv varchar(5), WidAv varchar(5), HeiAv varchar(5), primary key (ZuHao, LingQi, ShunXu))"));
    exec(u("Create Table MorCubeCaptionInfo (ZuHao varchar(30), LingQi varchar(3), SunXu int, Name1 varchar(50), "
           "Data1 varchar(50), Name2 varchar(50), Data2 varchar(50), primary key (ZuHao, LingQi, SunXu))"));
    for (const char *g : {"G1", "G2"}) {
        exec(u("insert into MorCubeGroup Values('") + u(g) + u("','7',3,'M5','0.5','0','0','a','2024-01-01','JGJ 70-90',3)"));
        for (int k = 1; k <= 3; ++k)
            exec(u("insert into MorCubeOne Values('") + u(g) + u("','7','M5','25000.00',") + QString::number(k) +
                 u(",'70.7','70.7','70.7')"));
        exec(u("insert into MorCubeCaptionInfo values('") + u(g) + u("','7',1,'a','b','c','d')"));
    }
    // An orphan specimen makes the constraint impossible; nothing changes.
    exec(u("insert into MorCubeOne Values('G9','7','M5','1',1,'1','1','1')"));
    EXPECT_THROW(m_conn->execute(u("ALTER TABLE MorCubeOne ADD CONSTRAINT MorCubeOne FOREIGN KEY (Zuhao,LingQi) "
                                   "REFERENCES MorCubeGroup(ZuHao,LingQi) on delete cascade")),
                 EDatabaseError);
    EXPECT_EQ(count(u("MorCubeOne")), 7);
    exec(u("delete from MorCubeOne where zuhao = 'G9'"));

    for (const char *t : {"MorCubeOne", "MorCubeCaptionInfo"})
        EXPECT_EQ(exec(u("ALTER TABLE ") + u(t) + u(" ADD CONSTRAINT ") + u(t) +
                       u(" FOREIGN KEY (Zuhao,LingQi) REFERENCES MorCubeGroup(ZuHao,LingQi) on delete cascade")),
                  0);
    EXPECT_EQ(count(u("MorCubeOne")), 6);
    EXPECT_EQ(count(u("MorCubeCaptionInfo")), 2);
    EXPECT_FALSE(m_conn->tableNames().contains(u("kv__rebuild")));
    // The same constraint a second time is refused and leaves the table as it was.
    EXPECT_THROW(m_conn->execute(u("ALTER TABLE MorCubeOne ADD CONSTRAINT MorCubeOne FOREIGN KEY (Zuhao,LingQi) "
                                   "REFERENCES MorCubeGroup(ZuHao,LingQi) on delete cascade")),
                 EDatabaseError);
    EXPECT_EQ(count(u("MorCubeOne")), 6);
    // Key, case rule and constraint survive the rebuild.
    EXPECT_THROW(m_conn->execute(u("insert into MorCubeOne Values('g1','7','M5','1',1,'1','1','1')")), EDatabaseError);
    EXPECT_THROW(m_conn->execute(u("insert into MorCubeOne Values('G7','7','M5','1',1,'1','1','1')")), EDatabaseError);
    EXPECT_EQ(count(u("MorCubeOne"), u("zuhao = 'g1'")), 3);

    EXPECT_EQ(exec(u("delete * from  MorCubeGroup where ZuHao = 'g1' and lingqi ='7'")), 1);
    EXPECT_EQ(count(u("MorCubeOne")), 3);
    EXPECT_EQ(count(u("MorCubeCaptionInfo")), 1);
    EXPECT_EQ(count(u("MorCubeOne"), u("zuhao = 'G2'")), 3);

    // The constraint can be dropped again by its name.
    EXPECT_EQ(exec(u("ALTER TABLE MorCubeOne DROP CONSTRAINT MorCubeOne")), 0);
    EXPECT_EQ(exec(u("delete from MorCubeGroup where ZuHao = 'G2'")), 1);
    EXPECT_EQ(count(u("MorCubeOne")), 3);
    EXPECT_EQ(count(u("MorCubeCaptionInfo")), 0);
}

TEST_P(EngineTest, ModuleTablesCreatedAtStartCascade)
{
    exec(u("insert into ConCubeGroup Values('K1','28',0,'C30','0.5','0','0','a','2024-01-01','GB',0,3)"));
    exec(u("insert into ConCubeOne Values('K1','28','C30','300000',1,'150','150','150','','1')"));
    exec(u("insert into ConCubeCaptionInfo values('K1','28',1,'a','b','c','d')"));
    exec(u("insert into ConFlexGroup Values('K1','28',0,'C30','0.05','0','0','a','2024-01-01','GB',3)"));
    exec(u("insert into ConFlexCantionInfo values('K1','28',1,'a','b','c','d')"));
    EXPECT_EQ(exec(u("delete * from  ConCubeGroup where ZuHao = 'K1' and lingqi ='28'")), 1);
    EXPECT_EQ(count(u("ConCubeOne")), 0);
    EXPECT_EQ(count(u("ConCubeCaptionInfo")), 0);
    EXPECT_EQ(count(u("ConFlexCantionInfo")), 1); // another module's captions stay
}

TEST_P(EngineTest, SchemaChangesThatCannotHoldAreRefused)
{
    exec(u("Create Table P (a varchar(5), b int)"));
    exec(u("Create Table C (a varchar(5), n int)"));
    exec(u("insert into C values('x', 1)"));
    // The referenced columns carry no key, or the table does not exist.
    EXPECT_THROW(m_conn->execute(u("ALTER TABLE C ADD CONSTRAINT C FOREIGN KEY (a) REFERENCES P(a) on delete cascade")),
                 EDatabaseError);
    EXPECT_THROW(m_conn->execute(u("ALTER TABLE C ADD CONSTRAINT C FOREIGN KEY (a) REFERENCES Nowhere(a)")),
                 EDatabaseError);
    EXPECT_THROW(m_conn->execute(u("ALTER TABLE Nowhere ADD CONSTRAINT k UNIQUE (a)")), EDatabaseError);
    EXPECT_EQ(count(u("C")), 1);
    EXPECT_FALSE(m_conn->tableNames().contains(u("kv__rebuild")));
    // A key added later holds for the rows already there.
    EXPECT_EQ(exec(u("ALTER TABLE C ADD CONSTRAINT ck UNIQUE (a)")), 0);
    EXPECT_THROW(m_conn->execute(u("insert into C values('X', 2)")), EDatabaseError); // same text ignoring case
    EXPECT_EQ(exec(u("ALTER TABLE C ADD COLUMN note varchar(10)")), 0);
    EXPECT_EQ(exec(u("update C set note = 'Abc'")), 1);
    EXPECT_EQ(count(u("C"), u("note = 'aBC'")), 1);
    EXPECT_THROW(m_conn->execute(u("ALTER TABLE C ALTER COLUMN n varchar(5)")), EDatabaseError);
    EXPECT_THROW(m_conn->execute(u("Create Table D (id counter, x int, primary key (id, x))")), EDatabaseError);
    EXPECT_EQ(exec(u("Create Table E (id counter, x int, constraint pk primary key (id))")), 0);
    EXPECT_EQ(exec(u("insert into E (x) values (5)")), 1);
    EXPECT_EQ(scalar(u("select id from E")), u("1"));
}

TEST_P(EngineTest, StoringAStoredKeyAgainIsADuplicate)
{
    const QString group = u("insert into CemCompGroup Values('%1','28',0,'P·O','2.4','0','0','a','2024-05-06','GB',6)");
    exec(group.arg(u("D1")));
    try {
        m_conn->execute(group.arg(u("d1"))); // the key ignores case, as in Jet
        ADD_FAILURE() << "stored the group twice";
    } catch (const EDatabaseError &e) {
        EXPECT_EQ(e.fault(), kv::db::TDbFault::Duplicate) << e.what();
    }
    try {
        m_conn->execute(u("insert into NoSuchTable values(1)"));
        ADD_FAILURE() << "wrote into a missing table";
    } catch (const EDatabaseError &e) {
        EXPECT_EQ(e.fault(), kv::db::TDbFault::Other);
    }
    EXPECT_EQ(count(u("CemCompGroup")), 1);
}
