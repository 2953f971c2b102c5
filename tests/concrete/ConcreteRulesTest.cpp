// The concrete rules: group rules, coefficient choice, divisors, load rates
// and the records' strength formulas.
#include "ConAxialTest.h"
#include "ConCubeTest.h"
#include "ConFlexTest.h"
#include "ConSplitTest.h"
#include "ConcreteRules.h"

#include "db/DbEngine.h"
#include "SqlText.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace kv;
using namespace kv::con;

namespace {

QString Shown(float v, int decimals = 1) { return FixedText(v, decimals); }

const std::reference_wrapper<const TConcreteKind> AllKinds[] = {ConCubeKind(), ConAxialKind(), ConSplitKind(),
                                                                ConFlexKind()};

} // namespace

TEST(ConcreteMedianRule, CubeTriples)
{
    // An extreme above 1.15 × the middle value: the middle value, marked.
    fw::TRuleResult r = MedianRule({30.0f, 32.0f, 38.0f});
    EXPECT_FALSE(r.Invalid);
    EXPECT_EQ(Shown(r.Value), "32.0");
    EXPECT_EQ(r.Marked, std::vector<int>{2});

    // Both extremes outside: invalid, both marked, the force shows the mean.
    r = MedianRule({25.0f, 32.0f, 38.0f});
    EXPECT_TRUE(r.Invalid);
    EXPECT_EQ(r.Marked, (std::vector<int>{0, 2}));
    EXPECT_EQ(fw::StrengthResultText(r, 3), "结果无效");
    EXPECT_EQ(fw::ForceResultText(r, 3), "31.67");

    // All inside: the mean.
    r = MedianRule({30.0f, 32.0f, 33.0f});
    EXPECT_FALSE(r.Invalid);
    EXPECT_TRUE(r.Marked.empty());
    EXPECT_EQ(Shown(r.Value), "31.7");
}

TEST(ConcreteMedianRule, OrderTiesBoundsAndCounts)
{
    // The low extreme first in the list.
    fw::TRuleResult r = MedianRule({26.0f, 32.0f, 33.0f});
    EXPECT_EQ(Shown(r.Value), "32.0");
    EXPECT_EQ(r.Marked, std::vector<int>{0});
    r = MedianRule({38.0f, 30.0f, 32.0f});
    EXPECT_EQ(Shown(r.Value), "32.0");
    EXPECT_EQ(r.Marked, std::vector<int>{0});

    // Equal values: the middle one is the value that is neither extreme.
    r = MedianRule({32.0f, 32.0f, 38.0f});
    EXPECT_EQ(Shown(r.Value), "32.0");
    EXPECT_EQ(r.Marked, std::vector<int>{2});
    r = MedianRule({20.0f, 20.0f, 20.0f});
    EXPECT_EQ(Shown(r.Value), "20.0");
    EXPECT_TRUE(r.Marked.empty());

    // Values exactly on 1.15 × m and 0.85 × m are inside.
    r = MedianRule({17.0f, 20.0f, 23.0f});
    EXPECT_FALSE(r.Invalid);
    EXPECT_TRUE(r.Marked.empty());
    EXPECT_EQ(Shown(r.Value), "20.0");
    r = MedianRule({20.0f, 23.1f, 17.0f});
    EXPECT_EQ(r.Marked, std::vector<int>{1});

    // Forces in kN on the bounds too (two decimals).
    r = MedianRule({340.00f, 400.00f, 460.00f});
    EXPECT_TRUE(r.Marked.empty());

    // Other counts: the plain mean, nothing marked; no values: "0".
    r = MedianRule({30.0f, 40.0f});
    EXPECT_EQ(Shown(r.Value), "35.0");
    EXPECT_TRUE(r.Marked.empty());
    r = MedianRule({10.0f, 30.0f, 32.0f, 34.0f});
    EXPECT_TRUE(r.Marked.empty());
    EXPECT_EQ(Shown(r.Value), "26.5");
    r = MedianRule({});
    EXPECT_EQ(fw::StrengthResultText(r, 0), "0");
    EXPECT_EQ(fw::ForceResultText(r, 0), "0");
}

TEST(ConcreteFractureRule, OutsideTheLoadPoints)
{
    // No fracture outside: the median rule.
    fw::TRuleResult r = FlexuralEndRule({3.0f, 4.0f, 5.0f}, {false, false, false});
    EXPECT_TRUE(r.Invalid);

    // One outside, the other two within 15 % of the smaller: their mean,
    // even though the median rule would have thrown the result out.
    r = FlexuralEndRule({3.0f, 4.0f, 4.5f}, {true, false, false});
    EXPECT_FALSE(r.Invalid);
    EXPECT_EQ(Shown(r.Value, 2), "4.25");
    EXPECT_TRUE(r.Marked.empty());
    // Exactly 15 % apart is still within.
    r = FlexuralEndRule({4.0f, 9.9f, 4.6f}, {false, true, false});
    EXPECT_FALSE(r.Invalid);
    EXPECT_EQ(Shown(r.Value, 2), "4.30");

    // One outside, the other two too far apart: invalid, the smaller marked,
    // the force shows the mean of three.
    r = FlexuralEndRule({4.0f, 3.0f, 4.2f}, {true, false, false});
    EXPECT_TRUE(r.Invalid);
    EXPECT_EQ(r.Marked, std::vector<int>{1});
    EXPECT_EQ(fw::ForceResultText(r, 3), "3.73");
    r = FlexuralEndRule({4.2f, 5.0f, 3.0f}, {false, true, false});
    EXPECT_EQ(r.Marked, std::vector<int>{2});

    // Two outside, or a group not of three: invalid, force the mean.
    r = FlexuralEndRule({4.0f, 4.1f, 4.2f}, {true, false, true});
    EXPECT_TRUE(r.Invalid);
    EXPECT_EQ(fw::ForceResultText(r, 3), "4.10");
    r = FlexuralEndRule({4.0f, 4.2f}, {false, true});
    EXPECT_TRUE(r.Invalid);
    EXPECT_EQ(fw::ForceResultText(r, 2), "4.10");
}

TEST(ConcreteCoefficient, ChoiceByGradeAndSize)
{
    // Below C60 the box is a fixed list: 1 for the 150 mm sizes, the first
    // entry for the small, the third for the large ones.
    const char *cube[] = {"1", "0.95", "1.05", "1", "0.95", "1.05"};
    const char *split[] = {"1", "0.85", "1.15", "1", "0.85", "1.15"};
    for (int i = 0; i < 6; ++i) {
        for (const QString &grade : {QStringLiteral("C30"), QStringLiteral("C55"), QStringLiteral("C5")}) {
            TCoefficientChoice c = ChooseCoefficient(ConCubeKind(), grade, i);
            EXPECT_EQ(c.Value, cube[i]) << i;
            EXPECT_FALSE(c.Editable) << i;
            EXPECT_EQ(ChooseCoefficient(ConAxialKind(), grade, i).Value, cube[i]);
            EXPECT_EQ(ChooseCoefficient(ConSplitKind(), grade, i).Value, split[i]);
        }
        // From C60 on only the standard sizes stay fixed.
        for (const QString &grade : {QStringLiteral("C60"), QStringLiteral("C80")}) {
            TCoefficientChoice c = ChooseCoefficient(ConCubeKind(), grade, i);
            EXPECT_EQ(c.Value, cube[i]);
            EXPECT_EQ(c.Editable, i % 3 != 0) << i;
            EXPECT_EQ(ChooseCoefficient(ConSplitKind(), grade, i).Editable, i % 3 != 0);
        }
    }
    // Beams: only 100*100*400 converts, editable from C60.
    EXPECT_EQ(ChooseCoefficient(ConFlexKind(), "C10", 2).Value, "0.85");
    EXPECT_FALSE(ChooseCoefficient(ConFlexKind(), "C10", 2).Editable);
    EXPECT_EQ(ChooseCoefficient(ConFlexKind(), "C10", 1).Value, "1");
    EXPECT_EQ(ChooseCoefficient(ConFlexKind(), "C60", 2).Value, "0.85");
    EXPECT_TRUE(ChooseCoefficient(ConFlexKind(), "C60", 2).Editable);
    EXPECT_EQ(ChooseCoefficient(ConFlexKind(), "C65", 0).Value, "1");
    EXPECT_FALSE(ChooseCoefficient(ConFlexKind(), "C65", 0).Editable);

    EXPECT_TRUE(HighGrade("C60"));
    EXPECT_FALSE(HighGrade("C55"));
    EXPECT_FALSE(HighGrade("C5"));
    EXPECT_FALSE(HighGrade(""));

    double k = 0.0;
    EXPECT_TRUE(ParseCoefficient(" 0.92 ", &k));
    EXPECT_DOUBLE_EQ(k, 0.92);
    EXPECT_FALSE(ParseCoefficient("abc", &k));
    EXPECT_FALSE(ParseCoefficient("", &k));
    // A zero or negative coefficient would divide by zero or give negative
    // strengths.
    EXPECT_FALSE(ParseCoefficient("0", &k));
    EXPECT_FALSE(ParseCoefficient("-1", &k));
}

TEST(ConcreteDivisor, SizesAndStrengths)
{
    // A 100 mm cube of grade C30 takes 0.95: 300 kN gives 28.5 MPa.
    const TConSize cube100 = ParseConSize("100*100*100");
    const double k = ParseNumber(ChooseCoefficient(ConCubeKind(), "C30", 1).Value);
    EXPECT_EQ(Shown(float(300000.0 / Divisor(ConCubeKind(), cube100, k))), "28.5");

    // A φ150×300 cylinder with 500 kN and coefficient 1: 28.3 MPa.
    const TConSize cyl = ParseConSize("φ150*300");
    ASSERT_TRUE(cyl.Valid);
    EXPECT_TRUE(cyl.Round);
    EXPECT_FLOAT_EQ(cyl.Diameter, 150.0f);
    EXPECT_FLOAT_EQ(cyl.Height, 300.0f);
    EXPECT_DOUBLE_EQ(Divisor(ConCubeKind(), cyl, 1.0), 17662.5);
    EXPECT_EQ(Shown(float(500000.0 / Divisor(ConCubeKind(), cyl, 1.0))), "28.3");
    EXPECT_DOUBLE_EQ(Divisor(ConCubeKind(), ParseConSize("φ100*200"), 1.0), 7850.0);
    EXPECT_DOUBLE_EQ(Divisor(ConAxialKind(), ParseConSize("φ200*400"), 1.0), 31400.0);

    // The 150×150×600 beam: 7500 mm², 30 kN gives 4.0 MPa.
    const TConSize beam = ParseConSize("150*150*600");
    EXPECT_DOUBLE_EQ(Divisor(ConFlexKind(), beam, 1.0), 7500.0);
    EXPECT_EQ(Shown(float(30000.0 / Divisor(ConFlexKind(), beam, 1.0))), "4.0");
    EXPECT_NEAR(Divisor(ConFlexKind(), ParseConSize("100*100*400"), 1.0), 3333.3333, 1e-3);

    // Prisms use their section; splitting divides by 0.637 too.
    EXPECT_DOUBLE_EQ(Divisor(ConAxialKind(), ParseConSize("100*100*300"), 1.0), 10000.0);
    EXPECT_DOUBLE_EQ(Divisor(ConSplitKind(), ParseConSize("150*150*150"), 1.0), 22500.0 / 0.637);
    EXPECT_DOUBLE_EQ(Divisor(ConSplitKind(), cyl, 0.85), 17662.5 / 0.85 / 0.637);

    // Sizes that cannot be tested give no divisor.
    EXPECT_EQ(Divisor(ConFlexKind(), cyl, 1.0), 0.0);
    EXPECT_EQ(Divisor(ConCubeKind(), cube100, 0.0), 0.0);
    EXPECT_FALSE(ParseConSize("150*150").Valid);
    EXPECT_FALSE(ParseConSize("φ150").Valid);
    EXPECT_FALSE(ParseConSize("150*x*150").Valid);
    for (const TConcreteKind &kind : AllKinds)
        for (const QString &s : SizeChoices(kind))
            EXPECT_TRUE(ParseConSize(s).Valid) << s.toStdString();
}

TEST(ConcreteLoadRate, FromStressRate)
{
    EXPECT_EQ(LoadRateText(ConCubeKind(), "150*150*150", "0.5"), "11.25");
    EXPECT_EQ(LoadRateText(ConCubeKind(), "φ150*300", "0.5"), "8.83");
    EXPECT_EQ(LoadRateText(ConAxialKind(), "100*100*300", "0.3"), "3.00");
    EXPECT_EQ(LoadRateText(ConSplitKind(), "150*150*150", "0.05"), "1.77");
    // A cylinder splits along d × h.
    EXPECT_EQ(LoadRateText(ConSplitKind(), "φ150*300", "0.05"), "3.53");
    EXPECT_EQ(LoadRateText(ConFlexKind(), "150*150*600", "0.05"), "0.28");
    EXPECT_DOUBLE_EQ(LoadRate(ConFlexKind(), ParseConSize("100*100*400"), 0.1), 250.0);
    EXPECT_EQ(LoadRateText(ConCubeKind(), "150*150*150", "abc"), "");
    EXPECT_EQ(LoadRateText(ConCubeKind(), "", "0.5"), "");
}

TEST(ConcreteRecords, StoredStrengthEqualsTestTime)
{
    // What the records compute from the stored columns equals force ÷ the
    // divisor used at test time, for every size of every module.
    const double k = 0.95, force = 412345.67;
    for (const TConcreteKind &kind : AllKinds) {
        for (const QString &text : SizeChoices(kind)) {
            const TConSize s = ParseConSize(text);
            const double d = Divisor(kind, s, k);
            ASSERT_GT(d, 0.0) << text.toStdString();
            const TConSize stored = StoredConSize(s.Length, s.Width, s.Height, s.Diameter);
            EXPECT_EQ(stored.Round, s.Round);
            EXPECT_NEAR(RecordStrength(kind, stored, force, k), force / d, 1e-9) << text.toStdString();
        }
    }
}

TEST(ConcreteRecords, SqlFormulasInTheEngine)
{
    // The SQL expressions of the records give the strength the module shows.
    QTemporaryDir dir;
    const QString file = dir.filePath("t.mdb");
    db::TDbConnection::createDatabase(file);
    db::TDbConnection conn;
    conn.open(file);
    conn.execute("Create Table T (OnekN varchar(10), LenAv varchar(5), WidAv varchar(5), HeiAv varchar(5), "
                 "DiameterAv varchar(5), XiShu varchar(10))");
    const double force = 300123.45, k = 1.05;
    for (const TConcreteKind &kind : AllKinds) {
        for (const QString &text : SizeChoices(kind)) {
            const TConSize s = ParseConSize(text);
            conn.execute("delete * from T");
            conn.execute("insert into T Values(" + QuotedStr(FixedText(force, 2)) + "," +
                         QuotedStr(FixedText(s.Length, 1)) + "," + QuotedStr(FixedText(s.Width, 1)) + "," +
                         QuotedStr(FixedText(s.Height, 1)) + "," + QuotedStr(FixedText(s.Diameter, 1)) + "," +
                         QuotedStr(FixedText(k, 2)) + ")");
            db::TDbQuery q(conn);
            q.setSql("select " + StrengthSql(kind, s.Round) + " as S from T");
            q.open();
            ASSERT_EQ(q.recordCount(), 1);
            EXPECT_NEAR(q.fieldByName("S").asFloat(), force / Divisor(kind, s, k), 1e-6) << text.toStdString();
        }
    }
}

TEST(ConcreteChoices, Lists)
{
    EXPECT_EQ(GradeChoices().first(), "C15");
    EXPECT_EQ(GradeChoices().last(), "C80");
    EXPECT_EQ(GradeChoices().indexOf("C60"), 9);
    EXPECT_EQ(RateChoices(ConCubeKind()), (QStringList{"0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1.0"}));
    EXPECT_EQ(RateChoices(ConSplitKind()).first(), "0.02");
    EXPECT_EQ(RateChoices(ConFlexKind()).last(), "0.10");
    EXPECT_EQ(SizeChoices(ConSplitKind()), SizeChoices(ConCubeKind()));
    EXPECT_EQ(SizeChoices(ConAxialKind()).size(), 6);
    EXPECT_EQ(SizeChoices(ConFlexKind()).size(), 3);
}

TEST(ConcreteKinds, EachModuleRowIsComplete)
{
    // What the shared concrete code takes from a module's row without
    // checking: every formula, a coefficient entry for each size, the
    // default rate among the rates, room for the default count of three,
    // and the XiShu column the coefficient is stored in.
    QStringList words;
    for (const TConcreteKind &kind : AllKinds) {
        SCOPED_TRACE(kind.Word.toStdString());
        EXPECT_FALSE(kind.Word.isEmpty());
        EXPECT_FALSE(words.contains(kind.Word));
        words << kind.Word;
        EXPECT_NE(kind.MachineMask, 0u);
        EXPECT_FALSE(kind.GuiGeType.isEmpty());
        EXPECT_TRUE(kind.Formulas.Divisor && kind.Formulas.LoadRate && kind.Formulas.StrengthSql &&
                    kind.Formulas.RecordStrength);
        EXPECT_TRUE(kind.Coefficients.contains("1"));
        for (const TConSizeChoice &s : kind.Sizes)
            EXPECT_LT(s.Coefficient, kind.Coefficients.size()) << s.Text.toStdString();
        EXPECT_TRUE(kind.Rates.contains(kind.Rate));
        EXPECT_GE(kind.MaxCount, 3);
        EXPECT_EQ(kind.SpecimenColumns.filter(QStringLiteral("XiShu ")).size(), 1);
    }
}
