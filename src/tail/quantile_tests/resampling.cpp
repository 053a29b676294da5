// The interval over the shared resampling loop, the refit of a resample and the verdict.
#include "tail/quantile_tests/resampling.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "estimation/estimate.h"
#include "fittests/fit_scheme.h"
#include "laws/quantiles.h"

namespace evstat {

bool percentile_interval(std::span<const double> sorted, double d, double& lower,
                         double& upper) {
    const double count = static_cast<double>(sorted.size());
    const double j = std::floor(count * d / 2.0);
    if (!(j >= 0.0 && j <= count - 1.0)) return false;      // also a NaN level
    const std::size_t first = static_cast<std::size_t>(j);  // position j + 1
    lower = sorted[first];
    upper = sorted[sorted.size() - 1 - first];  // position B' - j
    return true;
}

bool resampled_interval(WorkerPool& pool, int B, double d, const SeriesDraw& draw,
                        const SeriesFinish& finish, const StepMaker& makeStep, double& lower,
                        double& upper) {
    Series compared;
    if (!resampled_values(pool, B, draw, finish, makeStep, compared)) return false;
    return percentile_interval(compared, d, lower, upper);
}

double Refit::quantile_at(std::span<const double> series, LawCode code, double p) {
    estimates_.clear();
    estimate_law(series, code, size_of(series), estimates_);
    const bool allZero =
        std::all_of(estimates_.begin(), estimates_.end(), [](double v) { return v == 0.0; });
    if (allZero) return std::nan("");  // an empty list too
    return quantile(code, estimates_, 1.0 - p);
}

bool usable_excess_count(int k, int N) {
    return k >= 2 && k < N;
}

void decide(QuantileTestOutcome& outcome, double compared) {
    outcome.verdict = outcome.lower <= compared && compared <= outcome.upper ? 1 : 0;
}

}  // namespace evstat
