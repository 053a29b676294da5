// Safeguarded Newton iteration on the logarithm of the smaller tail: in ln z for the gamma
// functions and in the logit of x for the beta function, where both tails are close to straight
// lines, with a bracket that falls back on bisection whenever a step would leave it.
#include "laws/tail_inverses.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "laws/constants.h"
#include "laws/gamma_error_functions.h"
#include "laws/normal_quantile.h"
#include "laws/regularized_beta.h"
#include "laws/regularized_gamma.h"
#include "laws/saddle_point.h"

namespace evstat {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// The search interval of ln z and of the logit: beyond it x (or 1 - x) is below the smallest
// subnormal double or z above the largest double.
constexpr double kLowestLog = -746.0;
constexpr double kHighestLog = 709.78;
constexpr double kLogitBound = 746.0;
// A step below this share of max(1, |v|) ends the search: the next would be below rounding.
constexpr double kStepTolerance = 4.0 * std::numeric_limits<double>::epsilon();
// Newton needs a handful of steps and bisection alone about 60; the tail functions' own rounding
// can keep the last steps from shrinking, so the search stops here with the best point.
constexpr int kMaxIterations = 120;

struct Residual {
    double value;  // ln(tail) - ln(target)
    double slope;  // its derivative in the search variable
};

// Safeguarded Newton on residual(v) = 0 within [low, high]; increasing tells the residual's
// direction. NaN when the tail function itself fails.
template <class Evaluate>
double solve(Evaluate residual, bool increasing, double start, double low, double high) {
    double v = std::isnan(start) ? 0.5 * (low + high) : std::clamp(start, low, high);
    for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
        const Residual r = residual(v);
        if (std::isnan(r.value)) return kNaN;
        if (r.value == 0.0) return v;
        if ((r.value < 0.0) == increasing)
            low = v;
        else
            high = v;
        double next = v - r.value / r.slope;
        if (!(next > low && next < high)) next = 0.5 * (low + high);
        const double tolerance = kStepTolerance * std::max(1.0, std::fabs(v));
        if (std::fabs(next - v) <= tolerance || high - low <= tolerance) return next;
        v = next;
    }
    return v;
}

// First guess of P(a, z) = lower: Wilson and Hilferty's cube of a normal deviate, or the leading
// terms of the series (lower tail) or of the fraction (upper tail) where the cube fails.
double gamma_start(double a, double lower, double upper) {
    const bool use_lower = lower <= upper;
    const double w =
        use_lower ? standard_normal_quantile(lower) : -standard_normal_quantile(upper);
    const double c = 1.0 - 1.0 / (9.0 * a) + w / (3.0 * std::sqrt(a));
    if (use_lower && (a < 1.0 || c <= 0.0))
        return (std::log(lower) + std::log(a) + log_gamma(a)) / a;  // ln z, z^a / Gamma(a + 1) = p
    if (c <= 0.0) return std::log(std::max(1.0, -std::log(upper) - log_gamma(a)));
    return std::log(a) + 3.0 * std::log(c);
}

double beta_start(double a, double b, double lower, double upper) {
    const double log_beta_ab = log_beta(a, b);
    const double mean = a / (a + b);
    if (lower <= upper) {
        const double x = std::exp((std::log(lower) + std::log(a) + log_beta_ab) / a);
        if (x < mean) return std::log(x) - std::log1p(-x);
    } else {
        const double y = std::exp((std::log(upper) + std::log(b) + log_beta_ab) / b);
        if (y < 1.0 - mean) return std::log1p(-y) - std::log(y);
    }
    return std::log(mean) - std::log1p(-mean);
}

}  // namespace

BetaPoint beta_point_from_logit(double u) {
    if (u < 0.0) {
        const double e = std::exp(u);
        return {e / (1.0 + e), 1.0 / (1.0 + e)};
    }
    const double e = std::exp(-u);
    return {1.0 / (1.0 + e), e / (1.0 + e)};
}

double gamma_tail_inverse(double a, double lower, double upper) {
    if (!(a > 0.0) || std::isinf(a) || !(lower >= 0.0 && upper >= 0.0)) return kNaN;
    if (lower == 0.0) return 0.0;
    if (upper == 0.0) return kInfinity;
    const bool use_lower = lower <= upper;
    const double log_target = std::log(use_lower ? lower : upper);
    auto residual = [&](double v) {
        const double z = std::exp(v);
        const TailPair pair = regularized_gamma(a, z);
        const double tail = use_lower ? pair.lower : pair.upper;
        // d tail / d ln z = +-z^a e^-z / Gamma(a).
        const double slope = gamma_power_term(a, z) / tail;
        return Residual{std::log(tail) - log_target, use_lower ? slope : -slope};
    };
    const double v =
        solve(residual, use_lower, gamma_start(a, lower, upper), kLowestLog, kHighestLog);
    return std::exp(v);
}

double beta_tail_inverse_logit(double a, double b, double lower, double upper) {
    if (!(a > 0.0 && b > 0.0) || std::isinf(a) || std::isinf(b) ||
        !(lower >= 0.0 && upper >= 0.0))
        return kNaN;
    if (lower == 0.0) return -kInfinity;
    if (upper == 0.0) return kInfinity;
    const bool use_lower = lower <= upper;
    const double log_target = std::log(use_lower ? lower : upper);
    auto residual = [&](double u) {
        const BetaPoint point = beta_point_from_logit(u);
        const TailPair pair = regularized_beta(a, b, point.x, point.y);
        const double tail = use_lower ? pair.lower : pair.upper;
        // d tail / du = +-x^a y^b / B(a, b), since dx/du = x y.
        const double slope = beta_power_term(a, b, point.x, point.y) / tail;
        return Residual{std::log(tail) - log_target, use_lower ? slope : -slope};
    };
    return solve(residual, use_lower, beta_start(a, b, lower, upper), -kLogitBound, kLogitBound);
}

}  // namespace evstat
