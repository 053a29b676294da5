// Closed-form estimators from the sample moments and extremes: uniform bounds
// corrected by the sample size, exponential mean, rounded chi-square mean, normal and
// lognormal mean with the unbiased standard deviation, and the beta method of moments.
#include <cmath>

#include "estimation/estimators.h"

namespace evstat {

// The smallest and largest values x1, xn of the sorted series, widened by (xn - x1)/(n - 1).
void estimate_uniform(std::span<const double> series, int n, ValueList& estimates) {
    if (too_few_values(series, n, 2)) {
        append_zeros(estimates, 2);
        return;
    }
    const double size = static_cast<double>(n);
    const double first = first_value(series);
    const double last = last_value(series);
    estimates.push_back((size * first - last) / (size - 1.0));
    estimates.push_back((size * last - first) / (size - 1.0));
}

void estimate_exponential(std::span<const double> series, int n, ValueList& estimates) {
    if (too_few_values(series, n, 1) || has_non_positive(series)) {
        append_zeros(estimates, 1);
        return;
    }
    estimates.push_back(mean(series));
}

void estimate_chi_square(std::span<const double> series, int n, ValueList& estimates) {
    if (too_few_values(series, n, 1) || has_non_positive(series)) {
        append_zeros(estimates, 1);
        return;
    }
    estimates.push_back(round_to_nearest_integer(mean(series)));
}

void estimate_normal(std::span<const double> series, int n, ValueList& estimates) {
    if (too_few_values(series, n, 2)) {
        append_zeros(estimates, 2);
        return;
    }
    estimates.push_back(mean(series));
    estimates.push_back(std::sqrt(unbiased_variance(series, n)));
}

void estimate_lognormal(std::span<const double> series, int n, ValueList& estimates) {
    if (too_few_values(series, n, 2) || has_non_positive(series)) {
        append_zeros(estimates, 2);
        return;
    }
    const Series logarithms = logarithms_of(series);
    estimates.push_back(mean(logarithms));
    estimates.push_back(std::sqrt(unbiased_variance(logarithms, n)));
}

// Matches the mean m and the unbiased variance s^2 of a series in [0, 1]. A constant
// series (s^2 = 0) has no spread to match and gives zeros.
void estimate_beta(std::span<const double> series, int n, ValueList& estimates) {
    if (too_few_values(series, n, 2) || first_value(series) < 0.0 || last_value(series) > 1.0) {
        append_zeros(estimates, 2);
        return;
    }
    const double s2 = unbiased_variance(series, n);
    if (s2 == 0.0) {
        append_zeros(estimates, 2);
        return;
    }
    const double m = mean(series);
    const double a = m * m * (1.0 - m) / s2 - m;
    estimates.push_back(a);
    estimates.push_back((1.0 - m) * a / m);
}

}  // namespace evstat
