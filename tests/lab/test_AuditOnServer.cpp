// The records window's deletion audit on the test PostgreSQL server: the
// snapshot finds the group's specimens and captions through the server's
// own catalogue, and the cascade leaves only the audit row.
#include "CemCompTest.h"
#include "ModuleSql.h"
#include "PgCluster.h"
#include "SqlText.h"
#include "records/AuditSnapshot.h"
#include "store/AuditTrail.h"

#include <gtest/gtest.h>

using namespace kv;

TEST(AuditOnServer, DeletionSnapshotHoldsGroupSpecimensAndCaptions)
{
    KV_REQUIRE_PG();
    db::TDbConnection conn;
    conn.openServer(kvtest::TPgCluster::Instance().Server(kvtest::TPgCluster::NewSchemaName()));
    cem::TCemCompTest test;
    test.TestName();
    test.SetConnection(&conn);
    ASSERT_TRUE(test.InitTables());
    test.FSelectedAge = QStringLiteral("28");
    const fw::TGroupRow row{"G1", "28", "P·O", "2.4", "Admin", "2026-12-08", "GB/T 17671", {}, 2};
    conn.execute(fw::GroupInsertSql(test.Data(), row));
    for (int k = 1; k <= 2; ++k)
        conn.execute(fw::SpecimenInsertSql(test.Data(), {"G1", "28", "P·O", 64000.0 + k, k,
                                                          {QuotedStr("40"), QuotedStr("40")}}));
    QString sql;
    test.BuildRecordSQL("G1", 6, sql, 1, "委托单位", "甲", "工程名称", "乙");
    conn.execute(sql);
    test.BuildRecordSQL("G1", 4, sql, 0, {}, {}, {}, {});

    TAuditTrail audit(conn);
    ASSERT_TRUE(DeleteWithAudit(conn, sql, {0, "Admin", QDateTime::currentDateTime(), "水泥胶砂抗压", "G1", {}, {}, {}}));
    const auto rows = audit.ForGroup("水泥胶砂抗压", "G1");
    ASSERT_EQ(rows.size(), 1u);
    const QStringList lines = rows[0].Before.split(u'\n');
    ASSERT_EQ(lines.size(), 4) << rows[0].Before.toStdString();
    // The server names columns in lower case.
    EXPECT_TRUE(lines[1].contains("Data1=甲", Qt::CaseInsensitive)) << lines[1].toStdString();
    EXPECT_TRUE(lines[3].contains("=64002")) << lines[3].toStdString();
    bool ok = false;
    EXPECT_EQ(GroupSnapshot(conn, "CemCompGroup", {}, &ok), "");
    EXPECT_TRUE(ok);
}
