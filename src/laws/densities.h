#pragma once
#include "laws/catalogue.h"
#include "series/lists.h"

namespace evstat {
// Probability density of the law at x; 0 for codes without a density (15, 16, others).
double density(LawCode code, const ValueList& parameters, double x);
}  // namespace evstat
