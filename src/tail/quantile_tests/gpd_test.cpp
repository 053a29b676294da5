// The return level of a generalized Pareto tail fitted to the data, against the return
// levels of series resampled from the parent law and refitted with the same tail method
// (percentile interval), or (q - Q0) against the resampled differences from a refitted
// parent. A resample whose tail fit fails is left out.
#include <cmath>
#include <vector>

#include "laws/quantiles.h"
#include "laws/random_values.h"
#include "laws/validity.h"
#include "tail/methods/tail.h"
#include "tail/quantile_tests/quantile_tests.h"
#include "tail/quantile_tests/resampling.h"

namespace evstat {

void gpd_resampling_test(Generator& generator, WorkerPool& pool, std::span<const double> data,
                         int k, double u, LawCode code, const ValueList& parameters, double d,
                         double p, int B, int mode, const ValueList& fit, TailMethod method,
                         QuantileTestOutcome& outcome) {
    outcome = QuantileTestOutcome{};
    const int N = size_of(data);
    outcome.parentQuantile = quantile(code, parameters, 1.0 - p);
    if (!usable_excess_count(k, N)) return;
    outcome.estimate = return_level(u, fit.at(1), fit.at(2), k, p, N);
    if (mode != kDifferenceInterval && mode != kPercentileInterval) return;
    if (!parameters_drawable(code, parameters)) return;

    const SeriesDraw draw = [&](Series& values) {
        draw_random_points(generator, code, parameters, N, values);
        return true;
    };
    const SeriesFinish finish = [&](Series& values) {
        finish_random_values(code, parameters, values);
    };
    const StepMaker makeStep = [&]() -> ResampleStep {
        return [&, tail = ValueList(), refit = Refit()](std::span<const double> sorted) mutable {
            const double threshold = sorted[static_cast<std::size_t>(N - k - 1)];
            tail.clear();
            bool warning = false;
            bool failure = false;
            fit_tail(sorted, k, N, threshold, method, tail, warning, failure);
            if (failure || tail.size() < 2) return std::nan("");
            const double level = return_level(threshold, tail.at(1), tail.at(2), k, p, N);
            if (mode == kPercentileInterval) return level;
            return level - refit.quantile_at(sorted, code, p);
        };
    };
    if (!resampled_interval(pool, B, d, draw, finish, makeStep, outcome.lower, outcome.upper))
        return;
    decide(outcome, mode == kPercentileInterval ? outcome.estimate
                                                : outcome.estimate - outcome.parentQuantile);
}

}  // namespace evstat
