// The Cramer-von Mises statistic in its computing form
// W^2 = sum (F_i - (2i - 1)/(2n))^2 + 1/(12n), and its modifications for the sample size.
#include <array>

#include "fittests/fit_scheme.h"
#include "fittests/fit_test.h"

namespace evstat {

namespace {

struct LawModification {
    LawCode code;
    Modification modification;
};

// Modified forms of W^2 whose percentage points do not depend on n, after Stephens (1974,
// 1977) and D'Agostino and Stephens (1986, ch. 4): fully specified law
// (W^2 - 0.4/n + 0.6/n^2)(1 + 1/n), exponential with estimated scale, normal with
// estimated mean and variance, extreme-value (Weibull), and the exponential with
// estimated origin and scale that a Pareto series is turned into.
constexpr std::array<LawModification, 7> kCramerVonMisesModifications = {{
    {LawCode::kUniform, {-0.4, 0.6, 1.0, 0.0, 0.0}},
    {LawCode::kExponential, {0.0, 0.0, 0.16, 0.0, 0.0}},
    {LawCode::kGamma, {0.0, 0.0, 0.0, 0.0, 0.0}},
    {LawCode::kNormal, {0.0, 0.0, 0.5, 0.0, 0.0}},
    {LawCode::kWeibull, {0.0, 0.0, 0.0, 0.0, 0.2}},
    {LawCode::kLognormal, {0.0, 0.0, 0.5, 0.0, 0.0}},
    {LawCode::kPareto, {0.0, 0.0, 2.8, -3.0, 0.0}},
}};

}  // namespace

double cramer_von_mises_statistic(std::span<const double> probabilities) {
    const double size = static_cast<double>(probabilities.size());
    double sum = 0.0;
    double i = 1.0;
    for (const double p : probabilities) {
        const double deviation = p - (2.0 * i - 1.0) / (2.0 * size);
        sum += deviation * deviation;
        i += 1.0;
    }
    return sum + 1.0 / (12.0 * size);
}

double corrected_cramer_von_mises(LawCode code, double raw, int n) {
    for (const LawModification& entry : kCramerVonMisesModifications)
        if (entry.code == code) return modified_statistic(entry.modification, raw, n);
    return raw;
}

void cramer_von_mises_test(Generator& generator, WorkerPool& pool, std::span<const double> data,
                           LawCode code, const ValueList& parameters, double level, int& accepted,
                           double& statistic, double& criticalValue) {
    run_fit_test(generator, pool, FitStatistic::CramerVonMises, data, code, parameters, level,
                 accepted, statistic, criticalValue);
}

}  // namespace evstat
