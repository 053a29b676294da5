// Distribution functions of the catalogue's laws, one small function per law and a dispatch by
// code.
#include "laws/distributions.h"

#include <array>
#include <cmath>
#include <limits>

#include "laws/constants.h"
#include "laws/gamma_error_functions.h"
#include "laws/romberg.h"

namespace evstat {

namespace {

// Lower end of the numerical integral of the code-11 density.
constexpr double kStudentApproxLowerLimit = -100.0;

// Abramowitz and Stegun 26.2.17: polynomial approximation of the normal upper tail, with its
// published error bound 7.5e-8 added to the result.
constexpr double kNormalTailT = 0.2316419;
constexpr std::array<double, 5> kNormalTailB = {0.31938153, -0.356563782, 1.781477937, -1.821255978,
                                                1.330274429};
constexpr double kNormalErrorBound = 7.5e-8;

double uniform_distribution(double a, double b, double x) {
    if (x < a) return 0.0;
    if (x > b) return 1.0;
    return (x - a) / (b - a);
}

double exponential_distribution(double theta, double x) {
    if (x >= 0.0) return 1.0 - std::exp(-x / theta);
    return 0.0;
}

double gamma_distribution(double a, double b, double x) {
    if (!(x > 0.0)) return 0.0;
    const double p = gamma_p(x / b, a);
    return p > 1.0 ? 1.0 : p;
}

// Q(w) for w >= 0, phi being the standard normal density at w.
double normal_upper_tail(double phi, double w) {
    const double t = 1.0 / (1.0 + kNormalTailT * w);
    const std::array<double, 5>& b = kNormalTailB;
    return phi * t * (b[0] + t * (b[1] + t * (b[2] + t * (b[3] + t * b[4]))));
}

double normal_distribution(double mu, double sigma, double x) {
    const double z = (x - mu) / sigma;
    const double phi = std::exp(-z * z / 2.0) / std::sqrt(kTruncatedTwoPi);
    const double f = z >= 0.0 ? (1.0 - normal_upper_tail(phi, z)) + kNormalErrorBound
                              : 1.0 - ((1.0 - normal_upper_tail(phi, -z)) + kNormalErrorBound);
    return f > 1.0 ? 1.0 : f;
}

double standard_normal_distribution(double z) {
    return normal_distribution(0.0, 1.0, z);
}

// Abramowitz and Stegun 26.4.4 (even nu) and 26.4.5 (odd nu): finite series in chi = sqrt(x).
double chi_square_distribution(int nu, double x) {
    if (x <= 0.0) return 0.0;
    const double chi = std::sqrt(x);
    const double chi2 = chi * chi;
    const double z = std::exp(-chi2 / 2.0) * std::pow(std::sqrt(kTruncatedTwoPi), -1.0);
    if (nu % 2 == 0) {
        double s = 1.0;
        double term = 1.0;
        for (int i = 1; i <= (nu - 2) / 2; ++i) {
            term = term * chi2 / (2.0 * i);
            s = s + term;
            if (term == 0.0 || !std::isfinite(s)) break;  // no later term can change s
        }
        return 1.0 - std::sqrt(kTruncatedTwoPi) * z * s;
    }
    double s = 0.0;
    if (nu != 1) {
        s = chi;
        double term = chi;
        for (int i = 1; i <= (nu - 1) / 2 - 1; ++i) {
            term = term * chi2 / (2.0 * i + 1.0);
            s = s + term;
            if (term == 0.0 || !std::isfinite(s)) break;  // no later term can change s
        }
    }
    return 1.0 - (2.0 * (1.0 - standard_normal_distribution(chi)) + 2.0 * z * s);
}

// Abramowitz and Stegun 26.7.3 and 26.7.4: finite series in theta = atan(x / sqrt(nu)).
double student_distribution(int nu, double x) {
    const double theta = std::atan(x / std::sqrt(static_cast<double>(nu)));
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    const double c2 = std::pow(c, 2.0);
    if (nu % 2 == 0) {
        double h = 1.0;
        double term = 1.0;
        for (int i = 2; i <= nu - 2; i += 2) {
            term = term * (i - 1.0) * c2 / i;
            h = h + term;
        }
        return 0.5 * s * h + 0.5;
    }
    if (nu == 1) return theta / kTruncatedPi + 0.5;
    double h = 1.0;
    double term = 1.0;
    for (int i = 3; i <= nu - 2; i += 2) {
        term = term * (i - 1.0) * c2 / i;
        h = h + term;
    }
    return theta / kTruncatedPi + 0.5 + s * c * h / kTruncatedPi;
}

double beta_distribution(double a, double b, double x) {
    if (x <= 0.0) return 0.0;
    if (x >= 1.0) return 1.0;
    const double p = beta_i(x, a, b);
    return p > 1.0 ? 1.0 : p;
}

double weibull_distribution(double a, double b, double x) {
    if (x >= 0.0) return 1.0 - std::exp(-power(x, b) / a);
    return 0.0;
}

double lognormal_distribution(double mu, double sigma, double x) {
    return (error_function((std::log(x) - mu) / (std::sqrt(2.0) * sigma)) + 1.0) * 0.5;
}

double pareto_distribution(double a, double b, double x) {
    if (x < a) return 0.0;
    return 1.0 - std::exp(b * std::log(a)) / std::exp(b * std::log(x));
}

double gpd_distribution(double k, double sigma, double x) {
    if (x < 0.0) return 0.0;
    if (k > 0.0) {
        if (x == 0.0) return 0.0;
        return 1.0 - std::pow(1.0 + k * x / sigma, -1.0 / k);
    }
    if (k == 0.0) {
        if (x == 0.0) return 0.0;
        return exponential_distribution(sigma, x);
    }
    if (k < 0.0) {
        if (x >= -sigma / k) return 1.0;
        return 1.0 - std::pow(1.0 + k * x / sigma, -1.0 / k);
    }
    return kNaN;  // NaN shape
}

double student_approx_distribution(const ValueList& parameters, double x) {
    const LawIntegrand density11{LawCode::kStudentApprox, parameters, LawIntegrandMode::Density};
    return romberg_integrate(density11, kStudentApproxLowerLimit, x);
}

// x^c follows the GPD (k, sigma); 0 for negative x, outside the support.
double gpd_power_distribution(double c, double sigma, double k, double x) {
    if (x < 0.0) return 0.0;
    return gpd_distribution(k, sigma, std::pow(x, c));
}

// x/(x + s) follows the beta law (a, b); 0 for negative x, outside the support (where x/(x + s)
// would exceed 1 once x < -s).
double beta_prime_distribution(double a, double b, double s, double x) {
    if (x < 0.0) return 0.0;
    return beta_distribution(a, b, x / (x + s));
}

}  // namespace

double distribution(LawCode code, const ValueList& parameters, double x) {
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    int nu = 0;
    switch (code) {
        case LawCode::kUniform:
            return uniform_distribution(p1, p2, x);
        case LawCode::kExponential:
            return exponential_distribution(p1, x);
        case LawCode::kGamma:
            return gamma_distribution(p1, p2, x);
        case LawCode::kChiSquare:
            return degrees_of_freedom(parameters, nu) ? chi_square_distribution(nu, x) : kNaN;
        case LawCode::kNormal:
            return normal_distribution(p1, p2, x);
        case LawCode::kStudent:
            return degrees_of_freedom(parameters, nu) ? student_distribution(nu, x) : kNaN;
        case LawCode::kBeta:
            return beta_distribution(p1, p2, x);
        case LawCode::kWeibull:
            return weibull_distribution(p1, p2, x);
        case LawCode::kLognormal:
            return lognormal_distribution(p1, p2, x);
        case LawCode::kPareto:
            return pareto_distribution(p1, p2, x);
        case LawCode::kGpd:
            return gpd_distribution(p1, p2, x);
        case LawCode::kStudentApprox:
            return student_approx_distribution(parameters, x);
        case LawCode::kGpdPower:
            return gpd_power_distribution(p1, p2, parameters.at(3), x);
        case LawCode::kBetaPrime:
            return beta_prime_distribution(p1, p2, parameters.at(3), x);
        default:
            return 0.0;
    }
}

}  // namespace evstat
