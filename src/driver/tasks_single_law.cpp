// Tasks of LoadType 1: samples drawn from a law, curves of a law, description of a
// series, kernel estimate of a density, fitting a law, spread of the estimates.
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

#include "driver/files.h"
#include "driver/task_support.h"
#include "driver/work_bounds.h"
#include "driver/tasks.h"
#include "estimation/estimate.h"
#include "estimation/kernel.h"
#include "estimation/moments.h"
#include "input/errors.h"
#include "laws/evaluate.h"
#include "laws/random_values.h"

namespace evstat {

namespace {
void require_valid_law(const RunContext& context) {
    if (!law_parameters_valid(context.lawCode, context.parameters.lawParameters))
        throw Erreur::InvalidLawParameters;
}

// Draws n values of the law into the sample.
void draw_sample(const RunContext& context, int n, Series& sample) {
    draw_random_values(context.lawCode, context.parameters.lawParameters, n, sample);
}

// The abscissas of a curve task: the data file's numbers, or the grid from a to b in m steps.
void curve_abscissas(const RunParameters& p, Sample& abscissas) {
    if (p.dataFile != "*")
        read_abscissas(abscissas, p.dataFile);
    else
        make_grid(p.lowerOrSize, p.upperOrSamples, p.pointsOrClasses, abscissas);
}

bool has_estimator(LawCode code) { return code >= kUniform && code <= kGpd; }

// The laws fitted only to positive data.
bool needs_positive_data(LawCode code) {
    return code != kUniform && code != kNormal && code != kStudent;
}
}  // namespace

void task_simulate(RunContext& context) {
    const RunParameters& p = context.parameters;
    require_valid_law(context);
    double mu = 0.0;
    double sigma = 0.0;
    law_moments(context.lawCode, p.lawParameters, mu, sigma);

    require_simulation_within_bounds(p.lowerOrSize, p.upperOrSamples);
    const double size = std::trunc(p.lowerOrSize);
    const int n = size > 0.0 ? static_cast<int>(size) : 0;

    Series sample;
    draw_sample(context, n, sample);
    const double sampleMean = mean(sample);
    const double sampleVariance = variance(sample);
    sort_ascending(sample);
    {
        OutputFile out(p.resultFile, "a");
        const double theoreticalVariance = sigma == kNoMoment ? kNoMoment : sigma * sigma;
        write_summary(out.get(), formatted(mu), sampleMean, formatted(theoreticalVariance),
                      sampleVariance, sample, n);
    }
    write_numbered_samples(p.directory, p.upperOrSamples, sample,
                           [&](Series& again) { draw_sample(context, n, again); });
}

void task_law_curve(RunContext& context, EvalMode mode) {
    const RunParameters& p = context.parameters;
    require_valid_law(context);
    Sample abscissas;
    curve_abscissas(p, abscissas);
    Sample curve;
    evaluate_law(curve, context.lawCode, abscissas, p.lawParameters, mode, 0);
    write_pairs(curve, p.resultFile);
}

void task_describe_series(RunContext& context) {
    const RunParameters& p = context.parameters;
    Series series;
    read_series(p.dataFile, series);
    const int n = size_of(series);
    const double seriesMean = mean(series);
    const double seriesVariance = variance(series);
    sort_ascending(series);
    OutputFile out(p.resultFile, "w");
    write_summary(out.get(), "non", seriesMean, "non", seriesVariance, series, n);
}

void task_kernel_density(RunContext& context) {
    const RunParameters& p = context.parameters;
    // The kernel (parameter 1) and a positive bandwidth (parameter 2) must be given.
    const ValueList& kernel = p.lawParameters;
    if (kernel.size() < 2 || !(kernel.at(2) > 0.0) || !std::isfinite(kernel.at(1)))
        throw Erreur::InvalidLawParameters;
    const double choice = std::trunc(kernel.at(1));
    const int kernelType = std::fabs(choice) < INT_MAX ? static_cast<int>(choice) : 0;
    if (p.dataFile == "*") require_grid_within_bounds(p.pointsOrClasses);

    Series series;
    read_series(numbered_data_file(p.directory, 1), series);
    const int n = size_of(series);
    Sample abscissas;
    curve_abscissas(p, abscissas);
    for (Point& point : abscissas)
        point.y = kernel_density(series, n, kernel.at(2), point.x, kernelType);
    write_pairs(abscissas, p.resultFile);
}

void task_fit_law(RunContext& context) {
    const RunParameters& p = context.parameters;
    const LawCode code = context.lawCode;
    Series series;
    read_series(p.dataFile, series);
    if (has_non_positive(series) && needs_positive_data(code)) throw Erreur::NegativeData;
    if (code == kBeta && last_value(series) > 1.0) throw Erreur::OutsideSupport;
    if (!has_estimator(code)) throw Erreur::NoEstimator;
    int k = result_number(p.directory, p.resultFile);
    require_curve_pairs_spare_parameter_file(p, k + 1, 2);  // a density and a survival curve

    const int n = size_of(series);
    ValueList estimates;
    estimate_law(series, code, n, estimates);
    {
        OutputFile out(p.resultFile, "w");
        for (double value : estimates) print_value(out.get(), value);
    }

    // The curves are drawn with the estimates alone, whatever the ParameterFile gave.
    const double lower = first_value(series);
    const double upper = last_value(series);
    Sample grid;
    make_grid(lower, upper, kCurveSteps, grid);
    write_curve_pair(p.directory, p.dataFile, k, kDensityCurveTask, p.lawName, code, estimates,
                     lower, upper, grid);
    write_curve_pair(p.directory, p.dataFile, k, kSurvivalCurveTask, p.lawName, code, estimates,
                     lower, upper, grid);
}

void task_estimate_spread(RunContext& context) {
    const RunParameters& p = context.parameters;
    const LawCode code = context.lawCode;
    if (!has_estimator(code)) throw Erreur::NoEstimator;
    const bool positive =
        code == kExponential || code == kGamma || code == kWeibull || code == kLognormal || code == kPareto;

    std::array<Series, 3> gathered;  // the first, second and third estimates, by file
    int count = 0;                   // parameter count of the last estimate
    std::vector<ValueList> fits;     // by file
    const int files = numbered_file_results(
        *context.pool, p.directory, false,
        [&](const Series& series, int) {
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
    write_values(column, p.resultFile);
    OutputFile out(p.resultFile, "a");
    print_text(out.get(), "");
    for (int j = 0; j < count; ++j) {
        print_value(out.get(), mean(gathered[static_cast<std::size_t>(j)]));
        print_value(out.get(), variance(gathered[static_cast<std::size_t>(j)]));
    }
    print_value(out.get(), static_cast<double>(files));
}

}  // namespace evstat
