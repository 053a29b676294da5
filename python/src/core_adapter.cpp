// The core's interface: series read in place as spans, parameters in ValueList, the
// caller's generator handed to every function that draws.
#include "core_adapter.h"
#include "core_lists.h"

#include <cmath>
#include <limits>

#include "driver/work_bounds.h"
#include "estimation/estimate.h"
#include "estimation/moments.h"
#include "fittests/fit_test.h"
#include "laws/accurate.h"
#include "laws/catalogue.h"
#include "laws/random_values.h"
#include "laws/validity.h"
#include "parallel/worker_pool.h"
#include "records/errors.h"
#include "tail/methods/tail.h"

namespace evstat::binding {

static_assert(kMostSampleValues == evstat::kMostSampleValues);
static_assert(kMostResampledValues == evstat::kMostResampledValues);
static_assert(kErrorCodeCount == evstat::kErreurCount);
static_assert(kUnknownLawCode == law_code_number(LawCode::kUnknown));

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

LawCode law(int code) {
    return law_code_of_number(code);
}



}  // namespace

// The caller's generator, held for the length of a call.
class GeneratorLease {
  public:
    explicit GeneratorLease(Generator& generator)
        : lock_(generator.mutex_), source(generator.source_) {}

  private:
    std::lock_guard<std::mutex> lock_;

  public:
    evstat::Generator& source;
};

std::uint32_t Generator::state() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return source_.state();
}

int Generator::next() {
    return GeneratorLease(*this).source.next();
}

int law_code(const std::string& name) {
    return law_code_number(law_code_from_name(name));
}

void evaluate(LawFunction function, int code, std::span<const double> parameters,
              std::span<const double> x, std::span<double> out) {
    double (*at)(LawCode, std::span<const double>, double) = nullptr;
    switch (function) {
        case LawFunction::kDensity:
            at = accurate_density;
            break;
        case LawFunction::kDistribution:
            at = accurate_distribution;
            break;
        case LawFunction::kSurvival:
            at = accurate_survival;
            break;
        case LawFunction::kQuantile:
            at = accurate_quantile;
            break;
        case LawFunction::kUpperQuantile:
            at = accurate_upper_quantile;
            break;
    }
    const LawCode c = law(code);
    for (std::size_t i = 0; i < x.size(); ++i) out[i] = at(c, parameters, x[i]);
}

bool parameters_valid(int code, std::span<const double> parameters) {
    return evstat::parameters_valid(law(code), value_list(parameters));
}

void moments(int code, std::span<const double> parameters, double& mean, double& deviation) {
    mean = kNaN;
    deviation = kNaN;
    law_moments(law(code), value_list(parameters), mean, deviation);
}

void draw(Generator& generator, int code, std::span<const double> parameters, std::size_t count,
          std::vector<double>& values) {
    const ValueList list = value_list(parameters);
    GeneratorLease lease(generator);
    draw_random_values(lease.source, law(code), list, static_cast<int>(count), values);
}

std::vector<double> estimate(int code, std::span<const double> sorted) {
    ValueList estimates;
    estimate_law(sorted, law(code), static_cast<int>(sorted.size()), estimates);
    return values_of(estimates);
}

std::vector<double> excesses(std::span<const double> sorted, int k, double& threshold) {
    Series above;
    excesses_over_threshold(sorted, k, static_cast<int>(sorted.size()), above, threshold);
    return above;
}

namespace {
TestOutcome run_test(TestKind kind, evstat::Generator& generator, std::span<const double> series, int code,
                     const ValueList& parameters, double level) {
    int accepted = 0;
    TestOutcome outcome;
    evstat::WorkerPool pool(1);  // the refits of a resampled critical value, on this thread
    switch (kind) {
        case TestKind::kAndersonDarling:
            anderson_darling_test(generator, pool, series, law(code), parameters, level, accepted,
                                  outcome.statistic, outcome.criticalValue);
            break;
        case TestKind::kCramerVonMises:
            cramer_von_mises_test(generator, pool, series, law(code), parameters, level, accepted,
                                  outcome.statistic, outcome.criticalValue);
            break;
        case TestKind::kAndersonDarlingExcesses:
            anderson_darling_excess_test(generator, pool, series, law(code), parameters, level,
                                         accepted, outcome.statistic, outcome.criticalValue);
            break;
    }
    // At a tabulated level a test that is made has a critical value: from its table (never
    // 0) or a replicate statistic (above 0).
    outcome.made = outcome.criticalValue != 0.0;
    outcome.accepted = accepted == 1;
    return outcome;
}

bool critical_value_resampled(int code) {
    const LawCode c = law(code);
    return c == LawCode::kChiSquare || c == LawCode::kStudent || c == LawCode::kBeta ||
           c == LawCode::kGpd;
}
}  // namespace

TestOutcome fit_test(TestKind kind, Generator& generator, std::span<const double> sorted, int code,
                     std::span<const double> parameters, double level) {
    const ValueList list = value_list(parameters);
    GeneratorLease lease(generator);
    return run_test(kind, lease.source, sorted, code, list, level);
}

double test_statistic(TestKind kind, std::span<const double> sorted, int code,
                      std::span<const double> parameters, double level) {
    const ValueList list = value_list(parameters);
    evstat::Generator unused;  // asked for the statistic alone, the tests draw nothing
    if (critical_value_resampled(code)) {
        // A NaN level asks the resampling laws for the statistic alone, drawing nothing; the
        // raw statistics are above 0, so 0 is the refusal.
        const TestOutcome outcome = run_test(kind, unused, sorted, code, list, kNaN);
        return outcome.statistic == 0.0 ? kNaN : outcome.statistic;
    }
    const TestOutcome outcome = run_test(kind, unused, sorted, code, list, level);
    return outcome.made ? outcome.statistic : kNaN;
}

std::string_view error_message(int code) {
    if (code < 0 || code >= kErreurCount) return {};
    return evstat::error_message(static_cast<Erreur>(code));
}

void with_generator(Generator& generator, const std::function<void(evstat::Generator&)>& work) {
    GeneratorLease lease(generator);
    work(lease.source);
}

}  // namespace evstat::binding
