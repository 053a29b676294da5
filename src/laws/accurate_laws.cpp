// Densities, distribution and survival functions of the laws 0 to 10 to full precision: each tail
// from its own formula (expm1, log1p, erfc, the incomplete gamma and beta functions computed on
// the side where they are small), never as 1 minus the other.
#include <cmath>
#include <limits>

#include "laws/accurate.h"
#include "laws/constants.h"
#include "laws/gamma_error_functions.h"
#include "laws/regularized_beta.h"
#include "laws/regularized_gamma.h"
#include "laws/saddle_point.h"

namespace evstat {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kSqrtTwoPi = 2.506628274631000502415765284811;
constexpr double kSqrtHalf = 0.707106781186547524400844362105;
// Shapes from here on take the gamma density from the saddle-point factor (see regularized_gamma).
constexpr double kSaddlePointShape = 10.0;
// |t| beyond this: ln(1 + t^2/nu) from ln |t| (t^2 would overflow).
constexpr double kLargeStudentArgument = 1e150;

enum class Part { kDensity, kLower, kUpper };

// Density at the lower end of a support whose density behaves like (x - end)^(shape - 1) there:
// +inf below shape 1, the given limit at 1, 0 above.
double end_density(double shape, double limit_at_one) {
    if (shape < 1.0) return kInfinity;
    return shape == 1.0 ? limit_at_one : 0.0;
}

double uniform_law(Part part, double a, double b, double x) {
    const double width = b - a;
    switch (part) {
        case Part::kDensity: return x < a || x > b ? 0.0 : 1.0 / width;
        case Part::kLower: return x <= a ? 0.0 : x >= b ? 1.0 : (x - a) / width;
        case Part::kUpper: return x <= a ? 1.0 : x >= b ? 0.0 : (b - x) / width;
    }
    return kNaN;
}

double exponential_law(Part part, double theta, double x) {
    const double z = x / theta;
    switch (part) {
        case Part::kDensity: return x < 0.0 ? 0.0 : std::exp(-z) / theta;
        case Part::kLower: return x <= 0.0 ? 0.0 : -std::expm1(-z);
        case Part::kUpper: return x <= 0.0 ? 1.0 : std::exp(-z);
    }
    return kNaN;
}

double gamma_law(Part part, double a, double b, double x) {
    const double z = x / b;
    if (part != Part::kDensity) {
        if (x <= 0.0) return part == Part::kLower ? 0.0 : 1.0;
        const TailPair pair = regularized_gamma(a, z);
        return part == Part::kLower ? pair.lower : pair.upper;
    }
    if (x < 0.0 || std::isinf(x)) return 0.0;
    if (x == 0.0) return end_density(a, 1.0 / b);
    if (a < kSaddlePointShape) return std::exp((a - 1.0) * std::log(z) - z - log_gamma(a)) / b;
    return gamma_power_term(a, z) / z / b;
}

double normal_law(Part part, double mu, double sigma, double x) {
    const double z = (x - mu) / sigma;
    switch (part) {
        case Part::kDensity: return std::exp(-0.5 * z * z) / (kSqrtTwoPi * sigma);
        case Part::kLower: return 0.5 * complementary_error_function(-z * kSqrtHalf);
        case Part::kUpper: return 0.5 * complementary_error_function(z * kSqrtHalf);
    }
    return kNaN;
}

// Cauchy law (one degree of freedom): both tails from atan2, exact far out.
double cauchy_law(Part part, double t) {
    if (part == Part::kDensity) {
        if (std::fabs(t) > kLargeStudentArgument) return 1.0 / t / t / kPi;
        return 1.0 / (kPi * (1.0 + t * t));
    }
    const double beyond = std::atan2(1.0, std::fabs(t)) / kPi;  // P(X > |t|)
    const bool far_side = (part == Part::kLower) == (t < 0.0);
    return far_side ? beyond : 1.0 - beyond;
}

// Student law: P(|X| > |t|) = I_x(nu/2, 1/2) with x = nu / (nu + t^2).
double student_law(Part part, double nu, double t) {
    if (nu == 1.0) return cauchy_law(part, t);
    if (part == Part::kDensity) {
        const double log_term = std::fabs(t) < kLargeStudentArgument
                                    ? std::log1p(t * t / nu)
                                    : 2.0 * std::log(std::fabs(t)) - std::log(nu);
        return std::exp(-0.5 * (nu + 1.0) * log_term - log_beta(0.5 * nu, 0.5)) / std::sqrt(nu);
    }
    double x, y;
    if (t * t <= nu) {
        const double r = t * t / nu;
        x = 1.0 / (1.0 + r);
        y = r / (1.0 + r);
    } else {
        const double s = nu / t / t;
        x = s / (1.0 + s);
        y = 1.0 / (1.0 + s);
    }
    const TailPair pair = regularized_beta(0.5 * nu, 0.5, x, y);
    const double beyond = 0.5 * pair.lower;        // P(X > |t|)
    const double within = 0.5 + 0.5 * pair.upper;  // P(X <= |t|)
    const bool far_side = (part == Part::kLower) == (t < 0.0);
    return far_side ? beyond : within;
}

double beta_law(Part part, double a, double b, double x) {
    if (part != Part::kDensity) {
        if (x <= 0.0) return part == Part::kLower ? 0.0 : 1.0;
        if (x >= 1.0) return part == Part::kLower ? 1.0 : 0.0;
        const TailPair pair = regularized_beta(a, b, x, 1.0 - x);
        return part == Part::kLower ? pair.lower : pair.upper;
    }
    if (x < 0.0 || x > 1.0) return 0.0;
    if (x == 0.0) return end_density(a, b);  // 1 / B(1, b) = b
    if (x == 1.0) return end_density(b, a);
    const double y = 1.0 - x;
    return beta_power_term(a, b, x, y) / x / y;
}

// Weibull law in the ParameterFile's form: F(x) = 1 - exp(-x^b / a).
double weibull_law(Part part, double a, double b, double x) {
    if (x <= 0.0) {
        if (part == Part::kDensity) return x < 0.0 ? 0.0 : end_density(b, 1.0 / a);
        return part == Part::kLower ? 0.0 : 1.0;
    }
    const double w = std::pow(x, b) / a;
    switch (part) {
        case Part::kDensity: {
            if (std::isinf(x)) return 0.0;
            const double rise = std::pow(x, b - 1.0);
            if (std::isfinite(rise) && rise > 0.0) return b / a * rise * std::exp(-w);
            return b / a * std::exp((b - 1.0) * std::log(x) - w);
        }
        case Part::kLower: return -std::expm1(-w);
        case Part::kUpper: return std::exp(-w);
    }
    return kNaN;
}

double lognormal_law(Part part, double mu, double sigma, double x) {
    if (x <= 0.0) return part == Part::kUpper ? 1.0 : 0.0;
    const double z = (std::log(x) - mu) / sigma;
    if (part == Part::kDensity) return std::exp(-0.5 * z * z) / (kSqrtTwoPi * sigma) / x;
    return normal_law(part, 0.0, 1.0, z);
}

// Pareto law: F(x) = 1 - (a/x)^b, with ln(x/a) = log1p((x - a)/a) exact near the threshold.
double pareto_law(Part part, double a, double b, double x) {
    if (x < a) return part == Part::kUpper ? 1.0 : 0.0;
    const double log_ratio = std::log1p((x - a) / a);
    switch (part) {
        case Part::kDensity: return b / x * std::exp(-b * log_ratio);
        case Part::kLower: return -std::expm1(-b * log_ratio);
        case Part::kUpper: return std::exp(-b * log_ratio);
    }
    return kNaN;
}

// GPD: survival (1 + kx/sigma)^(-1/k) = exp(-s), s = log1p(kx/sigma)/k (x/sigma when k = 0).
double gpd_law(Part part, double k, double sigma, double x) {
    if (x < 0.0) return part == Part::kUpper ? 1.0 : 0.0;
    if (std::isinf(x)) return part == Part::kLower ? 1.0 : 0.0;
    const double t = k * x / sigma;
    // Near the upper end of a bounded support 1 + t is taken from fma, rounded once.
    const double rest = std::fma(k, x, sigma);  // sigma (1 + t)
    if (rest <= 0.0) {
        if (part == Part::kDensity)
            return rest < 0.0 ? 0.0 : std::pow(0.0, -1.0 / k - 1.0) / sigma;
        return part == Part::kLower ? 1.0 : 0.0;
    }
    const double log_term = t > -0.5 ? std::log1p(t) : std::log(rest / sigma);
    const double s = k == 0.0 ? x / sigma : log_term / k;
    switch (part) {
        case Part::kDensity: return std::exp(-s - log_term) / sigma;
        case Part::kLower: return -std::expm1(-s);
        case Part::kUpper: return std::exp(-s);
    }
    return kNaN;
}

bool positive_finite(double v) {
    return v > 0.0 && std::isfinite(v);
}

// Whole degrees of freedom, at least 1.
bool degrees_valid(double nu) {
    return nu >= 1.0 && std::isfinite(nu) && nu == std::floor(nu);
}

double evaluate(Part part, LawCode code, std::span<const double> p, double x) {
    if (!accurate_law_valid(code, p) || std::isnan(x)) return kNaN;
    switch (code) {
        case LawCode::kUniform: return uniform_law(part, p[0], p[1], x);
        case LawCode::kExponential: return exponential_law(part, p[0], x);
        case LawCode::kGamma: return gamma_law(part, p[0], p[1], x);
        case LawCode::kChiSquare: return gamma_law(part, 0.5 * p[0], 2.0, x);
        case LawCode::kNormal: return normal_law(part, p[0], p[1], x);
        case LawCode::kStudent: return student_law(part, p[0], x);
        case LawCode::kBeta: return beta_law(part, p[0], p[1], x);
        case LawCode::kWeibull: return weibull_law(part, p[0], p[1], x);
        case LawCode::kLognormal: return lognormal_law(part, p[0], p[1], x);
        case LawCode::kPareto: return pareto_law(part, p[0], p[1], x);
        case LawCode::kGpd: return gpd_law(part, p[0], p[1], x);
        default: return kNaN;
    }
}

}  // namespace

bool accurate_law_valid(LawCode code, std::span<const double> p) {
    switch (code) {
        case LawCode::kExponential: return p.size() >= 1 && positive_finite(p[0]);
        case LawCode::kChiSquare:
        case LawCode::kStudent: return p.size() >= 1 && degrees_valid(p[0]);
        default: break;
    }
    if (p.size() < 2) return false;
    switch (code) {
        case LawCode::kUniform: return std::isfinite(p[0]) && std::isfinite(p[1] - p[0]) && p[0] < p[1];
        case LawCode::kNormal:
        case LawCode::kLognormal: return std::isfinite(p[0]) && positive_finite(p[1]);
        case LawCode::kGpd: return std::isfinite(p[0]) && positive_finite(p[1]);
        case LawCode::kGamma:
        case LawCode::kBeta:
        case LawCode::kWeibull:
        case LawCode::kPareto: return positive_finite(p[0]) && positive_finite(p[1]);
        default: return false;
    }
}

double accurate_density(LawCode code, std::span<const double> parameters, double x) {
    return evaluate(Part::kDensity, code, parameters, x);
}

double accurate_distribution(LawCode code, std::span<const double> parameters, double x) {
    return evaluate(Part::kLower, code, parameters, x);
}

double accurate_survival(LawCode code, std::span<const double> parameters, double x) {
    return evaluate(Part::kUpper, code, parameters, x);
}

}  // namespace evstat
