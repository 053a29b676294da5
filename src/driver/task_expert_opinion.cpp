// Task 25: the expert-opinion study of a series. The result column holds, in order, the
// expert's interval and its positions, the prior, the predictive parameters, the tests,
// and the quantile tables; the curve pairs show the fitted, the simulation and the
// predictive law.
#include "driver/task_expert_opinion.h"

#include <cmath>
#include <utility>

#include "driver/files.h"
#include "driver/task_support.h"
#include "driver/work_bounds.h"
#include "estimation/estimate.h"
#include "fittests/fit_test.h"
#include "fittests/goodness_of_fit.h"
#include "laws/validity.h"
#include "records/errors.h"
#include "records/run_records.h"
#include "tail/bayes/posteriors.h"
#include "tail/bayes/priors.h"
#include "tail/bayes_table/bayes_table.h"
#include "tail/methods/tail.h"
#include "tail/quantile_tests/quantile_tests.h"

namespace evstat {

namespace {
constexpr int kResampledSeries = 500;     // series drawn by each extreme-quantile test
constexpr int kSurvivalTableSteps = 1000;  // steps of the tabulated predictive survival
constexpr int kCurvePairs = 4;             // fitted and predictive law, density and survival
constexpr int kSimulationCurvePairs = 2;   // the simulation law's, for a simulated series

// The series of the study, with what the prior and the tables read from it.
struct StudySeries {
    Series prepared;  // sorted, and transformed for the lognormal law and the Weibull scale
    Series asRead;    // sorted
    Series excesses;  // over the threshold of the series as read
    double threshold = 0.0;
    double meanExcess = 0.0;             // of the series as read
    double transformedMeanExcess = 0.0;  // of the transformed series
    double weibullRate = 0.0;            // Weibull scale: 1 / mean of the powers
};

// The prior the expert's statement gives, and the predictive parameters it leads to.
struct StudyPrior {
    ExpertInterval interval;
    ValueList prior;       // Gamma (shape, rate), or Beta (a, b) of the Weibull shape
    ValueList predictive;  // q1, q2, q3
};

// The quantile tables, per exceedance level, and the Weibull-shape predictive tables.
struct StudyTables {
    Sample parentQuantiles;
    Sample tailQuantiles;
    Sample predictiveQuantiles;
    Sample comparisonGiven;   // the simulation law with its parameters as given
    Sample comparisonFitted;  // the simulation law fitted to the series
    Sample predictiveDistribution;
    Sample predictiveDensity;
};

// The verdicts and statistics of the tests.
struct StudyTests {
    int accepted = 0;  // the parent law by the central test
    double predictiveStatistic = 0.0;
    double parentStatistic = 0.0;
    double adjustedCriticalValue = 0.0;
    QuantileTestOutcome resampled;   // the extreme quantile against resampled parent series
    QuantileTestOutcome predictive;  // against series of the predictive law
};

// The series the law is tested on: the series as read where the study transforms it for
// the prior (logarithms for the lognormal law, powers for the Weibull scale).
const Series& tested_series(const StudySeries& series, LawCode code, bool weibullShape) {
    const bool copy = code == LawCode::kLognormal || (code == LawCode::kWeibull && !weibullShape);
    return copy ? series.asRead : series.prepared;
}

double mean_excess_of(std::span<const double> series, int k, int n) {
    Series excesses;
    double u = 0.0;
    excesses_over_threshold(series, k, n, excesses, u);
    return mean(excesses);
}

// The series sorted, refused when empty or, for a law on positive values, when it holds a
// value not above 0.
StudySeries study_series_of(const LoadType3Parameters& p, Series values) {
    StudySeries series;
    series.prepared = std::move(values);
    if (series.prepared.empty()) throw Erreur::FileNotFound;  // no series to study
    if (has_non_positive(series.prepared) && p.law.code != LawCode::kNormal)
        throw Erreur::NegativeDataForLaw;
    sort_ascending(series.prepared);
    series.asRead = series.prepared;
    return series;
}

// The data series, sorted and checked as above; a missing file gives an empty series.
StudySeries read_study_series(const LoadType3Parameters& p) {
    Series values;
    read_series(p.frame.dataFile, values);
    return study_series_of(p, std::move(values));
}

// The law fitted to the series; a fit that gives no law (one value, a constant series)
// leaves nothing for the prior, the predictive law or the tables to work on.
ValueList fit_study_law(const StudySeries& series, LawCode code) {
    ValueList fitted;
    estimate_parameters(series.prepared, code, size_of(series.prepared), fitted);
    if (!parameters_valid(code, fitted)) throw Erreur::InvalidLawParameters;
    return fitted;
}

// The excesses over the threshold, and the transform of the series for the prior.
void prepare_series(const LoadType3Parameters& p, const ValueList& fitted, StudySeries& series) {
    const LawCode code = p.law.code;
    const int n = size_of(series.prepared);
    const int k = p.excessCount;
    excesses_over_threshold(series.prepared, k, n, series.excesses, series.threshold);
    series.meanExcess = mean(series.excesses);
    if (code == LawCode::kLognormal) {
        apply_log(series.prepared);
        series.transformedMeanExcess = mean_excess_of(series.prepared, k, n);
    } else if (code == LawCode::kWeibull && !p.weibullShape) {
        apply_power(series.prepared, fitted.at(2));
        series.transformedMeanExcess = mean_excess_of(series.prepared, k, n);
        series.weibullRate = 1.0 / mean(series.prepared);
    }
}

// A prior the posterior, the draws and the tables can use: two positive finite values.
// An interval with equal or infinite ends (c not above 0, a stated probability of 0,
// a gamma scale outside its bracket) gives none.
bool usable_prior(const ValueList& prior) {
    if (prior.size() != 2) return false;
    for (double value : prior)
        if (!(value > 0.0 && std::isfinite(value))) return false;
    return true;
}

// The expert's interval, the prior on it (refused with 12 when unusable) and the
// predictive parameters.
StudyPrior build_prior(const LoadType3Parameters& p, const ValueList& fitted,
                       const StudySeries& series) {
    StudyPrior study;
    study.interval = expert_interval({.code = p.law.code,
                                      .parameters = fitted,
                                      .weibullShape = p.weibullShape,
                                      .stated = p.expert,
                                      .value = p.expertMaxQuantile,
                                      .riskP1 = p.riskP1,
                                      .riskP2 = p.riskP2,
                                      .meanExcess = series.meanExcess,
                                      .transformedMeanExcess = series.transformedMeanExcess,
                                      .weibullRate = series.weibullRate,
                                      .low = p.priorLow,
                                      .high = p.priorHigh});
    expert_prior(study.interval, p.weibullShape, p.confidence, p.defiance, study.prior);
    if (!usable_prior(study.prior)) throw Erreur::InvalidLawParameters;
    posterior_summary(series.prepared, p.law.code, fitted, study.prior, p.weibullShape,
                      study.predictive);
    return study;
}

// The quantile tables; a table stopped by its bound of the run is refused with 12.
StudyTables build_tables(const LoadType3Parameters& p, const WorkBounds& bounds,
                         const StudySeries& series, const ValueList& fitted,
                         const StudyPrior& prior, const ValueList& comparisonFitted) {
    const BayesTableInput input{.data = series.prepared,
                                .levels = p.extraOrders,
                                .n = size_of(series.prepared),
                                .excessCount = p.excessCount,
                                .threshold = series.threshold,
                                .meanExcess = series.meanExcess,
                                .expert = p.expert ? 1 : 0,
                                .s1 = prior.interval.s1,
                                .s2 = prior.interval.s2,
                                .code = p.law.code,
                                .parameters = fitted,
                                .predictive = prior.predictive,
                                .comparisonFlag = p.simulated ? 1 : 0,
                                .comparisonCode = p.simulationLaw.code,
                                .comparisonGiven = p.simulationParameters,
                                .comparisonFitted = comparisonFitted,
                                .weibullShapeFlag = p.weibullShape ? 1 : 0,
                                .expertMaxQuantile = p.expertMaxQuantile,
                                .low = prior.interval.low,
                                .high = prior.interval.high,
                                .bounds = bounds};
    StudyTables tables;
    const TableBound bound = bayes_quantile_table(
        input, tables.parentQuantiles, tables.tailQuantiles, tables.predictiveQuantiles,
        tables.comparisonGiven, tables.comparisonFitted, tables.predictiveDistribution,
        tables.predictiveDensity);
    if (bound != TableBound::Within) refuse_table(bound, bounds);
    return tables;
}

int test_selector(CentralTest test) {
    return test == CentralTest::kAndersonDarling ? kSelectAndersonDarling : kSelectCramerVonMises;
}

// The parent law by the central test, both laws by their statistics, and the extreme
// quantile against resampled parent and predictive series, in that order of draws.
StudyTests run_tests(Generator& generator, WorkerPool& pool, const WorkBounds& bounds,
                     const LoadType3Parameters& p, const StudySeries& series,
                     const ValueList& fitted, const StudyPrior& prior, const StudyTables& tables) {
    const LawCode code = p.law.code;
    std::span<const double> data = tested_series(series, code, p.weibullShape);
    StudyTests tests;
    double statistic = 0.0;
    double criticalValue = 0.0;
    if (p.test == CentralTest::kAndersonDarling)
        anderson_darling_test(generator, pool, data, code, fitted, p.testLevel1, tests.accepted,
                              statistic, criticalValue);
    else
        cramer_von_mises_test(generator, pool, data, code, fitted, p.testLevel1, tests.accepted,
                              statistic, criticalValue);
    goodness_of_fit(data, code, tables.predictiveDistribution, p.weibullShape,
                    test_selector(p.test), fitted, prior.predictive, criticalValue,
                    tests.predictiveStatistic, tests.parentStatistic, tests.adjustedCriticalValue);

    const int k = p.excessCount;
    et_resampling_test(generator, pool, data, series.excesses, k, series.threshold, code, fitted,
                       p.testLevel2, p.quantileOrder, kResampledSeries, kPercentileInterval,
                       tests.resampled);
    ValueList posterior;
    if (!p.weibullShape)
        posterior_parameters(data, code, prior.prior, fitted, series.prepared.size(),
                             p.weibullShape, posterior);
    et_predictive_test(generator, pool, data, series.excesses, k, series.threshold, code, fitted,
                       p.testLevel2, p.quantileOrder, kResampledSeries, prior.prior, posterior,
                       p.weibullShape, prior.interval.low, prior.interval.high,
                       bounds.shapeProposals, tests.predictive);
    return tests;
}

void append_value(Series& column, double value) { column.push_back(value); }
void append_values(Series& column, const ValueList& values) {
    for (double value : values) append_value(column, value);
}
void append_values(Series& column, const Sample& table) {
    for (const Point& point : table) append_value(column, point.y);
}

// The result column: the interval and its positions, the prior, the predictive
// parameters, the tests, and the quantile tables.
Series result_column(const LoadType3Parameters& p, const StudyPrior& prior,
                     const StudyTables& tables, const StudyTests& tests) {
    Series column;
    append_value(column, prior.interval.s1);
    append_value(column, prior.interval.s2);
    append_value(column, p.weibullShape ? prior.interval.t1 : 0.0);
    append_value(column, p.weibullShape ? prior.interval.t2 : 0.0);
    append_values(column, prior.prior);
    append_values(column, prior.predictive);
    for (double value :
         {static_cast<double>(tests.accepted), tests.parentStatistic, tests.adjustedCriticalValue,
          tests.predictiveStatistic, static_cast<double>(tests.resampled.verdict),
          static_cast<double>(tests.predictive.verdict), tests.predictive.estimate,
          tests.predictive.lower, tests.predictive.upper})
        append_value(column, value);
    append_values(column, tables.parentQuantiles);
    append_values(column, tables.tailQuantiles);
    append_values(column, tables.predictiveQuantiles);
    if (p.simulated) {
        append_values(column, tables.comparisonGiven);
        append_values(column, tables.comparisonFitted);
    }
    return column;
}

ValueList list_of(std::initializer_list<double> values) {
    ValueList list;
    for (double value : values) list.push_back(value);
    return list;
}

// The survival function of the predictive law tabulated by integration (normal and
// lognormal laws) from the smallest to the largest value of `range`.
Sample tabulated_survival(LawCode code, const ValueList& predictive,
                          std::span<const double> range) {
    Sample table;
    Law11Grid grid;
    grid.first = min_value(range);
    grid.last = max_value(range);
    grid.step = (grid.last - grid.first) / static_cast<double>(kSurvivalTableSteps);
    grid.mostPoints = kMostCurveTablePoints;
    grid.endWhenStuck = false;  // a grid the step cannot move runs to its bound
    tabulate_law11(code, predictive, grid, table);
    table.apply_affine(-1.0, 1.0);
    return table;
}

// The predictive curve of a curve task: tabulated for the Weibull shape (both curves) and
// for the survival of the normal and lognormal laws, evaluated over the grid otherwise.
void write_predictive_curve(const LoadType3Parameters& p, const RunFiles& files,
                            const StudySeries& series, const ExpertStudyOutcome& study,
                            int curveTask, const Sample& grid, int& r) {
    const ValueList& predictive = study.predictive;
    const LawCode code = p.law.code;
    const PredictiveCurveLaw law = predictive_curve_law(code, p.weibullShape, predictive);
    const bool survival = curveTask == kSurvivalCurveTask;
    if (code == LawCode::kWeibull && p.weibullShape) {
        Sample curve = survival ? study.predictiveDistribution : study.predictiveDensity;
        if (survival) curve.apply_affine(-1.0, 1.0);
        write_table_curve_pair(files, p.frame, r, curveTask, law.name, law.parameters, curve);
    } else if (survival && (code == LawCode::kNormal || code == LawCode::kLognormal)) {
        const Sample curve =
            tabulated_survival(code, predictive, code == LawCode::kNormal ? series.prepared : series.asRead);
        write_table_curve_pair(files, p.frame, r, curveTask, law.name, law.parameters, curve);
    } else {
        write_curve_pair(files, p.frame, r, curveTask, {law.name, law.code}, law.parameters,
                         first_value(series.asRead), last_value(series.asRead), grid);
    }
}

// Curve pairs r + 1, ...: densities, then survival functions, each in the order fitted,
// simulation, predictive.
void write_curves(const LoadType3Parameters& p, const RunFiles& files, const StudySeries& series,
                  const ExpertStudyOutcome& study) {
    int r = result_number(p.frame.directory, p.frame.resultFile);
    const double lo = first_value(series.asRead);
    const double hi = last_value(series.asRead);
    Sample grid;
    make_grid(lo, hi, kCurveSteps, grid);
    for (const int curveTask : {kDensityCurveTask, kSurvivalCurveTask}) {
        write_curve_pair(files, p.frame, r, curveTask, p.law, study.fitted, lo, hi, grid);
        if (p.simulated)
            write_curve_pair(files, p.frame, r, curveTask, p.simulationLaw, p.simulationParameters,
                             lo, hi, grid);
        write_predictive_curve(p, files, series, study, curveTask, grid, r);
    }
}

// The study of a prepared series: the fit, the prior, the tables and the tests, in that
// order of draws.
ExpertStudyOutcome study_series(Generator& generator, WorkerPool& pool,
                                const LoadType3Parameters& p, const WorkBounds& bounds,
                                StudySeries& series) {
    ExpertStudyOutcome study;
    study.fitted = fit_study_law(series, p.law.code);
    prepare_series(p, study.fitted, series);
    const StudyPrior prior = build_prior(p, study.fitted, series);
    ValueList comparisonFitted;  // the simulation law fitted to the tested series
    if (p.simulated)
        estimate_law(tested_series(series, p.law.code, p.weibullShape), p.simulationLaw.code,
                     series.prepared.size(), comparisonFitted);
    StudyTables tables = build_tables(p, bounds, series, study.fitted, prior, comparisonFitted);
    const StudyTests tests =
        run_tests(generator, pool, bounds, p, series, study.fitted, prior, tables);
    study.predictive = prior.predictive;
    study.column = result_column(p, prior, tables, tests);
    study.predictiveDistribution = std::move(tables.predictiveDistribution);
    study.predictiveDensity = std::move(tables.predictiveDensity);
    return study;
}
}  // namespace

bool has_predictive_law(LawCode code) {
    return code == LawCode::kExponential || code == LawCode::kGamma || code == LawCode::kNormal || code == LawCode::kWeibull ||
           code == LawCode::kLognormal;
}

PredictiveCurveLaw predictive_curve_law(LawCode code, bool weibullShape, const ValueList& Z) {
    switch (code) {
        case LawCode::kExponential: return {"GPD", LawCode::kGpd, list_of({-Z.at(2), Z.at(1)})};
        case LawCode::kGamma: return {"Beta2Prop", LawCode::kBetaPrime, Z};
        case LawCode::kNormal: return {"StudentApprochee", LawCode::kStudentApprox, Z};
        case LawCode::kLognormal: return {"StudentApprocheeTrans", LawCode::kStudentApproxLog, Z};
        case LawCode::kWeibull:
            if (weibullShape) return {"WeibPred", LawCode::kWeibull, Z};
            return {"GPDTrans", LawCode::kGpdPower, list_of({Z.at(1), Z.at(2), -Z.at(3)})};
        default: return {"", LawCode::kUnknown, ValueList{}};
    }
}

void task_expert_opinion(const LoadType3Parameters& p, RunContext& run) {
    // Only these laws have a prior and a predictive law.
    if (!has_predictive_law(p.law.code)) throw Erreur::NoEstimator;
    require_curve_pairs_spare_parameter_file(
        run.files, p.frame, result_number(p.frame.directory, p.frame.resultFile) + 1,
        kCurvePairs + (p.simulated ? kSimulationCurvePairs : 0));

    StudySeries series = read_study_series(p);
    const ExpertStudyOutcome study = study_series(run.generator, *run.pool, p, run.bounds, series);
    write_curves(p, run.files, series, study);
    write_values(run.files, study.column, p.frame.resultFile);
}

ExpertStudyOutcome study_with_expert(Generator& generator, WorkerPool& pool,
                                     const LoadType3Parameters& p, const WorkBounds& bounds,
                                     Series series) {
    StudySeries prepared = study_series_of(p, std::move(series));
    return study_series(generator, pool, p, bounds, prepared);
}

}  // namespace evstat
