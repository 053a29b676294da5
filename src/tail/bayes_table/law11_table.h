// The tabulated predictive distribution of the normal and lognormal cases, and the lookup that
// reads the tabulated distributions.
#pragma once

#include <span>

#include "laws/catalogue.h"
#include "series/lists.h"
#include "tail/work_bounds.h"

namespace evstat {

constexpr double kLaw11TableStep = 0.0001;

// The range of the table: the smallest and the largest of the parent-family quantiles at 1 - p
// with mean p1 and standard deviations 1/sqrt(s1), 1/sqrt(s2) (3 times the first when s2 is 0)
// and p2, over the quantiles strictly between -DBL_MAX and +DBL_MAX. lo > hi when there is none.
void law11_table_range(LawCode code, const ValueList& parameters, double s1, double s2,
                       std::span<const double> levels, double& lo, double& hi);

// The points tabulate_law11 gives from lo to hi in steps of kLaw11TableStep, up to the first
// whose value reaches the largest 1 - p: the points the lookups of the levels read. False when
// the table stopped at mostPoints points before that.
bool tabulate_law11_to_levels(LawCode code, const ValueList& predictive, double lo, double hi,
                              std::span<const double> levels, long long mostPoints, Sample& table);

// x of the first pair whose value is >= probability; the last x when none is; NaN when empty.
double lookup_distribution(const Sample& table, double probability);

}  // namespace evstat
