// Romberg integration: trapezoid refinements extrapolated to step zero by Neville's polynomial
// interpolation (Numerical Recipes' qromb, trapzd and polint).
//
// An integrand is any type f with f(x) -> double. Each integration owns its running trapezoid
// sum (stage n refines the sum stage n - 1 left), so integrations may nest (the code-11
// distribution function integrated in mode 1 integrates the density at every point) or run
// in several threads at once.
#pragma once

#include <array>
#include <cmath>
#include <concepts>
#include <limits>
#include <span>

#include "laws/catalogue.h"
#include "series/lists.h"

namespace evstat {

constexpr int kRombergStages = 19;           // trapezoid stages before giving up (returns 0)
constexpr int kRombergOrder = 5;             // points of each extrapolation, first made at stage 5
constexpr double kRombergTolerance = 1e-06;  // |error estimate| <= this x |integral| ends the run
constexpr double kRombergStepRatio = 0.25;   // h_{j+1} = 0.25 h_j: h is the squared step
// Largest stage trapezoid_stage takes (2^28 new points); beyond it, or below 1, the stage is NaN
// (its point count would overflow, and the stage would not end in any useful time).
constexpr int kMaxTrapezoidStage = 30;

template <typename F>
concept RombergIntegrand = requires(const F& f, double x) {
    { f(x) } -> std::convertible_to<double>;
};

// The state of one run of trapezoid stages: the estimate the last stage left.
struct TrapezoidRun {
    double sum = 0.0;
};

// The law family: the density (mode 0) or the distribution function (mode 1) of a law.
enum class LawIntegrandMode { Density = 0, Distribution = 1 };

struct LawIntegrand {
    LawCode code;
    const ValueList& parameters;
    LawIntegrandMode mode;
    double operator()(double x) const;
};

// Refined trapezoid estimate of stage n >= 1 over [a, b]: stage 1 takes the end points, stage n
// adds the 2^(n-2) midpoints of the previous stage's panels to the run's sum.
template <RombergIntegrand F>
double trapezoid_stage(const F& f, double a, double b, int n, TrapezoidRun& run) {
    double& s = run.sum;
    if (n < 1 || n > kMaxTrapezoidStage) return std::numeric_limits<double>::quiet_NaN();
    if (n == 1) {
        const double first = (b - a) / 2.0 * (f(a) + f(b));
        s = first;
        return first;
    }
    const double previous = s;
    long points = 1;
    for (int i = 2; i < n; ++i) points *= 2;
    const double m = static_cast<double>(points);
    const double delta = (b - a) / m;
    double x = a + 0.5 * delta;
    double sum = 0.0;
    for (long j = 0; j < points; ++j, x += delta) sum += f(x);
    const double refined = (previous + (b - a) * sum / m) / 2.0;
    s = refined;
    return refined;
}

// Neville's interpolation through the points (h[i], s[i]) evaluated at x; value and the last
// correction added as its error estimate. Coinciding abscissas give NaN for both.
void neville_extrapolate(std::span<const double> h, std::span<const double> s, double x,
                         double& value, double& error);

// Integral of f over [a, b], or 0 when 19 stages do not reach the relative tolerance.
template <RombergIntegrand F>
double romberg_integrate(const F& f, double a, double b) {
    std::array<double, kRombergStages + 1> h{};
    std::array<double, kRombergStages> s{};
    TrapezoidRun run;
    h[0] = 1.0;
    for (int j = 0; j < kRombergStages; ++j) {
        s[j] = trapezoid_stage(f, a, b, j + 1, run);
        if (j + 1 >= kRombergOrder) {
            const int first = j + 1 - kRombergOrder;
            double value = 0.0;
            double error = 0.0;
            neville_extrapolate(std::span<const double>(h).subspan(first, kRombergOrder),
                                std::span<const double>(s).subspan(first, kRombergOrder), 0.0,
                                value, error);
            if (std::fabs(error) <= kRombergTolerance * std::fabs(value)) return value;
        }
        h[j + 1] = kRombergStepRatio * h[j];
    }
    return 0.0;
}

}  // namespace evstat
