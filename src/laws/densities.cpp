// Probability densities of the catalogue's laws, one small function per law and a dispatch by code.
#include "laws/densities.h"

#include <cmath>
#include <limits>

#include "laws/constants.h"
#include "laws/gamma_error_functions.h"

namespace evstat {

namespace {

// Beyond this argument Gamma overflows; ln Gamma of the code-14 constant is then built from
// ln Gamma(y - K) and the K logarithms ln(y - 1) ... ln(y - K).
constexpr double kGammaOverflowArgument = 170.0;
// Bound on K above: arguments up to about 1e7 are lowered exactly as described; beyond it (and
// for infinite ones, where y - 1 == y) the constant is NaN.
constexpr long kMaxGammaLowering = 10'000'000;

double uniform_density(double a, double b, double x) {
    if (x < a || x > b) return 0.0;
    return 1.0 / (b - a);
}

double exponential_density(double theta, double x) {
    if (x <= 0.0) return 0.0;
    return std::exp(-x / theta) * (1.0 / theta);
}

double gamma_density(double a, double b, double x) {
    if (x <= 0.0) return 0.0;
    return std::exp(-((1.0 - a) * std::log(x) + log_gamma(a) + a * std::log(b) + x / b));
}

double chi_square_density(double nu, double x) {
    if (x <= 0.0) return 0.0;
    return std::exp(-x / 2.0) * power(x, nu / 2.0 - 1.0) /
           (power(2.0, nu / 2.0) * gamma_function(nu / 2.0));
}

double normal_density(double mu, double sigma, double x) {
    return std::exp(-(x - mu) * (x - mu) / (2.0 * sigma * sigma)) *
           (1.0 / (std::sqrt(kTruncatedTwoPi) * sigma));
}

double student_density(double nu, double x) {
    return gamma_function(nu / 2.0 + 0.5) / gamma_function(nu / 2.0) *
           (1.0 / std::sqrt(nu * kTruncatedPi)) *
           std::exp(std::log(1.0 + x * x / nu) * (-nu - 1.0) / 2.0);
}

double beta_density(double a, double b, double x) {
    if (x <= 0.0 || x >= 1.0) return 0.0;
    return std::exp(log_gamma(a + b) - log_gamma(b) - log_gamma(a)) *
           std::exp((a - 1.0) * std::log(x)) * std::exp((b - 1.0) * std::log(1.0 - x));
}

double weibull_density(double a, double b, double x) {
    if (x <= 0.0) return 0.0;
    return (b / a) * std::exp(-std::exp(b * std::log(x)) / a) * std::exp((b - 1.0) * std::log(x));
}

double lognormal_density(double mu, double sigma, double x) {
    if (x <= 0.0) return 0.0;
    const double z = std::log(x) - mu;
    return 1.0 / (std::sqrt(kTruncatedTwoPi) * x * sigma) *
           std::exp(-z * z / (2.0 * sigma * sigma));
}

double pareto_density(double a, double b, double x) {
    if (x < a) return 0.0;
    return b * power(a, b) / power(x, b + 1.0);
}

// Shape k, scale sigma; the origin has density 0 unless k < 0.
double gpd_density(double k, double sigma, double x) {
    if (x < 0.0) return 0.0;
    if (k > 0.0) {
        if (x == 0.0) return 0.0;
        return std::pow(1.0 + k * x / sigma, -1.0 / k - 1.0) / sigma;
    }
    if (k == 0.0) {
        if (x == 0.0) return 0.0;
        return exponential_density(sigma, x);
    }
    if (k < 0.0) {
        if (x >= -sigma / k) return 0.0;
        return std::pow(1.0 + k * x / sigma, -1.0 / k - 1.0) / sigma;
    }
    return kNaN;  // NaN shape
}

double student_approx_density(double mu, double alpha, double beta, double x) {
    return student_approx_density_from_height(student_approx_height(alpha, beta), mu, alpha, beta,
                                              x);
}

// Non-positive x lies outside the support of the law of exp(Y), Y of code 11: density 0.
double student_approx_log_density(double mu, double alpha, double beta, double x) {
    if (x <= 0.0) return 0.0;
    return student_approx_density(mu, alpha, beta, std::log(x)) / x;
}

// x^c follows the GPD (k, sigma); 0 wherever the GPD density at x^c is 0 and for negative x
// (outside the support, where x^c is not defined for a fractional c).
double gpd_power_density(double c, double sigma, double k, double x) {
    if (x < 0.0) return 0.0;
    const double g = gpd_density(k, sigma, std::pow(x, c));
    if (g == 0.0) return 0.0;
    return c * std::pow(x, c - 1.0) * g;
}

// ln Gamma(y) through Gamma itself while it does not overflow, lowering y by 1 beyond 170.
double log_gamma_by_lowering(double y) {
    double lowered = y;
    double log_terms = 0.0;
    for (long k = 0; lowered > kGammaOverflowArgument; ++k) {
        if (k >= kMaxGammaLowering) return kNaN;
        lowered = lowered - 1.0;
        log_terms = log_terms + std::log(lowered);
    }
    return std::log(gamma_function(lowered)) + log_terms;
}

// Density of X with X/(X + s) following the beta law (a, b); 0 for negative x, outside the support.
double beta_prime_density(double a, double b, double s, double x) {
    if (x < 0.0) return 0.0;
    const double log_constant =
        log_gamma_by_lowering(a + b) -
        (std::log(s) + log_gamma_by_lowering(b) + std::log(gamma_function(a)));
    return std::pow(x / s, a - 1.0) * std::pow(1.0 + x / s, -(a + b)) * std::exp(log_constant);
}

}  // namespace

// Gamma(alpha + 1/2) / Gamma(alpha) from the two gamma values while neither overflows; beyond
// (alpha above about 171) from the difference of their logarithms. A NaN gamma value (a
// parameter outside the domain) stays NaN at the price of the direct route.
double student_approx_height(double alpha, double beta) {
    const double upper = gamma_function(alpha + 0.5);
    const double lower = gamma_function(alpha);
    if (!std::isinf(upper) && !std::isinf(lower))
        return upper / (lower * std::sqrt(kTruncatedTwoPi * beta));
    return std::exp(log_gamma(alpha + 0.5) - log_gamma(alpha)) / std::sqrt(kTruncatedTwoPi * beta);
}

double student_approx_density_from_height(double height, double mu, double alpha, double beta,
                                          double x) {
    return height * std::pow(1.0 + std::pow(x - mu, 2.0) / (2.0 * beta), -alpha - 0.5);
}

double density(LawCode code, const ValueList& parameters, double x) {
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    switch (code) {
        case LawCode::kUniform:
            return uniform_density(p1, p2, x);
        case LawCode::kExponential:
            return exponential_density(p1, x);
        case LawCode::kGamma:
            return gamma_density(p1, p2, x);
        case LawCode::kChiSquare:
            return chi_square_density(std::trunc(p1), x);
        case LawCode::kNormal:
            return normal_density(p1, p2, x);
        case LawCode::kStudent:
            return student_density(std::trunc(p1), x);
        case LawCode::kBeta:
            return beta_density(p1, p2, x);
        case LawCode::kWeibull:
            return weibull_density(p1, p2, x);
        case LawCode::kLognormal:
            return lognormal_density(p1, p2, x);
        case LawCode::kPareto:
            return pareto_density(p1, p2, x);
        case LawCode::kGpd:
            return gpd_density(p1, p2, x);
        case LawCode::kStudentApprox:
            return student_approx_density(p1, p2, parameters.at(3), x);
        case LawCode::kStudentApproxLog:
            return student_approx_log_density(p1, p2, parameters.at(3), x);
        case LawCode::kGpdPower:
            return gpd_power_density(p1, p2, parameters.at(3), x);
        case LawCode::kBetaPrime:
            return beta_prime_density(p1, p2, parameters.at(3), x);
        default:
            return 0.0;
    }
}

}  // namespace evstat
