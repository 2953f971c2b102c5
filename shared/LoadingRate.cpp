#include "LoadingRate.h"

#include <algorithm>
#include <cmath>

namespace kv {

TLoadingRate MeanLoadingRate(const TCurvePoints &curve)
{
    if (curve.size() < 2)
        return {};
    const auto top = std::max_element(curve.begin(), curve.end(),
                                      [](const TCurvePoint &a, const TCurvePoint &b) { return a.Force < b.Force; });
    const TCurvePoint &first = curve.front();
    const double goal = 0.9 * static_cast<double>(top->Force);
    const auto end = std::find_if(curve.begin(), top + 1,
                                  [goal](const TCurvePoint &p) { return static_cast<double>(p.Force) >= goal; });
    const double dt = static_cast<double>(end->X) - static_cast<double>(first.X);
    const double df = static_cast<double>(end->Force) - static_cast<double>(first.Force);
    // A curve that starts at its 90 % point has no rise to measure.
    if (end == curve.begin() || dt <= 0.0 || df <= 0.0)
        return {};
    return {true, df / dt};
}

bool LoadingRateComplies(const TLoadingRate &rate, double setRate)
{
    if (!rate.Known || setRate <= 0.0)
        return true;
    return std::abs(rate.Rate - setRate) <= LoadingRateTolerance * setRate;
}

} // namespace kv
