#include "ConSplitTest.h"

namespace kv::con {

namespace {

constexpr double SplitFactor = 0.637; // 2 ÷ π of the splitting formula

// The compressive section divided by 0.637; a cylinder splits along d × h.
double SplitDivisor(const TConSize &s, double k) { return SectionArea(s) / k / SplitFactor; }

double SplitLoadRate(const TConSize &s, double r)
{
    const double a = s.Length, b = s.Width, h = s.Height, d = s.Diameter;
    return s.Round ? r * d * h / SplitFactor : r * a * b / SplitFactor;
}

QString SplitStrengthSql(bool round)
{
    return round ? QStringLiteral("ONEKN*0.637 / (3.14  * DiameterAv * DiameterAv / 4) * XISHU")
                 : QStringLiteral("ONEKN / (lenav  * widav) * XISHU * 0.637");
}

double SplitRecordStrength(const TConSize &s, double f, double k)
{
    const double a = s.Length, b = s.Width, d = s.Diameter;
    if (s.Round)
        return d > 0.0 ? f * SplitFactor / (Pi * d * d / 4.0) * k : 0.0;
    return a > 0.0 && b > 0.0 ? f / (a * b) * k * SplitFactor : 0.0;
}

} // namespace

const TConcreteKind &ConSplitKind()
{
    static const TConcreteKind kind = [] {
        TConcreteKind k;
        k.NameSource = QT_TRANSLATE_NOOP("TModuleText", "普通混凝土劈裂抗拉");
        k.Word = QStringLiteral("ConSplit");
        k.MachineMask = 1;
        k.GuiGeType = QStringLiteral("integer");
        k.Sizes = WithCylinders(CubeSizes());
        k.Coefficients = {QStringLiteral("0.85"), QStringLiteral("1"), QStringLiteral("1.15")};
        k.Rates = StressRates(2, 10, 0.01, 2); // 0.02 .. 0.10
        k.Grade = QStringLiteral("C5");
        k.Coefficient = QStringLiteral("0.85");
        k.Rate = QStringLiteral("0.05");
        k.Formulas = {SplitDivisor, SplitLoadRate, SplitStrengthSql, SplitRecordStrength};
        return k;
    }();
    return kind;
}

const fw::TModuleData &ConSplitData()
{
    static const fw::TModuleData d = ConcreteData(ConSplitKind());
    return d;
}

} // namespace kv::con
