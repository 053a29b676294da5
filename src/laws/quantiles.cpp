// Quantile functions of the laws 0 to 10: closed forms, the inverse error function for the normal
// and lognormal laws, safeguarded Newton searches for the gamma (and chi-square) and beta laws.
#include "laws/quantiles.h"

#include <cmath>
#include <limits>

#include "laws/constants.h"
#include "laws/densities.h"
#include "laws/distributions.h"
#include "laws/gamma_error_functions.h"

namespace evstat {

namespace {

// Machine epsilon as the fixed Newton search writes it (2.22e-16, not the exact 2^-52); the
// search ends when a step is below its square root.
constexpr double kTruncatedMachineEpsilon = 2.22e-16;
const double kNewtonTolerance = std::sqrt(kTruncatedMachineEpsilon);
constexpr int kMaxNewtonSteps = 100;  // the search reports its failure value at this count
// Below this many degrees of freedom the Student quantile goes through the beta law; from it on,
// through the Cornish-Fisher expansion.
constexpr double kStudentExpansionFrom = 1000.0;

bool outside_unit(double p) {
    return p < 0.0 || p > 1.0;
}

ValueList two_parameters(double p1, double p2) {
    ValueList list;
    list.push_back(p1);
    list.push_back(p2);
    return list;
}

double uniform_quantile(double a, double b, double p) {
    if (outside_unit(p)) return 0.0;
    return a + p * (b - a);
}

double exponential_quantile(double theta, double p) {
    if (outside_unit(p)) return 0.0;
    if (p == 1.0) return kLargestDouble;
    return -std::log(1.0 - p) * theta;
}

double normal_quantile(double mu, double sigma, double p) {
    if (outside_unit(p)) return 0.0;
    if (p == 1.0) return kLargestDouble;
    if (p == 0.0) return -kLargestDouble;
    return mu + std::sqrt(2.0) * sigma * inverse_error_function(2.0 * p - 1.0);
}

double weibull_quantile(double a, double b, double p) {
    return std::pow(exponential_quantile(a, p), 1.0 / b);
}

double lognormal_quantile(double mu, double sigma, double p) {
    if (p <= 0.0 || p > 1.0) return 0.0;
    if (p == 1.0) return kLargestDouble;
    return std::exp(mu + std::sqrt(2.0) * sigma * inverse_error_function(2.0 * p - 1.0));
}

double pareto_quantile(double a, double b, double p) {
    if (outside_unit(p)) return 0.0;
    if (p == 1.0) return kLargestDouble;
    return a / std::pow(1.0 - p, 1.0 / b);
}

double gpd_quantile(double k, double sigma, double p) {
    if (outside_unit(p)) return 0.0;
    if (p == 1.0) return kLargestDouble;
    if (k == 0.0) return exponential_quantile(sigma, p);
    const double r = (sigma / k) / std::pow(1.0 - p, k) - sigma / k;
    return r > 0.0 ? r : 0.0;
}

// Newton search on the gamma distribution function from the lognormal law of the same mean and
// variance; kGammaQuantileFailure when it takes all kMaxNewtonSteps steps.
double gamma_quantile(double a, double b, double p) {
    if (p <= 0.0 || p > 1.0) return 0.0;
    if (p == 1.0) return kLargestDouble;
    const ValueList law = two_parameters(a, b);
    const double m = a * b;
    const double v = m * b;
    const double l = std::log(m * m + v);
    const double mu_log = 2.0 * std::log(m) - 0.5 * l;
    const double s = l - 2.0 * std::log(m);  // the variance of the logarithm, used as sigma
    double x = std::exp(normal_quantile(mu_log, s, p));
    double delta = 1.0;
    int i = 0;
    while (std::fabs(x) * kNewtonTolerance < std::fabs(delta) &&
           kNewtonTolerance < std::fabs(delta) && i < kMaxNewtonSteps) {
        ++i;
        delta = (distribution(LawCode::kGamma, law, x) - p) / density(LawCode::kGamma, law, x);
        double next = x - delta;
        if (next < 0.0) {
            next = x / 10.0;
            delta = x - next;
        }
        x = next;
    }
    return i == kMaxNewtonSteps ? kGammaQuantileFailure : x;
}

// Newton search on the beta distribution function from the mean; kBetaQuantileFailure when it
// takes all kMaxNewtonSteps steps.
double beta_quantile(double a, double b, double p) {
    if (p <= 0.0) return 0.0;
    if (p == 1.0) return 1.0;
    if (p > 1.0) return 0.0;
    const ValueList law = two_parameters(a, b);
    double x = a / (a + b);
    if (x == 0.0) x = kNewtonTolerance;
    if (x == 1.0) x = 1.0 - kNewtonTolerance;
    double delta = 1.0;
    int i = 0;
    while (std::fabs(x) * kNewtonTolerance < std::fabs(delta) &&
           std::fabs(delta) > kNewtonTolerance && i < kMaxNewtonSteps) {
        ++i;
        delta = (distribution(LawCode::kBeta, law, x) - p) / density(LawCode::kBeta, law, x);
        double next = x - delta;
        if (next <= 0.0) next = x / 10.0;
        if (next >= 1.0) next = 1.0 - (1.0 - x) / 10.0;
        x = next;
    }
    return i == kMaxNewtonSteps ? kBetaQuantileFailure : x;
}

// Abramowitz and Stegun 26.7.5: Cornish-Fisher expansion around the normal quantile z.
double student_expansion(double nu, double z) {
    return z + (std::pow(z, 3) + z) / (4.0 * nu) +
           (5.0 * std::pow(z, 5) + 16.0 * std::pow(z, 3) + 3.0 * z) / (96.0 * std::pow(nu, 2)) +
           (3.0 * std::pow(z, 7) + 19.0 * std::pow(z, 5) + 17.0 * std::pow(z, 3) - 15.0 * z) /
               (384.0 * std::pow(nu, 3)) +
           (79.0 * std::pow(z, 9) + 776.0 * std::pow(z, 7) + 1482.0 * std::pow(z, 5) -
            1920.0 * std::pow(z, 3) - 945.0 * z) /
               (92160.0 * std::pow(nu, 4));
}

// nu = 1 is the Cauchy law; below 1000 the relation t^2 / (nu + t^2) ~ beta (1/2, nu/2); above,
// the expansion. Degrees of freedom below 1 (and NaN) have no quantile: NaN.
double student_quantile(double nu, double p) {
    if (nu == 1.0) return std::tan((p - 0.5) * kTruncatedPi);
    if (nu > 1.0 && nu < kStudentExpansionFrom) {
        if (p < 0.5 || p >= 1.0) return -std::sqrt(nu / beta_quantile(nu / 2.0, 0.5, 2.0 * p) - nu);
        return std::sqrt(nu / beta_quantile(nu / 2.0, 0.5, 2.0 * (1.0 - p)) - nu);
    }
    if (nu >= kStudentExpansionFrom) return student_expansion(nu, normal_quantile(0.0, 1.0, p));
    return kNaN;
}

}  // namespace

double quantile(LawCode code, const ValueList& parameters, double p) {
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    switch (code) {
        case LawCode::kUniform:
            return uniform_quantile(p1, p2, p);
        case LawCode::kExponential:
            return exponential_quantile(p1, p);
        case LawCode::kGamma:
            return gamma_quantile(p1, p2, p);
        case LawCode::kChiSquare:
            return gamma_quantile(std::trunc(p1) / 2.0, 2.0, p);
        case LawCode::kNormal:
            return normal_quantile(p1, p2, p);
        case LawCode::kStudent:
            return student_quantile(std::trunc(p1), p);
        case LawCode::kBeta:
            return beta_quantile(p1, p2, p);
        case LawCode::kWeibull:
            return weibull_quantile(p1, p2, p);
        case LawCode::kLognormal:
            return lognormal_quantile(p1, p2, p);
        case LawCode::kPareto:
            return pareto_quantile(p1, p2, p);
        case LawCode::kGpd:
            return gpd_quantile(p1, p2, p);
        default:
            return 0.0;
    }
}

}  // namespace evstat
