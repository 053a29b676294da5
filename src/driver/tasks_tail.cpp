// Tasks over the excesses of a series above a threshold. Tasks 13 to 15 fit a law to the
// excesses and test it by Anderson-Darling; tasks 28 to 35 estimate the tail (xi, sigma)
// by the methods 1 "HW", 2 "EMV", 3 "Hill", 4 "HillG", 5 "Zipf", with the plots and the
// return levels that follow, behind the guard against non-positive data.
#include "driver/tasks_tail.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "driver/files.h"
#include "driver/tail_steps.h"
#include "driver/task_support.h"
#include "estimation/estimate.h"
#include "estimation/kernel.h"
#include "fittests/fit_test.h"
#include "records/errors.h"
#include "tail/methods/tail.h"

namespace evstat {

namespace {

// ---------------------------------------------------------------- shared steps

// Mean and variance of a column of values.
void print_mean_and_variance(OutputFile& out, std::span<const double> values) {
    print_value(out, mean(values));
    print_value(out, variance(values));
}

// ---------------------------------------------------------------- the excess step

// The work lists of the excess step: the excesses Q, the estimates E and the law
// parameters P.
struct ExcessFit {
    Series excesses;
    ValueList estimates;
    ValueList parameters;

    void clear() {
        excesses.clear();
        estimates.clear();
        parameters.clear();
    }
};

// The excesses over the value at position n - j, and the law fitted to them. Ties at
// the threshold leave fewer than j excesses: the estimate runs over those that exist.
// The generalized Pareto law, the law of excesses, has its own estimator.
void excess_step(std::span<const double> series, int j, int n, LawCode code, ExcessFit& fit) {
    double threshold = 0.0;
    excesses_over_threshold(series, j, n, fit.excesses, threshold);
    estimate_law(fit.excesses, code, size_of(fit.excesses), fit.estimates);
    for (double e : fit.estimates) fit.parameters.push_back(e);
}

// The decision of the Anderson-Darling test over the excesses, and its two values.
struct Decision {
    int accepted = 0;
    double statistic = 0.0;
    double criticalValue = 0.0;
};

Decision test_excesses(Generator& generator, WorkerPool& pool, const ExcessFit& fit, LawCode code,
                       double level) {
    Decision d;
    anderson_darling_excess_test(generator, pool, fit.excesses, code, fit.parameters, level,
                                 d.accepted, d.statistic, d.criticalValue);
    return d;
}

// ---------------------------------------------------------------- the guard

TailMethod first_method(const LoadType5Parameters& p) {
    return p.methods.empty() ? kUnknownTailMethod : p.methods.front();
}

// Whether the guard concerns the methods of the task: the first method alone, or all.
bool guard_concerns_first_method(const LoadType5Parameters& p) {
    return !fits_without_logarithms(first_method(p));
}

bool guard_concerns_all_methods(const LoadType5Parameters& p) {
    if (p.methods.size() >= 3) return true;
    for (const TailMethod method : p.methods)
        if (!fits_without_logarithms(method)) return true;
    return false;
}

// The numbers of excesses of the tasks over a range, k to K: K = 0 gives no upper bound
// and stands for n - 1; the range then keeps to 1 .. n - 1, the numbers of excesses
// whose threshold is a value of the series.
struct ExcessRange {
    long long needed;  // what the guard compares with m
    int first;
    int last;
};

ExcessRange excess_range(const LoadType5Parameters& p, int n) {
    const long long high = p.excessHigh == 0 ? static_cast<long long>(n) - 1 : p.excessHigh;
    ExcessRange range;
    range.needed = high;
    range.first = p.excessLow < 1 ? 1 : p.excessLow;
    range.last = static_cast<int>(high < n - 1 ? high : n - 1);
    return range;
}

}  // namespace

// ---------------------------------------------------------------- tasks 13 to 15

void task_excess_test(const LoadType2Parameters& p, RunContext& run) {
    const LawCode code = first_law_code(p);
    Series series;
    read_sorted_series(p.frame.dataFile, series);
    const int n = size_of(series);
    ExcessFit fit;
    excess_step(series, p.excessCount, n, code, fit);
    const Decision d = test_excesses(run.generator, *run.pool, fit, code, p.testLevel);

    ValueList unit;
    unit.push_back(1.0);
    Sample pairs;
    quantile_pairs(fit.excesses, p.excessCount, unit, code, pairs);
    if (pairs.empty()) {
        OutputFile replaced(run.files, p.frame.resultFile,
                            "w");  // no excess: no earlier result stays above
    } else {
        write_pairs(run.files, pairs, p.frame.resultFile);
    }
    OutputFile out(run.files, p.frame.resultFile, "a");
    print_pair(out, fit.estimates.at(1), 0.0);
    print_pair(out, static_cast<double>(d.accepted), 0.0);
}

void task_excess_rejection_rate(const LoadType2Parameters& p, RunContext& run) {
    const LawCode code = first_law_code(p);
    Series decisions;
    const int files = numbered_file_results(
        *run.pool, p.frame.directory, fit_test_resamples(code),
        [&](Series& series, int) {
            sort_ascending(series);
            ExcessFit fit;
            excess_step(series, p.excessCount, size_of(series), code, fit);
            return static_cast<double>(
                test_excesses(run.generator, *run.pool, fit, code, p.testLevel).accepted);
        },
        decisions);
    write_rates(run.files, p.frame.resultFile, decisions, files + 1);
}

void task_excess_decisions(const LoadType2Parameters& p, RunContext& run) {
    const LawCode code = first_law_code(p);
    Series series;
    read_sorted_series(p.frame.dataFile, series);
    const int n = size_of(series);
    ExcessFit fit;
    Sample decisions;
    for (int j = 2; j <= n - 1; ++j) {
        excess_step(series, j, n, code, fit);
        decisions.push_back(
            static_cast<double>(j),
            static_cast<double>(
                test_excesses(run.generator, *run.pool, fit, code, p.testLevel).accepted));
        fit.clear();
    }
    write_pairs(run.files, decisions, p.frame.resultFile);
}

// ---------------------------------------------------------------- tasks 28 to 35

void task_tail_fit_plots(const LoadType5Parameters& p, RunContext& run) {
    const TailMethod method = first_method(p);
    Series series;
    read_sorted_series(p.frame.dataFile, series);
    const int n = size_of(series);
    const int k = p.excessLow;
    if (guard_stops_task(run.files, p.frame, series, n, k, guard_concerns_first_method(p))) return;

    // All n values are excesses over 0 when k = n.
    const bool whole = k == n;
    const double u = whole ? 0.0 : threshold_for(series, n, k);
    const TailFit fit = fit_or_fail(series, k, n, u, method);

    Sample out;
    out.push_back(fit.xi, fit.sigma);
    if (whole) {
        gpd_quantile_plot(series, n, fit.xi, out);
    } else {
        Series excesses;
        double threshold = 0.0;
        excesses_over_threshold(series, k, n, excesses, threshold);
        gpd_quantile_plot(excesses, k, fit.xi, out);
    }
    Sample logLog;
    double slope = 0.0;
    log_log_plot(series, k, logLog, slope);
    append_points(out, logLog);
    out.push_back(0.0, slope);
    write_pairs(run.files, out, p.frame.resultFile);
}

namespace {

// Tasks 29 and 33: the fit of every method of the list at k excesses, in order, as the
// points (xi, sigma), then for task 33 the points (0, return level). The failure flag
// is not looked at: a failed fit shows as the failure pair.
void fits_of_every_method(const LoadType5Parameters& p, const RunFiles& files, bool withLevels) {
    Series series;
    read_sorted_series(p.frame.dataFile, series);
    const int n = size_of(series);
    const int k = p.excessLow;
    if (guard_stops_task(files, p.frame, series, n, k, guard_concerns_all_methods(p))) return;

    const double u = threshold_for(series, n, k);
    Sample fits;
    Sample levels;
    for (const TailMethod method : p.methods) {
        const TailFit fit = fit_at(series, k, n, u, method);
        fits.push_back(fit.xi, fit.sigma);
        if (withLevels)
            levels.push_back(0.0, return_level(u, fit.xi, fit.sigma, k, p.quantileOrder, n));
    }
    append_points(fits, levels);
    write_pairs(files, fits, p.frame.resultFile);
}

TailFit from_path(const TailEstimate& estimate) {
    TailFit fit;
    fit.xi = estimate.xi;
    fit.sigma = estimate.sigma;
    fit.failed = estimate.failed;
    return fit;
}

// Tasks 30 and 34: for every method and every number of excesses j of the range, the
// points (j, xi) followed by the points (j, sigma) for task 30, or the points
// (j, return level) for task 34.
void fits_over_range(WorkerPool& pool, const LoadType5Parameters& p, const RunFiles& files,
                     bool levelsOnly) {
    Series series;
    read_sorted_series(p.frame.dataFile, series);
    const int n = size_of(series);
    const ExcessRange range = excess_range(p, n);
    if (guard_stops_task(files, p.frame, series, n, range.needed, guard_concerns_all_methods(p)))
        return;

    Sample first;   // xi, or the return level
    Sample second;  // sigma
    const std::vector<std::vector<TailEstimate>> paths =
        tail_fit_paths(pool, series, range.first, range.last, p.methods);
    for (std::size_t m = 0; m < p.methods.size(); ++m) {
        const TailMethod method = p.methods[m];
        const std::vector<TailEstimate>& path = paths[m];
        for (int j = range.first; j <= range.last; ++j) {
            const double u = threshold_for(series, n, j);
            const TailFit fit =
                path.empty() ? fit_at(series, j, n, u, method)
                             : from_path(path[static_cast<std::size_t>(j - range.first)]);
            const double x = static_cast<double>(j);
            if (levelsOnly) {
                first.push_back(x, return_level(u, fit.xi, fit.sigma, j, p.quantileOrder, n));
            } else {
                first.push_back(x, fit.xi);
                second.push_back(x, fit.sigma);
            }
        }
    }
    append_points(first, second);
    write_pairs(files, first, p.frame.resultFile);
}

}  // namespace

void task_tail_fit_methods(const LoadType5Parameters& p, RunContext& run) {
    fits_of_every_method(p, run.files, false);
}

void task_tail_fit_range(const LoadType5Parameters& p, RunContext& run) {
    fits_over_range(*run.pool, p, run.files, false);
}

namespace {

// The loop of the studies over the numbered data files: for each file that opens, its
// series, the guard (first method, k excesses) and the fit, which must not fail; each
// file is taken with its own size. `use` receives every fit. False when the guard ended
// the task. `files` is the number of files read.
template <typename Use>
bool for_each_numbered_fit(WorkerPool& pool, const LoadType5Parameters& p, const RunFiles& runFiles,
                           int& files, Use use) {
    const TailMethod method = first_method(p);
    const int k = p.excessLow;
    bool guarded = false;
    files = for_each_numbered_file(pool, p.frame.directory, [&](Series& series, int) {
        sort_ascending(series);
        const int n = size_of(series);
        guarded = guard_stops_task(runFiles, p.frame, series, n, k, guard_concerns_first_method(p));
        if (guarded) return false;
        const double u = threshold_for(series, n, k);
        use(fit_or_fail(series, k, n, u, method), u, n);
        return true;
    });
    return !guarded;
}

// The sorted values, then an empty line, the mean and variance of each column, and the
// number of files read.
void write_spread(const RunFiles& runFiles, const std::string& resultFile, Series& first,
                  Series* second, int files) {
    sort_ascending(first);
    Series column = first;
    if (second != nullptr) {
        sort_ascending(*second);
        column.insert(column.end(), second->begin(), second->end());
    }
    write_values(runFiles, column, resultFile);
    OutputFile out(runFiles, resultFile, "a");
    print_text(out, "");
    print_mean_and_variance(out, first);
    if (second != nullptr) print_mean_and_variance(out, *second);
    print_value(out, static_cast<double>(files));
}

}  // namespace

void task_tail_fit_spread(const LoadType5Parameters& p, RunContext& run) {
    Series shapes;
    Series scales;
    int files = 0;
    const bool ran =
        for_each_numbered_fit(*run.pool, p, run.files, files, [&](const TailFit& fit, double, int) {
            shapes.push_back(fit.xi);
            scales.push_back(fit.sigma);
        });
    if (ran) write_spread(run.files, p.frame.resultFile, shapes, &scales, files);
}

void task_return_level(const LoadType5Parameters& p, RunContext& run) {
    const TailMethod method = first_method(p);
    Series series;
    read_sorted_series(p.frame.dataFile, series);
    const int n = size_of(series);
    const int k = p.excessLow;
    if (guard_stops_task(run.files, p.frame, series, n, k, guard_concerns_first_method(p))) return;

    const double u = threshold_for(series, n, k);
    const TailFit fit = fit_or_fail(series, k, n, u, method);
    const double q = return_level(u, fit.xi, fit.sigma, k, p.quantileOrder, n);
    Sample out;
    out.push_back(fit.xi, fit.sigma);
    out.push_back(0.0, q);
    write_pairs(run.files, out, p.frame.resultFile);
}

void task_return_level_methods(const LoadType5Parameters& p, RunContext& run) {
    fits_of_every_method(p, run.files, true);
}

void task_return_level_range(const LoadType5Parameters& p, RunContext& run) {
    fits_over_range(*run.pool, p, run.files, true);
}

void task_return_level_spread(const LoadType5Parameters& p, RunContext& run) {
    Series levels;
    int files = 0;
    const bool ran = for_each_numbered_fit(
        *run.pool, p, run.files, files, [&](const TailFit& fit, double u, int n) {
            levels.push_back(return_level(u, fit.xi, fit.sigma, p.excessLow, p.quantileOrder, n));
        });
    if (ran) write_spread(run.files, p.frame.resultFile, levels, nullptr, files);
}

}  // namespace evstat
