// Base behaviour of TBaseTest that every module inherits.
#include "UnitTest.h"
#include "store/UnitData.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

TEST(BaseTest, BaseBehaviourOfTheOperations)
{
    kv::TBaseTest t;
    EXPECT_EQ(t.FCurrent, 1);
    EXPECT_EQ(t.FSpecials.Count(), 0);
    EXPECT_EQ(t.GetDefaultUnit(0), 1);
    for (int kind : {1, 2, -1})
        EXPECT_EQ(t.GetDefaultUnit(kind), 0);

    t.FTestName = QStringLiteral("水泥胶砂抗压");
    t.FGroupNo = QStringLiteral("2008");
    EXPECT_EQ(t.TestName(), QStringLiteral("水泥胶砂抗压"));
    EXPECT_EQ(t.CurveFileName(), QStringLiteral("水泥胶砂抗压2008"));
    t.SetSpecimenCount(6);
    t.SetContinuous(1);
    EXPECT_EQ(t.FGroupSize, 6);
    EXPECT_EQ(t.FContinuous, 1);
    EXPECT_EQ(t.CreateParamForm(nullptr), nullptr);
    EXPECT_EQ(t.CreateResultForm(QStringLiteral("2008"), nullptr), nullptr);
    QString text = QStringLiteral("x");
    t.SelectRecord(nullptr, text);
    EXPECT_TRUE(text.isEmpty());

    // Creating specimens appends; the first entry stays the first.
    t.CreateSpecimens(3);
    kv::TSpecial *first = t.GetSpecial(0);
    ASSERT_NE(first, nullptr);
    t.CreateSpecimens(3);
    EXPECT_EQ(t.FSpecimenCount, 3);
    EXPECT_EQ(t.FSpecials.Count(), 6);
    EXPECT_EQ(t.GetSpecial(0), first);
    EXPECT_EQ(t.FSpecials.Strings(2), QStringLiteral("2"));
    EXPECT_NE(t.GetSpecial(5), nullptr);
    EXPECT_EQ(t.GetSpecial(6), nullptr);
    EXPECT_EQ(t.GetSpecial(-1), nullptr);
}

TEST(BaseTest, GroupStateComesFromTheSharedResultTable)
{
    auto db = kvtest::FreshDatabase();
    kv::TZovData data(db.path);
    ASSERT_TRUE(data.ExecSql(QStringLiteral(
        "insert into resgro (zuhao, expobj, lingqi) values ('A''1', '水泥胶砂抗压', '28')")));
    kv::TBaseTest t;
    t.FTestName = QStringLiteral("水泥胶砂抗压");
    t.FGroupNo = QStringLiteral("A'1");
    t.FAge = QStringLiteral("28");
    EXPECT_EQ(t.CheckGroupState(), 0); // no connection yet
    t.SetConnection(&data.conZovDb);
    EXPECT_EQ(t.FConnection, &data.conZovDb);
    EXPECT_TRUE(t.InitTables());
    EXPECT_EQ(t.CheckGroupState(), 1);
    t.FAge = QStringLiteral("7");
    EXPECT_EQ(t.CheckGroupState(), 0);
    t.FAge = QStringLiteral("28");
    t.FGroupNo = QStringLiteral("A' or '1'='1");
    EXPECT_EQ(t.CheckGroupState(), 0);
}
