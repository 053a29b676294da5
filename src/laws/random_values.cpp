// Random values of the catalogue's laws from the run's uniform source: inversion, sums of
// exponentials, ratios of gammas, polar normal pairs and rejection samplers.
#include "laws/random_values.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "laws/constants.h"
#include "laws/densities.h"
#include "laws/generator.h"

namespace evstat {

namespace {

// Bound on the attempts of every rejection loop. Inside a law's domain each attempt succeeds with
// probability about 0.5 or more (Joehnk's method needs some 33 000 attempts on average only for a
// shape near 4e-8, the smallest for which the 15-bit source can succeed at all), so the bound is
// never met there; with no acceptance region at all (gamma shape below 4e-8, NaN or infinite
// parameters, a code-11 law with alpha <= -0.5 or beta <= 0) the sampler gives NaN after it.
constexpr long kMaxRejectionAttempts = 1'000'000;

double exponential_value(Generator& generator, double theta) {
    return -std::log(generator.open_uniform()) * theta;
}

// Joehnk (1964): X = U1^(1/a), Y = U2^(1/(1 - a)), accepted when X + Y <= 1, for 0 < a < 1.
double johnk_gamma(Generator& generator, double a, double b) {
    for (long attempt = 0; attempt < kMaxRejectionAttempts; ++attempt) {
        const double x = std::pow(generator.open_uniform(), 1.0 / a);
        const double y = std::pow(generator.open_uniform(), 1.0 / (1.0 - a));
        if (x + y <= 1.0) {
            const double e = -x * std::log(generator.open_uniform()) / (x + y);
            if (e != 0.0) return b * e;
        }
    }
    return kNaN;
}

// Best (1978) rejection from a t(2)-like envelope, for a > 1.
double best_gamma(Generator& generator, double a, double b) {
    const double m = a - 1.0;
    const double c = 3.0 * a - 0.75;
    for (long attempt = 0; attempt < kMaxRejectionAttempts; ++attempt) {
        const double u = generator.open_uniform();
        const double v = generator.open_uniform();
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
double gamma_value(Generator& generator, double a, double b) {
    if (a == 1.0) return exponential_value(generator, b);
    if (a > 0.0 && a < 1.0) return johnk_gamma(generator, a, b);
    if (a > 1.0) return best_gamma(generator, a, b);
    return kNaN;
}

double chi_square_value(Generator& generator, int nu) {
    double sum = 0.0;
    if (nu % 2 == 0) {
        for (int i = 0; i < nu / 2; ++i) sum += exponential_value(generator, 2.0);
        return sum;
    }
    for (int i = 0; i < (nu - 1) / 2; ++i) sum += exponential_value(generator, 2.0);
    double z = 0.0;
    double unused = 0.0;
    normal_pair(generator, 0.0, 1.0, z, unused);
    return sum + z * z;
}

double student_value(Generator& generator, int nu) {
    double z = 0.0;
    double unused = 0.0;
    normal_pair(generator, 0.0, 1.0, z, unused);
    const double c = chi_square_value(generator, nu);
    return z / std::sqrt(c / nu);
}

double beta_value(Generator& generator, double a, double b) {
    const double x = gamma_value(generator, a, 1.0);
    double y = gamma_value(generator, b, 1.0);
    for (long attempt = 1; y == 0.0; ++attempt) {
        if (attempt >= kMaxRejectionAttempts) return kNaN;
        y = gamma_value(generator, b, 1.0);
    }
    return x / (x + y);
}

double gpd_value(Generator& generator, double k, double sigma) {
    const double u = generator.open_uniform();
    if (k == 0.0) return exponential_value(generator, sigma);
    return (sigma / k) / std::pow(u, k) - sigma / k;
}

// Rejection from the Cauchy law of scale r = sqrt(2 beta / (alpha + 0.5)), scaled to the density's
// height M at its centre; the envelope dominates the density when alpha >= 0.5.
double student_approx_value(Generator& generator, double mu, double alpha, double beta) {
    const double r = std::sqrt(2.0 * beta / (alpha + 0.5));
    const double height = student_approx_height(alpha, beta);
    ValueList centred;
    centred.push_back(0.0);
    centred.push_back(alpha);
    centred.push_back(beta);
    for (long attempt = 0; attempt < kMaxRejectionAttempts; ++attempt) {
        const double y = -r / std::tan(kTruncatedPi * generator.open_uniform());
        const double h = height * generator.open_uniform() * r * r / (r * r + y * y);
        if (h <= density(LawCode::kStudentApprox, centred, y)) return y + mu;
    }
    return kNaN;
}

}  // namespace

double uniform_value(Generator& generator, double a, double b) {
    return a + (b - a) * generator.open_uniform();
}

// The polar method (Marsaglia and Bray, 1964), over `pairs` pairs at once: first the accepted
// points (q1, q2) of every pair, in the generator's order, then their values. The draws and
// the doubles are those of one pair after the other; drawing all points first keeps the
// rejections off the logarithms. Each attempt advances the state twice with one step
// computed from the other, so the recurrence waits on one multiplication an attempt.
namespace {

// Two steps of the recurrence as one: state * a^2 + c (a + 1), mod 2^32.
constexpr std::uint32_t kTwoStepMultiplier = Generator::kMultiplier * Generator::kMultiplier;
constexpr std::uint32_t kTwoStepIncrement = Generator::kIncrement * (Generator::kMultiplier + 1u);

// Whether open_uniform draws again on the output r (u would be 0 or 1).
bool redrawn(int r) { return r == 0 || r == kRandomMax; }

// 2 u - 1 for u = r / 32767, for every output r of the source.
constexpr std::array<double, kRandomMax + 1> kCentredUniforms = [] {
    std::array<double, kRandomMax + 1> table{};
    for (int r = 0; r <= kRandomMax; ++r)
        table[static_cast<std::size_t>(r)] = 2.0 * (r / static_cast<double>(kRandomMax)) - 1.0;
    return table;
}();

// Writes the accepted points as q[2i], q[2i + 1]; a pair whose attempts reach the bound gets
// a NaN point and draws no more.
void polar_points(Generator& generator, double* q, std::size_t pairs) {
    const double* const centred = kCentredUniforms.data();
    std::uint32_t state = generator.state();
    std::size_t accepted = 0;
    long failures = 0;
    while (accepted < pairs) {
        const std::uint32_t firstState = state * Generator::kMultiplier + Generator::kIncrement;
        const std::uint32_t secondState = state * kTwoStepMultiplier + kTwoStepIncrement;
        const int r1 = Generator::output_of(firstState);
        const int r2 = Generator::output_of(secondState);
        double q1 = 0.0, q2 = 0.0;
        if (redrawn(r1) || redrawn(r2)) {  // open_uniform's own loop, from the same state
            Generator redraw(state);
            q1 = 2.0 * redraw.open_uniform() - 1.0;
            q2 = 2.0 * redraw.open_uniform() - 1.0;
            state = redraw.state();
        } else {
            state = secondState;
            q1 = centred[r1];
            q2 = centred[r2];
        }
        const double s = q1 * q1 + q2 * q2;
        q[2 * accepted] = q1;
        q[2 * accepted + 1] = q2;
        // !(s == 0 || s > 1) for the s >= 0 of finite q, as flags rather than branches
        const long inside = static_cast<long>(s > 0.0) & static_cast<long>(s <= 1.0);
        accepted += static_cast<std::size_t>(inside);
        failures = (failures + 1) & (inside - 1);
        if (failures == kMaxRejectionAttempts) {  // accepted with probability pi/4: never met
            q[2 * accepted] = q[2 * accepted + 1] = kNaN;
            ++accepted;
            failures = 0;
        }
    }
    generator = Generator(state);
}

// Replaces each point by its pair of values mu + sigma f q, f = sqrt(-2 ln s / s).
void polar_values(double mu, double sigma, double* q, std::size_t pairs) {
    for (std::size_t i = 0; i < 2 * pairs; i += 2) {
        const double q1 = q[i];
        const double q2 = q[i + 1];
        if (std::isnan(q1)) continue;  // the bound's NaN pair stays as it is
        const double s = q1 * q1 + q2 * q2;
        const double f = std::sqrt(-2.0 * std::log(s) / s);
        q[i] = mu + sigma * f * q1;
        q[i + 1] = mu + sigma * f * q2;
    }
}

}  // namespace

void normal_pair(Generator& generator, double mu, double sigma, double& first, double& second) {
    double q[2];
    polar_points(generator, q, 1);
    polar_values(mu, sigma, q, 1);
    first = q[0];
    second = q[1];
}

void lognormal_pair(Generator& generator, double mu, double sigma, double& first, double& second) {
    double z1 = 0.0, z2 = 0.0;
    normal_pair(generator, 0.0, 1.0, z1, z2);
    first = std::exp(z1 * sigma + mu);
    second = std::exp(mu + sigma * z2);
}

void draw_random_values(Generator& generator, LawCode code, const ValueList& parameters, int count,
                        std::vector<double>& values) {
    draw_random_points(generator, code, parameters, count, values);
    finish_random_values(code, parameters, values);
}

// The normal law's whole pairs are left as points; the last pair's first value (an odd
// count) is drawn whole.
void draw_random_points(Generator& generator, LawCode code, const ValueList& parameters, int count,
                        std::vector<double>& values) {
    const std::size_t size = count > 0 ? static_cast<std::size_t>(count) : 0;
    values.resize(size);
    if (code != LawCode::kNormal && code != LawCode::kLognormal) {
        for (double& value : values) value = random_value(generator, code, parameters);
        return;
    }
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    if (code == LawCode::kNormal) {  // whole pairs at once, then the last pair's first value
        polar_points(generator, values.data(), size / 2);
        if (size % 2 == 1) {
            double unused = 0.0;
            normal_pair(generator, p1, p2, values[size - 1], unused);
        }
        return;
    }
    for (std::size_t k = 0; k < size; k += 2) {
        double first = 0.0;
        double second = 0.0;
        if (code == LawCode::kNormal)
            normal_pair(generator, p1, p2, first, second);
        else
            lognormal_pair(generator, p1, p2, first, second);
        values[k] = first;
        if (k + 1 < size) values[k + 1] = second;
    }
}

void finish_random_values(LawCode code, const ValueList& parameters, std::vector<double>& values) {
    if (code == LawCode::kNormal)
        polar_values(parameters.at(1), parameters.at(2), values.data(), values.size() / 2);
}

double random_value(Generator& generator, LawCode code, const ValueList& parameters) {
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    int nu = 0;
    switch (code) {
        case LawCode::kUniform:
            return uniform_value(generator, p1, p2);
        case LawCode::kExponential:
            return exponential_value(generator, p1);
        case LawCode::kGamma:
            return gamma_value(generator, p1, p2);
        case LawCode::kChiSquare:
            return degrees_of_freedom(parameters, nu) ? chi_square_value(generator, nu) : kNaN;
        case LawCode::kStudent:
            return degrees_of_freedom(parameters, nu) ? student_value(generator, nu) : kNaN;
        case LawCode::kBeta:
            return beta_value(generator, p1, p2);
        case LawCode::kWeibull:
            return std::pow(exponential_value(generator, p1), 1.0 / p2);
        case LawCode::kPareto:
            return p1 / std::pow(generator.open_uniform(), 1.0 / p2);
        case LawCode::kGpd:
            return gpd_value(generator, p1, p2);
        case LawCode::kStudentApprox:
            return student_approx_value(generator, p1, p2, parameters.at(3));
        default:
            return 0.0;  // normal and lognormal values come in pairs; 12 and above have none
    }
}

}  // namespace evstat
