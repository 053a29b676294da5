// The tests of an extreme quantile as tasks. Versions of the test (`etVersion`): 1 the
// asymptotic ET test (no GPD test), 2 the parametric resampling of the differences
// q - Q0, 3 the parametric resampling of q itself, 0 no test. A law that is not tested
// has the verdict 0 and -10.0 for q, Q0 and both ends of the interval.
#include "driver/tasks_quantile_tests.h"

#include <algorithm>
#include <string>

#include "driver/files.h"
#include "driver/tail_steps.h"
#include "driver/task_support.h"
#include "driver/work_bounds.h"
#include "estimation/estimate.h"
#include "records/errors.h"
#include "tail/quantile_tests/quantile_tests.h"

namespace evstat {

namespace {

constexpr int kAsymptoticVersion = 1;
constexpr int kDifferenceVersion = 2;
constexpr int kPercentileVersion = 3;

QuantileTestOutcome untested() {
    QuantileTestOutcome outcome;
    outcome.verdict = 0;
    outcome.estimate = kNotAvailable;
    outcome.parentQuantile = kNotAvailable;
    outcome.lower = kNotAvailable;
    outcome.upper = kNotAvailable;
    return outcome;
}

int resampling_mode(int etVersion) {
    return etVersion == kPercentileVersion ? kPercentileInterval : kDifferenceInterval;
}

// The excesses over the value at position n - j, and that threshold.
struct Excesses {
    Series values;
    double u = 0.0;
};

void excesses_for(std::span<const double> series, int j, Excesses& excesses) {
    excesses.values.clear();
    excesses_over_threshold(series, j, size_of(series), excesses.values, excesses.u);
}

bool resamples(const LoadType2Parameters& p) {
    return p.etVersion == kDifferenceVersion || p.etVersion == kPercentileVersion;
}

// The numbers of excesses from excessLow to `last`, none when the range is empty.
long long excess_counts(const LoadType2Parameters& p, int last) {
    return std::max(0LL, static_cast<long long>(last) - p.excessLow + 1);
}

// Before the first test of a series: its resampling tests, `tests` of them, must stay
// within the bound on the values they draw.
void require_tests_within_bounds(const LoadType2Parameters& p, std::span<const double> series,
                                 long long tests) {
    if (resamples(p)) require_resampling_within_bounds(p.bootstrapCount, size_of(series), tests);
}

// The parent law fitted to the series, its estimates in `parameters` (cleared first);
// all-zero estimates, or none at all, fail with 63.
void fit_parent_or_fail(std::span<const double> series, LawCode code, ValueList& parameters) {
    parameters.clear();
    estimate_law(series, code, size_of(series), parameters);
    if (all_estimates_zero(parameters)) throw Erreur::NoEstimator;
}

// The ET test of the version for j excesses.
QuantileTestOutcome et_test(Generator& generator, WorkerPool& pool, const LoadType2Parameters& p,
                            std::span<const double> series, const Excesses& q, int j, LawCode code,
                            const ValueList& parameters) {
    QuantileTestOutcome outcome = untested();
    switch (p.etVersion) {
        case kAsymptoticVersion:
            et_asymptotic_test(series, q.values, j, q.u, code, parameters, p.testLevel,
                               p.quantileOrder, outcome);
            break;
        case kDifferenceVersion:
        case kPercentileVersion:
            et_resampling_test(generator, pool, series, q.values, j, q.u, code, parameters,
                               p.testLevel, p.quantileOrder, p.bootstrapCount,
                               resampling_mode(p.etVersion), outcome);
            break;
        default: break;
    }
    return outcome;
}

// The GPD tail fit for j excesses over u, which must not fail (65), then the GPD test of
// the version.
QuantileTestOutcome gpd_test(Generator& generator, WorkerPool& pool, const LoadType2Parameters& p,
                             std::span<const double> series, int j, double u, LawCode code,
                             const ValueList& parameters) {
    const TailFit fit = fit_or_fail(series, j, size_of(series), u, p.method);
    QuantileTestOutcome outcome = untested();
    if (p.etVersion != kDifferenceVersion && p.etVersion != kPercentileVersion) return outcome;
    ValueList tail;
    tail.push_back(fit.xi);
    tail.push_back(fit.sigma);
    gpd_resampling_test(generator, pool, series, j, u, code, parameters, p.testLevel,
                        p.quantileOrder, p.bootstrapCount, resampling_mode(p.etVersion), tail,
                        p.method, outcome);
    return outcome;
}

// The result block of one law: the verdict, q, Q0 and the ends of the interval.
void append_result_block(const RunFiles& files, const std::string& resultFile,
                         const QuantileTestOutcome& outcome) {
    OutputFile out(files, resultFile, "a");
    if (!out.is_open()) return;
    print_int(out, outcome.verdict);
    print_value(out, outcome.estimate);
    print_value(out, outcome.parentQuantile);
    print_value(out, outcome.lower);
    print_value(out, outcome.upper);
}

int law_count(const LoadType2Parameters& p) {
    return static_cast<int>(p.laws.size());
}

// The code of law j of the list (1-based); a name outside the catalogue fails with 9.
LawCode law_code(const LoadType2Parameters& p, int j) {
    return known_law(p.laws[static_cast<std::size_t>(j - 1)]);
}

// The last number of excesses of a range over the ET tests: at most n, the numbers of
// excesses whose threshold the series holds (the GPD fit refuses more by itself).
int last_excess_count(const LoadType2Parameters& p, int n) {
    return std::min(p.excessHigh, n);
}

// The guard concerns the GPD tasks whose method takes logarithms.
bool guard_concerns(const LoadType2Parameters& p) {
    return !fits_without_logarithms(p.method);
}

// The share of the numbered data files whose series passes `test(series, q, code,
// parameters)`, each file taken with its own size; the GPD test refuses a series with values
// not above 0 for a law not defined there. The tests that resample go in the order of the
// files; the others run on the pool.
template <typename Test>
void write_acceptance_rate(WorkerPool& pool, const LoadType2Parameters& p, const RunFiles& files,
                           bool positiveSeries, Test test) {
    const LawCode code = first_law_code(p);
    Series verdicts;
    const auto verdict = [&](Series& series, int) {
        sort_ascending(series);
        if (positiveSeries && has_non_positive(series) && !defined_over_non_positive(code))
            throw Erreur::NegativeData;
        require_tests_within_bounds(p, series, 1);
        ValueList parameters;
        Excesses q;
        fit_parent_or_fail(series, code, parameters);
        excesses_for(series, p.excessCount, q);
        return static_cast<double>(test(series, q, code, parameters).verdict);
    };
    const int read =
        numbered_file_results(pool, p.frame.directory, resamples(p), verdict, verdicts);
    write_rates(files, p.frame.resultFile, verdicts, read + 1);
}

}  // namespace

void task_et_acceptance_rate(const LoadType2Parameters& p, RunContext& run) {
    write_acceptance_rate(*run.pool, p, run.files, false,
                          [&](std::span<const double> series, const Excesses& q, LawCode code,
                              const ValueList& parameters) {
                              return et_test(run.generator, *run.pool, p, series, q, p.excessCount,
                                             code, parameters);
                          });
}

void task_et_outcomes(const LoadType2Parameters& p, RunContext& run) {
    Series series;
    read_sorted_series(p.frame.dataFile, series);
    require_tests_within_bounds(p, series, law_count(p));
    ValueList parameters;
    Excesses q;
    for (int j = 1; j <= law_count(p); ++j) {
        const LawCode code = law_code(p, j);
        fit_parent_or_fail(series, code, parameters);
        excesses_for(series, p.excessCount, q);
        append_result_block(
            run.files, p.frame.resultFile,
            et_test(run.generator, *run.pool, p, series, q, p.excessCount, code, parameters));
    }
}

void task_et_verdicts(const LoadType2Parameters& p, RunContext& run) {
    Series series;
    read_sorted_series(p.frame.dataFile, series);
    const int last = last_excess_count(p, size_of(series));
    require_tests_within_bounds(p, series, law_count(p) * excess_counts(p, last));
    Sample verdicts;  // (number of excesses, verdict), law after law
    ValueList parameters;
    Excesses q;
    for (int j = 1; j <= law_count(p); ++j) {
        const LawCode code = law_code(p, j);
        fit_parent_or_fail(series, code, parameters);
        for (int excesses = p.excessLow; excesses <= last; ++excesses) {
            excesses_for(series, excesses, q);
            const QuantileTestOutcome outcome =
                et_test(run.generator, *run.pool, p, series, q, excesses, code, parameters);
            verdicts.push_back(static_cast<double>(excesses), static_cast<double>(outcome.verdict));
        }
    }
    write_pairs(run.files, verdicts, p.frame.resultFile);
}

void task_gpd_acceptance_rate(const LoadType2Parameters& p, RunContext& run) {
    write_acceptance_rate(*run.pool, p, run.files, true,
                          [&](std::span<const double> series, const Excesses& q, LawCode code,
                              const ValueList& parameters) {
                              return gpd_test(run.generator, *run.pool, p, series, p.excessCount,
                                              q.u, code, parameters);
                          });
}

// A law with all-zero estimates is written as not tested; before the first law that is
// tested, the guard may end the task, leaving the blocks already written.
void task_gpd_outcomes(const LoadType2Parameters& p, RunContext& run) {
    Series series;
    read_sorted_series(p.frame.dataFile, series);
    const int n = size_of(series);
    require_tests_within_bounds(p, series, law_count(p));
    ValueList parameters;
    Excesses q;
    for (int j = 1; j <= law_count(p); ++j) {
        const LawCode code = law_code(p, j);
        parameters.clear();
        estimate_for_test(series, code, parameters);
        QuantileTestOutcome outcome = untested();
        if (!all_estimates_zero(parameters)) {
            if (guard_stops_task(run.files, p.frame, series, n, p.excessCount, guard_concerns(p)))
                return;
            excesses_for(series, p.excessCount, q);
            outcome =
                gpd_test(run.generator, *run.pool, p, series, p.excessCount, q.u, code, parameters);
        }
        append_result_block(run.files, p.frame.resultFile, outcome);
    }
}

// A law with all-zero estimates gives no line; the guard, applied with the highest
// number of excesses, ends the task without a result file.
void task_gpd_verdicts(const LoadType2Parameters& p, RunContext& run) {
    Series series;
    read_sorted_series(p.frame.dataFile, series);
    const int n = size_of(series);
    // Past n excesses the fit fails (65) before it resamples.
    require_tests_within_bounds(p, series, law_count(p) * excess_counts(p, std::min(p.excessHigh, n)));
    Sample verdicts;  // (number of excesses, verdict), law after law
    ValueList parameters;
    Excesses q;
    for (int j = 1; j <= law_count(p); ++j) {
        const LawCode code = law_code(p, j);
        parameters.clear();
        estimate_for_test(series, code, parameters);
        if (all_estimates_zero(parameters)) continue;
        if (guard_stops_task(run.files, p.frame, series, n, p.excessHigh, guard_concerns(p)))
            return;
        // The fit refuses a number of excesses above n (65), which bounds the range.
        for (int excesses = p.excessLow; excesses <= p.excessHigh; ++excesses) {
            excesses_for(series, excesses, q);
            const QuantileTestOutcome outcome =
                gpd_test(run.generator, *run.pool, p, series, excesses, q.u, code, parameters);
            verdicts.push_back(static_cast<double>(excesses), static_cast<double>(outcome.verdict));
        }
    }
    write_pairs(run.files, verdicts, p.frame.resultFile);
}

}  // namespace evstat
