// The calibration parameters of a run: every message of OK in its order, the
// default advance, the rows and speeds of each side, and what OK leaves in
// the box, the global parameters and the database.
#include "ParamTestSupport.h"
#include "verify/CheckParams.h"
#include "link/CtrlBox.h"
#include "store/DataModule.h"
#include "store/GlobalParams.h"

#include "Clock.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

const QString kPoint = QStringLiteral("检测点输入有误");
const QString kSpeed = QStringLiteral("速度输入有误");
const QString kAdvance = QStringLiteral("慢速提前量错误");
const QString kRange = QStringLiteral("慢速提前量范围出错");

// KVD510 (kN shown, 300 kN frame) unless told.
QString Check(const TCheckEntry &e, TCheckValues *out = nullptr, int type = 1, double coe = 1000)
{
    TCheckValues values;
    const QString m = TCheckParams(CheckFamily(BoxModel(type)), coe, 300000).Validate(e, values);
    if (out)
        *out = values;
    return m;
}

TCheckEntry Entry(QStringList points, QString fast = "2.4", QString slow = "0.3", bool automatic = false,
                  QString advance = QString())
{
    return {points, fast, slow, automatic, advance};
}

} // namespace

TEST(CheckParams, EveryMessageInItsOrder)
{
    EXPECT_EQ(Check(Entry({"0", "50"})), kPoint);
    EXPECT_EQ(Check(Entry({"10", "x"})), kPoint);
    EXPECT_EQ(Check(Entry({"10.5"})), kPoint) << "whole display units only";
    EXPECT_EQ(Check(Entry({"50", "50"})), kPoint) << "strictly increasing";
    EXPECT_EQ(Check(Entry({"60", "50"})), kPoint);
    EXPECT_EQ(Check(Entry({"100", "301"})), kPoint) << "above the maximum force";
    EXPECT_EQ(Check(Entry({"100", "300"})), "");
    EXPECT_EQ(Check(Entry({})), kPoint);
    // The checkpoints are judged before the speeds.
    EXPECT_EQ(Check(Entry({"0"}, "x")), kPoint);
    EXPECT_EQ(Check(Entry({"50"}, "2.4", "0.05")), kSpeed);
    EXPECT_EQ(Check(Entry({"50"}, "2.4", "2.4")), kSpeed);
    EXPECT_EQ(Check(Entry({"50"}, "fast", "0.3")), kSpeed);
    EXPECT_EQ(Check(Entry({"50"}, "2.4", "0.3", false, "nonsense")), "") << "manual switching has no advance";
    EXPECT_EQ(Check(Entry({"50"}, "2.4", "0.3", true, "")), kAdvance);
    EXPECT_EQ(Check(Entry({"50"}, "2.4", "0.3", true, "0.2")), kRange);
    EXPECT_EQ(Check(Entry({"50"}, "2.4", "0.3", true, "19.2")), "");
    EXPECT_EQ(Check(Entry({"50"}, "2.4", "0.3", true, "19.3")), kRange);
    // N shown: a checkpoint must be at least 1 N.
    EXPECT_EQ(Check(Entry({"1"}, "2.4", "0.3"), nullptr, 1, 1), "");

    TCheckValues v;
    ASSERT_EQ(Check(Entry({"30", "60"}, "2.4", "0.3", true, "4.8"), &v), "");
    EXPECT_EQ(v.Points, (std::vector<float>{30000.0f, 60000.0f}));
    EXPECT_FLOAT_EQ(v.Fast, 2400.0f);
    EXPECT_FLOAT_EQ(v.Slow, 300.0f);
    EXPECT_FLOAT_EQ(v.Advance, 4800.0f);
}

TEST(CheckParams, EachSideKeepsItsRowsSpeedsAndAdvance)
{
    for (int type = 0; type < BoxModelCount; ++type) {
        const TCheckFamily &f = CheckFamily(BoxModel(type));
        const bool flexural = type == 2 || type == 5;
        SCOPED_TRACE(type);
        EXPECT_EQ(f.Flexural, flexural);
        EXPECT_EQ(int(f.FastSpeed), flexural ? 20001 : 1100);
        EXPECT_EQ(int(f.SlowSpeed), flexural ? 20002 : 1101);
        EXPECT_EQ(int(f.Advance), flexural ? 20004 : 20003);
        EXPECT_EQ(f.FastList().size(), flexural ? 5 : 7);
        EXPECT_EQ(f.SlowList().last(), flexural ? "80" : "1.0");
    }
    const TCheckParams other(CheckFamily(BoxModel(1)), 1000, 300000);
    const TCheckParams flex(CheckFamily(BoxModel(2)), 1, 10000);
    EXPECT_EQ(other.DefaultAdvance("2.4", "0.3"), "4.8");
    EXPECT_EQ(other.DefaultAdvance("0.3", "0.5"), "5.0") << "ten times the slow speed when that is more";
    EXPECT_EQ(flex.DefaultAdvance("50", "20"), "200.0");
    EXPECT_TRUE(flex.DefaultAdvance("50", "").isNull()) << "the box is left as it is";

    // The installed speeds 2.4 and 0.3 read as the choices they stand for in
    // kN/s, a speed too small for any unit as the list's first.
    auto fresh = kvtest::FreshDatabase();
    TZovData data(fresh.path);
    ASSERT_TRUE(data.WriteNumSingle(1100, 2.4f) && data.WriteNumSingle(1101, 0.3f));
    ASSERT_TRUE(data.WriteNumSingle(20001, 2.4f) && data.WriteNumSingle(20002, 0.3f));
    EXPECT_EQ(QList<float>({other.Load(data).Fast, other.Load(data).Slow}), QList<float>({2400, 300}));
    EXPECT_EQ(QList<float>({flex.Load(data).Fast, flex.Load(data).Slow}), QList<float>({2.4f, 0.3f}))
        << "in N/s they pass the dialog's check";
    ASSERT_TRUE(data.WriteNumSingle(20001, 0.04f));
    EXPECT_EQ(flex.Load(data).Fast, 30);
    ASSERT_TRUE(data.WriteNumSingle(1100, 5000));
    EXPECT_EQ(other.Load(data).Fast, 5000) << "a usable speed stays";
}

// OK on the flexure side (the other side: the window's test): the speeds in
// the box's words (x100), the side's rows; a box out of reach leaves the run
// unconfirmed.
TEST(CheckParams, OkOnTheFlexureSideSendsAndStoresOnItsRows)
{
    TVirtualClock clock;
    TClockGuard guard(&clock);
    auto fresh = kvtest::FreshDatabase();
    TZovData data(fresh.path);
    std::shared_ptr<paramtest::TBoxMemory> memory;
    auto box = paramtest::MemoryBox(2, memory);
    TMyGlbParam glb;
    const TCheckParams params(CheckFamily(box->Model()), 1, 10000);
    TCheckValues v;
    ASSERT_EQ(params.Validate(Entry({"3000", "6000"}, "50", "20", true, "200"), v), "");
    bool confirmed = false;
    EXPECT_EQ(params.Apply(v, *box, &data, glb, confirmed), TCheckApply::Done);
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(memory->Word(137), 5000);
    EXPECT_EQ(memory->Word(156), 2000);
    EXPECT_EQ(glb.CheckCount, 2);
    float fast = 0, slow = 0, advance = 0;
    EXPECT_TRUE(data.ReadNumSingle(20001, fast) && data.ReadNumSingle(20002, slow) && data.ReadNumSingle(20004, advance));
    EXPECT_EQ(QList<float>({fast, slow, advance}), QList<float>({50, 20, 200}));
    EXPECT_FALSE(data.NumExists(20003)) << "the other side's advance stays untouched";

    box->Finish();
    confirmed = false;
    EXPECT_EQ(params.Apply(v, *box, &data, glb, confirmed), TCheckApply::SpeedRefused);
    EXPECT_FALSE(confirmed);
}
