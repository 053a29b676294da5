// Gamma shape and scale by the Greenwood and Durand (1960) rational approximation to
// the maximum-likelihood shape, in M = ln(mean) - mean(ln x).
#include <array>
#include <cmath>

#include "estimation/estimators.h"

namespace evstat {

namespace {
// Greenwood, J. A. and Durand, D. (1960), Technometrics 2, 55-65, to four decimals.
constexpr double kFirstRangeEnd = 0.5772;  // 0 < M <= 0.5772: first formula
constexpr double kSecondRangeEnd = 17.0;   // 0.5772 < M <= 17: second formula
constexpr std::array<double, 3> kFirstNumerator = {0.5001, 0.1648, -0.0544};
constexpr std::array<double, 3> kSecondNumerator = {8.8989, 9.0599, 0.9775};
constexpr std::array<double, 2> kSecondDenominator = {17.7973, 11.9685};
}  // namespace

bool greenwood_durand_shape(double m, double& shape) {
    if (m > 0.0 && m <= kFirstRangeEnd) {
        shape = (kFirstNumerator[0] + kFirstNumerator[1] * m + kFirstNumerator[2] * m * m) / m;
        return true;
    }
    if (m > kFirstRangeEnd && m <= kSecondRangeEnd) {
        shape = (kSecondNumerator[0] + kSecondNumerator[1] * m + kSecondNumerator[2] * m * m) /
                (m * (kSecondDenominator[0] + kSecondDenominator[1] * m + m * m));
        return true;
    }
    return false;  // M > 17, or M <= 0 (a constant series), or NaN
}

// A constant series (M = 0 exactly, or a rounding residue of either sign) has no
// finite shape and gives zeros like a series outside the support.
void estimate_gamma(std::span<const double> series, int n, ValueList& estimates) {
    if (too_few_values(series, n, 1) || has_non_positive(series) ||
        min_value(series) == max_value(series)) {
        append_zeros(estimates, 2);
        return;
    }
    const double average = mean(series);
    const Series logarithms = logarithms_of(series);
    const double m = std::log(average) - mean(logarithms);
    double shape = 0.0;
    if (!greenwood_durand_shape(m, shape)) {
        append_zeros(estimates, 2);
        return;
    }
    estimates.push_back(shape);
    estimates.push_back(average / shape);
}

}  // namespace evstat
