// Regularized incomplete gamma functions: the power series of P below x = a + 1 and Legendre's
// continued fraction of Q above it (Abramowitz and Stegun 6.5.29 and 6.5.31), the fraction
// evaluated by the modified Lentz method; the common factor
// x^a e^-x / Gamma(a) in Loader's saddle-point form for large shapes.
#include "laws/regularized_gamma.h"

#include <cmath>
#include <limits>

#include "laws/constants.h"
#include "laws/continued_fraction.h"
#include "laws/gamma_error_functions.h"
#include "laws/saddle_point.h"

namespace evstat {

namespace {

// Shapes from here on take the factor in saddle-point form: a ln x and ln Gamma(a) grow like
// a ln a and would otherwise cancel.
constexpr double kSaddlePointShape = 10.0;
// Near x = a both the series and the fraction need about 9 sqrt(a) steps; this bound admits
// shapes up to about 1e12 and stops any argument that would loop longer.
constexpr long kMaxSteps = 10'000'000;
// Shapes below 1: Q from its own series where P is above one half (see small_shape_upper); ln
// Gamma(1 + a) from Cody's range around 1 up to a = 1/2.
constexpr double kSmallShapeCodyRange = 0.5;
// x < 2 there, so x^n / n! is below 1e-17 after 25 terms.
constexpr int kMaxSmallShapeTerms = 60;

// Sum of x^n / ((a + 1) ... (a + n)), n >= 0: P(a, x) = x^a e^-x / Gamma(a + 1) times this.
double lower_series(double a, double x) {
    double term = 1.0;
    double sum = 1.0;
    double ap = a;
    for (long n = 0; n < kMaxSteps; ++n) {
        ap += 1.0;
        term *= x / ap;
        sum += term;
        if (term <= sum * kMachineEpsilon) return sum;
    }
    return kNaN;
}

// 1 / (x + 1 - a - 1 (1 - a) / (x + 3 - a - 2 (2 - a) / (x + 5 - a - ...))): Q(a, x) divided by
// x^a e^-x / Gamma(a).
double upper_fraction(double a, double x) {
    double b = x + 1.0 - a;
    double c = 1.0 / kLentzTiny;
    double d = 1.0 / b;
    double h = d;
    for (long i = 1; i < kMaxSteps; ++i) {
        const double an = -static_cast<double>(i) * (static_cast<double>(i) - a);
        b += 2.0;
        const double step = lentz_step(an, b, c, d);
        h *= step;
        if (std::fabs(step - 1.0) <= kMachineEpsilon) return h;
    }
    return kNaN;
}

// Q(a, x) for a < 1 and x < 2, where the series gives P near 1: with Gamma(a) = Gamma(1 + a)/a,
// Q = (1 - x^a / Gamma(1 + a)) - (x^a / Gamma(a)) sum_{n >= 1} (-1)^n x^n / (n! (a + n)), the first
// term from expm1 and ln Gamma(1 + a) in its own variable (DiDonato and Morris, 1986).
double small_shape_upper(double a, double x) {
    const double log_gamma_1a =
        a <= kSmallShapeCodyRange ? log_gamma_one_plus(a) : log_gamma(1.0 + a);
    const double log_power = a * std::log(x) - log_gamma_1a;  // ln(x^a / Gamma(1 + a))
    double term = 1.0;
    double sum = 0.0;
    for (int n = 1; n < kMaxSmallShapeTerms; ++n) {
        term *= -x / n;
        const double next = sum + term / (a + n);
        if (next == sum) break;
        sum = next;
    }
    return -std::expm1(log_power) - std::exp(log_power) * a * sum;
}

}  // namespace

double gamma_power_term(double a, double x) {
    if (x == 0.0) return 0.0;
    if (a < kSaddlePointShape) return std::exp(a * std::log(x) - x - log_gamma(a));
    return std::sqrt(a / kTwoPi) * std::exp(-binomial_deviance(a, x) - stirling_error(a));
}

TailPair regularized_gamma(double a, double x) {
    if (!(a > 0.0 && x >= 0.0) || std::isinf(a)) return {kNaN, kNaN};
    if (x == 0.0) return {0.0, 1.0};
    if (std::isinf(x)) return {1.0, 0.0};
    const double factor = gamma_power_term(a, x);
    if (x < a + 1.0) {
        const double p = factor / a * lower_series(a, x);
        if (a < 1.0 && p > 0.5) {
            const double q = small_shape_upper(a, x);
            return {1.0 - q, q};
        }
        return {p, 1.0 - p};
    }
    const double q = factor * upper_fraction(a, x);
    return {1.0 - q, q};
}

}  // namespace evstat
