#pragma once
#include "laws/catalogue.h"
#include "series/lists.h"

namespace evstat {
// Distribution function of the law at x; 0 for codes 12, 15, 16 and others.
double distribution(LawCode code, const ValueList& parameters, double x);
}  // namespace evstat
