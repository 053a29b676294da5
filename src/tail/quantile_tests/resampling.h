// The pattern the resampling tests share: B series drawn one after the other (draw, sort,
// the test's own estimate over the sorted series, next series), the compared values
// collected, and the interval between two order statistics of them. Also the pieces the
// tests share around it: which parent laws can be drawn from, the quantile of a law
// refitted to a resample, and the verdict.
#pragma once

#include <functional>
#include <vector>

#include "laws/catalogue.h"
#include "series/lists.h"
#include "tail/quantile_tests/quantile_tests.h"

namespace evstat {

// One resampled series, sorted ascending, as contiguous values and, when a step asks for
// it, as a Sample numbered 1..N whose points are rewritten in place from one resample to
// the next.
class ResampledSeries {
public:
    std::vector<double>& values() { return values_; }
    const Sample& sample();
    void changed() { sampleCurrent_ = false; }

private:
    std::vector<double> values_;
    Sample sample_;
    bool sampleCurrent_ = false;
};

// Fills the values with the next series; false when it cannot (the pattern then stops).
using SeriesDraw = std::function<bool(std::vector<double>& values)>;
// The compared value of one sorted resample; NaN leaves the resample out.
using ResampleStep = std::function<double(ResampledSeries& series)>;

// B resamples in order; on success the interval [c_(j+1), c_(B'-j)], j = floor(B' d / 2),
// over the B' compared values that are numbers. False (ends untouched) when B < 1, a draw
// fails, B' = 0 or the positions fall outside 1..B'.
bool resampled_interval(int B, double d, const SeriesDraw& draw, const ResampleStep& step,
                        double& lower, double& upper);

// The ends of the interval over an ascending list of values, as above.
bool percentile_interval(const std::vector<double>& sorted, double d, double& lower,
                         double& upper);

// The law's quantile at 1 - p refitted to a sorted series (estimate_law); NaN when the
// estimate list is empty or all zero (no fit). The list is kept between calls. The normal
// law is refitted over the contiguous values with the arithmetic of its estimator, in the
// same order; every other law through its Sample form.
class Refit {
public:
    double quantile_at(ResampledSeries& series, LawCode code, double p);
    double quantile_at(const Sample& series, LawCode code, double p);

private:
  double quantile_or_nan(LawCode code, double p) const;
  void estimate_normal(const std::vector<double>& values);

  ValueList estimates_;
};

// The tests run only with a threshold inside the series: 2 <= k < N.
bool usable_excess_count(int k, int N);

// The verdict of the compared value against the ends already in the outcome.
void decide(QuantileTestOutcome& outcome, double compared);

}  // namespace evstat
