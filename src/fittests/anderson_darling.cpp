// The Anderson-Darling statistic, Anderson and Darling (1954), in its computing form
// A^2 = -n - (1/n) sum (2i - 1)(ln F_i + ln(1 - F_(n+1-i))), and its modifications for
// the sample size.
#include <array>
#include <cmath>
#include <vector>

#include "fittests/fit_scheme.h"
#include "fittests/fit_test.h"

namespace evstat {

namespace {

struct LawModification {
    LawCode code;
    Modification modification;
};

// Modified forms of A^2 whose percentage points do not depend on n, after Stephens (1974,
// 1977) and D'Agostino and Stephens (1986, ch. 4): fully specified law, exponential with
// estimated scale, normal with estimated mean and variance, extreme-value (Weibull), and
// the exponential with estimated origin and scale that a Pareto series is turned into.
constexpr std::array<LawModification, 7> kAndersonDarlingModifications = {{
    {LawCode::kUniform, {0.0, 0.0, 0.0, 0.0, 0.0}},
    {LawCode::kExponential, {0.0, 0.0, 0.6, 0.0, 0.0}},
    {LawCode::kGamma, {0.0, 0.0, 0.0, 0.0, 0.0}},
    {LawCode::kNormal, {0.0, 0.0, 0.75, 2.25, 0.0}},
    {LawCode::kWeibull, {0.0, 0.0, 0.0, 0.0, 0.2}},
    {LawCode::kLognormal, {0.0, 0.0, 0.75, 2.25, 0.0}},
    {LawCode::kPareto, {0.0, 0.0, 5.4, -11.0, 0.0}},
}};

}  // namespace

double anderson_darling_statistic(std::span<const double> f) {
    const std::size_t n = f.size();
    double s = 0.0;
    for (std::size_t i = 1; i <= n; ++i) {
        const double weight = static_cast<double>(2 * i - 1);
        s += weight * (std::log(f[i - 1]) + std::log(1.0 - f[n - i]));
    }
    const double size = static_cast<double>(n);
    return -size - s / size;
}

double corrected_anderson_darling(LawCode code, double raw, int n) {
    for (const LawModification& entry : kAndersonDarlingModifications)
        if (entry.code == code) return modified_statistic(entry.modification, raw, n);
    return raw;
}

void anderson_darling_test(Generator& generator, WorkerPool& pool, std::span<const double> data,
                           LawCode code, const ValueList& parameters, double level, int& accepted,
                           double& statistic, double& criticalValue) {
    run_fit_test(generator, pool, FitStatistic::AndersonDarling, data, code, parameters, level,
                 accepted, statistic, criticalValue);
}

void anderson_darling_excess_test(Generator& generator, WorkerPool& pool,
                                  std::span<const double> excesses, LawCode code,
                                  const ValueList& parameters, double level, int& accepted,
                                  double& statistic, double& criticalValue) {
    anderson_darling_test(generator, pool, excesses, code, parameters, level, accepted, statistic,
                          criticalValue);
}

}  // namespace evstat
