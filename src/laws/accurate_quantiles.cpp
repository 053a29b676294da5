// Quantiles and upper quantiles of the laws 0 to 10 to full precision. Both entry points pass the
// pair (lower, upper) = (p, 1 - p) or (1 - q, q); every law reads the smaller of the two, which is
// exact, so a tail probability of 1e-300 on either side gives its quantile to full precision.
#include <cmath>
#include <limits>

#include "laws/accurate.h"
#include "laws/constants.h"
#include "laws/normal_quantile.h"
#include "laws/tail_inverses.h"

namespace evstat {

namespace {

// Below this tail probability the Cauchy quantile is -1/tan(pi p); above it tan(pi (p - 1/2)).
constexpr double kCauchySplit = 0.25;

struct Tails {
    double lower;
    double upper;
    bool lower_side() const { return lower <= upper; }
    double smaller() const { return lower_side() ? lower : upper; }
    // -ln(upper), from log1p when lower is the exact one.
    double minus_log_upper() const { return lower_side() ? -std::log1p(-lower) : -std::log(upper); }
};

double uniform_quantile(double a, double b, Tails t) {
    return t.lower_side() ? a + t.lower * (b - a) : b - t.upper * (b - a);
}

double normal_quantile(double mu, double sigma, Tails t) {
    return t.lower_side() ? mu + sigma * standard_normal_quantile(t.lower)
                          : mu - sigma * standard_normal_quantile(t.upper);
}

// The t >= 0 with P(X > t) = q, q <= 1/2: P(X > t) = I_x(nu/2, 1/2) / 2, x = nu / (nu + t^2),
// whose logit is ln(nu / t^2).
double student_upper(double nu, double q) {
    if (q == 0.5) return 0.0;
    if (nu == 1.0) return q < kCauchySplit ? 1.0 / std::tan(kPi * q) : std::tan(kPi * (0.5 - q));
    const double u = beta_tail_inverse_logit(0.5 * nu, 0.5, 2.0 * q, 1.0 - 2.0 * q);
    return std::sqrt(nu) * std::exp(-0.5 * u);
}

double student_quantile(double nu, Tails t) {
    const double beyond = student_upper(nu, t.smaller());
    return t.lower_side() ? -beyond : beyond;
}

double beta_quantile(double a, double b, Tails t) {
    return beta_point_from_logit(beta_tail_inverse_logit(a, b, t.lower, t.upper)).x;
}

// F(x) = 1 - exp(-x^b / a).
double weibull_quantile(double a, double b, Tails t) {
    return std::pow(a * t.minus_log_upper(), 1.0 / b);
}

// F(x) = 1 - (a/x)^b.
double pareto_quantile(double a, double b, Tails t) {
    return a * std::exp(t.minus_log_upper() / b);
}

// (1 + kx/sigma)^(-1/k) = upper.
double gpd_quantile(double k, double sigma, Tails t) {
    const double m = t.minus_log_upper();
    return k == 0.0 ? sigma * m : sigma * std::expm1(k * m) / k;
}

double law_quantile(LawCode code, std::span<const double> p, Tails t) {
    if (!accurate_law_valid(code, p)) return kNaN;
    switch (code) {
        case LawCode::kUniform: return uniform_quantile(p[0], p[1], t);
        case LawCode::kExponential: return p[0] * t.minus_log_upper();
        case LawCode::kGamma: return p[1] * gamma_tail_inverse(p[0], t.lower, t.upper);
        case LawCode::kChiSquare: return 2.0 * gamma_tail_inverse(0.5 * p[0], t.lower, t.upper);
        case LawCode::kNormal: return normal_quantile(p[0], p[1], t);
        case LawCode::kStudent: return student_quantile(p[0], t);
        case LawCode::kBeta: return beta_quantile(p[0], p[1], t);
        case LawCode::kWeibull: return weibull_quantile(p[0], p[1], t);
        case LawCode::kLognormal: return std::exp(normal_quantile(p[0], p[1], t));
        case LawCode::kPareto: return pareto_quantile(p[0], p[1], t);
        case LawCode::kGpd: return gpd_quantile(p[0], p[1], t);
        default: return kNaN;
    }
}

bool probability(double p) {
    return p >= 0.0 && p <= 1.0;
}

}  // namespace

double accurate_quantile(LawCode code, std::span<const double> parameters, double p) {
    if (!probability(p)) return kNaN;
    return law_quantile(code, parameters, Tails{p, 1.0 - p});
}

double accurate_upper_quantile(LawCode code, std::span<const double> parameters, double q) {
    if (!probability(q)) return kNaN;
    return law_quantile(code, parameters, Tails{1.0 - q, q});
}

}  // namespace evstat
