// Tasks of LoadType 1: samples drawn from a law, curves of a law, description of a
// series, kernel estimate of a density, fitting a law, spread of the estimates.
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

#include "driver/files.h"
#include "driver/task_support.h"
#include "driver/tasks.h"
#include "driver/work_bounds.h"
#include "estimation/estimate.h"
#include "estimation/kernel.h"
#include "estimation/moments.h"
#include "laws/evaluate.h"
#include "laws/random_values.h"
#include "laws/validity.h"
#include "records/errors.h"

namespace evstat {

namespace {
void require_valid_law(const LoadType1Parameters& p) {
    if (!parameters_valid(p.law.code, p.lawParameters)) throw Erreur::InvalidLawParameters;
}

// Draws n values of the law into the sample, numbered 1..n.
void draw_sample(Generator& generator, const LoadType1Parameters& p, int n, Series& sample) {
    draw_random_values(generator, p.law.code, p.lawParameters, n, sample);
}

// The abscissas of a curve task: the data file's numbers, or the grid of the range.
void curve_abscissas(const LoadType1Parameters& p, Sample& abscissas) {
    if (p.frame.dataFile != "*")
        read_abscissas(abscissas, p.frame.dataFile);
    else
        make_grid(p.lower, p.upper, p.pointCount, abscissas);
}

// The laws fitted only to positive data.
bool needs_positive_data(LawCode code) {
    return code != LawCode::kUniform && code != LawCode::kNormal && code != LawCode::kStudent;
}
}  // namespace

void task_simulate(const LoadType1Parameters& p, RunContext& run) {
    require_valid_law(p);
    double mu = 0.0;
    double sigma = 0.0;
    law_moments(p.law.code, p.lawParameters, mu, sigma);

    require_simulation_within_bounds(p.sampleSize, p.sampleCount);
    const double size = std::trunc(p.sampleSize);
    const int n = size > 0.0 ? static_cast<int>(size) : 0;

    Series sample;
    draw_sample(run.generator, p, n, sample);
    const double sampleMean = mean(sample);
    const double sampleVariance = variance(sample);
    sort_ascending(sample);
    {
        OutputFile out(run.files, p.frame.resultFile, "a");
        const double theoreticalVariance = sigma == kNoMoment ? kNoMoment : sigma * sigma;
        write_summary(out, formatted(mu), sampleMean, formatted(theoreticalVariance), sampleVariance, sample,
                      n);
    }
    write_numbered_samples(run.files, p.frame.directory, p.sampleCount, sample,
                           [&](Series& again) { draw_sample(run.generator, p, n, again); });
}

void task_law_curve(const LoadType1Parameters& p, RunContext& run, EvalMode mode) {
    require_valid_law(p);
    Sample abscissas;
    curve_abscissas(p, abscissas);
    Sample curve;
    evaluate_law(p.law.code, p.lawParameters, abscissas, mode, curve);
    write_pairs(run.files, curve, p.frame.resultFile);
}

void task_describe_series(const LoadType1Parameters& p, RunContext& run) {
    Series series;
    read_series(p.frame.dataFile, series);
    const int n = size_of(series);
    const double seriesMean = mean(series);
    const double seriesVariance = variance(series);
    sort_ascending(series);
    OutputFile out(run.files, p.frame.resultFile, "w");
    write_summary(out, "non", seriesMean, "non", seriesVariance, series, n);
}

void task_kernel_density(const LoadType1Parameters& p, RunContext& run) {
    // The kernel (parameter 1) and a positive bandwidth (parameter 2) must be given.
    const ValueList& kernel = p.lawParameters;
    if (kernel.size() < 2 || !(kernel.at(2) > 0.0) || !std::isfinite(kernel.at(1)))
        throw Erreur::InvalidLawParameters;
    const double choice = std::trunc(kernel.at(1));
    const int kernelType = std::fabs(choice) < INT_MAX ? static_cast<int>(choice) : 0;
    if (p.frame.dataFile == "*") require_grid_within_bounds(p.pointCount);

    Series series;
    read_series(numbered_data_file(p.frame.directory, 1), series);
    const int n = size_of(series);
    Sample abscissas;
    curve_abscissas(p, abscissas);
    for (Point& point : abscissas)
        point.y = kernel_density(series, n, kernel.at(2), point.x, kernelType);
    write_pairs(run.files, abscissas, p.frame.resultFile);
}

void task_fit_law(const LoadType1Parameters& p, RunContext& run) {
    const LawCode code = p.law.code;
    Series series;
    read_series(p.frame.dataFile, series);
    if (has_non_positive(series) && needs_positive_data(code)) throw Erreur::NegativeData;
    if (code == LawCode::kBeta && last_value(series) > 1.0) throw Erreur::OutsideSupport;
    if (!is_parent_law(code)) throw Erreur::NoEstimator;
    int k = result_number(p.frame.directory, p.frame.resultFile);
    require_curve_pairs_spare_parameter_file(run.files, p.frame, k + 1,
                                             2);  // a density and a survival curve

    const int n = size_of(series);
    ValueList estimates;
    estimate_law(series, code, n, estimates);
    {
        OutputFile out(run.files, p.frame.resultFile, "w");
        for (double value : estimates) print_value(out, value);
    }

    // The curves are drawn with the estimates alone, whatever the ParameterFile gave.
    const double lower = first_value(series);
    const double upper = last_value(series);
    Sample grid;
    make_grid(lower, upper, kCurveSteps, grid);
    write_curve_pair(run.files, p.frame, k, kDensityCurveTask, p.law, estimates, lower, upper,
                     grid);
    write_curve_pair(run.files, p.frame, k, kSurvivalCurveTask, p.law, estimates, lower, upper,
                     grid);
}

void task_estimate_spread(const LoadType1Parameters& p, RunContext& run) {
    const LawCode code = p.law.code;
    if (!is_parent_law(code)) throw Erreur::NoEstimator;
    const bool positive =
        code == LawCode::kExponential || code == LawCode::kGamma || code == LawCode::kWeibull || code == LawCode::kLognormal || code == LawCode::kPareto;

    std::array<Series, 3> gathered;  // the first, second and third estimates, by file
    int count = 0;                   // parameter count of the last estimate
    std::vector<ValueList> fits;     // by file
    const int files = numbered_file_results(
        *run.pool, p.frame.directory, false,
        [&](std::span<const double> series, int) {
            if (positive && has_non_positive(series)) throw Erreur::NegativeData;
            ValueList estimates;  // the GPD by its own estimator, as in every other fitting task
            estimate_law(series, code, size_of(series), estimates);
            return estimates;
        },
        fits);
    for (const ValueList& estimates : fits) {
        count = std::min(estimates.size(), 3);
        for (int j = 1; j <= count; ++j)
            gathered[static_cast<std::size_t>(j - 1)].push_back(estimates.at(j));
    }

    Series column;
    for (int j = 0; j < count; ++j) {
        Series& estimates = gathered[static_cast<std::size_t>(j)];
        sort_ascending(estimates);
        column.insert(column.end(), estimates.begin(), estimates.end());
    }
    write_values(run.files, column, p.frame.resultFile);
    OutputFile out(run.files, p.frame.resultFile, "a");
    print_text(out, "");
    for (int j = 0; j < count; ++j) {
        print_value(out, mean(gathered[static_cast<std::size_t>(j)]));
        print_value(out, variance(gathered[static_cast<std::size_t>(j)]));
    }
    print_value(out, static_cast<double>(files));
}

}  // namespace evstat
