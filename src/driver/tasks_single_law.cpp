// Tasks of LoadType 1: samples drawn from a law, curves of a law, description of a
// series, kernel estimate of a density, fitting a law, spread of the estimates.
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

#include "driver/files.h"
#include "driver/task_support.h"
#include "driver/tasks.h"
#include "estimation/estimate.h"
#include "estimation/kernel.h"
#include "estimation/moments.h"
#include "input/errors.h"
#include "laws/evaluate.h"

namespace evstat {

namespace {
// The largest sample task 1 draws: a larger size would only exhaust the memory.
constexpr double kMostSampleValues = 1.0e8;

// The seven-line summary shared by the simulation and description tasks.
void write_summary(std::FILE* out, const std::string& theoreticalMean, double mean,
                   const std::string& theoreticalVariance, double variance, const Sample& sorted,
                   int n) {
    print_text(out, theoreticalMean);
    print_value(out, mean);
    print_text(out, theoreticalVariance);
    print_value(out, variance);
    print_value(out, sorted.lower_quartile(n));
    print_value(out, sorted.upper_quartile(n));
    print_value(out, sorted.median(n));
}

void require_valid_law(const RunContext& context) {
    if (!law_parameters_valid(context.lawCode, context.parameters.lawParameters))
        throw Erreur::InvalidLawParameters;
}

// Draws n values of the law into the sample, numbered 1..n.
void draw_sample(const RunContext& context, int n, Sample& sample) {
    const Sample none;
    evaluate_law(sample, context.lawCode, none, context.parameters.lawParameters,
                 EvalMode::RandomSample, n);
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

    const double size = std::trunc(p.lowerOrSize);
    if (!(size <= kMostSampleValues)) throw Erreur::InvalidLawParameters;
    const int n = size > 0.0 ? static_cast<int>(size) : 0;

    Sample sample;
    draw_sample(context, n, sample);
    const double mean = sample.mean();
    const double variance = sample.variance();
    sample.sort_ascending();
    {
        OutputFile out(p.resultFile, "a");
        if (out.is_open()) {
            const double theoreticalVariance = sigma == kNoMoment ? kNoMoment : sigma * sigma;
            write_summary(out.get(), format_number(mu), mean, format_number(theoreticalVariance),
                          variance, sample, n);
        }
    }
    write_values(sample, numbered_data_file(p.directory, 1));
    if (p.upperOrSamples == 1.0) return;
    for (int i = 2; i <= p.upperOrSamples && i < INT_MAX; ++i) {
        sample.clear();
        draw_sample(context, n, sample);
        sample.sort_ascending();
        write_values(sample, numbered_data_file(p.directory, i));
    }
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
    Sample series;
    read_series(series, p.dataFile);
    const int n = series.size();
    const double mean = series.mean();
    const double variance = series.variance();
    series.sort_ascending();
    OutputFile out(p.resultFile, "w");
    if (!out.is_open()) return;
    write_summary(out.get(), "non", mean, "non", variance, series, n);
}

void task_kernel_density(RunContext& context) {
    const RunParameters& p = context.parameters;
    // The kernel (parameter 1) and a positive bandwidth (parameter 2) must be given.
    const ValueList& kernel = p.lawParameters;
    if (kernel.size() < 2 || !(kernel.at(2) > 0.0) || !std::isfinite(kernel.at(1)))
        throw Erreur::InvalidLawParameters;
    const double choice = std::trunc(kernel.at(1));
    const int kernelType = std::fabs(choice) < INT_MAX ? static_cast<int>(choice) : 0;

    Sample series;
    read_series(series, numbered_data_file(p.directory, 1));
    const int n = series.size();
    Sample abscissas;
    curve_abscissas(p, abscissas);
    for (Point& point : abscissas)
        point.y = kernel_density(series, n, kernel.at(2), point.x, kernelType);
    write_pairs(abscissas, p.resultFile);
}

void task_fit_law(RunContext& context) {
    const RunParameters& p = context.parameters;
    const LawCode code = context.lawCode;
    Sample series;
    read_series(series, p.dataFile);
    if (series.has_non_positive() && needs_positive_data(code)) throw Erreur::NegativeData;
    if (code == kBeta && series.last_value() > 1.0) throw Erreur::OutsideSupport;
    if (!has_estimator(code)) throw Erreur::NoEstimator;
    int k = result_number(p.directory, p.resultFile);

    const int n = series.size();
    ValueList estimates;
    estimate_law(series, code, n, estimates);
    {
        OutputFile out(p.resultFile, "w");
        if (out.is_open())
            for (double value : estimates) print_value(out.get(), value);
    }

    // The curves are drawn with the estimates alone, whatever the ParameterFile gave.
    const double lower = series.first_value();
    const double upper = series.last_value();
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

    std::array<Sample, 3> gathered;  // the first, second and third estimates, by file
    int count = 0;                   // parameter count of the last estimate
    const int files = for_each_numbered_file(p.directory, [&](const Sample& series, int i) {
        if (positive && series.has_non_positive()) throw Erreur::NegativeData;
        ValueList estimates;  // the GPD by its own estimator, as in every other fitting task
        estimate_law(series, code, series.size(), estimates);
        count = std::min(estimates.size(), 3);
        for (int j = 1; j <= count; ++j)
            gathered[static_cast<std::size_t>(j - 1)].push_back(i, estimates.at(j));
        return true;
    });

    Sample column;
    for (int j = 0; j < count; ++j) {
        gathered[static_cast<std::size_t>(j)].sort_ascending();
        for (const Point& point : gathered[static_cast<std::size_t>(j)]) column.push_back(0.0, point.y);
    }
    write_values(column, p.resultFile);
    OutputFile out(p.resultFile, "a");
    if (!out.is_open()) return;
    print_text(out.get(), "");
    for (int j = 0; j < count; ++j) {
        print_value(out.get(), gathered[static_cast<std::size_t>(j)].mean());
        print_value(out.get(), gathered[static_cast<std::size_t>(j)].variance());
    }
    print_value(out.get(), static_cast<double>(files));
}

}  // namespace evstat
