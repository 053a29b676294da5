// The tabulated predictive distribution of the normal and lognormal cases, and the lookup that
// reads the tabulated distributions.
#pragma once

#include <limits>
#include <span>

#include "laws/catalogue.h"
#include "series/lists.h"
#include "tail/work_bounds.h"

namespace evstat {

constexpr double kLaw11TableStep = 0.0001;

// Most points of a curve table (the predictive survival curves of the expert study).
constexpr long long kMostCurveTablePoints = 1'000'000;

// A grid of abscissas x = first, first + step, ... while x <= last, and where its table ends.
struct Law11Grid {
    double first = 0.0;
    double last = 0.0;
    double step = kLaw11TableStep;
    long long mostPoints = kMostLaw11TablePoints;
    double stopAt = std::numeric_limits<double>::quiet_NaN();  // ends after the first value
                                                               // reaching it (NaN: none)
    bool endWhenStuck = true;  // ends at the first x the step no longer moves
};

// Appends (x, F0 + integral of the code-11 density from first - 1 to x) over the grid, F0 being
// the code-11 distribution function at first - 1; for code 8 the upper limit is ln x. Other
// codes append nothing; so does a step that is not positive. False when the table stopped at
// mostPoints points with abscissas of the grid still to go.
bool tabulate_law11(LawCode code, const ValueList& predictive, const Law11Grid& grid,
                    Sample& table);

// The range of the table: the smallest and the largest of the parent-family quantiles at 1 - p
// with mean p1 and standard deviations 1/sqrt(s1), 1/sqrt(s2) (3 times the first when s2 is 0)
// and p2, over the quantiles strictly between -DBL_MAX and +DBL_MAX. lo > hi when there is none.
void law11_table_range(LawCode code, const ValueList& parameters, double s1, double s2,
                       std::span<const double> levels, double& lo, double& hi);

// The points tabulate_law11 gives from lo to hi in steps of kLaw11TableStep, up to the first
// whose value reaches the largest 1 - p: the points the lookups of the levels read. False when
// the table stopped at mostPoints points before that, or would plainly pass that bound (then
// before it is begun).
bool tabulate_law11_to_levels(LawCode code, const ValueList& predictive, double lo, double hi,
                              std::span<const double> levels, long long mostPoints, Sample& table);

// x of the first pair whose value is >= probability; the last x when none is; NaN when empty.
double lookup_distribution(const Sample& table, double probability);

}  // namespace evstat
