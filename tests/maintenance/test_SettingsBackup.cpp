// The settings backup on a private copy of the installed database: a backup
// then a restore over a changed database gives back exactly the settings,
// the Standard pairs and the users and touches nothing else; bad files
// change nothing and say why.
#include "store/DataModule.h"
#include "store/SettingsBackup.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace kv;

// Rows print as text when a comparison fails.
void PrintTo(const QString &s, std::ostream *os) { *os << s.toStdString(); }

namespace {

const QStringList kSettingsTables = {"SavNum", "SavString", "Standard", "Tester"};
const QStringList kOtherTables = {"Unit", "CtrlBoxSaveItems", "CheckTempValue", "DefaultCaptionInfo", "resgro",
                                  "resone", "AuditTrail"};

class SettingsBackup : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh = kvtest::FreshDatabase();
        zov = std::make_unique<TZovData>(fresh.path);
        file = TSettingsBackup::DefaultFile(fresh.dir->path());
    }
    void Exec(const QString &sql) { ASSERT_TRUE(zov->ExecSql(sql)) << sql.toStdString(); }
    // Every row of the tables, as text.
    QStringList Dump(const QStringList &tables)
    {
        QStringList out;
        for (const QString &t : tables) {
            const auto q = zov->Open(QStringLiteral("select * from ") + t);
            EXPECT_TRUE(q) << t.toStdString();
            for (q->first(); q && !q->eof(); q->next()) {
                QStringList row{t};
                for (int c = 0; c < q->fieldCount(); ++c)
                    row << q->valueAt(q->recNo(), c).toString();
                out << row.join(QLatin1Char('|'));
            }
        }
        return out;
    }
    QByteArray Read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void Write(const QByteArray &bytes, const QString &path = {})
    {
        QFile f(path.isEmpty() ? file : path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    kvtest::TFreshDb fresh;
    std::unique_ptr<TZovData> zov;
    QString file;
};

} // namespace

TEST_F(SettingsBackup, ARestoreGivesBackExactlyTheSettingsPairsAndUsers)
{
    Exec("Insert into Standard values(1, 1.5, 20)");
    Exec("Insert into Standard values(2, 3, 40.25)");
    Exec("Insert into tester values(3, 'O''Neil', 123456, Null)");
    ASSERT_TRUE(zov->WriteStr(200, "第一行\r\n第二行"));
    ASSERT_TRUE(zov->WriteStr(201, "[Tester]"));
    ASSERT_TRUE(zov->WriteStr(202, "[%]plain"));
    ASSERT_TRUE(zov->WriteNumInt(300, 12));
    ASSERT_TRUE(zov->WriteNumSingle(301, 12.5f));
    ASSERT_TRUE(zov->WriteNumCardinal(1000, 4000000000u));
    const QStringList settings = Dump(kSettingsTables);

    ASSERT_TRUE(TSettingsBackup(*zov).BackupToFile(file).Ok);
    const QByteArray text = Read(file);
    EXPECT_TRUE(text.startsWith("[SavNum]\r\n100\r\n1\r\n")) << text.left(40).toStdString();
    EXPECT_TRUE(text.endsWith("[Tester]\r\n1\r\nAdmin\r\n269923974\r\n2\r\nTester\r\n269923974\r\n3\r\nO'Neil\r\n"
                              "123456\r\n[End]\r\n"));
    EXPECT_TRUE(text.contains("\r\n300\r\n12\r\n301\r\n12.5\r\n"));
    EXPECT_TRUE(text.contains("\r\n1000\r\n4000000000\r\n"));
    EXPECT_TRUE(text.contains("[Standard]\r\n1.5\r\n20\r\n3\r\n40.25\r\n[Tester]"));
    EXPECT_TRUE(text.contains("\r\n200\r\n[%]"));
    EXPECT_EQ(text.count("[Tester]"), 1) << "the value is encoded, not a header";
    EXPECT_EQ(text.count('\n'), text.count("\r\n"));

    // Settings, pairs and users changed; results, parameter sets, captions and units too.
    Exec("Update SavNum set NumCont = 7");
    Exec("Update SavString set StrCont = 'x'");
    Exec("Update Standard set num = 0, val = 0");
    Exec("Update tester set name = 'Mallory', secret = 1");
    Exec("Insert into Standard values(3, 9, 9)");
    Exec("Update Unit set Round = 3");
    Exec("Insert into CtrlBoxSaveItems (CtrlBox, Name, [Value]) Values ('KVD510', 'FMaxLoad', '1')");
    Exec("Insert into DefaultCaptionInfo (expobj, sunxu, Name1, Data1) Values ('CemComp', 1, 'a', 'b')");
    Exec("Insert into resgro (zuhao) Values ('G-1')");
    const QStringList others = Dump(kOtherTables);

    const TBackupResult r = TSettingsBackup(*zov).RestoreFromFile(file);
    EXPECT_TRUE(r.Ok) << r.Message.toStdString();
    EXPECT_EQ(r.Message, "数据恢复完成，部分参数需要重新启动采能起作用！");
    QStringList expected = settings;
    expected.insert(expected.indexOf(QRegularExpression("^Tester\\|.*")), "Standard|3|9|9"); // surplus pair kept
    EXPECT_EQ(Dump(kSettingsTables), expected);
    EXPECT_EQ(Dump(kOtherTables), others);
    EXPECT_EQ(zov->GetUserSecret("O'Neil"), 123456);
}

TEST_F(SettingsBackup, EmptyTablesAreFiveLinesAndEachBackupKeepsThePreviousOne)
{
    for (const QString &t : kSettingsTables)
        Exec("Delete from " + t);
    ASSERT_TRUE(TSettingsBackup(*zov).BackupToFile(file).Ok);
    EXPECT_EQ(Read(file), "[SavNum]\r\n[SavString]\r\n[Standard]\r\n[Tester]\r\n[End]\r\n");
    Write(Read(file) + "\r\n\r\n", file + "-edited"); // blank lines an editor added at the end
    EXPECT_TRUE(TSettingsBackup(*zov).RestoreFromFile(file + "-edited").Ok);
    EXPECT_EQ(Dump(kSettingsTables), QStringList());

    Exec("Insert into SavString values(5, 'second')");
    ASSERT_TRUE(TSettingsBackup(*zov).BackupToFile(file).Ok);
    const QByteArray second = Read(file);
    EXPECT_EQ(Read(TSettingsBackup::PreviousCopy(file)), "[SavNum]\r\n[SavString]\r\n[Standard]\r\n[Tester]\r\n[End]\r\n");
    Exec("Insert into SavString values(6, 'third')");
    ASSERT_TRUE(TSettingsBackup(*zov).BackupToFile(file).Ok);
    EXPECT_EQ(Read(QFileInfo(file).dir().filePath("sasback.txt1")), second);
    EXPECT_TRUE(Read(file).contains("third"));
}

TEST_F(SettingsBackup, ABadFileChangesNothingAndSaysWhy)
{
    Exec("Insert into Standard values(1, 1, 2)");
    Exec("Insert into Standard values(2, 3, 4)");
    ASSERT_TRUE(TSettingsBackup(*zov).BackupToFile(file).Ok);
    const QByteArray good = Read(file);
    Exec("Update SavNum set NumCont = 7");
    Exec("Update tester set secret = 1");
    const QStringList before = Dump(kSettingsTables + kOtherTables);

    QByteArray random(600, '\0');
    QRandomGenerator gen(7);
    for (char &c : random)
        c = char(gen.bounded(256));
    QByteArray twice = good;
    twice.replace("[Standard]\r\n1\r\n2\r\n", "[Standard]\r\n1\r\n2\r\nx\r\n");
    const struct {
        const char *name;
        QByteArray bytes;
        const char *why;
    } cases[] = {
        {"empty", "", "备份文件是空的"},
        {"truncated", good.left(good.indexOf("[Tester]") + 20), "备份文件不完整"},
        {"random bytes", random, "不是文本文件"},
        {"foreign", "[Settings]\r\nvalue\r\n", "这不是参数备份文件"},
        {"unknown section", QByteArray(good).replace("[Tester]", "[Extra]\r\n1\r\n2\r\n[Tester]"), "未知的段“[Extra]”"},
        {"sections out of order", QByteArray(good).replace("[SavString]", "[Standard]"), "段“[Standard]”的位置不对"},
        {"a number that is not one", twice, "“x”不是数值"},
        {"lines after the end", good + "\r\n100\r\n", "“[End]”之后还有内容"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Write(c.bytes);
        const TBackupResult r = TSettingsBackup(*zov).RestoreFromFile(file);
        EXPECT_FALSE(r.Ok);
        EXPECT_EQ(r.Icon, TMsgIcon::Error);
        EXPECT_TRUE(r.Message.startsWith("读取参数出错，请确认备份文件是否正确？\n")) << r.Message.toStdString();
        EXPECT_TRUE(r.Message.contains(QString::fromUtf8(c.why))) << r.Message.toStdString();
        EXPECT_EQ(Dump(kSettingsTables + kOtherTables), before);
    }

    // A pair that cannot be placed (its position held twice) undoes the
    // settings and users written before it.
    Exec("Insert into Standard values(2, 5, 6)");
    const QStringList withTwin = Dump(kSettingsTables + kOtherTables);
    Write(good);
    const TBackupResult r = TSettingsBackup(*zov).RestoreFromFile(file);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Caption, "出错");
    EXPECT_TRUE(r.Message.contains("无法写入数据库")) << r.Message.toStdString();
    EXPECT_EQ(Dump(kSettingsTables + kOtherTables), withTwin);
}
