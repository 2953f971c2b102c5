#include "ConFlexTest.h"

#include "ModuleDb.h"
#include "ModuleSql.h"
#include "SqlText.h"
#include "MessageService.h"

#include <QCoreApplication>

#include <cmath>

namespace kv::con {

namespace {

// A beam of section b × h on a span of 3 h: F × 3h ÷ (b h²) = F ÷ (b h ÷ 3).
// A cylinder cannot be a beam.
double FlexDivisor(const TConSize &s, double k)
{
    return s.Round ? 0.0 : double(s.Length) * double(s.Width) / 3.0 / k;
}

// Section b × h, beam length L.
double FlexLoadRate(const TConSize &s, double r)
{
    const double a = s.Length, b = s.Width, h = s.Height;
    return s.Round || !(h > 0.0) ? 0.0 : r * a * a * b / h;
}

QString FlexStrengthSql(bool) { return QStringLiteral("ONEKN * 3 * LenAv/ (lenav  * widav* lenav) * XISHU"); }

double FlexRecordStrength(const TConSize &s, double f, double k)
{
    const double a = s.Length, b = s.Width;
    return a > 0.0 && b > 0.0 ? f * 3.0 * a / (a * b * a) * k : 0.0;
}

} // namespace

const TConcreteKind &ConFlexKind()
{
    static const TConcreteKind kind = [] {
        TConcreteKind k;
        k.NameSource = QT_TRANSLATE_NOOP("TModuleText", "普通混凝土抗折");
        k.Word = QStringLiteral("ConFlex");
        k.MachineMask = 3;
        k.GroupExtraColumns.clear();
        k.SpecimenColumns = {QStringLiteral("XiShu varchar(10)"), QStringLiteral("IsOut int")};
        k.CaptionSuffix = QStringLiteral("CantionInfo"); // so spelt in the stored table name
        k.GuiGeType = QStringLiteral("varchar(30)");
        // Only the small beam is converted.
        k.Sizes = {{QStringLiteral("150*150*600"), -1},
                   {QStringLiteral("150*150*550"), -1},
                   {QStringLiteral("100*100*400"), 0}};
        k.Coefficients = {QStringLiteral("0.85"), QStringLiteral("1")};
        k.Rates = StressRates(2, 10, 0.01, 2); // 0.02 .. 0.10
        k.Grade = QStringLiteral("C10");
        k.Coefficient = QStringLiteral("0.85");
        k.Rate = QStringLiteral("0.05");
        k.Formulas = {FlexDivisor, FlexLoadRate, FlexStrengthSql, FlexRecordStrength};
        return k;
    }();
    return kind;
}

const fw::TModuleData &ConFlexData()
{
    static const fw::TModuleData d = ConcreteData(ConFlexKind());
    return d;
}

fw::TRuleResult FlexuralEndRule(const std::vector<float> &values, const std::vector<bool> &outside)
{
    std::vector<int> out;
    for (int i = 0; i < static_cast<int>(values.size()); ++i)
        if (i < static_cast<int>(outside.size()) && outside[i])
            out.push_back(i);
    if (out.empty())
        return MedianRule(values);
    fw::TRuleResult r;
    r.Value = fw::MeanOf(values);
    if (values.size() != 3 || out.size() != 1) {
        r.Invalid = true;
        return r;
    }
    // The two specimens that broke between the load points.
    std::vector<int> in;
    for (int i = 0; i < 3; ++i)
        if (i != out[0])
            in.push_back(i);
    const float a = values[in[0]], b = values[in[1]];
    const int smaller = b < a ? in[1] : in[0];
    const float low = values[smaller];
    if (Above(std::fabs(a - b), 0.15f * low)) {
        r.Invalid = true;
        r.Marked = {smaller};
        return r;
    }
    r.Value = (a + b) / 2.0f;
    return r;
}

fw::TGroupResults FlexuralResults(const std::vector<float> &forces, const std::vector<float> &strengths,
                                  const std::vector<bool> &outside)
{
    const fw::TRuleResult f = FlexuralEndRule(forces, outside);
    const fw::TRuleResult s = FlexuralEndRule(strengths, outside);
    return {fw::ForceResultText(f, static_cast<int>(forces.size())),
            fw::StrengthResultText(s, static_cast<int>(strengths.size())), s.Marked};
}

TConFlexSpecial *TConFlexTest::GetFlexSpecial(int index) const
{
    return dynamic_cast<TConFlexSpecial *>(GetSpecial(index));
}

fw::TGroupResults TConFlexTest::EvaluateGroupEnd(const std::vector<float> &forces,
                                                 const std::vector<float> &strengths) const
{
    std::vector<bool> outside;
    for (int i = 0; i < static_cast<int>(strengths.size()); ++i) {
        const TConFlexSpecial *s = GetFlexSpecial(i);
        outside.push_back(s && s->FIsOut == 1);
    }
    return FlexuralResults(forces, strengths, outside);
}

fw::TGroupResults TConFlexTest::EvaluateStored(const QList<fw::TStoredRow> &rows) const
{
    std::vector<float> forces, strengths;
    std::vector<bool> outside;
    for (const fw::TStoredRow &row : rows) {
        TConFlexSpecial s;
        RestoreSpecimen(s, row);
        const double force = ParseNumber(StoredField(row, QStringLiteral("OnekN")));
        forces.push_back(fw::ShownValue(force / 1000.0, 2));
        strengths.push_back(fw::ShownValue(RecordStrength(row), 1));
        outside.push_back(s.FIsOut == 1);
    }
    return FlexuralResults(forces, strengths, outside);
}

void TConFlexTest::RestoreSpecimen(TSpecial &s, const fw::TStoredRow &row) const
{
    TConcreteTest::RestoreSpecimen(s, row);
    if (auto *beam = dynamic_cast<TConFlexSpecial *>(&s)) {
        beam->FIsOut = StoredField(row, QStringLiteral("IsOut")).trimmed() == QLatin1String("1") ? 1 : 0;
    }
}

void TConFlexTest::SpecimenStored(int k)
{
    TConFlexSpecial *s = GetFlexSpecial(k - 1);
    if (!s)
        return;
    s->FIsOut = 0;
    if (MsgYesNo(QCoreApplication::translate("TModuleText", "折断面是否在集中载荷之内?"), TMsgIcon::Question,
                 ParentWidget()))
        return;
    s->FIsOut = 1;
    KV_MODULE_EXEC(FConnection, fw::SpecimenOutsideSql(Data(), FGroupNo, FAge, k));
}

std::unique_ptr<TSpecial> TConFlexTest::NewSpecial() const { return std::make_unique<TConFlexSpecial>(); }

} // namespace kv::con
