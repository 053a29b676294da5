// Tasks of LoadType 2 that choose a law by tests of fit with critical values (9 to 12)
// and that give the extreme quantile of fitted laws (36, 37). The data series are read
// as written, in increasing order, which the estimators and the tests expect.
#include "driver/tasks_fit_choice.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "driver/files.h"
#include "driver/task_support.h"
#include "estimation/estimate.h"
#include "fittests/fit_test.h"
#include "laws/quantiles.h"
#include "records/errors.h"

namespace evstat {

namespace {

// The shape shared by the tests of fit with critical values (fittests/fit_test.h).
using FitTest = void (*)(Generator& generator, WorkerPool& pool, std::span<const double> data,
                         LawCode code, const ValueList& parameters, double level, int& accepted,
                         double& statistic, double& criticalValue);

// A usable fit: its one estimate, or its first or second estimate, differs from 0. A law
// that gave no estimate at all (the gamma law over a constant series) is not usable.
bool usable_fit(const ValueList& estimates) {
    if (estimates.size() == 1) return estimates.at(1) != 0.0;
    if (estimates.size() >= 2) return estimates.at(1) != 0.0 || estimates.at(2) != 0.0;
    return false;
}

// A curve is drawn when the one estimate, or both the first and the second, differ from 0.
bool curve_drawable(const ValueList& estimates) {
    if (estimates.size() == 1) return estimates.at(1) != 0.0;
    if (estimates.size() >= 2) return estimates.at(1) != 0.0 && estimates.at(2) != 0.0;
    return false;
}

// The quantile of the fitted law at 1 - order, or -10.0 when nothing was estimated.
double quantile_or_not_available(LawCode code, const ValueList& estimates, double order) {
    if (all_estimates_zero(estimates)) return kNotAvailable;
    return quantile(code, estimates, 1.0 - order);
}

// A law's test of fit over a series: the decision, the statistic and its critical value.
struct FitTestOutcome {
    int accepted = 0;
    double statistic = 0.0;
    double criticalValue = 0.0;
};

// The law fitted to the series as the tests fit it (into `parameters`), then tested at the level.
FitTestOutcome fit_and_test(Generator& generator, WorkerPool& pool, FitTest test,
                            std::span<const double> series, LawCode code, double level,
                            ValueList& parameters) {
    estimate_for_test(series, code, parameters);
    FitTestOutcome outcome;
    test(generator, pool, series, code, parameters, level, outcome.accepted, outcome.statistic,
         outcome.criticalValue);
    return outcome;
}

void append_test_block(const RunFiles& files, const std::string& resultFile,
                       const ValueList& estimates, const FitTestOutcome& outcome) {
    OutputFile out(files, resultFile, "a");
    for (double value : estimates) print_value(out, value);
    print_int(out, outcome.accepted);
    print_value(out, outcome.statistic);
    print_value(out, outcome.criticalValue);
}

void candidate_laws(Generator& generator, WorkerPool& pool, const LoadType2Parameters& p,
                    const RunFiles& files, FitTest test) {
    const CommonFrame& frame = p.frame;
    int k = result_number(frame.directory, frame.resultFile);
    const int lawCount = static_cast<int>(p.laws.size());
    require_curve_pairs_spare_parameter_file(files, frame, k + 1,
                                             lawCount);  // one pair a law at most
    Series series;
    read_series(frame.dataFile, series);
    const double lo = first_value(series);
    const double hi = last_value(series);
    Sample grid;
    make_grid(lo, hi, kCurveSteps, grid);

    Series usable;  // the position of each usable law
    int unusable = 0;
    ValueList parameters;
    for (int j = 1; j <= lawCount; ++j) {
        const NamedLaw& law = p.laws[static_cast<std::size_t>(j - 1)];
        const LawCode code = known_law(law);
        const FitTestOutcome outcome =
            fit_and_test(generator, pool, test, series, code, p.testLevel, parameters);
        append_test_block(files, frame.resultFile, parameters, outcome);
        if (usable_fit(parameters))
            usable.push_back(static_cast<double>(j));
        else
            ++unusable;
        if (curve_drawable(parameters))
            write_curve_pair(files, frame, k, kDensityCurveTask, law, parameters, lo, hi, grid);
        parameters.clear();
    }

    OutputFile out(files, frame.resultFile, "a");
    for (const double position : usable) print_value(out, position);
    print_value(out, static_cast<double>(unusable));
}

void rejection_rate(Generator& generator, WorkerPool& pool, const LoadType2Parameters& p,
                    const RunFiles& files, FitTest test) {
    const LawCode code = first_law_code(p);
    Series decisions;
    // A test that resamples draws, in the order of the files on this thread; any other
    // draws nothing and runs on the pool.
    const int read = numbered_file_results(
        pool, p.frame.directory, fit_test_resamples(code),
        [&](std::span<const double> series, int) {
            ValueList parameters;
            return static_cast<double>(
                fit_and_test(generator, pool, test, series, code, p.testLevel, parameters).accepted);
        },
        decisions);
    write_rates(files, p.frame.resultFile, decisions, read + 1);
}

}  // namespace

void task_candidate_laws_ad(const LoadType2Parameters& p, RunContext& run) {
    candidate_laws(run.generator, *run.pool, p, run.files, anderson_darling_test);
}

void task_candidate_laws_cvm(const LoadType2Parameters& p, RunContext& run) {
    candidate_laws(run.generator, *run.pool, p, run.files, cramer_von_mises_test);
}

void task_rejection_rate_ad(const LoadType2Parameters& p, RunContext& run) {
    rejection_rate(run.generator, *run.pool, p, run.files, anderson_darling_test);
}

void task_rejection_rate_cvm(const LoadType2Parameters& p, RunContext& run) {
    rejection_rate(run.generator, *run.pool, p, run.files, cramer_von_mises_test);
}

void task_extreme_quantiles(const LoadType2Parameters& p, RunContext& run) {
    Series series;
    read_series(p.frame.dataFile, series);
    Series quantiles;  // (position of the law, its quantile)
    ValueList parameters;
    for (int j = 1; j <= static_cast<int>(p.laws.size()); ++j) {
        const LawCode code = known_law(p.laws[static_cast<std::size_t>(j - 1)]);
        estimate_for_test(series, code, parameters);
        quantiles.push_back(quantile_or_not_available(code, parameters, p.quantileOrder));
        parameters.clear();
    }
    write_values(run.files, quantiles, p.frame.resultFile);
}

// Each file is fitted with its own size: the files written by the simulation tasks all
// have one size, and a file of another size is not fitted with a size it does not have.
void task_extreme_quantile_spread(const LoadType2Parameters& p, RunContext& run) {
    const LawCode code = first_law_code(p);
    Series quantiles;  // by number of the file
    const int files = numbered_file_results(
        *run.pool, p.frame.directory, false,
        [&](std::span<const double> series, int) {
            if (has_non_positive(series) && !defined_over_non_positive(code))
                throw Erreur::NegativeDataForLaw;
            ValueList parameters;
            estimate_for_test(series, code, parameters);
            return quantile_or_not_available(code, parameters, p.quantileOrder);
        },
        quantiles);

    sort_ascending(quantiles);
    write_values(run.files, quantiles, p.frame.resultFile);
    Series available;
    for (const double value : quantiles)
        if (value != kNotAvailable) available.push_back(value);
    // When no file gave a quantile the mean and variance are not available either.
    const double availableMean = available.empty() ? kNotAvailable : mean(available);
    const double availableVariance = available.empty() ? kNotAvailable : variance(available);
    OutputFile out(run.files, p.frame.resultFile, "a");
    print_text(out, "");
    print_value(out, availableMean);
    print_value(out, availableVariance);
    print_value(out, static_cast<double>(files));
}

}  // namespace evstat
