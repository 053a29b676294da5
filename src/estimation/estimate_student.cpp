// Student degrees of freedom: from the variance, Var T = nu / (nu - 2), when the series
// has an unbiased variance above 1; otherwise by matching the mean absolute value to
// E|T_nu| = sqrt(nu / pi) Gamma((nu - 1)/2) / Gamma(nu / 2) over nu = 2 .. 200.
#include <cmath>

#include "estimation/estimators.h"
#include "laws/constants.h"
#include "laws/gamma_error_functions.h"

namespace evstat {

namespace {
constexpr double kFirstTableDegrees = 2.0;
constexpr double kLastTableDegrees = 200.0;
constexpr double kFewestDegrees = 1.0;  // a mean absolute value above E|T_2| = sqrt(2)
}  // namespace

Sample student_mean_absolute_table() {
    Sample table;
    for (double nu = kFirstTableDegrees; nu <= kLastTableDegrees; nu += 1.0) {
        const double mean_absolute = std::sqrt(nu) / std::sqrt(kTruncatedPi) *
                                     gamma_function((nu - 1.0) / 2.0) / gamma_function(nu / 2.0);
        table.push_back(nu, mean_absolute);
    }
    return table;
}

namespace {
// The first nu of the table whose E|T_nu| is not above m; 0 when none is (m is NaN).
double degrees_from_mean_absolute(double m) {
    const Sample table = student_mean_absolute_table();
    if (m > std::sqrt(2.0)) return kFewestDegrees;
    if (m < table.rbegin()->y) return kLastTableDegrees;
    for (const Point& row : table)
        if (row.y <= m) return row.x;
    return 0.0;
}
}  // namespace

void estimate_student(std::span<const double> series, int n, ValueList& estimates) {
    if (too_few_values(series, n, 2)) {
        append_zeros(estimates, 1);
        return;
    }
    const double s2 = unbiased_variance(series, n);
    const double from_variance = 2.0 * s2 / (s2 - 1.0);
    if (from_variance > 0.0) {
        estimates.push_back(round_to_nearest_integer(from_variance));
        return;
    }
    Series magnitudes(series.begin(), series.end());
    apply_abs_if_non_positive(magnitudes);
    estimates.push_back(degrees_from_mean_absolute(mean(magnitudes)));
}

}  // namespace evstat
