#pragma once
// The group rules of cement mortar ("GB/T 17671-1999") and the strength
// grades of each cement variety.
#include "GroupResult.h"

#include <QStringList>

namespace kv::cem {

// Compressive rule over six values: a value outside ±10 % of the mean is
// removed once; a second outlier, or one among the remaining five, makes the
// result invalid. Other counts: the plain mean.
fw::TRuleResult CompressiveRule(const std::vector<float> &values);

// Flexural rule over three values: outliers outside ±10 % of the mean are
// dropped; all three outside makes the result invalid. Other counts: the mean.
fw::TRuleResult FlexuralRule(const std::vector<float> &values);

// The strength grades offered for a cement variety.
QStringList GradesOfVariety(const QString &variety);

} // namespace kv::cem
