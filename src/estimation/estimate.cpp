// Parameter estimation by law: the dispatch over LawCode and the helpers the
// per-law estimators share.
#include "estimation/estimate.h"

#include <climits>
#include <cmath>

#include "estimation/estimators.h"

namespace evstat {

namespace {
constexpr double kLargestInteger = static_cast<double>(INT_MAX);
constexpr double kSmallestInteger = static_cast<double>(INT_MIN);
}  // namespace

void estimate_parameters(std::span<const double> series, LawCode code, int n,
                         ValueList& estimates) {
    switch (code) {
        case LawCode::kUniform:
            estimate_uniform(series, n, estimates);
            return;
        case LawCode::kExponential:
            estimate_exponential(series, n, estimates);
            return;
        case LawCode::kGamma:
            estimate_gamma(series, n, estimates);
            return;
        case LawCode::kChiSquare:
            estimate_chi_square(series, n, estimates);
            return;
        case LawCode::kNormal:
            estimate_normal(series, n, estimates);
            return;
        case LawCode::kStudent:
            estimate_student(series, n, estimates);
            return;
        case LawCode::kBeta:
            estimate_beta(series, n, estimates);
            return;
        case LawCode::kWeibull:
            estimate_weibull(series, n, estimates);
            return;
        case LawCode::kLognormal:
            estimate_lognormal(series, n, estimates);
            return;
        case LawCode::kPareto:
            estimate_pareto(series, n, estimates);
            return;
        default:
            return;  // the generalized Pareto law has its own estimator; others have none
    }
}

void append_zeros(ValueList& estimates, int count) {
    for (int i = 0; i < count; ++i) estimates.push_back(0.0);
}

bool too_few_values(std::span<const double> series, int n, int minimum) {
    return n < minimum || size_of(series) < minimum;
}

double unbiased_variance(std::span<const double> series, int n) {
    return variance(series) * static_cast<double>(n) / static_cast<double>(n - 1);
}

double round_to_nearest_integer(double value) {
    if (std::isnan(value)) return 0.0;
    const double whole = std::floor(value);
    const double rounded = value - whole > 0.5 ? whole + 1.0 : whole;
    if (rounded >= kLargestInteger) return kLargestInteger;
    if (rounded <= kSmallestInteger) return kSmallestInteger;
    return static_cast<double>(static_cast<int>(rounded));
}

void estimate_law(std::span<const double> series, LawCode code, int n, ValueList& estimates) {
    if (code == LawCode::kGpd)
        estimate_gpd_parameters(series, n, estimates);
    else
        estimate_parameters(series, code, n, estimates);
}

}  // namespace evstat
