// The scheme of the tests of fit with critical values: refusals by law, the probability
// sample and its guard, then a decision with a table (modified statistic, statistic not
// above the critical value) or with parametric resampling (statistic strictly below it),
// and the Pareto series tested as an exponential one.
#include "fittests/fit_scheme.h"

#include <cmath>

#include "fittests/fit_test.h"
#include "laws/distributions.h"
#include "laws/validity.h"

namespace evstat {

namespace {

// The modifications divide by n and the Pareto transformation by n - 1: a series of one
// observation (or none) is refused.
constexpr int kMinimumSize = 2;

// How many parameters each law reads, by LawCode 0 to 10; all must be finite numbers.
// The Pareto law ignores its parameters (its series is turned into an exponential one).

bool parameters_finite(LawCode code, const ValueList& parameters) {
    const int count = code == LawCode::kPareto ? 0 : parameter_count(code);
    for (int i = 1; i <= count; ++i)
        if (!std::isfinite(parameters.at(i))) return false;
    return true;
}

// Laws whose probability sample must lie strictly inside (0, 1).
bool uses_probability_guard(LawCode code) {
    return code == LawCode::kExponential || code == LawCode::kGamma || code == LawCode::kNormal || code == LawCode::kWeibull ||
           code == LawCode::kLognormal;
}

// The refusals of each law that come before its probability sample. The resampling laws
// are also refused when the generator could not draw from them (see
// resampling_parameters_usable): a negative beta parameter from a method-of-moments fit,
// for instance, would otherwise reach the gamma sampler.
bool refused_by_law(LawCode code, std::span<const double> data, const ValueList& parameters) {
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    switch (code) {
        case LawCode::kExponential:
        case LawCode::kWeibull:
        case LawCode::kLognormal:
        case LawCode::kPareto:
            return has_non_positive(data);
        case LawCode::kGamma:
            return has_non_positive(data) || !(p1 > 0.0);
        case LawCode::kChiSquare:
            return !parameters_drawable(code, parameters) || has_non_positive(data);
        case LawCode::kStudent:
            return !parameters_drawable(code, parameters);
        case LawCode::kBeta:
            return has_non_positive(data) || last_value(data) > 1.0 ||
                   !parameters_drawable(code, parameters);
        case LawCode::kGpd:
            return has_non_positive(data) || (p1 < 0.0 && -p2 / p1 <= last_value(data)) ||
                   !parameters_drawable(code, parameters);
        default:
            return false;
    }
}

// The modified statistic, its table value and the decision statistic <= critical value.
// A level that is none of the five leaves the critical value and the decision at 0.
void decide_with_table(FitStatistic kind, LawCode code, double gammaShape, double raw, int n,
                       double level, int& accepted, double& statistic, double& criticalValue) {
    statistic = corrected_statistic(kind, code, raw, n);
    criticalValue = table_critical_value(kind, code, gammaShape, level);
    if (criticalValue > 0.0) accepted = statistic <= criticalValue ? 1 : 0;
}

void table_test(FitStatistic kind, std::span<const double> data, LawCode code,
                const ValueList& parameters, double level, int& accepted, double& statistic,
                double& criticalValue) {
    Series probabilities;
    probability_sample(data, code, parameters, probabilities);
    if (uses_probability_guard(code) && !probabilities_inside_unit_interval(probabilities)) return;
    const double raw = fit_statistic(kind, probabilities);
    if (std::isnan(raw)) return;
    decide_with_table(kind, code, parameters.at(1), raw, size_of(data), level, accepted, statistic,
                      criticalValue);
}

void pareto_test(FitStatistic kind, std::span<const double> data, double level, int& accepted,
                 double& statistic, double& criticalValue) {
    Series probabilities;
    if (!pareto_exponential_probabilities(data, probabilities)) return;
    const double raw = fit_statistic(kind, probabilities);
    if (std::isnan(raw)) return;
    decide_with_table(kind, LawCode::kPareto, 0.0, raw, size_of(data), level, accepted, statistic,
                      criticalValue);
}

// The statistic of the data with the given parameters (no guard, no modification) against
// the replicate statistic at the level's position; a NaN level reports the statistic only.
void resampling_test(Generator& generator, WorkerPool& pool, FitStatistic kind,
                     std::span<const double> data, LawCode code, const ValueList& parameters,
                     double level, int& accepted, double& statistic, double& criticalValue) {
    Series probabilities;
    probability_sample(data, code, parameters, probabilities);
    const double dataStatistic = fit_statistic(kind, probabilities);
    if (std::isnan(dataStatistic)) return;
    statistic = dataStatistic;
    const int position = resampling_position(level);
    if (position == 0) return;
    criticalValue =
        resampled_critical_value(generator, pool, kind, code, parameters, size_of(data), position);
    accepted = statistic < criticalValue ? 1 : 0;
}

}  // namespace

void run_fit_test(Generator& generator, WorkerPool& pool, FitStatistic kind,
                  std::span<const double> data, LawCode code, const ValueList& parameters,
                  double level, int& accepted, double& statistic, double& criticalValue) {
    accepted = 0;
    statistic = 0.0;
    criticalValue = 0.0;
    if (size_of(data) < kMinimumSize || !is_parent_law(code)) return;
    if (!parameters_finite(code, parameters) || refused_by_law(code, data, parameters)) return;
    if (code == LawCode::kPareto)
        pareto_test(kind, data, level, accepted, statistic, criticalValue);
    else if (fit_test_resamples(code))
        resampling_test(generator, pool, kind, data, code, parameters, level, accepted, statistic,
                        criticalValue);
    else
        table_test(kind, data, code, parameters, level, accepted, statistic, criticalValue);
}

bool fit_test_resamples(LawCode code) {
    return code == LawCode::kChiSquare || code == LawCode::kStudent || code == LawCode::kBeta ||
           code == LawCode::kGpd;
}

double fit_statistic(FitStatistic kind, std::span<const double> probabilities) {
    return kind == FitStatistic::AndersonDarling ? anderson_darling_statistic(probabilities)
                                                 : cramer_von_mises_statistic(probabilities);
}

double modified_statistic(const Modification& modification, double raw, int n) {
    const double size = static_cast<double>(n);
    const double squared = size * size;
    const double shifted = raw + modification.shiftPerN / size + modification.shiftPerN2 / squared;
    return shifted * (1.0 + modification.perN / size + modification.perN2 / squared +
                      modification.perRootN / std::sqrt(size));
}

double corrected_statistic(FitStatistic kind, LawCode code, double raw, int n) {
    return kind == FitStatistic::AndersonDarling ? corrected_anderson_darling(code, raw, n)
                                                 : corrected_cramer_von_mises(code, raw, n);
}

void probability_sample(std::span<const double> data, LawCode code, const ValueList& parameters,
                        Series& probabilities) {
    probabilities.clear();
    for (const double x : data) probabilities.push_back(distribution(code, parameters, x));
}

bool probabilities_inside_unit_interval(std::span<const double> probabilities) {
    for (const double p : probabilities)
        if (!(p > 0.0 && p < 1.0)) return false;
    return true;
}

// The logarithms of a Pareto series follow an exponential law with origin ln(threshold);
// origin a and scale b are estimated from the smallest logarithm and the mean.
bool pareto_exponential_probabilities(std::span<const double> data, Series& probabilities) {
    const Series logarithms = logarithms_of(data);
    const double n = static_cast<double>(logarithms.size());
    const double first = first_value(logarithms);
    const double b = (mean(logarithms) - first) * n / (n - 1.0);
    const double a = first - b / n;
    if (!(b > 0.0) || !std::isfinite(b) || !std::isfinite(a)) return false;
    probabilities.clear();
    for (const double logarithm : logarithms) {
        const double z = (logarithm - a) / b;
        probabilities.push_back(1.0 - std::exp(-z));
    }
    sort_ascending(probabilities);
    return true;
}

}  // namespace evstat
