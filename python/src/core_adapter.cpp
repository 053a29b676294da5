// The core's interface as it stands: series in Sample points, parameters in ValueList, and
// one process-wide generator state, which a lease swaps the caller's generator into for the
// length of a call (one call at a time, whatever thread it comes from).
#include "core_adapter.h"

#include <cmath>
#include <limits>
#include <mutex>

#include "driver/run.h"
#include "driver/work_bounds.h"
#include "estimation/estimate.h"
#include "estimation/moments.h"
#include "fittests/fit_test.h"
#include "input/errors.h"
#include "laws/catalogue.h"
#include "laws/accurate.h"
#include "laws/generator.h"
#include "laws/random_values.h"
#include "tail/methods/tail.h"

namespace evstat::binding {

static_assert(kMostSampleValues == evstat::kMostSampleValues);
static_assert(kMostResampledValues == evstat::kMostResampledValues);
static_assert(kErrorCodeCount == evstat::kErreurCount);
static_assert(kUnknownLawCode == evstat::kUnknownLaw);

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

ValueList value_list(std::span<const double> values) {
    ValueList list;
    for (double v : values) list.push_back(v);
    return list;
}

std::vector<double> values_of(const ValueList& list) { return {list.begin(), list.end()}; }

Sample series_of(std::span<const double> values) {
    Sample series;
    double rank = 0.0;
    for (double v : values) series.push_back(++rank, v);
    return series;
}

std::mutex& generator_mutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

// The caller's generator in the core's state for the length of a call.
class GeneratorLease {
public:
    explicit GeneratorLease(Generator& generator) : generator_(generator), lock_(generator_mutex()) {
        set_seed(generator.state_);
    }
    ~GeneratorLease() { generator_.state_ = generator_detail::state; }
    GeneratorLease(const GeneratorLease&) = delete;
    GeneratorLease& operator=(const GeneratorLease&) = delete;

private:
    Generator& generator_;
    std::lock_guard<std::mutex> lock_;
};

int Generator::next() {
    GeneratorLease lease(*this);
    return next_random();
}

int law_code(const std::string& name) { return law_code_from_name(name); }

void evaluate(LawFunction function, int code, std::span<const double> parameters,
              std::span<const double> x, std::span<double> out) {
    double (*at)(LawCode, std::span<const double>, double) = nullptr;
    switch (function) {
        case LawFunction::kDensity: at = accurate_density; break;
        case LawFunction::kDistribution: at = accurate_distribution; break;
        case LawFunction::kSurvival: at = accurate_survival; break;
        case LawFunction::kQuantile: at = accurate_quantile; break;
        case LawFunction::kUpperQuantile: at = accurate_upper_quantile; break;
    }
    for (std::size_t i = 0; i < x.size(); ++i) out[i] = at(code, parameters, x[i]);
}

bool parameters_valid(int code, std::span<const double> parameters) {
    return law_parameters_valid(code, value_list(parameters));
}

void moments(int code, std::span<const double> parameters, double& mean, double& deviation) {
    mean = kNaN;
    deviation = kNaN;
    law_moments(code, value_list(parameters), mean, deviation);
}

void draw(Generator& generator, int code, std::span<const double> parameters, std::size_t count,
          std::vector<double>& values) {
    const ValueList list = value_list(parameters);
    GeneratorLease lease(generator);
    draw_random_values(code, list, static_cast<int>(count), values);
}

std::vector<double> estimate(int code, std::span<const double> sorted) {
    const Sample series = series_of(sorted);
    ValueList estimates;
    estimate_law(series, code, series.size(), estimates);
    return values_of(estimates);
}

std::vector<double> excesses(std::span<const double> sorted, int k, double& threshold) {
    const Sample series = series_of(sorted);
    Sample above;
    excesses_over_threshold(series, k, series.size(), above, threshold);
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(above.size()));
    for (const Point& p : above) values.push_back(p.y);
    return values;
}

namespace {
TestOutcome run_test(TestKind kind, const Sample& series, int code, const ValueList& parameters,
                     double level) {
    int accepted = 0;
    TestOutcome outcome;
    switch (kind) {
        case TestKind::kAndersonDarling:
            anderson_darling_test(series, code, parameters, level, accepted, outcome.statistic,
                                  outcome.criticalValue);
            break;
        case TestKind::kCramerVonMises:
            cramer_von_mises_test(series, code, parameters, level, accepted, outcome.statistic,
                                  outcome.criticalValue);
            break;
        case TestKind::kAndersonDarlingExcesses:
            anderson_darling_excess_test(series, code, parameters, level, accepted,
                                         outcome.statistic, outcome.criticalValue);
            break;
    }
    // At a tabulated level a test that is made has a critical value: from its table (never
    // 0) or a replicate statistic (above 0).
    outcome.made = outcome.criticalValue != 0.0;
    outcome.accepted = accepted == 1;
    return outcome;
}

bool critical_value_resampled(int code) {
    return code == kChiSquare || code == kStudent || code == kBeta || code == kGpd;
}
}  // namespace

TestOutcome fit_test(TestKind kind, Generator& generator, std::span<const double> sorted, int code,
                     std::span<const double> parameters, double level) {
    const Sample series = series_of(sorted);
    const ValueList list = value_list(parameters);
    GeneratorLease lease(generator);
    return run_test(kind, series, code, list, level);
}

double test_statistic(TestKind kind, std::span<const double> sorted, int code,
                      std::span<const double> parameters, double level) {
    const Sample series = series_of(sorted);
    const ValueList list = value_list(parameters);
    if (critical_value_resampled(code)) {
        // A NaN level asks the resampling laws for the statistic alone, drawing nothing; the
        // raw statistics are above 0, so 0 is the refusal.
        const TestOutcome outcome = run_test(kind, series, code, list, kNaN);
        return outcome.statistic == 0.0 ? kNaN : outcome.statistic;
    }
    const TestOutcome outcome = run_test(kind, series, code, list, level);
    return outcome.made ? outcome.statistic : kNaN;
}

std::string_view error_message(int code) {
    if (code < 0 || code >= kErreurCount) return {};
    return evstat::error_message(static_cast<Erreur>(code));
}

void with_generator(Generator& generator, const std::function<void()>& work) {
    GeneratorLease lease(generator);
    work();
}

}  // namespace evstat::binding
