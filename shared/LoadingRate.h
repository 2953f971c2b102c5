#pragma once
// Loading-rate compliance of one specimen, worked out from its stored curve:
// the mean rate over the control stage, from the curve's first point (just
// past the start force) to the first point at 90 % of the curve's peak.
#include "ContractExport.h"
#include "BaseTest.h"

namespace kv {

// The share of the set rate a mean rate may differ by and still comply.
inline constexpr double LoadingRateTolerance = 0.10;

struct TLoadingRate {
    bool Known = false;  // the curve has a rise to measure
    double Rate = 0.0;   // N/s
};

// The mean loading rate of a curve (time in s, force in N).
KVCONTRACT_EXPORT TLoadingRate MeanLoadingRate(const TCurvePoints &curve);

// The mean rate lies within ±10 % of the set rate (both N/s). A set rate of
// 0 or an unknown rate is never flagged.
KVCONTRACT_EXPORT bool LoadingRateComplies(const TLoadingRate &rate, double setRate);

} // namespace kv
