#pragma once
// Every value written into statement text goes through these helpers:
// text values are quoted so a quote inside never changes the statement, and
// numbers always use '.' as the decimal point whatever the locale.
#include "Export.h"
#include <QString>

namespace kv {

// 'O''Brien' — the value between single quotes, inner quotes doubled.
KVPLATFORM_EXPORT QString QuotedStr(const QString &value);

// Decimal integer text.
KVPLATFORM_EXPORT QString SqlNum(qint64 value);
// Shortest text that reads back as the same double ("2.5", "0.1", "1e-07").
KVPLATFORM_EXPORT QString SqlNum(double value);
// Shortest text that reads back as the same single ("0.3" for 0.3f).
KVPLATFORM_EXPORT QString SqlSingle(float value);
// Fixed number of decimals with '.', the "%.1f" / "%.2f" forms of stored text.
KVPLATFORM_EXPORT QString FixedText(double value, int decimals);

// Parses a number written by any of the above (or by a user with ',' as the
// decimal point); ok reports success.
KVPLATFORM_EXPORT double ParseNumber(const QString &text, bool *ok = nullptr);

} // namespace kv
