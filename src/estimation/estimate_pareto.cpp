// Pareto threshold and exponent: the maximum-likelihood estimates (smallest value and
// 1 / mean log-excess over it) with their small-sample bias corrections,
// threshold (1 - 1/((n - 1) alpha)) m0 and exponent (1 - 2/n) alpha.
#include <cmath>

#include "estimation/estimators.h"

namespace evstat {

// A series with no spread above its smallest value (constant, or a mean log-excess that
// rounding leaves at or below 0) has no finite exponent and gives zeros.
void estimate_pareto(std::span<const double> series, int n, ValueList& estimates) {
    if (too_few_values(series, n, 2) || has_non_positive(series)) {
        append_zeros(estimates, 2);
        return;
    }
    const double smallest = min_value(series);
    const Series logarithms = logarithms_of(series);
    const double mean_log_excess = mean(logarithms) - std::log(smallest);
    if (!(mean_log_excess > 0.0)) {
        append_zeros(estimates, 2);
        return;
    }
    const double alpha = 1.0 / mean_log_excess;
    const double size = static_cast<double>(n);
    estimates.push_back((1.0 - 1.0 / ((size - 1.0) * alpha)) * smallest);
    estimates.push_back((1.0 - 2.0 / size) * alpha);
}

}  // namespace evstat
