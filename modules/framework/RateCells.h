#pragma once
// The loading rate of a stored specimen as the results window and the report
// show it: the mean rate of its curve against the group's set rate, both in
// the unit of the module's rate box, flagged when outside ±10 %.
#include "ModuleData.h"
#include "BaseTest.h"

#include <QString>

namespace kv::fw {

struct TRateCells {
    QString Measured;      // the curve's mean rate; "—" when there is no rise to measure
    QString Set;           // the group's set rate; "—" when none is stored
    bool Flagged = false;  // both known and the mean rate outside ±10 % of the set rate
    // Measured, followed by gap and "超出±10%" when flagged.
    QString Shown(QChar gap = QLatin1Char(' ')) const;
};

// curve: time in s, force in N; setRate: in the rate unit, 0 when none;
// unitNs: N/s per rate unit of this specimen, 0 when unknown.
TRateCells RateCells(const TCurvePoints &curve, double setRate, double unitNs, int decimals);

// Column titles "实测加载速率" and "设定加载速率", the module's rate unit on a
// second line.
QString MeasuredRateTitle(const TModuleData &d);
QString SetRateTitle(const TModuleData &d);

} // namespace kv::fw
