#pragma once
// The outcome of a group rule and its texts. A rule sees the values of the
// specimens tested (forces or strengths, in test order) and says the result
// value, whether the result is invalid, and which specimens it excluded.
#include <QString>
#include <vector>

namespace kv::fw {

struct TRuleResult {
    float Value = 0.0f;         // the result; when Invalid, the value a force result shows
    bool Invalid = false;       // the strength result is "结果无效"
    std::vector<int> Marked;    // 0-based indexes of excluded specimens, ascending
};

// A group rule over single-precision values.
using TGroupRule = TRuleResult (*)(const std::vector<float> &values);

// The plain mean (0 for no values).
float MeanOf(const std::vector<float> &values);

// Result texts: "0" for no values; a force result is always the number with
// forceDecimals; a strength result "结果无效" when invalid, else the number
// with strengthDecimals.
QString ForceResultText(const TRuleResult &r, int count, int decimals = 2);
QString StrengthResultText(const TRuleResult &r, int count, int decimals = 1);

// Both results of a group, and the specimens to mark with "*".
struct TGroupResults {
    QString Force;
    QString Strength;
    std::vector<int> Marked;
};

// The value as it is shown ("%.2f" of a force in kN, "%.1f" of a strength);
// the rules evaluate what the operator sees.
float ShownValue(double value, int decimals);

} // namespace kv::fw
