#include "CemRules.h"

#include <algorithm>

namespace kv::cem {

namespace {

std::vector<int> Outside(const std::vector<float> &values, float mean, int skip = -1)
{
    const float lo = 0.9f * mean;
    const float hi = 1.1f * mean;
    std::vector<int> out;
    for (int i = 0; i < static_cast<int>(values.size()); ++i)
        if (i != skip && (values[i] < lo || values[i] > hi))
            out.push_back(i);
    return out;
}

float Sum(const std::vector<float> &values)
{
    float sum = 0.0f;
    for (float v : values)
        sum += v;
    return sum;
}

} // namespace

fw::TRuleResult CompressiveRule(const std::vector<float> &values)
{
    fw::TRuleResult r;
    r.Value = fw::MeanOf(values);
    if (values.size() != 6)
        return r;
    const std::vector<int> first = Outside(values, r.Value);
    if (first.empty())
        return r;
    r.Marked = first;
    if (first.size() >= 2) {
        r.Invalid = true;
        return r;
    }
    const float rest = (Sum(values) - values[first[0]]) / 5.0f;
    r.Value = rest;
    const std::vector<int> second = Outside(values, rest, first[0]);
    if (!second.empty()) {
        r.Invalid = true;
        r.Marked.insert(r.Marked.end(), second.begin(), second.end());
        std::sort(r.Marked.begin(), r.Marked.end());
    }
    return r;
}

fw::TRuleResult FlexuralRule(const std::vector<float> &values)
{
    fw::TRuleResult r;
    r.Value = fw::MeanOf(values);
    if (values.size() != 3)
        return r;
    const std::vector<int> out = Outside(values, r.Value);
    r.Marked = out;
    switch (out.size()) {
    case 0:
        break;
    case 1:
        r.Value = (Sum(values) - values[out[0]]) * 0.5f;
        break;
    case 2:
        for (int i = 0; i < 3; ++i)
            if (i != out[0] && i != out[1])
                r.Value = values[i];
        break;
    default:
        r.Invalid = true;
        break;
    }
    return r;
}

QStringList GradesOfVariety(const QString &variety)
{
    const QString v = variety.trimmed();
    if (v == QStringLiteral("P·I") || v == QStringLiteral("P·II"))
        return {QStringLiteral("42.5"), QStringLiteral("42.5R"), QStringLiteral("52.5"),
                QStringLiteral("52.5R"), QStringLiteral("62.5"), QStringLiteral("62.5R")};
    if (v == QStringLiteral("P·O"))
        return {QStringLiteral("42.5"), QStringLiteral("42.5R"), QStringLiteral("52.5"), QStringLiteral("52.5R")};
    return {QStringLiteral("32.5"), QStringLiteral("32.5R"), QStringLiteral("42.5"),
            QStringLiteral("42.5R"), QStringLiteral("52.5"), QStringLiteral("52.5R")};
}

} // namespace kv::cem
