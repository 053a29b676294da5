#pragma once
#include "laws/catalogue.h"
#include "series/lists.h"

namespace evstat {
constexpr double kGammaQuantileFailure = -10.0;  // the gamma / chi-square Newton search failed
constexpr double kBetaQuantileFailure = 2.0;     // the beta Newton search failed
// Quantile function of the laws 0 to 10 at probability p; 0 for codes 11 and above.
double quantile(LawCode code, const ValueList& parameters, double p);
}  // namespace evstat
