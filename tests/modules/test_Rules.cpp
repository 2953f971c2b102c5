// The group rules of cement mortar and building mortar with the cases that
// separate a right rule from a nearly right one.
#include "CemRules.h"
#include "GroupResult.h"
#include "MorCubeTest.h"

#include <gtest/gtest.h>

using kv::cem::CompressiveRule;
using kv::cem::FlexuralRule;
using kv::fw::StrengthResultText;
using kv::mor::MortarRule;

namespace {
QString Strength(const kv::fw::TRuleResult &r, int n) { return StrengthResultText(r, n); }
} // namespace

TEST(CementCompressiveRule, OneLowOutlierRemovedAndRestInside)
{
    const std::vector<float> v{40, 40, 40, 40, 40, 30};
    const auto r = CompressiveRule(v);
    EXPECT_FALSE(r.Invalid);
    EXPECT_EQ(Strength(r, 6), "40.0");
    EXPECT_EQ(r.Marked, std::vector<int>{5});
}

TEST(CementCompressiveRule, TwoOutliersMakeTheResultInvalid)
{
    const std::vector<float> v{40, 40, 40, 40, 50, 30};
    const auto r = CompressiveRule(v);
    EXPECT_TRUE(r.Invalid);
    EXPECT_EQ(Strength(r, 6), "结果无效");
    EXPECT_EQ(r.Marked, (std::vector<int>{4, 5}));
    // The force result is the mean of all six.
    EXPECT_EQ(kv::fw::ForceResultText(r, 6), "40.00");
}

TEST(CementCompressiveRule, OutlierAmongRemainingFiveInvalidWithReducedMean)
{
    // Mean 37.5: only 30 lies outside 33.75..41.25; the other five average
    // 39, and 35 lies below 35.1.
    const std::vector<float> v{40, 40, 40, 40, 35, 30};
    const auto r = CompressiveRule(v);
    EXPECT_TRUE(r.Invalid);
    EXPECT_FLOAT_EQ(r.Value, 39.0f);
    EXPECT_EQ(r.Marked, (std::vector<int>{4, 5}));
}

TEST(CementCompressiveRule, ValueOnTheBoundIsInside)
{
    // Mean 40: 44 is exactly 1.1 × 40, 36 exactly 0.9 × 40.
    const std::vector<float> v{44, 36, 40, 40, 40, 40};
    const auto r = CompressiveRule(v);
    EXPECT_FALSE(r.Invalid);
    EXPECT_TRUE(r.Marked.empty());
    EXPECT_EQ(Strength(r, 6), "40.0");
}

TEST(CementCompressiveRule, OtherCountsArePlainMeans)
{
    EXPECT_EQ(Strength(CompressiveRule({40, 40, 40, 40, 20}), 5), "36.0");
    EXPECT_TRUE(CompressiveRule({40, 40, 40, 40, 20}).Marked.empty());
    EXPECT_EQ(Strength(CompressiveRule({30, 33, 36}), 3), "33.0");
    EXPECT_EQ(Strength(CompressiveRule({}), 0), "0");
    EXPECT_EQ(kv::fw::ForceResultText(CompressiveRule({}), 0), "0");
}

TEST(CementFlexuralRule, OneHighOutlierDropped)
{
    const auto r = FlexuralRule({6.0f, 6.2f, 7.5f});
    EXPECT_EQ(Strength(r, 3), "6.1");
    EXPECT_EQ(r.Marked, std::vector<int>{2});
}

TEST(CementFlexuralRule, TwoOutliersLeaveTheInsideValue)
{
    // Mean 7: 6 and 6 lie below 6.3 and 9 above 7.7: all three outside.
    const auto all = FlexuralRule({6, 6, 9});
    EXPECT_TRUE(all.Invalid);
    EXPECT_EQ(Strength(all, 3), "结果无效");
    // Mean 7: 5.0 and 9.0 outside, 7.0 inside.
    const auto two = FlexuralRule({5, 7, 9});
    EXPECT_FALSE(two.Invalid);
    EXPECT_EQ(Strength(two, 3), "7.0");
    EXPECT_EQ(two.Marked, (std::vector<int>{0, 2}));
}

TEST(CementFlexuralRule, OtherCountsArePlainMeans)
{
    EXPECT_EQ(Strength(FlexuralRule({6.0f, 8.0f}), 2), "7.0");
    EXPECT_TRUE(FlexuralRule({6.0f, 8.0f, 6.0f, 8.0f}).Marked.empty());
}

TEST(CementGrades, ListFollowsVariety)
{
    EXPECT_EQ(kv::cem::GradesOfVariety(QStringLiteral("P·I")).last(), "62.5R");
    EXPECT_EQ(kv::cem::GradesOfVariety(QStringLiteral("P·O")).size(), 4);
    EXPECT_EQ(kv::cem::GradesOfVariety(QStringLiteral("P·S·A")).first(), "32.5");
}

TEST(MortarRule, AllWithinTwentyPercent)
{
    const auto r = MortarRule({10.0f, 10.2f, 9.8f, 10.1f, 9.9f, 10.0f});
    EXPECT_EQ(Strength(r, 6), "10.0");
    EXPECT_TRUE(r.Marked.empty());
}

TEST(MortarRule, HighValueOutsideGivesMiddleFour)
{
    const auto r = MortarRule({10, 10, 10, 10, 10, 15});
    EXPECT_FLOAT_EQ(r.Value, 10.0f);
    EXPECT_EQ(r.Marked, std::vector<int>{5});
}

TEST(MortarRule, LowValueOutsideMarksTheSmallest)
{
    // Mean 9.17: 5 lies 4.17 below, more than 1.83; 10 is inside.
    const auto r = MortarRule({10, 10, 10, 5, 10, 10});
    EXPECT_FLOAT_EQ(r.Value, 10.0f);
    EXPECT_EQ(r.Marked, std::vector<int>{3});
}

TEST(MortarRule, BothOutsideMarksTheLargest)
{
    // Mean 10: 20 and 2 are both more than 2 away: the largest is marked,
    // the result the mean of the middle four.
    const auto r = MortarRule({20, 2, 9, 9, 10, 10});
    EXPECT_FLOAT_EQ(r.Value, 9.5f);
    EXPECT_EQ(r.Marked, std::vector<int>{0});
}

TEST(MortarRule, ThreeSpecimensPlainMean)
{
    const auto r = MortarRule({5, 10, 15});
    EXPECT_FLOAT_EQ(r.Value, 10.0f);
    EXPECT_TRUE(r.Marked.empty());
}
