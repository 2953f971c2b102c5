// Base behaviour of TBaseTest that every module inherits.
#include "BaseTest.h"
#include "store/DataModule.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

TEST(BaseTest, BaseBehaviourOfTheOperations)
{
    kv::TBaseTest t;
    EXPECT_EQ(t.FCurrent, 1);
    EXPECT_EQ(t.GetDefaultUnit(0), 1);
    EXPECT_EQ(t.GetDefaultUnit(1), 0);
    EXPECT_EQ(t.GetDefaultUnit(2), 0);
    t.FTestName = QStringLiteral("水泥胶砂抗压");
    t.FGroupNo = QStringLiteral("2008");
    EXPECT_EQ(t.CurveFileName(), QStringLiteral("水泥胶砂抗压2008"));

    // Creating specimens appends; the first entry stays the first.
    t.CreateSpecimens(3);
    kv::TSpecial *first = t.GetSpecial(0);
    t.CreateSpecimens(3);
    EXPECT_EQ(t.FSpecimenCount, 3);
    EXPECT_EQ(t.FSpecials.Count(), 6);
    EXPECT_EQ(t.GetSpecial(0), first);
    EXPECT_EQ(t.GetSpecial(6), nullptr);

    // The stored-group check reads resgro by group, age and test name.
    auto db = kvtest::FreshDatabase();
    kv::TZovData data(db.path);
    ASSERT_TRUE(data.ExecSql(QStringLiteral(
        "insert into resgro (zuhao, expobj, lingqi) values ('A''1', '水泥胶砂抗压', '28')")));
    t.FGroupNo = QStringLiteral("A'1");
    t.FAge = QStringLiteral("28");
    EXPECT_EQ(t.CheckGroupState(), 0); // no connection yet
    t.SetConnection(&data.conZovDb);
    EXPECT_EQ(t.CheckGroupState(), 1);
    t.FAge = QStringLiteral("7");
    EXPECT_EQ(t.CheckGroupState(), 0);
}
