#include "RateCells.h"

#include "LoadingRate.h"
#include "SqlText.h"

#include <QCoreApplication>

namespace kv::fw {

namespace {
QString T(const char *text) { return QCoreApplication::translate("TModuleText", text); }
const QString kNone = QStringLiteral("—");
} // namespace

QString TRateCells::Shown(QChar gap) const { return Flagged ? Measured + gap + T("超出±10%") : Measured; }

TRateCells RateCells(const TCurvePoints &curve, double setRate, double unitNs, int decimals)
{
    const TLoadingRate rate = MeanLoadingRate(curve);
    const bool unit = unitNs > 0.0;
    TRateCells c;
    c.Measured = rate.Known && unit ? FixedText(rate.Rate / unitNs, decimals) : kNone;
    c.Set = setRate > 0.0 && unit ? FixedText(setRate, decimals) : kNone;
    // Compared in N/s; an unknown rate or set rate is never flagged.
    c.Flagged = unit && !LoadingRateComplies(rate, setRate * unitNs);
    return c;
}

// The unit on a line of its own keeps the columns narrow.
QString MeasuredRateTitle(const TModuleData &d) { return T("实测加载速率") + QLatin1Char('\n') + d.RateUnit; }
QString SetRateTitle(const TModuleData &d) { return T("设定加载速率") + QLatin1Char('\n') + d.RateUnit; }

} // namespace kv::fw
