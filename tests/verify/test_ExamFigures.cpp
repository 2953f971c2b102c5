// The verification figures: indication error q and repeatability error b per
// checkpoint from the session's series, which series count, and the accuracy
// class with its limits.
#include "verify/ExamFigures.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

// One series over the checkpoints (N) with the machine's readings (N).
TCheckSeries Series(const std::vector<float> &forces, const std::vector<float> &measured)
{
    TCheckSeries s;
    for (size_t k = 0; k < forces.size(); ++k)
        s.Points.push_back({forces[k], measured[k], 0, (measured[k] - forces[k]) / forces[k] * 100});
    return s;
}

const std::vector<float> kPoints{50000, 100000, 200000};

} // namespace

// Three series at 50/100/200 kN, worked by hand:
//   50 kN:  50200  50100  50300  mean 50200   q = 200/50000  = 0.4 %  b = 200/50000  = 0.4 %
//  100 kN: 100300 100500 100400  mean 100400  q = 400/100000 = 0.4 %  b = 200/100000 = 0.2 %
//  200 kN: 201200 201000 201400  mean 201200  q = 1200/200000 = 0.6 % b = 400/200000 = 0.2 %
// q = 0.6 % at 200 kN misses class 0.5; every figure is within class 1.
// Older series do not count: one over other checkpoints, one matching but
// beyond the newest three (it would spoil every figure).
TEST(ExamFigures, WorkedExampleOfThreeSeries)
{
    const std::vector<TCheckSeries> series{
        Series(kPoints, {60000, 120000, 240000}),
        Series({50000, 100000}, {50000, 100000}),
        Series(kPoints, {50200, 100300, 201200}),
        Series(kPoints, {50100, 100500, 201000}),
        Series(kPoints, {50300, 100400, 201400}),
    };
    const TExamFigures f = ExamFigures(series);
    EXPECT_EQ(f.Series, 3);
    ASSERT_EQ(f.Points.size(), 3u);
    const double q[] = {0.4, 0.4, 0.6}, b[] = {0.4, 0.2, 0.2}, mean[] = {50200, 100400, 201200};
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_DOUBLE_EQ(f.Points[k].Force, kPoints[k]);
        EXPECT_DOUBLE_EQ(f.Points[k].Mean, mean[k]);
        EXPECT_NEAR(f.Points[k].Error, q[k], 1e-9) << k;
        EXPECT_TRUE(f.Points[k].HasRepeat);
        EXPECT_NEAR(f.Points[k].Repeat, b[k], 1e-9) << k;
    }
    EXPECT_EQ(f.Verdict, TClassVerdict::Reached);
    EXPECT_EQ(f.Class, 1.0);
    EXPECT_EQ(ClassText(f.Class), "1");
    EXPECT_EQ(ClassText(0.5), "0.5");
}

// A figure exactly at a class limit keeps the class; just past it the next
// class is given, and past class 3 none. A negative error counts by its size.
TEST(ExamFigures, ClassLimitsHoldAtTheirValue)
{
    const auto cls = [](float a, float b, float c) {
        return ExamFigures({Series({100000}, {a}), Series({100000}, {b}), Series({100000}, {c})});
    };
    // mean 100500 (q 0.5 %), spread 500 (b 0.5 %)
    TExamFigures f = cls(100250, 100750, 100500);
    EXPECT_EQ(f.Verdict, TClassVerdict::Reached);
    EXPECT_EQ(f.Class, 0.5);
    EXPECT_EQ(cls(100245, 100755, 100500).Class, 1.0) << "b 0.51 %";
    EXPECT_EQ(cls(100510, 100510, 100510).Class, 1.0) << "q 0.51 %";
    EXPECT_EQ(cls(97000, 97000, 97000).Class, 3.0) << "q -3 %";
    EXPECT_EQ(cls(99000, 102000, 100500).Class, 3.0) << "b 3 %";
    f = cls(99000, 102010, 100500);
    EXPECT_EQ(f.Verdict, TClassVerdict::NotReached) << "b 3.01 %";
    EXPECT_EQ(f.Class, 0);
    EXPECT_EQ(cls(96990, 97000, 97000).Verdict, TClassVerdict::NotReached) << "q -3.003 %";
}

// Without three series over the same checkpoints there is no repeatability
// and no class; q is then the mean of the series there are (one: its own).
TEST(ExamFigures, FewerThanThreeMatchingSeriesGiveNoClass)
{
    EXPECT_EQ(ExamFigures({}).Verdict, TClassVerdict::NoData);
    EXPECT_EQ(ExamFigures({TCheckSeries{}}).Verdict, TClassVerdict::NoData);

    TExamFigures f = ExamFigures({Series(kPoints, {50100, 100300, 199000})});
    EXPECT_EQ(f.Verdict, TClassVerdict::TooFewSeries);
    EXPECT_EQ(f.Series, 1);
    EXPECT_NEAR(f.Points[2].Error, -0.5, 1e-9);
    EXPECT_FALSE(f.Points[0].HasRepeat);

    // Two over the newest list, two over another (an ended run took fewer
    // points), and an empty run last: the newest run with points names the list.
    f = ExamFigures({Series(kPoints, {50000, 100000, 200000}), Series({50000, 100000}, {50200, 100000}),
                     Series(kPoints, {50000, 100000, 200000}), Series({50000, 100000}, {50400, 100000}),
                     TCheckSeries{}});
    EXPECT_EQ(f.Verdict, TClassVerdict::TooFewSeries);
    EXPECT_EQ(f.Series, 2);
    ASSERT_EQ(f.Points.size(), 2u);
    EXPECT_NEAR(f.Points[0].Error, 0.6, 1e-9) << "mean of 50200 and 50400";
}
