// Diagnostic plot series of a tail fit: the generalized Pareto quantile plot of the
// excesses and the log-log (Zipf) plot of the largest values.
#include <cmath>

#include "tail/methods/tail.h"

namespace evstat {

void gpd_quantile_plot(std::span<const double> excesses, int k, double xi, Sample& plot) {
    if (k < 1) return;
    const double count = static_cast<double>(k);
    double c = 0.0;
    for (const double excess : excesses) {
        c += 1.0;
        // At xi = 0 the unit-scale quantile is the exponential one, ln(k/c).
        const double quantile =
            xi == 0.0 ? std::log(count / c) : (std::pow(count / c, xi) - 1.0) / xi;
        plot.push_back(quantile, excess);
    }
}

void log_log_plot(std::span<const double> series, int k, Sample& plot, double& slope) {
    slope = kTailFailure;
    if (k < 1 || k > size_of(series)) return;
    const int points = k == size_of(series) ? k : k + 1;
    const double count = static_cast<double>(k);
    // Built apart, largest value first at the back, so that the caller's plot only
    // receives the points appended in order and the slope reads this plot's ends.
    Sample own;
    auto value = series.rbegin();
    for (int m = points; m >= 1; --m, ++value)
        own.push_front(-std::log(static_cast<double>(m) / count), std::log(*value));
    for (const Point& point : own) plot.push_back(point.x, point.y);
    if (points < 2) return;
    const Point first = {own.x_at(1), own.y_at(1)};
    const Point last = {own.x_at(points), own.y_at(points)};
    slope = (last.y - first.y) / (last.x - first.x);
}

}  // namespace evstat
