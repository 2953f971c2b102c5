// The global parameter object, the display formatting and the utilities of
// TMyFunction.
#include "link/BoxModels.h"
#include "host/TestList.h"
#include "run/RunState.h"
#include "store/GlobalParams.h"
#include "Rounding.h"
#include "store/PasswordCode.h"

#include <QDate>
#include <QDateTime>
#include <gtest/gtest.h>

using namespace kv;

TEST(GlbParam, StartsWithTheDocumentedValues)
{
    TMyGlbParam p(QStringLiteral("/opt/kalvio"));
    EXPECT_EQ(p.OutFileDir, QStringLiteral("/opt/kalvio/OutFile"));
    EXPECT_FLOAT_EQ(p.FastLoadSpeed, 2400.0f);
    EXPECT_FLOAT_EQ(p.SlowLoadSpeed, 300.0f);
    EXPECT_FALSE(p.SetPortFromMain);
    EXPECT_EQ(p.Settings.RefreshRate, 1);
    EXPECT_EQ(p.Settings.SpeedDisplayMode, 1);
}

TEST(RunState, StartsIdleWithEveryRunValueAtZero)
{
    TRunState r;
    EXPECT_EQ(r.Phase.load(), TRunPhase::Idle);
    EXPECT_EQ(r.Mode, TRunMode::Normal);
    EXPECT_EQ(r.PeakForce, 0.0f);
    EXPECT_EQ(r.WaitTicks, 0);
    EXPECT_EQ(r.ControlTicks, 0);
    EXPECT_EQ(r.DisplayEvery, 0);
    EXPECT_EQ(r.SpeedEvery, 0);
    EXPECT_EQ(r.ValveStart, 0);
    EXPECT_EQ(r.AutoRunSeconds, 0);
    EXPECT_EQ(r.HoldForce, 0.0f);
    EXPECT_EQ(r.HoldTime, 0);
    EXPECT_FALSE(r.HoldReached);
    EXPECT_FALSE(r.GroupActive);
    for (int k = 1; k <= THistory::Size; ++k) {
        EXPECT_EQ(r.ForceHistory[k], 0.0f);
        EXPECT_EQ(r.ValveHistory[k], 0.0f);
    }
}

TEST(RunState, ThePhaseTellsWhetherARunIsActive)
{
    TRunState r;
    for (TRunPhase p : {TRunPhase::Waiting, TRunPhase::Control, TRunPhase::Hold, TRunPhase::Unloading}) {
        r.Phase = p;
        EXPECT_TRUE(r.Active());
        EXPECT_FALSE(r.Protected());
    }
    r.Phase = TRunPhase::Protected;
    EXPECT_FALSE(r.Active());
    EXPECT_TRUE(r.Protected());
    r.Phase = TRunPhase::Idle;
    EXPECT_FALSE(r.Active());
}

TEST(RunState, HistoryShiftsTowardOlderAndDropsTheFiftiethEntry)
{
    THistory h;
    for (int i = 1; i <= 52; ++i)
        h.Push(static_cast<float>(i));
    EXPECT_EQ(h[1], 52.0f);
    EXPECT_EQ(h[2], 51.0f);
    EXPECT_EQ(h[50], 3.0f);
    EXPECT_EQ(h[53], 3.0f); // beyond the oldest reads the oldest
    h[1] = 7.5f;
    EXPECT_EQ(h[1], 7.5f);
    h.Clear();
    EXPECT_EQ(h[50], 0.0f);
}

TEST(DisplayFormat, StepTextOfTheDecimals)
{
    EXPECT_EQ(DisplayFormat(0), QStringLiteral("1"));
    EXPECT_EQ(DisplayFormat(1), QStringLiteral("0.1"));
    EXPECT_EQ(DisplayFormat(2), QStringLiteral("0.01"));
    EXPECT_EQ(DisplayFormat(3), QStringLiteral("0.001"));
}

TEST(DisplayFormat, BankerRoundingToTheStep)
{
    struct TCase {
        double value;
        const char *step;
        const char *text;
    };
    const TCase cases[] = {
        {2.25, "0.1", "2.2"},      {2.35f, "0.1", "2.4"},     {2.345, "0.01", "2.34"},
        {2.355, "0.01", "2.36"},   {0.5, "1", "0"},           {1.5, "1", "2"},
        {2.5, "1", "2"},           {-2.5, "1", "-2"},         {-0.4, "1", "0"},
        {-0.004, "0.01", "0.00"},  {9.995, "0.01", "10.00"},  {99.96, "0.1", "100.0"},
        {12.3456, "0.001", "12.346"}, {0.0, "0.01", "0.00"},  {123456.0, "1", "123456"},
        {1.23456789e7, "0.1", "12345678.9"}, {3.0, "0.001", "3.000"}, {-1.26, "0.1", "-1.3"},
    };
    for (const TCase &c : cases) {
        QString text;
        ASSERT_TRUE(BankerRound(c.value, QLatin1String(c.step), text)) << c.value;
        EXPECT_EQ(text, QLatin1String(c.text)) << c.value << " step " << c.step;
    }
}

TEST(DisplayFormat, UnusableStepFallsBackToPrintfForms)
{
    QString text;
    EXPECT_FALSE(BankerRound(1.0, QStringLiteral("0.5"), text));
    EXPECT_FALSE(BankerRound(1.0, QString(), text));
    EXPECT_FALSE(BankerRound(std::nan(""), QStringLiteral("0.1"), text));
    EXPECT_EQ(FormatValue(12.5, QStringLiteral("abc")), QStringLiteral("12.500000"));
    EXPECT_EQ(FormatValue(-1.0, QStringLiteral("abc")), QStringLiteral("-1.000000"));
    EXPECT_EQ(FormatValue(0.25, QStringLiteral("abc")), QStringLiteral("0.250"));
    EXPECT_EQ(FormatValue(0.25, QStringLiteral("0.1")), QStringLiteral("0.2"));
}

TEST(MyFunction, FormatResultUsesOneOrTwoDecimals)
{
    EXPECT_EQ(TMyFunction::FormatResult(1, 2.25f), QStringLiteral("2.3")); // an exact tie rounds away from zero
    EXPECT_EQ(TMyFunction::FormatResult(2, 2.25f), QStringLiteral("2.25"));
    EXPECT_EQ(TMyFunction::FormatResult(0, 41.7f), QStringLiteral("41.70"));
    EXPECT_EQ(TMyFunction::FormatResult(1, 41.76f), QStringLiteral("41.8"));
}

TEST(MyFunction, DateTextHasNoLeadingZeros)
{
    EXPECT_EQ(TMyFunction::DateText(QDate(2024, 3, 5)), QStringLiteral("2024-3-5"));
    EXPECT_EQ(TMyFunction::DateText(QDate(1999, 12, 31)), QStringLiteral("1999-12-31"));
}

TEST(MyFunction, NowRecordIsTheLocalDateAndTime)
{
    const QDateTime before = QDateTime::currentDateTime();
    const auto r = TMyFunction::GetNowRecord();
    const QDateTime after = QDateTime::currentDateTime();
    const QDateTime got(QDate(r[0], r[1], r[2]), QTime(r[3], r[4], r[5]));
    EXPECT_GE(got, before.addMSecs(-before.time().msec()));
    EXPECT_LE(got, after);
}

TEST(MyFunction, PasswordCodeIsTheStoresCode)
{
    EXPECT_EQ(TMyFunction::PasswordCode(QStringLiteral("486")), PasswordCode(QStringLiteral("486")));
    EXPECT_EQ(TMyFunction::PasswordCode(QStringLiteral("486")), 269923974);
    EXPECT_EQ(TMyFunction::PasswordCode(QStringLiteral("12")), 0);
}

namespace {
struct TCounted : kv::TBaseTest {
    explicit TCounted(int *alive) : alive(alive) { ++*alive; }
    ~TCounted() { --*alive; }
    int *alive;
};
} // namespace

TEST(MyFunction, TestListOwnsItsObjects)
{
    int alive = 0;
    {
        TMyFunction f;
        f.AddTest(QStringLiteral("水泥胶砂抗压"), std::make_unique<TCounted>(&alive));
        f.AddTest(QStringLiteral("水泥胶砂抗折"), std::make_unique<TCounted>(&alive));
        EXPECT_EQ(alive, 2);
        EXPECT_EQ(f.TestCount(), 2);
        EXPECT_EQ(f.TestName(1), QStringLiteral("水泥胶砂抗折"));
        EXPECT_EQ(f.TestName(2), QString());
        EXPECT_NE(f.Test(0), nullptr);
        EXPECT_EQ(f.Test(5), nullptr);
        f.ClearTests();
        EXPECT_EQ(alive, 0);
        f.AddTest(QStringLiteral("混凝土立方体抗压"), std::make_unique<TCounted>(&alive));
        EXPECT_EQ(alive, 1);
    }
    EXPECT_EQ(alive, 0);
}

TEST(MachineTypes, KindBitsSidesAndFamilies)
{
    EXPECT_EQ(BoxModel(0).Kind, 1);
    EXPECT_EQ(BoxModel(4).Kind, 2);
    EXPECT_EQ(BoxModel(5).Kind, 4);
    for (int t = 0; t < BoxModelCount; ++t)
        EXPECT_EQ(BoxModel(t).Kind, 1 << (t % 3)) << t;
    EXPECT_TRUE(BoxModel(2).FlexuralSide());
    EXPECT_TRUE(BoxModel(5).FlexuralSide());
    EXPECT_FALSE(BoxModel(1).FlexuralSide());
    EXPECT_STREQ(BoxModel(3).Key, "KVD300_DJ");
    EXPECT_EQ(&StoredBoxModel(17), &BoxModel(0));
    EXPECT_EQ(&StoredBoxModel(-1), &BoxModel(0));
    // The side switch keeps the drive and changes the side.
    EXPECT_EQ(SideModel(1, mkFlexural), 2);
    EXPECT_EQ(SideModel(2, mkCompressive), 1);
    EXPECT_EQ(SideModel(4, mkFlexural), 5);
    EXPECT_EQ(SideModel(5, mkCompressive), 4);
    EXPECT_EQ(SideModel(5, mkFlexural), 5);
    EXPECT_EQ(SideModel(0, mkFlexural), -1) << "a single frame has no sides";
    EXPECT_EQ(SideModel(3, mkCompressive), -1);
}
