// Random values of the catalogue's laws from the run's uniform source: inversion, sums of
// exponentials, ratios of gammas, polar normal pairs and rejection samplers.
#include "laws/random_values.h"

#include <cmath>
#include <limits>

#include "laws/densities.h"
#include "laws/generator.h"

namespace evstat {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPi = 3.14159265358979;
// Bound on the attempts of every rejection loop. Inside a law's domain each attempt succeeds with
// probability about 0.5 or more (Joehnk's method needs some 33 000 attempts on average only for a
// shape near 4e-8, the smallest for which the 15-bit source can succeed at all), so the bound is
// never met there; with no acceptance region at all (gamma shape below 4e-8, NaN or infinite
// parameters, a code-11 law with alpha <= -0.5 or beta <= 0) the sampler gives NaN after it.
constexpr long kMaxRejectionAttempts = 1'000'000;

double exponential_value(double theta) {
    return -std::log(open_uniform()) * theta;
}

// Joehnk (1964): X = U1^(1/a), Y = U2^(1/(1 - a)), accepted when X + Y <= 1, for 0 < a < 1.
double johnk_gamma(double a, double b) {
    for (long attempt = 0; attempt < kMaxRejectionAttempts; ++attempt) {
        const double x = std::pow(open_uniform(), 1.0 / a);
        const double y = std::pow(open_uniform(), 1.0 / (1.0 - a));
        if (x + y <= 1.0) {
            const double e = -x * std::log(open_uniform()) / (x + y);
            if (e != 0.0) return b * e;
        }
    }
    return kNaN;
}

// Best (1978) rejection from a t(2)-like envelope, for a > 1.
double best_gamma(double a, double b) {
    const double m = a - 1.0;
    const double c = 3.0 * a - 0.75;
    for (long attempt = 0; attempt < kMaxRejectionAttempts; ++attempt) {
        const double u = open_uniform();
        const double v = open_uniform();
        const double w = u * (1.0 - u);
        const double y = std::sqrt(c / w) * (u - 0.5);
        const double x = m + y;
        if (x < 0.0) continue;
        const double z = 64.0 * std::pow(w, 3) * v * v;
        const bool accepted =
            1.0 - 2.0 * y * y / x >= z || 2.0 * (m * std::log(x / m) - y) >= std::log(z);
        if (accepted && x != 0.0) return x * b;
    }
    return kNaN;
}

// Shape a, scale b: the exponential law at a = 1, Joehnk below, Best above; a shape that is not
// positive (or NaN) has no law: NaN.
double gamma_value(double a, double b) {
    if (a == 1.0) return exponential_value(b);
    if (a > 0.0 && a < 1.0) return johnk_gamma(a, b);
    if (a > 1.0) return best_gamma(a, b);
    return kNaN;
}

double chi_square_value(int nu) {
    double sum = 0.0;
    if (nu % 2 == 0) {
        for (int i = 0; i < nu / 2; ++i) sum += exponential_value(2.0);
        return sum;
    }
    for (int i = 0; i < (nu - 1) / 2; ++i) sum += exponential_value(2.0);
    double z = 0.0;
    double unused = 0.0;
    normal_pair(0.0, 1.0, z, unused);
    return sum + z * z;
}

double student_value(int nu) {
    double z = 0.0;
    double unused = 0.0;
    normal_pair(0.0, 1.0, z, unused);
    const double c = chi_square_value(nu);
    return z / std::sqrt(c / nu);
}

double beta_value(double a, double b) {
    const double x = gamma_value(a, 1.0);
    double y = gamma_value(b, 1.0);
    for (long attempt = 1; y == 0.0; ++attempt) {
        if (attempt >= kMaxRejectionAttempts) return kNaN;
        y = gamma_value(b, 1.0);
    }
    return x / (x + y);
}

double gpd_value(double k, double sigma) {
    const double u = open_uniform();
    if (k == 0.0) return exponential_value(sigma);
    return (sigma / k) / std::pow(u, k) - sigma / k;
}

// Rejection from the Cauchy law of scale r = sqrt(2 beta / (alpha + 0.5)), scaled to the density's
// height M at its centre; the envelope dominates the density when alpha >= 0.5.
double student_approx_value(double mu, double alpha, double beta) {
    const double r = std::sqrt(2.0 * beta / (alpha + 0.5));
    const double height = student_approx_height(alpha, beta);
    ValueList centred;
    centred.push_back(0.0);
    centred.push_back(alpha);
    centred.push_back(beta);
    for (long attempt = 0; attempt < kMaxRejectionAttempts; ++attempt) {
        const double y = -r / std::tan(kPi * open_uniform());
        const double h = height * open_uniform() * r * r / (r * r + y * y);
        if (h <= density(kStudentApprox, centred, y)) return y + mu;
    }
    return kNaN;
}

}  // namespace

double uniform_value(double a, double b) {
    return a + (b - a) * open_uniform();
}

// The polar method (Marsaglia and Bray, 1964).
void normal_pair(double mu, double sigma, double& first, double& second) {
    double q1 = 0.0, q2 = 0.0, s = 0.0;
    long attempt = 0;
    do {
        if (attempt++ >= kMaxRejectionAttempts) {  // accepted with probability pi/4: never met
            first = second = kNaN;
            return;
        }
        q1 = 2.0 * open_uniform() - 1.0;
        q2 = 2.0 * open_uniform() - 1.0;
        s = q1 * q1 + q2 * q2;
    } while (s == 0.0 || s > 1.0);
    const double f = std::sqrt(-2.0 * std::log(s) / s);
    first = mu + sigma * f * q1;
    second = mu + sigma * f * q2;
}

void lognormal_pair(double mu, double sigma, double& first, double& second) {
    double z1 = 0.0, z2 = 0.0;
    normal_pair(0.0, 1.0, z1, z2);
    first = std::exp(z1 * sigma + mu);
    second = std::exp(mu + sigma * z2);
}

void draw_random_values(LawCode code, const ValueList& parameters, int count,
                        std::vector<double>& values) {
    const std::size_t size = count > 0 ? static_cast<std::size_t>(count) : 0;
    values.resize(size);
    if (code != kNormal && code != kLognormal) {
        for (double& value : values) value = random_value(code, parameters);
        return;
    }
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    for (std::size_t k = 0; k < size; k += 2) {
        double first = 0.0;
        double second = 0.0;
        if (code == kNormal)
            normal_pair(p1, p2, first, second);
        else
            lognormal_pair(p1, p2, first, second);
        values[k] = first;
        if (k + 1 < size) values[k + 1] = second;
    }
}

double random_value(LawCode code, const ValueList& parameters) {
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    int nu = 0;
    switch (code) {
        case kUniform:
            return uniform_value(p1, p2);
        case kExponential:
            return exponential_value(p1);
        case kGamma:
            return gamma_value(p1, p2);
        case kChiSquare:
            return degrees_of_freedom(parameters, nu) ? chi_square_value(nu) : kNaN;
        case kStudent:
            return degrees_of_freedom(parameters, nu) ? student_value(nu) : kNaN;
        case kBeta:
            return beta_value(p1, p2);
        case kWeibull:
            return std::pow(exponential_value(p1), 1.0 / p2);
        case kPareto:
            return p1 / std::pow(open_uniform(), 1.0 / p2);
        case kGpd:
            return gpd_value(p1, p2);
        case kStudentApprox:
            return student_approx_value(p1, p2, parameters.at(3));
        default:
            return 0.0;  // normal and lognormal values come in pairs; 12 and above have none
    }
}

}  // namespace evstat
