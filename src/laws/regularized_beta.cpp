// Regularized incomplete beta function by its continued fraction (Abramowitz and Stegun 26.5.8)
// on the side of the mean where it converges fast, evaluated by the modified Lentz method; the
// factor x^a y^b / B(a, b) in Loader's saddle-point form when both shapes are large.
#include "laws/regularized_beta.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "laws/constants.h"
#include "laws/continued_fraction.h"
#include "laws/saddle_point.h"

namespace evstat {

namespace {

// Both shapes from here on: the factor in saddle-point form (a ln x, b ln y and ln B(a, b)
// would cancel).
constexpr double kSaddlePointShape = 10.0;
// The fraction needs about 5 sqrt(max(a, b)) passes near the mean.
constexpr long kMaxSteps = 10'000'000;

// The continued fraction of I_x(a, b) a B(a, b) / (x^a y^b), for x below (a + 1)/(a + b + 2).
double beta_fraction(double a, double b, double x) {
    const double sum = a + b;
    double c = 1.0;
    double d = 1.0 - sum * x / (a + 1.0);
    if (std::fabs(d) < kLentzTiny) d = kLentzTiny;
    d = 1.0 / d;
    double h = d;
    for (long m = 1; m < kMaxSteps; ++m) {
        const double dm = static_cast<double>(m);
        const double m2 = 2.0 * dm;
        // Even step: m (b - m) x / ((a + 2m - 1)(a + 2m)).
        h *= lentz_step(dm * (b - dm) * x / ((a + m2 - 1.0) * (a + m2)), 1.0, c, d);
        // Odd step: -(a + m)(a + b + m) x / ((a + 2m)(a + 2m + 1)).
        const double step =
            lentz_step(-(a + dm) * (sum + dm) * x / ((a + m2) * (a + m2 + 1.0)), 1.0, c, d);
        h *= step;
        if (std::fabs(step - 1.0) <= kMachineEpsilon) return h;
    }
    return kNaN;
}

}  // namespace

double beta_power_term(double a, double b, double x, double y) {
    if (x == 0.0 || y == 0.0) return 0.0;
    if (std::min(a, b) >= kSaddlePointShape) {
        const double n = a + b;
        return std::sqrt(a * b / (kTwoPi * n)) *
               std::exp(stirling_error(n) - stirling_error(a) - stirling_error(b) -
                        binomial_deviance(a, n * x) - binomial_deviance(b, n * y));
    }
    // The logarithm of the larger of x and y from the smaller, which is the exact one.
    const double log_x = x <= 0.5 ? std::log(x) : std::log1p(-y);
    const double log_y = y <= 0.5 ? std::log(y) : std::log1p(-x);
    return std::exp(a * log_x + b * log_y - log_beta(a, b));
}

TailPair regularized_beta(double a, double b, double x, double y) {
    if (!(a > 0.0 && b > 0.0 && x >= 0.0 && y >= 0.0) || std::isinf(a) || std::isinf(b))
        return {kNaN, kNaN};
    if (x == 0.0) return {0.0, 1.0};
    if (y == 0.0) return {1.0, 0.0};
    const double factor = beta_power_term(a, b, x, y);
    if (x * (a + b + 2.0) < a + 1.0) {
        const double lower = factor * beta_fraction(a, b, x) / a;
        return {lower, 1.0 - lower};
    }
    const double upper = factor * beta_fraction(b, a, y) / b;
    return {1.0 - upper, upper};
}

}  // namespace evstat
