// The interval the resampling tests share: the shared resampling loop (draw, sort, the
// test's own step over the sorted series, collect) and the interval between two order
// statistics of the collected values. Also the pieces the tests share around it: which
// parent laws can be drawn from, the quantile of a law refitted to a resample, and the
// verdict.
#pragma once

#include <span>

#include "laws/catalogue.h"
#include "series/lists.h"
#include "series/resample_loop.h"
#include "tail/quantile_tests/quantile_tests.h"

namespace evstat {

// B resamples in order; on success the interval [c_(j+1), c_(B'-j)], j = floor(B' d / 2),
// over the B' compared values that are numbers. False (ends untouched) when B < 1, a draw
// fails, B' = 0 or the positions fall outside 1..B'.
bool resampled_interval(WorkerPool& pool, int B, double d, const SeriesDraw& draw,
                        const SeriesFinish& finish, const StepMaker& makeStep, double& lower,
                        double& upper);

// The ends of the interval over an ascending list of values, as above.
bool percentile_interval(std::span<const double> sorted, double d, double& lower, double& upper);

// The law's quantile at 1 - p refitted to a sorted series (estimate_law); NaN when the
// estimate list is empty or all zero (no fit). The list is kept between calls.
class Refit {
  public:
    double quantile_at(std::span<const double> series, LawCode code, double p);

  private:
    ValueList estimates_;
};

// The tests run only with a threshold inside the series: 2 <= k < N.
bool usable_excess_count(int k, int N);

// The verdict of the compared value against the ends already in the outcome.
void decide(QuantileTestOutcome& outcome, double compared);

}  // namespace evstat
