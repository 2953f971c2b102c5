#pragma once
// The display units of table Unit: Type 0 force units (Coe divides newtons
// into the shown value), 1 strength units, 2 the speed's rounding only; each
// row keeps its number of decimals in Round.
#include <QString>

namespace kv {

class TZovData;

struct TDisplayUnit {
    QString Name;
    double Coe = 1.0;
    int Decimals = 0;
};

// The row of type and index; false when there is none or the database fails.
bool ReadDisplayUnit(TZovData &data, int type, int index, TDisplayUnit &unit);
// Keeps the decimals of the unit called name.
bool StoreUnitDecimals(TZovData &data, const QString &name, int decimals);

} // namespace kv
