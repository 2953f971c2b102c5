#include "ConcreteRules.h"

#include "SqlText.h"

#include <cmath>

namespace kv::con {

namespace {

constexpr double Pi = 3.14;            // π as the standard's worksheets take it
constexpr double SplitFactor = 0.637;  // 2 ÷ π of the splitting formula

QStringList Steps(int from, int to, double step, int decimals)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << FixedText(i * step, decimals);
    return out;
}

// Bounds of the group rules: a value equal to a bound is inside, also after
// single-precision rounding of the bound.
bool Above(float v, float bound) { return v - bound > 1e-5f * std::fabs(bound); }
bool Below(float v, float bound) { return bound - v > 1e-5f * std::fabs(bound); }

} // namespace

QStringList SizeChoices(TConKind kind)
{
    const QStringList cylinders{QStringLiteral("φ150*300"), QStringLiteral("φ100*200"), QStringLiteral("φ200*400")};
    switch (kind) {
    case TConKind::Cube:
    case TConKind::Split:
        return QStringList{QStringLiteral("150*150*150"), QStringLiteral("100*100*100"),
                           QStringLiteral("200*200*200")} + cylinders;
    case TConKind::Axial:
        return QStringList{QStringLiteral("150*150*300"), QStringLiteral("100*100*300"),
                           QStringLiteral("200*200*400")} + cylinders;
    case TConKind::Flex:
        break;
    }
    return {QStringLiteral("150*150*600"), QStringLiteral("150*150*550"), QStringLiteral("100*100*400")};
}

QStringList CoefficientChoices(TConKind kind)
{
    switch (kind) {
    case TConKind::Cube:
    case TConKind::Axial:
        return {QStringLiteral("0.95"), QStringLiteral("1"), QStringLiteral("1.05")};
    case TConKind::Split:
        return {QStringLiteral("0.85"), QStringLiteral("1"), QStringLiteral("1.15")};
    case TConKind::Flex:
        break;
    }
    return {QStringLiteral("0.85"), QStringLiteral("1")};
}

QStringList RateChoices(TConKind kind)
{
    if (kind == TConKind::Cube || kind == TConKind::Axial)
        return Steps(3, 10, 0.1, 1);   // 0.3 .. 1.0
    return Steps(2, 10, 0.01, 2);      // 0.02 .. 0.10
}

QStringList GradeChoices()
{
    QStringList out;
    for (int g = 15; g <= 80; g += 5)
        out << QStringLiteral("C%1").arg(g);
    return out;
}

QStringList AgeChoices() { return {QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("7"), QStringLiteral("28")}; }

TConSize ParseConSize(const QString &text)
{
    TConSize s;
    QString t = text.trimmed();
    if (t.startsWith(QChar(0x03C6)) || t.startsWith(QChar(0x03A6))) { // φ or Φ
        s.Round = true;
        t = t.mid(1);
    }
    const QStringList parts = t.split(QLatin1Char('*'));
    if (parts.size() != (s.Round ? 2 : 3))
        return s;
    std::vector<float> n;
    for (const QString &p : parts) {
        bool ok = false;
        const double v = p.trimmed().toDouble(&ok);
        if (!ok || !(v > 0.0))
            return s;
        n.push_back(static_cast<float>(v));
    }
    if (s.Round) {
        s.Diameter = n[0];
        s.Height = n[1];
    } else {
        s.Length = n[0];
        s.Width = n[1];
        s.Height = n[2];
    }
    s.Valid = true;
    return s;
}

TConSize StoredConSize(double lenAv, double widAv, double heiAv, double diameterAv)
{
    TConSize s;
    s.Round = diameterAv > 0.0 && !(lenAv > 0.0);
    s.Length = static_cast<float>(lenAv);
    s.Width = static_cast<float>(widAv);
    s.Height = static_cast<float>(heiAv);
    s.Diameter = static_cast<float>(diameterAv);
    s.Valid = s.Round ? diameterAv > 0.0 : (lenAv > 0.0 && widAv > 0.0);
    return s;
}

bool HighGrade(const QString &grade)
{
    const QString t = grade.trimmed();
    if (!t.startsWith(QLatin1Char('C'), Qt::CaseInsensitive))
        return false;
    bool ok = false;
    const double n = t.mid(1).toDouble(&ok);
    return ok && n >= 60.0;
}

TCoefficientChoice ChooseCoefficient(TConKind kind, const QString &grade, int sizeIndex)
{
    const QStringList k = CoefficientChoices(kind);
    const QString one = QStringLiteral("1");
    if (kind == TConKind::Flex) {
        // Only the small beam is converted.
        if (sizeIndex == 2)
            return {k[0], HighGrade(grade)};
        return {one, false};
    }
    // Sizes 0 and 3 are the standard 150 mm specimens; 1 and 4 the small,
    // 2 and 5 the large ones.
    if (sizeIndex < 0 || sizeIndex % 3 == 0)
        return {one, false};
    const QString value = sizeIndex % 3 == 1 ? k[0] : k[2];
    return {value, HighGrade(grade)};
}

bool ParseCoefficient(const QString &text, double *k)
{
    bool ok = false;
    const double v = ParseNumber(text.trimmed(), &ok);
    if (!ok || !(v > 0.0) || !std::isfinite(v))
        return false;
    if (k)
        *k = v;
    return true;
}

QString CoefficientText(double k)
{
    const QString t = SqlNum(k);
    return t.size() <= 10 ? t : SqlNum(ParseNumber(FixedText(k, 6)));
}

double Divisor(TConKind kind, const TConSize &s, double k)
{
    if (!s.Valid || !(k > 0.0))
        return 0.0;
    if (kind == TConKind::Flex)
        return s.Round ? 0.0 : double(s.Length) * double(s.Width) / 3.0 / k;
    double area = s.Round ? Pi * double(s.Diameter) * double(s.Diameter) / 4.0 : double(s.Length) * double(s.Width);
    area /= k;
    if (kind == TConKind::Split)
        area /= SplitFactor;
    return area;
}

double LoadRate(TConKind kind, const TConSize &s, double r)
{
    if (!s.Valid)
        return 0.0;
    const double a = s.Length, b = s.Width, h = s.Height, d = s.Diameter;
    switch (kind) {
    case TConKind::Cube:
    case TConKind::Axial:
        return s.Round ? r * (d / 2.0) * (d / 2.0) * Pi : r * a * b;
    case TConKind::Split:
        return s.Round ? r * d * h / SplitFactor : r * a * b / SplitFactor;
    case TConKind::Flex:
        break;
    }
    // Section b × h, beam length L.
    return s.Round || !(h > 0.0) ? 0.0 : r * a * a * b / h;
}

QString LoadRateText(TConKind kind, const QString &sizeText, const QString &stressRate)
{
    bool ok = false;
    const double r = ParseNumber(stressRate.trimmed(), &ok);
    const TConSize s = ParseConSize(sizeText);
    if (!ok || !s.Valid)
        return {};
    return FixedText(LoadRate(kind, s, r) / 1000.0, 2);
}

QString StrengthSql(TConKind kind, bool round)
{
    switch (kind) {
    case TConKind::Cube:
    case TConKind::Axial:
        return round ? QStringLiteral("ONEKN *4 / (3.14  * DiameterAv * DiameterAv) * XISHU")
                     : QStringLiteral("ONEKN / (lenav  * widav) * XISHU");
    case TConKind::Split:
        return round ? QStringLiteral("ONEKN*0.637 / (3.14  * DiameterAv * DiameterAv / 4) * XISHU")
                     : QStringLiteral("ONEKN / (lenav  * widav) * XISHU * 0.637");
    case TConKind::Flex:
        break;
    }
    return QStringLiteral("ONEKN * 3 * LenAv/ (lenav  * widav* lenav) * XISHU");
}

double RecordStrength(TConKind kind, const TConSize &s, double f, double k)
{
    const double a = s.Length, b = s.Width, d = s.Diameter;
    double v = 0.0;
    if (kind == TConKind::Flex) {
        if (a > 0.0 && b > 0.0)
            v = f * 3.0 * a / (a * b * a) * k;
    } else if (s.Round) {
        if (d > 0.0)
            v = kind == TConKind::Split ? f * SplitFactor / (Pi * d * d / 4.0) * k : f * 4.0 / (Pi * d * d) * k;
    } else if (a > 0.0 && b > 0.0) {
        v = f / (a * b) * k;
        if (kind == TConKind::Split)
            v *= SplitFactor;
    }
    return v;
}

fw::TRuleResult MedianRule(const std::vector<float> &values)
{
    fw::TRuleResult r;
    r.Value = fw::MeanOf(values);
    if (values.size() != 3)
        return r;
    // Largest and smallest, the first of equals each; the middle value is
    // the first one that is neither.
    int hi = 0, lo = 0;
    for (int i = 1; i < 3; ++i) {
        if (values[i] > values[hi])
            hi = i;
        if (values[i] < values[lo])
            lo = i;
    }
    int mid = 0;
    while (mid == hi || mid == lo)
        ++mid;
    const float m = values[mid];
    const bool high = Above(values[hi], 1.15f * m);
    const bool low = Below(values[lo], 0.85f * m);
    if (high && low) {
        r.Invalid = true;
        r.Marked = {std::min(hi, lo), std::max(hi, lo)};
    } else if (high || low) {
        r.Value = m;
        r.Marked = {high ? hi : lo};
    }
    return r;
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

} // namespace kv::con
