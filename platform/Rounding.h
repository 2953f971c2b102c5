#pragma once
// The text of a numeric display: a value rounded to a display step ("1",
// "0.1", "0.01", "0.001"), half-way cases to the even neighbour.
#include "Export.h"

#include <QString>

namespace kv {

// The rounding step text of d decimals: "1", "0.1", "0.01", "0.001".
KVPLATFORM_EXPORT QString DisplayFormat(int decimals);

// Rounds value to the step text (half-way cases to the even neighbour) and
// returns it with the step's number of decimals. False for a step text that
// is not one of the forms above, or a value that is not finite.
KVPLATFORM_EXPORT bool BankerRound(double value, const QString &step, QString &text);

// The display text of value in a display format; a format BankerRound cannot
// use gives "%f" for |value| >= 1, else "%.3f".
KVPLATFORM_EXPORT QString FormatValue(double value, const QString &format);

} // namespace kv
