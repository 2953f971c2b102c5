#include "GroupResult.h"

#include "SqlText.h"

#include <QCoreApplication>
#include <cmath>

namespace kv::fw {

float MeanOf(const std::vector<float> &values)
{
    if (values.empty())
        return 0.0f;
    float sum = 0.0f;
    for (float v : values)
        sum += v;
    return sum / static_cast<float>(values.size());
}

QString ForceResultText(const TRuleResult &r, int count, int decimals)
{
    return count == 0 ? QStringLiteral("0") : FixedText(r.Value, decimals);
}

QString StrengthResultText(const TRuleResult &r, int count, int decimals)
{
    if (count == 0)
        return QStringLiteral("0");
    if (r.Invalid)
        return QCoreApplication::translate("TModuleText", "结果无效");
    return FixedText(r.Value, decimals);
}

float ShownValue(double value, int decimals)
{
    // The text the grid shows, read back: what the operator sees is evaluated.
    return static_cast<float>(ParseNumber(FixedText(value, decimals)));
}

} // namespace kv::fw
