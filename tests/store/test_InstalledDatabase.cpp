// The database installed with the program: its tables and initial rows.
#include "store/PasswordCode.h"
#include "store/DataModule.h"
#include "SqlText.h"

#include "TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <memory>

using kv::TZovData;

namespace {

const char *const Models[] = {"KVD300", "KVD510", "KVD520", "KVD300_DJ", "KVD510_DJ", "KVD520_DJ"};

// The test display names of the eight modules (two share one name).
const char *const TestNames[] = {"水泥胶砂抗压", "水泥胶砂抗折", "普通混凝土抗压", "普通混凝土抗折",
                                 "普通混凝土劈裂抗拉", "普通混凝土轴心抗压", "建筑砂浆抗压"};

class InstalledDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh = kvtest::FreshDatabase();
        zov = std::make_unique<TZovData>(fresh.path);
    }
    // Number of rows a select returns (-1 when it fails); the rows stay in last.
    int Rows(const QString &sql)
    {
        last = zov->Open(sql);
        return last ? last->recordCount() : -1;
    }
    kvtest::TFreshDb fresh;
    std::unique_ptr<TZovData> zov;
    std::unique_ptr<kv::db::TDbQuery> last;
};

} // namespace

TEST_F(InstalledDatabase, HoldsEveryMainProgramTableAndNoModuleTable)
{
    QStringList tables = zov->conZovDb.tableNames();
    for (QString &t : tables)
        t = t.toLower();
    tables.sort();
    const QStringList expected = {"audittrail", "checktempvalue", "ctrlboxsaveitems", "defaultcaptioninfo",
                                  "resgro", "resone", "savnum", "savstring", "standard",
                                  "tester", "unit"};
    EXPECT_EQ(tables, expected);

    // Every column the program names can be selected.
    for (const char *sql : {
             "select NumNo, NumCont from SavNum",
             "select StrNo, StrCont from SavString",
             "select StdNo, num, val from Standard",
             "select UserNo, name, secret, Origin from Tester",
             "select Type, [Index], [Name], Coe, [Round] from Unit",
             "select CtrlBox, [Name], [Value] from CtrlBoxSaveItems",
             "select ctrlbox, name, [Value] from CheckTempValue",
             "select expobj, sunxu, Name1, Data1, Name2, Data2 from DefaultCaptionInfo",
             "select zuhao, expobj, lingqi, grono, gronum, grokn, grompa, pinzhong, speed, expdate, "
             "expman, expres from resgro",
             "select zuhao, oneno, shunxu, lingqi, onekn, onempa from resone"})
        EXPECT_GE(Rows(sql), 0) << sql;
}

TEST_F(InstalledDatabase, FirstStartFindsEverySetting)
{
    kv::TGlobalSettings s;
    EXPECT_EQ(zov->LoadGlobalParams(s, false), 100);
    EXPECT_EQ(zov->LoadGlobalParams(s, true), 100);
    QString text;
    ASSERT_TRUE(zov->ReadStr(103, text));
    EXPECT_EQ(text, "0");
    ASSERT_TRUE(zov->ReadStr(100, text));
    EXPECT_EQ(text, "Admin");
    qint32 language = -1;
    ASSERT_TRUE(zov->ReadNumInt(20005, language));
    EXPECT_EQ(language, 0);
    for (int no : {20006, 20007, 20008, 20009}) {
        qint32 v = 0;
        ASSERT_TRUE(zov->ReadNumInt(no, v)) << no;
        EXPECT_EQ(v, 100) << no;
    }
}

TEST_F(InstalledDatabase, BuiltInUsersLogInWith486)
{
    const qint32 code = kv::PasswordCode("486");
    ASSERT_NE(code, 0);
    EXPECT_EQ(zov->GetUserSecret("Admin"), code);
    EXPECT_EQ(zov->GetUserSecret("Tester"), code);
    EXPECT_EQ(Rows("select * from tester"), 2);
}

TEST(InstalledSchema, StoredCodeOfTheBuiltInPasswordMatchesTheWeights)
{
    QFile f(kvtest::SourceDir() + "/db/schema.sql");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString schema = QString::fromUtf8(f.readAll());
    for (const char *user : {"Admin", "Tester"}) {
        const QRegularExpression row(QStringLiteral("\\(\\s*\\d+\\s*,\\s*'%1'\\s*,\\s*(-?\\d+)\\s*\\)")
                                         .arg(QLatin1String(user)));
        const auto m = row.match(schema);
        ASSERT_TRUE(m.hasMatch()) << user;
        EXPECT_EQ(m.captured(1).toLongLong(), kv::PasswordCode("486")) << user;
    }
}

TEST_F(InstalledDatabase, EveryModelHasItsTwentyFourVerificationRows)
{
    EXPECT_EQ(Rows("select * from CheckTempValue"), 24 * 6);
    for (const char *model : Models) {
        for (int k = 1; k <= 12; ++k) {
            for (const char *kind : {"CheckNum", "CheckError"}) {
                const QString sql = QStringLiteral("select * from checktempvalue  where ctrlbox = ")
                    + kv::QuotedStr(model) + " and name = " + kv::QuotedStr(kind + QString::number(k));
                ASSERT_EQ(Rows(sql), 1) << sql.toStdString();
                EXPECT_EQ(last->fieldByName("Value").asFloat(), 0.0);
            }
        }
    }
}

TEST_F(InstalledDatabase, VerificationValuesAreWrittenAsTextAndReadAsNumbers)
{
    ASSERT_TRUE(zov->ExecSql("update CheckTempValue set [Value] = '12.50' where ctrlbox = 'KVD520' "
                             "and name = 'CheckNum3'"));
    ASSERT_EQ(Rows("select * from checktempvalue  where ctrlbox = 'KVD520' and name = 'CheckNum3'"), 1);
    EXPECT_DOUBLE_EQ(last->fieldByName("Value").asFloat(), 12.5);
    ASSERT_EQ(Rows("select * from checktempvalue  where ctrlbox = 'KVD510' and name = 'CheckNum3'"), 1);
    EXPECT_DOUBLE_EQ(last->fieldByName("Value").asFloat(), 0.0) << "other models keep theirs";
}

TEST_F(InstalledDatabase, UnitsForForceStrengthAndSpeed)
{
    struct Row {
        int type, index;
        const char *name;
        int coe;
    } rows[] = {{0, 0, "N", 1}, {0, 1, "kN", 1000}, {1, 0, "MPa", 1}, {2, 0, "Speed", 1}};
    for (const Row &r : rows) {
        const QString sql = QStringLiteral("select * from Unit where Type = %1 and [Index] = %2")
                                .arg(r.type)
                                .arg(r.index);
        ASSERT_EQ(Rows(sql), 1) << sql.toStdString();
        EXPECT_EQ(last->fieldByName("Name").asString(), r.name);
        EXPECT_EQ(last->fieldByName("Coe").asInteger(), r.coe);
        const qint64 decimals = last->fieldByName("Round").asInteger();
        EXPECT_GE(decimals, 0);
        EXPECT_LE(decimals, 3);
    }
    // The digit menus store the decimals quoted, by unit name.
    ASSERT_TRUE(zov->ExecSql("Update unit set [Round] = '3' where [Name] = 'kN'"));
    ASSERT_EQ(Rows("select * from Unit where Type = 0 and [Index] = 1"), 1);
    EXPECT_EQ(last->fieldByName("Round").asInteger(), 3);
}

TEST_F(InstalledDatabase, EveryTestHasDefaultHeaderCaptions)
{
    for (const char *name : TestNames) {
        const QString sql = QStringLiteral("select * from DefaultCaptionInfo where expobj = ")
            + kv::QuotedStr(QString::fromUtf8(name));
        const int n = Rows(sql);
        EXPECT_GE(n, 1) << name;
        EXPECT_LE(n, 8) << name;
        for (int r = 0; r < n; ++r) {
            last->moveTo(r);
            for (const char *col : {"Name1", "Data1", "Name2", "Data2"}) {
                // A header text holds at most 20 bytes in the single-byte code
                // page, where a Chinese character counts two.
                const QString t = last->fieldByName(col).asString();
                int bytes = 0;
                for (QChar c : t)
                    bytes += c.unicode() < 0x80 ? 1 : 2;
                EXPECT_LE(bytes, 20) << name << " " << col;
            }
        }
    }
    EXPECT_EQ(Rows("select * from DefaultCaptionInfo where expobj = 'NoSuchTest'"), 0);
}

TEST_F(InstalledDatabase, TesterNumbersAreAssignedAndNamesLimited)
{
    ASSERT_TRUE(zov->ExecSql("Insert into Tester(name,secret) values('Zhang',123)"));
    ASSERT_EQ(Rows("select * from Tester where name = 'Zhang'"), 1);
    EXPECT_EQ(last->fieldByName("UserNo").asInteger(), 3);
    EXPECT_TRUE(last->fieldByName("Origin").isNull());

    // The fourth column takes the value a settings restore gives it.
    EXPECT_TRUE(zov->ExecSql("Insert into tester values(7,'Li',456,A)"));
    EXPECT_EQ(zov->GetUserSecret("Li"), 456);
    ASSERT_EQ(Rows("select * from Tester where UserNo = 7"), 1);
    EXPECT_EQ(last->fieldByName("Origin").asString(), "A");

    // Names are at most ten characters, as in the login box.
    EXPECT_FALSE(zov->ExecSql("Insert into Tester(name,secret) values('ElevenChars',1)"));
    EXPECT_TRUE(zov->ExecSql("Insert into Tester(name,secret) values('TenChars10',1)"));
}

