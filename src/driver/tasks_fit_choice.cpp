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
#include "input/errors.h"
#include "laws/quantiles.h"

namespace evstat {

namespace {

// The shape shared by the tests of fit with critical values (fittests/fit_test.h).
using FitTest = void (*)(WorkerPool& pool, std::span<const double> data, LawCode code,
                         const ValueList& parameters, double level, int& accepted,
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
double fitted_quantile(LawCode code, const ValueList& estimates, double order) {
    if (all_estimates_zero(estimates)) return kNotAvailable;
    return quantile(code, estimates, 1.0 - order);
}

void append_test_block(const std::string& resultFile, const ValueList& estimates, int accepted,
                       double statistic, double criticalValue) {
    OutputFile out(resultFile, "a");
    for (double value : estimates) print_value(out.get(), value);
    print_int(out.get(), accepted);
    print_value(out.get(), statistic);
    print_value(out.get(), criticalValue);
}

void candidate_laws(WorkerPool& pool, const RunParameters& p, FitTest test) {
    int k = result_number(p.directory, p.resultFile);
    require_curve_pairs_spare_parameter_file(p, k + 1, law_count(p));  // one pair a law at most
    Series series;
    read_series(p.dataFile, series);
    const double lo = first_value(series);
    const double hi = last_value(series);
    Sample grid;
    make_grid(lo, hi, kCurveSteps, grid);

    Series usable;  // the position of each usable law
    int unusable = 0;
    ValueList parameters;
    for (int j = 1; j <= law_count(p); ++j) {
        const std::string& name = p.lawNames[static_cast<std::size_t>(j - 1)];
        const LawCode code = law_code_or_fail(name);
        estimate_for_test(series, code, parameters);
        int accepted = 0;
        double statistic = 0.0;
        double criticalValue = 0.0;
        test(pool, series, code, parameters, p.testLevel, accepted, statistic, criticalValue);
        append_test_block(p.resultFile, parameters, accepted, statistic, criticalValue);
        if (usable_fit(parameters))
            usable.push_back(static_cast<double>(j));
        else
            ++unusable;
        if (curve_drawable(parameters))
            write_curve_pair(p.directory, p.dataFile, k, kDensityCurveTask, name, code, parameters,
                             lo, hi, grid);
        parameters.clear();
    }

    OutputFile out(p.resultFile, "a");
    for (const double position : usable) print_value(out.get(), position);
    print_value(out.get(), static_cast<double>(unusable));
}

void rejection_rate(WorkerPool& pool, const RunParameters& p, FitTest test) {
    const LawCode code = first_law_code(p);
    Series decisions;
    const int files = numbered_file_results(
        pool, p.directory, fit_test_resamples(code),
        [&](const Series& series, int) {
            ValueList parameters;
            estimate_for_test(series, code, parameters);
            int accepted = 0;
            double statistic = 0.0;
            double criticalValue = 0.0;
            test(pool, series, code, parameters, p.testLevel, accepted, statistic, criticalValue);
            return static_cast<double>(accepted);
        },
        decisions);
    write_rates(p.resultFile, decisions, files + 1);
}

}  // namespace

void task_candidate_laws_ad(RunContext& context) {
    candidate_laws(*context.pool, context.parameters, anderson_darling_test);
}

void task_candidate_laws_cvm(RunContext& context) {
    candidate_laws(*context.pool, context.parameters, cramer_von_mises_test);
}

void task_rejection_rate_ad(RunContext& context) {
    rejection_rate(*context.pool, context.parameters, anderson_darling_test);
}

void task_rejection_rate_cvm(RunContext& context) {
    rejection_rate(*context.pool, context.parameters, cramer_von_mises_test);
}

void task_extreme_quantiles(RunContext& context) {
    const RunParameters& p = context.parameters;
    Series series;
    read_series(p.dataFile, series);
    Series quantiles;  // by position of the law
    ValueList parameters;
    for (int j = 1; j <= law_count(p); ++j) {
        const LawCode code = law_code_or_fail(p.lawNames[static_cast<std::size_t>(j - 1)]);
        estimate_for_test(series, code, parameters);
        quantiles.push_back(fitted_quantile(code, parameters, p.quantileOrder));
        parameters.clear();
    }
    write_values(quantiles, p.resultFile);
}

// Each file is fitted with its own size: the files written by the simulation tasks all
// have one size, and a file of another size is not fitted with a size it does not have.
void task_extreme_quantile_spread(RunContext& context) {
    const RunParameters& p = context.parameters;
    const LawCode code = first_law_code(p);
    Series quantiles;  // by number of the file
    const int files = numbered_file_results(
        *context.pool, p.directory, false,
        [&](const Series& series, int) {
            if (has_non_positive(series) && !defined_over_non_positive(code))
                throw Erreur::NegativeDataForLaw;
            ValueList parameters;
            estimate_for_test(series, code, parameters);
            return fitted_quantile(code, parameters, p.quantileOrder);
        },
        quantiles);

    sort_ascending(quantiles);
    write_values(quantiles, p.resultFile);
    Series available;
    for (const double value : quantiles)
        if (value != kNotAvailable) available.push_back(value);
    // When no file gave a quantile the mean and variance are not available either.
    const double availableMean = available.empty() ? kNotAvailable : mean(available);
    const double availableVariance = available.empty() ? kNotAvailable : variance(available);
    OutputFile out(p.resultFile, "a");
    print_text(out.get(), "");
    print_value(out.get(), availableMean);
    print_value(out.get(), availableVariance);
    print_value(out.get(), static_cast<double>(files));
}

}  // namespace evstat
