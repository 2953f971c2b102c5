#include "store/PasswordCode.h"
#include "store/DataModule.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include <memory>

using kv::TGlobalSettings;
using kv::TZovData;

namespace {

class ZovDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh = kvtest::FreshDatabase();
        zov = std::make_unique<TZovData>(fresh.path);
    }

    // Runs a statement that must succeed.
    void Exec(const QString &sql) { ASSERT_TRUE(zov->ExecSql(sql)) << sql.toStdString(); }

    // Number of rows a select returns (-1 when it fails); the rows stay in last.
    int Rows(const QString &sql)
    {
        last = zov->Open(sql);
        return last ? last->recordCount() : -1;
    }

    // Raw SQLite on the same connection, for set-ups the program never does.
    void Raw(const QString &sql)
    {
        QSqlQuery q(zov->conZovDb.database());
        ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
    }

    // Settings whose every field differs from its default, so a test can
    // see whether a default was stored.
    static TGlobalSettings Scrambled()
    {
        TGlobalSettings s;
        s.ControlMode = s.BreakFlag = s.GlobalByte = s.RefreshRate = s.SpeedDisplayMode = s.GlobalMode = 77;
        s.GlobalValue = 77;
        s.AutoFastSlow = s.LoadByte = s.StopFlag = 77;
        s.FastSpeed = s.SlowSpeed = s.StopValue = s.StopForce = 77.0f;
        s.StopTime = s.StopValue2 = 77;
        return s;
    }

    kvtest::TFreshDb fresh;
    std::unique_ptr<TZovData> zov;
    std::unique_ptr<kv::db::TDbQuery> last;
};

} // namespace

// --- ExecSql ---------------------------------------------------------------

TEST_F(ZovDataTest, ExecSqlOpensSelectsWithAtMostOneLeadingBlank)
{
    for (const char *sql : {"select * from SavNum", "SELECT * FROM SavNum", "SeLeCt * from SavNum",
                            " select * from SavNum"}) {
        ASSERT_TRUE(zov->ExecSql(sql)) << sql;
        const auto rows = zov->Open(sql);
        ASSERT_TRUE(rows) << sql;
        EXPECT_TRUE(rows->active()) << sql;
        EXPECT_GT(rows->recordCount(), 0) << sql;
        EXPECT_EQ(rows->recNo(), 0) << "the current row is the first: " << sql;
    }
}

TEST_F(ZovDataTest, ExecSqlRunsOtherLeadingWhitespaceAsACommandWithoutRows)
{
    // Run as commands: they succeed, change nothing and leave nothing open.
    for (const char *sql : {"  select * from SavNum", "\tselect * from SavNum", "\nselect * from SavNum"}) {
        EXPECT_TRUE(zov->ExecSql(sql)) << sql;
        EXPECT_EQ(Rows("select * from SavNum"), 23) << sql;
    }
}

TEST_F(ZovDataTest, ExecSqlRunsCommandsAndSwallowsErrors)
{
    EXPECT_TRUE(zov->ExecSql("Update SavNum set NumCont = 9 where NumNo = 101"));
    quint8 b = 0;
    ASSERT_TRUE(zov->ReadNumByte(101, b));
    EXPECT_EQ(b, 9);

    // A failing statement reports false; a failing select gives no rows.
    EXPECT_FALSE(zov->ExecSql("select * from NoSuchTable"));
    EXPECT_EQ(zov->Open("select * from NoSuchTable"), nullptr);
    EXPECT_FALSE(zov->ExecSql("this is not a statement"));
    EXPECT_FALSE(zov->ExecSql("Insert into NoSuchTable values(1)"));
    EXPECT_TRUE(zov->FunTestBdeRealGood());
    // Writers report a failing statement.
    Raw("drop table SavString");
    EXPECT_FALSE(zov->WriteStr(100, "x"));
    Raw("drop table SavNum");
    EXPECT_FALSE(zov->FunTestBdeRealGood());
    EXPECT_FALSE(zov->WriteNumInt(100, 1));
    EXPECT_FALSE(zov->WriteNumSingle(100, 1.5f));
}

// --- Construction ----------------------------------------------------------

TEST(ZovDataOpen, RefusesMissingOrForeignFiles)
{
    QTemporaryDir dir;
    EXPECT_THROW(TZovData(dir.filePath("nothing.sqlite")), kv::db::EDatabaseError);

    // A file that opens as an empty database is not a measurement database.
    const QString empty = dir.filePath("empty.sqlite");
    QFile f(empty);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_THROW(TZovData{empty}, kv::db::EDatabaseError);

    const QString text = dir.filePath("text.sqlite");
    QFile t(text);
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write("these are not the tables you are looking for\n");
    t.close();
    EXPECT_THROW(TZovData{text}, kv::db::EDatabaseError);
}

TEST(ZovDataOpen, GlobalAccessorFollowsTheModule)
{
    auto fresh = kvtest::FreshDatabase();
    {
        TZovData zov(fresh.path);
        kv::SetZovData(&zov);
        EXPECT_EQ(kv::ZovData(), &zov);
    }
    EXPECT_EQ(kv::ZovData(), nullptr) << "a destroyed module is no longer reachable";
}

// --- Settings store ----------------------------------------------------------

TEST_F(ZovDataTest, ReadersKeepTheValueWhenTheRowIsMissing)
{
    quint8 b = 42;
    qint16 w = 42;
    quint32 c = 42;
    float f = 42.0f;
    QString s = "kept";
    EXPECT_FALSE(zov->ReadNumByte(4711, b) || zov->ReadNumSmallInt(4711, w)
                 || zov->ReadNumCardinal(4711, c) || zov->ReadNumSingle(4711, f)
                 || zov->ReadStr(4711, s));
    EXPECT_TRUE(b == 42 && w == 42 && c == 42u && f == 42.0f && s == "kept");
}

TEST_F(ZovDataTest, WritesUpdateOrInsert)
{
    ASSERT_TRUE(zov->WriteNumInt(6000, -12345)); // insert
    ASSERT_TRUE(zov->WriteNumInt(6000, 54321));  // update
    EXPECT_EQ(Rows("select * from SavNum where NumNo = 6000"), 1);
    qint32 i = 0;
    ASSERT_TRUE(zov->ReadNumInt(6000, i));
    EXPECT_EQ(i, 54321);

    ASSERT_TRUE(zov->WriteNumByte(6001, 255));
    quint8 b = 0;
    ASSERT_TRUE(zov->ReadNumByte(6001, b));
    EXPECT_EQ(b, 255);

    ASSERT_TRUE(zov->WriteNumSingle(6002, 0.3f));
    float f = 0;
    ASSERT_TRUE(zov->ReadNumSingle(6002, f));
    EXPECT_EQ(f, 0.3f) << "the shortest text reads back as the same single";

    ASSERT_TRUE(zov->WriteStr(6003, "eins"));
    ASSERT_TRUE(zov->WriteStr(6003, "zwei"));
    EXPECT_EQ(Rows("select * from SavString where StrNo = 6003"), 1);
    QString s;
    ASSERT_TRUE(zov->ReadStr(6003, s));
    EXPECT_EQ(s, "zwei");
}

TEST_F(ZovDataTest, TwoRowsForOneNumberReadAsMissing)
{
    Exec("Insert into SavNum values(103,7)"); // the installed row plus this one
    EXPECT_FALSE(zov->NumExists(103));

    quint8 b = 42;
    EXPECT_FALSE(zov->ReadNumByte(103, b));
    EXPECT_EQ(b, 42);

    TGlobalSettings s = Scrambled();
    EXPECT_EQ(zov->LoadGlobalParams(s, false), 101);
    EXPECT_EQ(s.RefreshRate, 1) << "the default, not either stored value";

    // A write cannot tell which row to update: it adds a third.
    ASSERT_TRUE(zov->WriteNumByte(103, 9));
    EXPECT_EQ(Rows("select * from SavNum where NumNo = 103"), 3);

    Exec("Insert into SavString values(101,'5')");
    EXPECT_FALSE(zov->StrExists(101));
    ASSERT_TRUE(zov->WriteStr(101, "6"));
    EXPECT_EQ(Rows("select * from SavString where StrNo = 101"), 3);
}

TEST_F(ZovDataTest, NumbersUseAPointUnderACommaLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_EQ(QLocale().decimalPoint(), ",");

    const bool inserted = zov->WriteNumSingle(7000, 2.5f);
    const bool updated = zov->WriteNumSingle(1100, 2.5f);
    QLocale::setDefault(previous);

    ASSERT_TRUE(inserted);
    ASSERT_TRUE(updated);
    for (int no : {7000, 1100}) {
        ASSERT_EQ(Rows(QStringLiteral("select * from SavNum where NumNo = %1").arg(no)), 1);
        EXPECT_DOUBLE_EQ(last->fieldByName("NumCont").asFloat(), 2.5) << no;
    }
}

TEST_F(ZovDataTest, QuotesInSettingTextsAreStoredAsTheyAre)
{
    const QString values[] = {
        "O'Brien",
        "'",
        "x'); delete from SavNum; --",
        QString::fromUtf8("中文'文本"),
    };
    int no = 8000;
    for (const QString &v : values) {
        ASSERT_TRUE(zov->WriteStr(no, v)) << v.toStdString();         // insert
        ASSERT_TRUE(zov->WriteStr(101, v)) << v.toStdString();        // update
        QString back;
        ASSERT_TRUE(zov->ReadStr(no, back));
        EXPECT_EQ(back, v);
        ASSERT_TRUE(zov->ReadStr(101, back));
        EXPECT_EQ(back, v);
        ++no;
    }
    // Nothing else was touched.
    QString s;
    ASSERT_TRUE(zov->ReadStr(100, s));
    EXPECT_EQ(s, "Admin");
    EXPECT_EQ(Rows("select * from SavNum"), 23);
}

// --- Global settings block -------------------------------------------------

TEST_F(ZovDataTest, EmptySettingsTableLoadsEveryDefault)
{
    Exec("delete from SavNum");
    TGlobalSettings s = Scrambled();
    EXPECT_EQ(zov->LoadGlobalParams(s, false), 116);
    EXPECT_EQ(s.ControlMode, 1);
    EXPECT_EQ(s.BreakFlag, 0);
    EXPECT_EQ(s.GlobalByte, 0);
    EXPECT_EQ(s.RefreshRate, 1);
    EXPECT_EQ(s.SpeedDisplayMode, 1);
    EXPECT_EQ(s.GlobalMode, 2);
    EXPECT_EQ(s.GlobalValue, 1u);
    EXPECT_EQ(s.AutoFastSlow, 0);
    EXPECT_EQ(s.LoadByte, 1);
    EXPECT_EQ(s.FastSpeed, 2.4f);
    EXPECT_EQ(s.SlowSpeed, 0.3f);
    EXPECT_EQ(s.StopValue, 3.0f);
    EXPECT_EQ(s.StopForce, 100.0f);
    EXPECT_EQ(s.StopTime, 60);
    EXPECT_EQ(s.StopFlag, 0);
    EXPECT_EQ(s.StopValue2, 60);

    TGlobalSettings t = Scrambled();
    EXPECT_EQ(zov->LoadGlobalParams(t, true), 116);
}

TEST_F(ZovDataTest, StoredZerosAndTheControlModeAreReplaced)
{
    for (int no : {100, 103, 104, 105})
        ASSERT_TRUE(zov->WriteNumByte(no, 0));
    TGlobalSettings s = Scrambled();
    EXPECT_EQ(zov->LoadGlobalParams(s, false), 100);
    EXPECT_EQ(s.ControlMode, 1);
    EXPECT_EQ(s.RefreshRate, 5);
    EXPECT_EQ(s.SpeedDisplayMode, 2);
    EXPECT_EQ(s.GlobalMode, 2);

    ASSERT_TRUE(zov->WriteNumByte(100, 3));
    ASSERT_TRUE(zov->WriteNumByte(101, 4));
    ASSERT_TRUE(zov->WriteNumByte(103, 10));
    ASSERT_TRUE(zov->WriteNumByte(104, 25));
    ASSERT_TRUE(zov->WriteNumByte(105, 7));
    EXPECT_EQ(zov->LoadGlobalParams(s, false), 100);
    EXPECT_EQ(s.ControlMode, 1) << "control mode is automatic after every load";
    EXPECT_EQ(s.BreakFlag, 4);
    EXPECT_EQ(s.RefreshRate, 10);
    EXPECT_EQ(s.SpeedDisplayMode, 25);
    EXPECT_EQ(s.GlobalMode, 7);
}

TEST_F(ZovDataTest, FlexureSideReadsItsOwnSpeeds)
{
    ASSERT_TRUE(zov->WriteNumSingle(1100, 5.5f));
    ASSERT_TRUE(zov->WriteNumSingle(1101, 0.5f));
    ASSERT_TRUE(zov->WriteNumSingle(20001, 7.25f));
    ASSERT_TRUE(zov->WriteNumSingle(20002, 1.5f));
    TGlobalSettings s;
    EXPECT_EQ(zov->LoadGlobalParams(s, false), 100);
    EXPECT_EQ(s.FastSpeed, 5.5f);
    EXPECT_EQ(s.SlowSpeed, 0.5f);
    EXPECT_EQ(zov->LoadGlobalParams(s, true), 100);
    EXPECT_EQ(s.FastSpeed, 7.25f);
    EXPECT_EQ(s.SlowSpeed, 1.5f);

    // A missing row counts only on the side that reads it.
    Exec("delete from SavNum where NumNo = 20001");
    EXPECT_EQ(zov->LoadGlobalParams(s, false), 100);
    EXPECT_EQ(s.FastSpeed, 5.5f);
    EXPECT_EQ(zov->LoadGlobalParams(s, true), 101);
    EXPECT_EQ(s.FastSpeed, 2.4f);
    EXPECT_EQ(s.SlowSpeed, 1.5f);
}

TEST_F(ZovDataTest, ConstantLoadBlockKeepsItsWidths)
{
    ASSERT_TRUE(zov->WriteNumSingle(1102, 4.75f));
    ASSERT_TRUE(zov->WriteNumSingle(1103, 2500.5f));
    ASSERT_TRUE(zov->WriteNumInt(1104, 70000));
    ASSERT_TRUE(zov->WriteNumInt(1105, 513));
    ASSERT_TRUE(zov->WriteNumInt(1106, -5));
    ASSERT_TRUE(zov->WriteNumInt(1000, -1));
    TGlobalSettings s;
    EXPECT_EQ(zov->LoadGlobalParams(s, false), 100);
    EXPECT_EQ(s.StopValue, 4.75f);
    EXPECT_EQ(s.StopForce, 2500.5f);
    EXPECT_EQ(s.StopTime, qint16(70000 - 65536));
    EXPECT_EQ(s.StopFlag, 1);
    EXPECT_EQ(s.StopValue2, -5);
    EXPECT_EQ(s.GlobalValue, 0xFFFFFFFFu);

    // The stored row keeps its whole value; only the setting is narrowed.
    ASSERT_EQ(Rows("select * from SavNum where NumNo = 1104"), 1);
    EXPECT_EQ(last->fieldByName("NumCont").asInteger(), 70000);
}

TEST_F(ZovDataTest, SaveWritesTheBlockBackUnderItsOwnNumbers)
{
    Exec("delete from SavNum");
    TGlobalSettings s;
    s.BreakFlag = 11;
    s.GlobalByte = 12;
    s.RefreshRate = 13;
    s.SpeedDisplayMode = 14;
    s.GlobalMode = 15;
    s.GlobalValue = 4000000000u;
    s.AutoFastSlow = 1;
    s.LoadByte = 9;
    ASSERT_TRUE(zov->SaveGlobalParams(s));

    TGlobalSettings t = Scrambled();
    // Speeds and the constant-load block are not part of the save.
    EXPECT_EQ(zov->LoadGlobalParams(t, false), 100 + 7);
    EXPECT_EQ(t.BreakFlag, 11);
    EXPECT_EQ(t.GlobalByte, 12);
    EXPECT_EQ(t.RefreshRate, 13);
    EXPECT_EQ(t.SpeedDisplayMode, 14);
    EXPECT_EQ(t.GlobalMode, 15);
    EXPECT_EQ(t.GlobalValue, 4000000000u);
    EXPECT_EQ(t.AutoFastSlow, 1);
    EXPECT_EQ(t.LoadByte, 9);
    EXPECT_FALSE(zov->NumExists(20000)) << "nothing is written under a number nobody reads";
    EXPECT_EQ(Rows("select * from SavNum"), 9);

    // A second save updates rather than adds.
    ASSERT_TRUE(zov->SaveGlobalParams(s));
    EXPECT_EQ(Rows("select * from SavNum"), 9);
}

TEST_F(ZovDataTest, SaveStopsEachGroupAtItsFirstFailure)
{
    Exec("delete from SavNum");
    Raw("create trigger refuse102 before insert on SavNum when new.NumNo = 102 "
        "begin select raise(abort, 'refused'); end");
    TGlobalSettings s;
    EXPECT_FALSE(zov->SaveGlobalParams(s));
    EXPECT_TRUE(zov->NumExists(100));
    EXPECT_TRUE(zov->NumExists(101));
    for (int no : {102, 103, 104, 105})
        EXPECT_FALSE(zov->NumExists(no)) << no;
    // The next group still runs.
    EXPECT_TRUE(zov->NumExists(1001));
    EXPECT_TRUE(zov->NumExists(1002));
    EXPECT_TRUE(zov->NumExists(1000));
}

// --- Users -----------------------------------------------------------------

TEST_F(ZovDataTest, UserSecretNeedsExactlyOneMatch)
{
    EXPECT_EQ(zov->GetUserSecret("Admin"), kv::PasswordCode("486"));
    EXPECT_EQ(zov->GetUserSecret("Nobody"), 0);
    EXPECT_EQ(zov->GetUserSecret(""), 0);
    Exec("Insert into Tester(name,secret) values('Twin',111)");
    EXPECT_EQ(zov->GetUserSecret("Twin"), 111);
    Exec("Insert into Tester(name,secret) values('Twin',222)");
    EXPECT_EQ(zov->GetUserSecret("Twin"), 0);
}

TEST_F(ZovDataTest, QuotesInUserNamesNeverWidenTheLookUp)
{
    // With one user in the table, a name that rewrote the condition would
    // find that user.
    Exec("delete from Tester");
    ASSERT_TRUE(zov->AddUserIfMissing("Only", "secret"));
    EXPECT_EQ(zov->GetUserSecret("x' or '1'='1"), 0);
    EXPECT_EQ(zov->GetUserSecret("' or ''='"), 0);

    ASSERT_TRUE(zov->AddUserIfMissing("O'Neil", "abc"));
    EXPECT_EQ(zov->GetUserSecret("O'Neil"), kv::PasswordCode("abc"));
    EXPECT_FALSE(zov->AddUserIfMissing("O'Neil", "xyz")) << "found like any other name";
    EXPECT_EQ(zov->GetUserSecret("O'Neil"), kv::PasswordCode("abc"));
    EXPECT_EQ(Rows("select * from tester"), 2);
}

TEST_F(ZovDataTest, AddUserIfMissing)
{
    // Existing user (the name compares without regard to case).
    EXPECT_FALSE(zov->AddUserIfMissing("Admin", "999"));
    EXPECT_FALSE(zov->AddUserIfMissing("ADMIN", "999"));
    EXPECT_EQ(zov->GetUserSecret("Admin"), kv::PasswordCode("486"));

    // Names: empty and longer than ten characters are refused.
    EXPECT_FALSE(zov->AddUserIfMissing("", "486"));
    EXPECT_FALSE(zov->AddUserIfMissing("ElevenChars", "486"));
    EXPECT_EQ(Rows("select * from tester where name = 'ElevenChars'"), 0);
    EXPECT_TRUE(zov->AddUserIfMissing("TenChars10", "486"));
    EXPECT_TRUE(zov->AddUserIfMissing(QString::fromUtf8("十个汉字的用户名称呀"), "486"));

    // The new number follows the highest one.
    Exec("Insert into Tester(userno,name,secret) values(40,'Forty',1)");
    ASSERT_TRUE(zov->AddUserIfMissing("Next", "5678"));
    ASSERT_EQ(Rows("select * from tester where name = 'Next'"), 1);
    EXPECT_EQ(last->fieldByName("userno").asInteger(), 41);
    EXPECT_EQ(last->fieldByName("secret").asInteger(), kv::PasswordCode("5678"));
}

TEST_F(ZovDataTest, AddUserIfMissingOnAnEmptyTableStartsAtOne)
{
    Exec("delete from Tester");
    ASSERT_TRUE(zov->AddUserIfMissing("Tester", "486"));
    ASSERT_EQ(Rows("select * from tester"), 1);
    EXPECT_EQ(last->fieldByName("userno").asInteger(), 1);
    EXPECT_EQ(last->fieldByName("name").asString(), "Tester");
    EXPECT_EQ(zov->GetUserSecret("Tester"), kv::PasswordCode("486"));
}

TEST_F(ZovDataTest, AddUserIfMissingCreatesNothingWhenTheTableCannotBeRead)
{
    Raw("alter table Tester rename to TesterGone");
    EXPECT_FALSE(zov->AddUserIfMissing("Admin", "486"));
}
