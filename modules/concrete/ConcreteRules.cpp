#include "ConcreteRules.h"

#include "SqlText.h"

#include <cmath>

namespace kv::con {

QStringList GradeChoices()
{
    QStringList out;
    for (int g = 15; g <= 80; g += 5)
        out << QStringLiteral("C%1").arg(g);
    return out;
}

QStringList AgeChoices() { return {QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("7"), QStringLiteral("28")}; }

QStringList StressRates(int from, int to, double step, int decimals)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << FixedText(i * step, decimals);
    return out;
}

std::vector<TConSizeChoice> CubeSizes()
{
    return {{QStringLiteral("150*150*150"), -1}, {QStringLiteral("100*100*100"), 0}, {QStringLiteral("200*200*200"), 2}};
}

std::vector<TConSizeChoice> WithCylinders(std::vector<TConSizeChoice> sizes)
{
    sizes.insert(sizes.end(), {{QStringLiteral("φ150*300"), -1},
                               {QStringLiteral("φ100*200"), 0},
                               {QStringLiteral("φ200*400"), 2}});
    return sizes;
}

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

double SectionArea(const TConSize &s)
{
    return s.Round ? Pi * double(s.Diameter) * double(s.Diameter) / 4.0 : double(s.Length) * double(s.Width);
}

bool Above(float v, float bound) { return v - bound > 1e-5f * std::fabs(bound); }

bool Below(float v, float bound) { return bound - v > 1e-5f * std::fabs(bound); }

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

} // namespace kv::con
