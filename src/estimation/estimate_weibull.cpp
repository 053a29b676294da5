// Weibull (F(x) = 1 - exp(-x^k / theta)) by maximum likelihood. Over z_i = -ln(x_i / X),
// X the largest value, the likelihood equation for b = 1/k is b = zbar - S1(b)/S0(b)
// with S0 = sum exp(-z_i/b), S1 = sum z_i exp(-z_i/b); it is iterated as a fixed point,
// and when that does not settle (it can fall into a cycle of period 2 on real series)
// the same equation is solved by Brent's (1973) bracketed root search.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include "estimation/estimators.h"
#include "laws/constants.h"
#include "series/division.h"
#include "series/elementwise.h"

namespace evstat {

namespace {
constexpr double kTolerance = 1e-07;         // on successive values of b = 1/k
constexpr int kMaxSweeps = 5000;             // the fixed point gives up here
constexpr double kLargestExponent = 709.78;  // exp overflows beyond this
constexpr int kMaxRootSteps = 200;           // Brent's search; bisection alone needs < 1100
constexpr double kFailed = std::numeric_limits<double>::quiet_NaN();

// The values whose exponentials one pass takes at once, so that they stay in the first cache.
constexpr std::size_t kChunk = 512;

enum class Sweeps { kConverged, kUnsettled, kOverflow };

// The fixed point from b = 1 (the value before it standing at 2). Unsettled: 5000 sweeps
// without meeting the tolerance, an iterate that exactly repeats the one two sweeps
// before (a cycle the iteration never leaves), or one that is not a positive number
// (the next sweep would divide by zero or by a negative 1/k).
Sweeps fixed_point(std::span<const double> z, double zbar, double& b) {
    double prev = 2.0;
    double cur = 1.0;
    double two_back = kFailed;
    int count = 0;
    while (std::fabs(cur - prev) > kTolerance && count != kMaxSweeps) {
        two_back = count == 0 ? kFailed : prev;
        prev = cur;
        double s0 = 0.0;
        double s1 = 0.0;
        if (!weibull_likelihood_sums(z, prev, s0, s1)) return Sweeps::kOverflow;
        cur = zbar - s1 / s0;
        ++count;
        if (!(cur > 0.0) || (cur == two_back && std::fabs(cur - prev) > kTolerance))
            return Sweeps::kUnsettled;
    }
    b = cur;
    return count == kMaxSweeps && std::fabs(cur - prev) > kTolerance ? Sweeps::kUnsettled
                                                                     : Sweeps::kConverged;
}

// h(b) = b - zbar + S1(b)/S0(b). The largest value has z = 0, so S0 >= 1 and h tends to
// -zbar as b goes to 0, which b = 0 stands for.
double likelihood_equation(std::span<const double> z, double zbar, double b) {
    if (b == 0.0) return -zbar;
    double s0 = 0.0;
    double s1 = 0.0;
    if (!weibull_likelihood_sums(z, b, s0, s1)) return kFailed;
    return b - zbar + s1 / s0;
}

// The next step d of the search from b (e the one before it): the secant or inverse
// quadratic interpolation where it stays inside the bracket and shrinks fast enough, else
// half the bracket.
void next_step(double a, double b, double c, double fa, double fb, double fc, double half,
               double tol, double& d, double& e) {
    if (std::fabs(e) >= tol && std::fabs(fa) > std::fabs(fb)) {
        const double s = fb / fa;
        double p = 0.0;
        double q = 0.0;
        if (a == c) {
            p = 2.0 * half * s;
            q = 1.0 - s;
        } else {
            const double qa = fa / fc;
            const double r = fb / fc;
            p = s * (2.0 * half * qa * (qa - r) - (b - a) * (r - 1.0));
            q = (qa - 1.0) * (r - 1.0) * (s - 1.0);
        }
        if (p > 0.0) q = -q;
        p = std::fabs(p);
        if (2.0 * p < std::fmin(3.0 * half * q - std::fabs(tol * q), std::fabs(e * q))) {
            e = d;
            d = p / q;
            return;
        }
    }
    d = half;
    e = d;
}

// Brent's root search over [0, zbar], where h goes from -zbar < 0 to S1/S0 >= 0.
double bracketed_root(std::span<const double> z, double zbar) {
    double a = 0.0;
    double b = zbar;
    double fa = -zbar;
    double fb = likelihood_equation(z, zbar, b);
    if (!(fa < 0.0) || !(fb >= 0.0)) return kFailed;
    double c = b;
    double fc = fb;
    double d = b - a;
    double e = d;
    for (int step = 0; step < kMaxRootSteps; ++step) {
        if ((fb > 0.0 && fc > 0.0) || (fb < 0.0 && fc < 0.0)) {
            c = a;
            fc = fa;
            d = b - a;
            e = d;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b;
            b = c;
            c = a;
            fa = fb;
            fb = fc;
            fc = fa;
        }
        const double tol = 2.0 * kMachineEpsilon * std::fabs(b) + 0.5 * kTolerance;
        const double half = 0.5 * (c - b);
        if (std::fabs(half) <= tol || fb == 0.0) return b;
        next_step(a, b, c, fa, fb, fc, half, tol, d, e);
        a = b;
        fa = fb;
        b += std::fabs(d) > tol ? d : std::copysign(tol, half);
        fb = likelihood_equation(z, zbar, b);
        if (std::isnan(fb)) return kFailed;
    }
    return kFailed;
}

}  // namespace

// The exponents -z_i/b of a chunk are taken first, then their exponentials all at once,
// then the two sums in the order of the values, each term as the value-by-value loop adds
// it; at an exponent past the overflow guard the sums stop before its term.
bool weibull_likelihood_sums(std::span<const double> z, double b, double& s0, double& s1) {
    double sum0 = 0.0;  // held here, not through the references, for the speed of the loop
    double sum1 = 0.0;
    double e[kChunk];
    bool overflow = false;
    for (std::size_t first = 0; first < z.size() && !overflow; first += kChunk) {
        const std::span<const double> part = z.subspan(first, std::min(kChunk, z.size() - first));
        // -z_i/b, as z_i/(-b) is the same quotient
        const double largest = divide_each(part, -b, {e, part.size()});
        std::size_t usable = part.size();
        if (largest > kLargestExponent) {
            usable = 0;
            while (!(e[usable] > kLargestExponent)) ++usable;
        }
        exp_each({e, usable}, {e, usable});
        for (std::size_t i = 0; i < usable; ++i) {
            sum1 += part[i] * e[i];
            sum0 += e[i];
        }
        overflow = usable < part.size();
    }
    s0 = sum0;
    s1 = sum1;
    return !overflow;
}

bool weibull_inverse_shape(std::span<const double> z, double& b) {
    b = kFailed;
    if (z.empty()) return true;
    const double zbar = mean(z);
    double fixed = kFailed;
    const Sweeps outcome = fixed_point(z, zbar, fixed);
    if (outcome == Sweeps::kOverflow) return false;
    b = outcome == Sweeps::kConverged ? fixed : bracketed_root(z, zbar);
    return true;
}

// A constant series (every z_i = 0) has no finite shape and gives zeros, as does a
// likelihood equation with no usable root (values that are not finite).
void estimate_weibull(std::span<const double> series, int n, ValueList& estimates) {
    if (too_few_values(series, n, 1) || has_non_positive(series)) {
        append_zeros(estimates, 2);
        return;
    }
    const double largest = max_value(series);
    Series z(series.size());
    divide_each(series, largest, z);
    log_each(z, z);
    bool all_zero = true;
    for (double& zi : z) {
        zi = -zi;
        all_zero = all_zero && zi == 0.0;
    }
    double b = kFailed;
    if (all_zero || !weibull_inverse_shape(z, b) || !(b > 0.0) || !std::isfinite(b)) {
        append_zeros(estimates, 2);
        return;
    }
    estimates.push_back(1.0 / b);
    double s0 = 0.0;
    double s1 = 0.0;
    weibull_likelihood_sums(z, b, s0, s1);
    const double theta =
        1.0 / std::exp(-std::log(std::exp(std::log(largest) / b) * s0 / static_cast<double>(n)));
    estimates.push_front(theta);
}

}  // namespace evstat
