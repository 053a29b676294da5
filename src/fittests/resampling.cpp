// Parametric resampling of a test statistic for the laws without tables of critical
// values (a parametric bootstrap): samples drawn from the law with the given parameters,
// each refitted and tested against its own fit; the critical value is an order statistic
// of the replicate statistics.
#include <cmath>
#include <limits>

#include "estimation/estimate.h"
#include "fittests/fit_scheme.h"
#include "laws/random_values.h"
#include "laws/validity.h"
#include "series/resample_loop.h"

namespace evstat {

namespace {

// The statistic of a replicate that its refitted law cannot describe (parameters outside
// the law's domain, or a statistic that is not a number): the worst fit, sorted last.
constexpr double kWorstFit = std::numeric_limits<double>::infinity();

double replicate_statistic(FitStatistic kind, LawCode code, std::span<const double> replicate,
                           const ValueList& estimates, Series& probabilities) {
    if (!parameters_drawable(code, estimates)) return kWorstFit;
    probability_sample(replicate, code, estimates, probabilities);
    const double statistic = fit_statistic(kind, probabilities);
    return std::isnan(statistic) ? kWorstFit : statistic;
}

}  // namespace

int resampling_position(double level) {
    if (std::isnan(level)) return 0;
    const double position = kReplicates - std::floor(kReplicates * level);
    if (position <= 1.0) return 1;
    if (position >= kReplicates) return kReplicates;
    return static_cast<int>(position);
}

double resampled_critical_value(Generator& generator, WorkerPool& pool, FitStatistic kind,
                                LawCode code, const ValueList& parameters, int n, int position) {
    const SeriesDraw draw = [&](Series& values) {
        draw_random_points(generator, code, parameters, n, values);
        return true;
    };
    const SeriesFinish finish = [&](Series& values) {
        finish_random_values(code, parameters, values);
    };
    const StepMaker makeStep = [&]() -> ResampleStep {
        return [&, estimates = ValueList(),
                probabilities = Series()](std::span<const double> replicate) mutable {
            estimates.clear();
            estimate_law(replicate, code, n, estimates);
            return replicate_statistic(kind, code, replicate, estimates, probabilities);
        };
    };
    Series statistics;
    resampled_values(pool, kReplicates, draw, finish, makeStep, statistics);
    return value_at(statistics, position);
}

}  // namespace evstat
