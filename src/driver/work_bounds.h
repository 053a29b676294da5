// The most work one run may ask for. A request beyond a bound is refused with Erreur 12
// (InvalidLawParameters) before anything is allocated or written; every request within
// the bounds runs as it always did.
#pragma once

#include "tail/bayes_table/bayes_table.h"
#include "tail/work_bounds.h"

namespace evstat {

constexpr long long kMostGridPoints = 100'000'000;      // abscissas of one grid
constexpr long long kMostSampleValues = 100'000'000;    // values of one sample, drawn or read
constexpr long long kMostNumberedFiles = 1'000'000;     // numbered data files written or read
constexpr long long kMostValuesWritten = 1'000'000'000; // sample size times number of samples
constexpr long long kMostResampledValues = 1'000'000'000; // values the resampling tests of one series draw

// A grid of `steps` steps holds steps + 1 abscissas at most: more than kMostGridPoints
// (or a negative count) fails with 12.
void require_grid_within_bounds(long long steps);

// The simulation tasks (1 and 27) draw `sampleCount` samples of `sampleSize` values and
// write one numbered data file for each (at least one, Donnees.txt). Fails with 12 when
// the size (truncated) is above kMostSampleValues, the number of files above
// kMostNumberedFiles, or their product above kMostValuesWritten; a NaN or infinite size
// or count is refused too.
void require_simulation_within_bounds(double sampleSize, double sampleCount);

// The predictive tables of task 25: the points of the normal and lognormal table and the
// kernel evaluations of the Weibull-shape one, within the run's bounds (tail/work_bounds.h).
// A table stopped by its bound fails with 12, before anything is written.
[[noreturn]] void refuse_table(TableBound bound, const WorkBounds& bounds);

// The resampling tests of one series draw `resamples` series of `seriesSize` values for
// each of `tests` tests: more than kMostResampledValues values in all fails with 12.
void require_resampling_within_bounds(long long resamples, long long seriesSize, long long tests);

}  // namespace evstat
