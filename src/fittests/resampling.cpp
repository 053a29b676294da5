// Parametric resampling of a test statistic for the laws without tables of critical
// values (a parametric bootstrap): samples drawn from the law with the given parameters,
// each refitted and tested against its own fit; the critical value is an order statistic
// of the replicate statistics.
#include <cmath>
#include <limits>

#include "estimation/estimate.h"
#include "fittests/fit_scheme.h"
#include "laws/evaluate.h"
#include "laws/validity.h"

namespace evstat {

namespace {

// The statistic of a replicate that its refitted law cannot describe (parameters outside
// the law's domain, or a statistic that is not a number): the worst fit, sorted last.
constexpr double kWorstFit = std::numeric_limits<double>::infinity();

double replicate_statistic(FitStatistic kind, LawCode code, const Sample& replicate,
                           const ValueList& estimates) {
    if (!parameters_drawable(code, estimates)) return kWorstFit;
    Sample probabilities;
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

double resampled_critical_value(Generator& generator, FitStatistic kind, LawCode code,
                                const ValueList& parameters, int n, int position) {
    Sample statistics;
    for (int r = 1; r <= kReplicates; ++r) {
        Sample replicate;
        random_sample(generator, code, parameters, n, replicate);
        replicate.sort_ascending();
        ValueList estimates;
        estimate_law(replicate, code, n, estimates);
        statistics.push_back(r, replicate_statistic(kind, code, replicate, estimates));
    }
    statistics.sort_ascending();
    return statistics.y_at(position);
}

}  // namespace evstat
