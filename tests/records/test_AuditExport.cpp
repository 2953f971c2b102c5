// The audit trail and the CSV export on the cement compressive module's
// tables: a deletion's snapshot with its specimens and captions outlives the
// cascade, the table made at open matches the installed one, the module's
// delete statement is read back, and exported groups read back as written.
#include "CemCompTest.h"
#include "ModuleSql.h"
#include "TestSupport.h"
#include "db/DbEngine.h"
#include "records/AuditSnapshot.h"
#include "records/RecordsBrowser.h"
#include "records/RecordsExport.h"
#include "store/AuditTrail.h"
#include "SqlText.h"

#include <QFile>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <utility>

using namespace kv;

namespace {

const QString kKind = QStringLiteral("水泥胶砂抗压");

// Rows of RFC 4180 text (fields may hold quoted commas, quotes, line breaks).
std::vector<QStringList> ReadCsv(const QString &text)
{
    std::vector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted && c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
            field += text[++i];
        else if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u',')
            row << std::exchange(field, QString());
        else if (!quoted && c == u'\n') {
            row << std::exchange(field, QString());
            rows.push_back(std::exchange(row, QStringList()));
        } else if (quoted || c != u'\r')
            field += c;
    }
    return rows;
}

struct RecordsAudit : ::testing::Test {
    kvtest::TFreshDb Fresh = kvtest::FreshDatabase();
    db::TDbConnection Conn;
    cem::TCemCompTest Test;
    RecordsAudit()
    {
        Conn.open(Fresh.path);
        Test.TestName();
        Test.SetConnection(&Conn);
        EXPECT_TRUE(Test.InitTables());
        Test.FSelectedAge = QStringLiteral("28");
    }
    // A group of age 28 with n specimens (forces 64001, 64002, ... N) and one
    // caption line, written by the module's own statements.
    void AddGroup(const QString &g, int n)
    {
        fw::TGroupRow row{g, "28", "P·O", "2.4", "Admin", "2026-12-08", "GB/T 17671", {}, n};
        Conn.execute(fw::GroupInsertSql(Test.Data(), row));
        const QStringList size = {QuotedStr("40"), QuotedStr("40")};
        for (int k = 1; k <= n; ++k)
            Conn.execute(fw::SpecimenInsertSql(Test.Data(), {g, "28", "P·O", 64000.0 + k, k, size}));
        QString sql;
        Test.BuildRecordSQL(g, 6, sql, 1, "委托单位", "甲", "工程名称", "乙;x");
        Conn.execute(sql);
    }
    QString Statement(const QString &g, quint8 kind)
    {
        QString sql;
        Test.BuildRecordSQL(g, kind, sql, 0, {}, {}, {}, {});
        return sql;
    }
    QString File(const char *name) { return Fresh.dir->filePath(QLatin1String(name)); }
};

} // namespace

TEST_F(RecordsAudit, DeletionSnapshotHoldsGroupSpecimensAndCaptionsAfterTheCascade)
{
    AddGroup("G1", 2);
    AddGroup("G2", 1);
    const QString del = Statement("G1", 4);
    bool ok = false;
    const QString before = StatementSnapshot(Conn, del, &ok);
    ASSERT_TRUE(ok);
    const QStringList lines = before.split(u'\n');
    ASSERT_EQ(lines.size(), 4) << before.toStdString();
    EXPECT_TRUE(lines[0].startsWith("CemCompGroup: ZuHao=G1; LingQi=28; GroNum=0; PingZhong=P·O; Speed=2.4; "));
    EXPECT_TRUE(lines[0].endsWith("; SelectGroNum=2"));
    EXPECT_EQ(lines[1], "CemCompCaptionInfo: ZuHao=G1; LingQi=28; SunXu=1; Name1=委托单位; Data1=甲; "
                        "Name2=工程名称; Data2=乙\\;x");
    EXPECT_EQ(lines[2], "CemCompGROne: ZuHao=G1; LingQi=28; PingZhong=P·O; OnekN=64001.00; ShunXu=1; LenAv=40; WidAv=40");
    EXPECT_TRUE(lines[3].contains("ShunXu=2"));

    TAuditTrail audit(Conn);
    const QDateTime at(QDate(2026, 12, 9), QTime(8, 30, 5));
    const TAuditEntry entry{0, "Admin", at, kKind, "G1", {}, {}, {}};
    // A delete the database refuses leaves the group and no audit row.
    QSqlQuery(Conn.database())
        .exec("CREATE TRIGGER refuse BEFORE DELETE ON CemCompGroup BEGIN SELECT RAISE(ABORT, 'no'); END");
    EXPECT_FALSE(DeleteWithAudit(Conn, del, entry));
    EXPECT_TRUE(audit.All().empty());
    QSqlQuery(Conn.database()).exec("DROP TRIGGER refuse");
    ASSERT_TRUE(DeleteWithAudit(Conn, del, entry));
    EXPECT_EQ(StatementSnapshot(Conn, del, &ok), "");
    EXPECT_TRUE(ok);
    EXPECT_EQ(GroupSnapshot(Conn, "CemCompGroup", {}).count(u'\n'), 2); // G2 and its caption and specimen
    const auto rows = audit.ForGroup(kKind, "g1");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Before, before);
    EXPECT_EQ(rows[0].At, at);
    EXPECT_EQ(rows[0].Action, "删除");
    Conn.execute("delete * from CemCompGroup");
    EXPECT_EQ(audit.All().size(), 1u);
}

TEST(AuditTrail, MadeAtOpenLikeTheInstalledTableAndReadNewestFirst)
{
    const kvtest::TFreshDb fresh = kvtest::FreshDatabase();
    db::TDbConnection conn;
    conn.open(fresh.path);
    auto columns = [&conn] {
        db::TDbQuery q(conn);
        q.setSql("pragma table_info(AuditTrail)");
        q.open();
        QStringList out;
        for (int r = 0; r < q.recordCount(); ++r)
            out << q.valueAt(r, 1).toString() + ' ' + q.valueAt(r, 2).toString() + ' ' + q.valueAt(r, 5).toString();
        return out;
    };
    const QStringList installed = columns();
    ASSERT_EQ(installed.size(), 8);
    conn.execute("drop table AuditTrail");
    TAuditTrail audit(conn);
    ASSERT_TRUE(audit.Ensure());
    EXPECT_EQ(columns(), installed);
    EXPECT_TRUE(TAuditTrail(conn).Ensure());

    const QDate d(2026, 12, 9);
    for (int h : {10, 9, 10})
        ASSERT_TRUE(audit.Record({0, "O'Brien", QDateTime(d, QTime(h, 0)), kKind, "G" + QString::number(h),
                                  TAuditTrail::Correction(), "a'b\nc", "d"}));
    const auto all = audit.All();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ((std::vector<qint64>{all[0].Id, all[1].Id, all[2].Id}), (std::vector<qint64>{3, 1, 2}));
    EXPECT_EQ(all[0].UserName, "O'Brien");
    EXPECT_EQ(all[0].Before, "a'b\nc");
    const QString path = fresh.dir->filePath("audit.csv");
    ASSERT_TRUE(TAuditTrail::ExportCsv(all, path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const auto rows = ReadCsv(QString::fromUtf8(f.readAll().mid(3)));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], TAuditTrail::CsvTitles());
    EXPECT_EQ(rows[1], (QStringList{"3", "O'Brien", "2026-12-09 10:00:00", kKind, "G10", "修正", "a'b\nc", "d"}));
}

TEST(AuditSnapshot, ReadsTheTableAndConditionOfADeleteStatement)
{
    QString t, w;
    ASSERT_TRUE(ParseDeleteStatement("delete * from CemCompGroup where ZuHao = 'a' and LingQi = '28'", &t, &w));
    EXPECT_EQ(t + '|' + w, "CemCompGroup|ZuHao = 'a' and LingQi = '28'");
    ASSERT_TRUE(ParseDeleteStatement(" DELETE FROM [My Table]\nWHERE x = 'where';", &t, &w));
    EXPECT_EQ(t + '|' + w, "My Table|x = 'where'");
    ASSERT_TRUE(ParseDeleteStatement("Delete T.* From T", &t, &w));
    EXPECT_EQ(t + '|' + w, "T|");
    EXPECT_FALSE(ParseDeleteStatement("select * from T", &t, &w));
    EXPECT_FALSE(ParseDeleteStatement("delete * from", &t, &w));
}

TEST_F(RecordsAudit, ExportedGroupsReadBackWithQuotesCommasAndChinese)
{
    const QString odd = QStringLiteral("甲\"1,组");
    AddGroup(odd, 2);
    AddGroup("乙2", 0);
    db::TDbQuery found(Conn);
    found.setSql(SearchStatement(Test, 1, "2026-01-01", "2026-12-31"));
    found.open();
    ASSERT_EQ(found.recordCount(), 2);
    const QString path = File("groups.csv");
    std::vector<int> done;
    ASSERT_TRUE(TRecordsExport::Groups(Conn, found, GroupTableOf(Test), path, [&](int d, int total) {
        done.push_back(d * 10 + total);
        return true;
    }));
    EXPECT_EQ(done, (std::vector<int>{12, 22}));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.contains(QStringLiteral("\r\n\"甲\"\"1,组\",28,").toUtf8()));
    const auto rows = ReadCsv(QString::fromUtf8(bytes.mid(3)));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], fw::SearchTitles() + QStringList({"PingZhong", "OnekN", "ShunXu", "LenAv", "WidAv"}));
    for (const QStringList &r : rows)
        EXPECT_EQ(r.size(), 12);
    const int first = rows[1][0] == odd ? 1 : 2;
    EXPECT_EQ(rows[first].mid(7), (QStringList{"P·O", "64001.00", "1", "40", "40"}));
    EXPECT_EQ(rows[first + 1][0], odd);
    EXPECT_EQ(rows[first + 1][9], "2");
    const QStringList empty = rows[first == 1 ? 3 : 1];
    EXPECT_EQ(empty[0], "乙2");
    EXPECT_EQ(empty.mid(7), QStringList(5));
}

TEST_F(RecordsAudit, CancelledExportLeavesNoFileAndAnOldFileAsItWas)
{
    AddGroup("G1", 1);
    AddGroup("G2", 1);
    db::TDbQuery found(Conn);
    found.setSql(SearchStatement(Test, 0, "G", {}));
    found.open();
    const QString path = File("cancel.csv");
    QString error;
    auto stopAtSecond = [](int done, int) { return done < 2; };
    EXPECT_FALSE(TRecordsExport::Groups(Conn, found, "CemCompGroup", path, stopAtSecond, &error));
    EXPECT_EQ(error, TRecordsExport::CancelledText());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(TAuditTrail::ExportCsv({TAuditEntry{}}, path, [](int, int) { return false; }));
    EXPECT_FALSE(QFile::exists(path));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    EXPECT_FALSE(TRecordsExport::Groups(Conn, found, "CemCompGroup", path, stopAtSecond));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
}
