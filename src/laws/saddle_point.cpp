// C. Loader, Fast and accurate computation of binomial probabilities (2000): the Stirling
// correction and the deviance term of the saddle-point expansion.
#include "laws/saddle_point.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "laws/gamma_error_functions.h"

namespace evstat {

namespace {

constexpr double kLogSqrtTwoPi = 0.918938533204672741780329736406;
// From this argument on the Stirling series below is exact to rounding; below it the correction
// is taken from ln Gamma, whose terms are still small enough not to cancel.
constexpr double kStirlingSeriesFrom = 10.0;
// B(2k) / (2k (2k - 1)), k = 1 .. 8: the Stirling series of ln Gamma in powers of 1/z^2.
constexpr std::array<double, 8> kStirlingSeries = {
    1.0 / 12.0,     -1.0 / 360.0,        1.0 / 1260.0, -1.0 / 1680.0,
    1.0 / 1188.0,   -691.0 / 360360.0,   1.0 / 156.0,  -3617.0 / 122400.0};
// |x - m| below this share of x + m: the deviance by its series in v = (x - m)/(x + m).
constexpr double kDevianceSeriesWidth = 0.1;
// v^2 < 0.0083 there, so the series has converged long before this many terms.
constexpr int kMaxDevianceTerms = 1000;

}  // namespace

double stirling_error(double z) {
    if (z < kStirlingSeriesFrom)
        return log_gamma(z + 1.0) - (z + 0.5) * std::log(z) + z - kLogSqrtTwoPi;
    const double s = 1.0 / (z * z);
    double sum = kStirlingSeries.back();
    for (int i = static_cast<int>(kStirlingSeries.size()) - 2; i >= 0; --i)
        sum = sum * s + kStirlingSeries[i];
    return sum / z;
}

double binomial_deviance(double x, double m) {
    if (x == 0.0) return m;
    if (std::fabs(x - m) < kDevianceSeriesWidth * (x + m)) {
        // 2x (v^3/3 + v^5/5 + ...) + (x - m) v: no term cancels.
        const double v = (x - m) / (x + m);
        const double v2 = v * v;
        double sum = (x - m) * v;
        double term = 2.0 * x * v;
        for (int j = 1; j < kMaxDevianceTerms; ++j) {
            term *= v2;
            const double next = sum + term / (2 * j + 1);
            if (next == sum) break;
            sum = next;
        }
        return sum;
    }
    return x * std::log(x / m) + m - x;
}

double log_beta(double a, double b) {
    const double small = std::min(a, b);
    const double large = std::max(a, b);
    const double sum = a + b;
    if (large < kStirlingSeriesFrom) return log_gamma(a) + log_gamma(b) - log_gamma(sum);
    if (small < kStirlingSeriesFrom) {
        // ln Gamma(large) - ln Gamma(sum) by Stirling's formula on both, the large logarithms
        // gathered into log1p(small / large).
        return log_gamma(small) - (large - 0.5) * std::log1p(small / large) -
               small * std::log(sum) + small + stirling_error(large) - stirling_error(sum);
    }
    return kLogSqrtTwoPi - 0.5 * std::log(large) - (small - 0.5) * std::log1p(large / small) -
           large * std::log1p(small / large) + stirling_error(small) + stirling_error(large) -
           stirling_error(sum);
}

}  // namespace evstat
