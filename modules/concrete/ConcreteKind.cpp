#include "ConcreteKind.h"

#include "SqlText.h"

namespace kv::con {

namespace {

double CompressiveDivisor(const TConSize &s, double k) { return SectionArea(s) / k; }

double CompressiveLoadRate(const TConSize &s, double r)
{
    const double a = s.Length, b = s.Width, d = s.Diameter;
    return s.Round ? r * (d / 2.0) * (d / 2.0) * Pi : r * a * b;
}

QString CompressiveStrengthSql(bool round)
{
    return round ? QStringLiteral("ONEKN *4 / (3.14  * DiameterAv * DiameterAv) * XISHU")
                 : QStringLiteral("ONEKN / (lenav  * widav) * XISHU");
}

double CompressiveRecordStrength(const TConSize &s, double f, double k)
{
    const double a = s.Length, b = s.Width, d = s.Diameter;
    if (s.Round)
        return d > 0.0 ? f * 4.0 / (Pi * d * d) * k : 0.0;
    return a > 0.0 && b > 0.0 ? f / (a * b) * k : 0.0;
}

} // namespace

TConFormulas CompressiveFormulas()
{
    return {CompressiveDivisor, CompressiveLoadRate, CompressiveStrengthSql, CompressiveRecordStrength};
}

QStringList SizeChoices(const TConcreteKind &kind)
{
    QStringList out;
    for (const TConSizeChoice &s : kind.Sizes)
        out << s.Text;
    return out;
}

QStringList CoefficientChoices(const TConcreteKind &kind) { return kind.Coefficients; }

QStringList RateChoices(const TConcreteKind &kind) { return kind.Rates; }

TCoefficientChoice ChooseCoefficient(const TConcreteKind &kind, const QString &grade, int sizeIndex)
{
    const int entry =
        sizeIndex >= 0 && sizeIndex < static_cast<int>(kind.Sizes.size()) ? kind.Sizes[sizeIndex].Coefficient : -1;
    if (entry < 0 || entry >= kind.Coefficients.size())
        return {QStringLiteral("1"), false};
    return {kind.Coefficients[entry], HighGrade(grade)};
}

double Divisor(const TConcreteKind &kind, const TConSize &size, double k)
{
    if (!size.Valid || !(k > 0.0))
        return 0.0;
    return kind.Formulas.Divisor(size, k);
}

double LoadRate(const TConcreteKind &kind, const TConSize &size, double stressRate)
{
    return size.Valid ? kind.Formulas.LoadRate(size, stressRate) : 0.0;
}

QString LoadRateText(const TConcreteKind &kind, const QString &sizeText, const QString &stressRate)
{
    bool ok = false;
    const double r = ParseNumber(stressRate.trimmed(), &ok);
    const TConSize s = ParseConSize(sizeText);
    if (!ok || !s.Valid)
        return {};
    return FixedText(LoadRate(kind, s, r) / 1000.0, 2);
}

QString StrengthSql(const TConcreteKind &kind, bool round) { return kind.Formulas.StrengthSql(round); }

double RecordStrength(const TConcreteKind &kind, const TConSize &size, double forceN, double k)
{
    return kind.Formulas.RecordStrength(size, forceN, k);
}

} // namespace kv::con
