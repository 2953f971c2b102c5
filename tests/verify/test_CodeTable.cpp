// The force-code table: the extrapolated point, the checks of the grid, the
// point count of a box table, the force conversion over a written table, and
// the row commands' limits shared by both point grids.
#include "verify/CodeTable.h"
#include "verify/PointRows.h"
#include "link/CtrlBox.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

using Rows = std::vector<TCodeRowText>;

// KVD510: kN shown, kN in the box, a 300 kN frame.
QString Check(const Rows &rows, std::vector<TCodePoint> *out = nullptr, double factor = 1000, int type = 1)
{
    std::vector<TCodePoint> points;
    const QString m = TCodeGridCheck(factor, 300000, BoxModel(type)).Validate(rows, points);
    if (out)
        *out = points;
    return m;
}

} // namespace

TEST(CodeTable, TheExtraPointExtendsTheLastSegment)
{
    const TCodeTable t = TCodeTable::FromPoints({{10000, 1000}, {20000, 2100}, {30000, 3300}});
    EXPECT_EQ(t.Count(), 3);
    EXPECT_EQ(t.Entry(0), (TCodePoint{0, 0}));
    EXPECT_EQ(t.Entry(3), (TCodePoint{30000, 3300}));
    EXPECT_EQ(t.Entry(4), (TCodePoint{40000, 4500}));
    EXPECT_EQ(t.Entry(5), (TCodePoint{0, 0})) << "nothing of an older table stays behind the extra point";
    EXPECT_EQ(TCodeTable::FromPoints({{5000, 700}}).Entry(2), (TCodePoint{10000, 1400})) << "from the origin";

    // Written into the driver, every grid point is a node of the conversion
    // and the last segment extends beyond it.
    auto box = CreateCtrlBox(1);
    t.ToBox(*box);
    EXPECT_FLOAT_EQ(box->CodeToForce(2100), 20000.0f);
    EXPECT_FLOAT_EQ(box->CodeToForce(3300), 30000.0f);
    EXPECT_FLOAT_EQ(box->CodeToForce(3900), 35000.0f);
    EXPECT_EQ(box->ForceToCode(15000.0f), 1550);
    EXPECT_EQ(TCodeTable::FromBox(*box).Count(), 3) << "the extra point is not counted again";
}

TEST(CodeTable, StoredPointCountOfBoxTables)
{
    // The factory table: origin, ten points, the extra point in entry 11.
    std::array<int, 12> force{}, code{};
    for (int p = 1; p < 12; ++p) {
        force[size_t(p)] = 30000 * p;
        code[size_t(p)] = 21000 * p + (p == 11 ? 0 : p * p);
    }
    code[11] = 2 * code[10] - code[9];
    EXPECT_EQ(StoredPointCount(force, code), 10);
    // Eleven grid points fill the box: no room for an extra point.
    code[11] += 7;
    EXPECT_EQ(StoredPointCount(force, code), 11);
    // Two equal neighbours stay points of the table.
    const TCodeTable t = TCodeTable::FromPoints({{10000, 1000}, {20000, 2000}, {20000, 2000}, {40000, 4100}});
    auto box = CreateCtrlBox(1);
    t.ToBox(*box);
    EXPECT_EQ(TCodeTable::FromBox(*box).Points(), t.Points());
    EXPECT_EQ(StoredPointCount({}, {}), 0);
}

TEST(CodeTable, GridChecks)
{
    const QString force = QStringLiteral("力值输入出错");
    const QString code = QStringLiteral("力码输入出错");
    std::vector<TCodePoint> points;
    EXPECT_EQ(Check({{"10", "1000"}, {"20", "2000"}, {"20", "2000"}, {"30", "3300"}}, &points), "")
        << "equal neighbours pass";
    EXPECT_EQ(points.back(), (TCodePoint{30000, 3300}));
    EXPECT_EQ(Check({{"10", "-5"}, {"20", "2000"}}), code);
    EXPECT_EQ(Check({{"-1", "5"}}), code);
    EXPECT_EQ(Check({{"10", "1e3"}}), force) << "codes are whole numbers";
    EXPECT_EQ(Check({{"10.5", "1000"}}), force);
    EXPECT_EQ(Check({{"", "1000"}}), force);
    EXPECT_EQ(Check({{"301", "90000"}}), force) << "above the maximum force";
    EXPECT_EQ(Check({{"300", "90000"}}), "");
    EXPECT_EQ(Check({{"20", "2000"}, {"10", "3000"}}), "第2点的力值小于第1点的力值,力值不能减小");
    EXPECT_EQ(Check({{"10", "2000"}, {"20", "3000"}, {"30", "2999"}}), "第3点的力码小于第2点的力码,力码不能减小");
    EXPECT_EQ(Check({{"10", "2000"}, {"20", "2147483000"}}), code) << "the extra code would not fit";
    // N shown on a box that keeps kN: the force becomes what the box keeps.
    EXPECT_EQ(Check({{"10400", "1000"}, {"20600", "2000"}}, &points, 1), "");
    EXPECT_EQ(points[0].Force, 10000);
    EXPECT_EQ(points[1].Force, 21000);
    // The flexure side keeps newtons in one word: an extra point beyond it is refused.
    EXPECT_EQ(Check({{"30000", "1000"}, {"60000", "2000"}}, nullptr, 1, 2), force);
    EXPECT_EQ(Check({{"3000", "1000"}, {"6000", "2000"}}, &points, 1, 2), "");
    EXPECT_EQ(points[1].Force, 6000);
}

TEST(PointRows, CommandsKeepOneToTwelvePoints)
{
    TPointRows rows(1);
    rows.SetRows({{"a"}});
    EXPECT_FALSE(rows.RemoveLast()) << "one point stays";
    int current = 0;
    EXPECT_FALSE(rows.Delete(0, current));
    for (int n = 2; n <= 12; ++n)
        EXPECT_TRUE(rows.Add());
    EXPECT_EQ(rows.Count(), 12);
    EXPECT_FALSE(rows.Add()) << "twelve at most";
    EXPECT_FALSE(rows.Insert(3));
    EXPECT_EQ(rows.Count(), 12);

    rows.SetRows({{"a"}, {"b"}, {"c"}});
    EXPECT_TRUE(rows.Insert(1));
    EXPECT_EQ(rows.Cell(1, 0), "");
    EXPECT_EQ(rows.Cell(2, 0), "b");
    EXPECT_TRUE(rows.Delete(3, current));
    EXPECT_EQ(current, 2) << "deleting the last row moves the current row up";
    EXPECT_TRUE(rows.Delete(0, current));
    EXPECT_EQ(current, 0);
    EXPECT_EQ(rows.Cell(0, 0), "");
    EXPECT_EQ(rows.Cell(1, 0), "b");
}
