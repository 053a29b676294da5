// Parametric resampling of a test statistic for the laws without tables of critical
// values (a parametric bootstrap): samples drawn from the law with the given parameters,
// each refitted and tested against its own fit; the critical value is an order statistic
// of the replicate statistics.
#include <cmath>
#include <limits>

#include "estimation/estimate.h"
#include "fittests/fit_scheme.h"
#include "laws/random_values.h"
#include "series/resample_loop.h"

namespace evstat {

namespace {

// Degrees of freedom above this are refused: each chi-square or Student value, drawn or
// evaluated, costs about half as many terms, and the resampling asks for 200 n of them.
constexpr double kMaxDegreesOfFreedom = 1.0e5;

// The statistic of a replicate that its refitted law cannot describe (parameters outside
// the law's domain, or a statistic that is not a number): the worst fit, sorted last.
constexpr double kWorstFit = std::numeric_limits<double>::infinity();

bool degrees_of_freedom_usable(double nu) {
    const double whole = std::trunc(nu);
    return whole >= 1.0 && whole <= kMaxDegreesOfFreedom;  // false for a NaN
}

bool positive_finite(double value) {
    return value > 0.0 && std::isfinite(value);
}

double replicate_statistic(FitStatistic kind, LawCode code, std::span<const double> replicate,
                           const ValueList& estimates, Series& probabilities) {
    if (!resampling_parameters_usable(code, estimates)) return kWorstFit;
    probability_sample(replicate, code, estimates, probabilities);
    const double statistic = fit_statistic(kind, probabilities);
    return std::isnan(statistic) ? kWorstFit : statistic;
}

}  // namespace

bool resampling_parameters_usable(LawCode code, const ValueList& parameters) {
    switch (code) {
        case kChiSquare:
        case kStudent:
            return degrees_of_freedom_usable(parameters.at(1));
        case kBeta:
            return positive_finite(parameters.at(1)) && positive_finite(parameters.at(2));
        case kGpd:
            return std::isfinite(parameters.at(1)) && positive_finite(parameters.at(2));
        default:
            return false;
    }
}

int resampling_position(double level) {
    if (std::isnan(level)) return 0;
    const double position = kReplicates - std::floor(kReplicates * level);
    if (position <= 1.0) return 1;
    if (position >= kReplicates) return kReplicates;
    return static_cast<int>(position);
}

double resampled_critical_value(WorkerPool& pool, FitStatistic kind, LawCode code,
                                const ValueList& parameters, int n, int position) {
    const SeriesDraw draw = [&](Series& values) {
        draw_random_points(code, parameters, n, values);
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
