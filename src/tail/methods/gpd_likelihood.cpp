// Maximum likelihood for the generalized Pareto tail through its profile likelihood
// in theta = -xi/sigma (Grimshaw, Technometrics 35, 1993): the fixed point
// theta = N / (S (N/T + 1)), S = sum x/(theta x - 1), T = sum ln(1 - theta x), then
// xi = T/N and sigma = -xi/theta. Admissible iterates keep theta <= 1/max(x).
#include <cmath>

#include "tail/methods/tail.h"

namespace evstat {

namespace {
constexpr double kRelativeTolerance = 0.001;  // stop when |d theta / theta| falls below this
constexpr int kMaxUpdates = 1000;  // updates after the first; the warning flag is set past this

// One fixed-point update of theta over the values.
double likelihood_update(std::span<const double> values, double theta) {
    const double count = static_cast<double>(size_of(values));
    double s = 0.0;
    double t = 0.0;
    for (const double x : values) {
        s += x / (theta * x - 1.0);
        t += std::log(1.0 - theta * x);
    }
    return count / (s * (1.0 / (t / count) + 1.0));
}

// theta must not exceed 1/m, m the largest value; a NaN iterate is not admissible either.
bool admissible(double theta, double largest) {
    return theta <= 1.0 / largest;
}

bool still_moving(double next, double previous) {
    return std::fabs((next - previous) / previous) >= kRelativeTolerance;
}
}  // namespace

void gpd_maximum_likelihood(std::span<const double> series, const ValueList& start, ValueList& fit,
                            bool& warning, bool& failure) {
    warning = false;
    if (series.empty()) {
        append_tail_failure(fit, failure);
        return;
    }
    const double largest = last_value(series);
    double previous = -start.at(1) / start.at(2);
    if (!admissible(previous, largest)) {
        append_tail_failure(fit, failure);
        return;
    }
    double theta = likelihood_update(series, previous);
    if (!admissible(theta, largest)) {
        append_tail_failure(fit, failure);
        return;
    }
    int updates = 1;
    while (still_moving(theta, previous) && updates <= kMaxUpdates) {
        previous = theta;
        theta = likelihood_update(series, theta);
        if (!admissible(theta, largest)) {
            append_tail_failure(fit, failure);
            return;
        }
        ++updates;
    }
    warning = updates > kMaxUpdates && still_moving(theta, previous);

    const double count = static_cast<double>(size_of(series));
    double t = 0.0;
    for (const double x : series) t += std::log(1.0 - theta * x);
    const double xi = (1.0 / count) * t;
    // At theta = 0 the tail is exponential: -xi/theta tends to the mean of the values.
    const double sigma = theta == 0.0 ? mean(series) : -xi / theta;
    if (!std::isfinite(xi) || !std::isfinite(sigma)) {
        append_tail_failure(fit, failure);
        return;
    }
    fit.push_back(xi);
    fit.push_back(sigma);
}

}  // namespace evstat
