// Generalized Pareto shape and scale by probability-weighted moments, Hosking and
// Wallis (1987), Technometrics 29, 339-349, with the plotting weights 1 - (j - 0.35)/n.
#include "estimation/estimate.h"
#include "estimation/estimators.h"

namespace evstat {

namespace {
constexpr double kPlottingShift = 0.35;
}  // namespace

// The series is ascending. Fewer than two values, or a0 = 2 a1 (no finite scale),
// give zeros.
void estimate_gpd_parameters(std::span<const double> series, int n, ValueList& estimates) {
    if (too_few_values(series, n, 2)) {
        append_zeros(estimates, 2);
        return;
    }
    const double size = static_cast<double>(n);
    const double a0 = mean(series);
    // a1 = (1/n) sum of w_j x_(j) over the first n values, w_j = 1 - (j - 0.35)/n.
    double weighted_sum = 0.0;
    int j = 0;
    for (const double value : series) {
        if (++j > n) break;
        weighted_sum += (1.0 - (static_cast<double>(j) - kPlottingShift) / size) * value;
    }
    const double a1 = weighted_sum / size;
    const double denominator = a0 - 2.0 * a1;
    if (denominator == 0.0) {
        append_zeros(estimates, 2);
        return;
    }
    const double sigma = 2.0 * a0 * a1 / denominator;
    const double kappa = a0 / denominator - 2.0;
    estimates.push_back(-kappa);
    estimates.push_back(sigma);
}

}  // namespace evstat
