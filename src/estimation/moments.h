#pragma once
#include "laws/catalogue.h"
#include "series/lists.h"
#include "series/series.h"

namespace evstat {
constexpr double kNoMoment = -1.0;  // the moment is not finite or not defined
// Theoretical mean and standard deviation; a code outside 0..10 writes neither.
void law_moments(LawCode code, const ValueList& parameters, double& mean, double& deviation);
}  // namespace evstat
