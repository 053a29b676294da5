// Task 25: the expert-opinion study of a series. The result column holds, in order, the
// expert's interval and its positions, the prior, the predictive parameters, the tests,
// and the quantile tables; the curve pairs show the fitted, the simulation and the
// predictive law.
#include "driver/task_expert_opinion.h"

#include <cmath>

#include "driver/files.h"
#include "driver/task_support.h"
#include "driver/work_bounds.h"
#include "estimation/estimate.h"
#include "fittests/fit_test.h"
#include "fittests/goodness_of_fit.h"
#include "input/errors.h"
#include "tail/bayes/posteriors.h"
#include "tail/bayes/priors.h"
#include "tail/bayes_table/bayes_table.h"
#include "tail/methods/tail.h"
#include "tail/quantile_tests/quantile_tests.h"

namespace evstat {

static_assert(kShapeBoundAbsent == kPriorBoundAbsent);

namespace {
constexpr int kResampledSeries = 500;     // series drawn by each extreme-quantile test
constexpr int kSurvivalTableSteps = 1000;  // steps of the tabulated predictive survival

// The series the law is tested on: the untransformed copy where the study transforms the
// series for the prior (logarithms for the lognormal law, powers for the Weibull scale).
bool tests_on_copy(LawCode code, int weibullShapeFlag) {
    return code == kLognormal || (code == kWeibull && weibullShapeFlag == 0);
}

// The series prepared by the study, with what the prior and the tables read from it.
struct PreparedSeries {
    Series S;           // transformed in place for the lognormal law and the Weibull scale
    Series C;           // the series as read, sorted
    Series excesses;    // Q, over the threshold u of the series as read
    double u = 0.0;
    double e1 = 0.0;    // mean excess of the series as read
    double e2 = 0.0;    // mean excess of the transformed series
    double rho = 0.0;   // Weibull scale: 1 / mean of the powers
};

double mean_excess_of(std::span<const double> series, int k, int n) {
    Series excesses;
    double u = 0.0;
    excesses_over_threshold(series, k, n, excesses, u);
    return mean(excesses);
}

void prepare_series(const RunParameters& p, LawCode code, int w, const ValueList& fitted,
                    PreparedSeries& series) {
    const int n = size_of(series.S);
    const int k = p.excessCount;
    excesses_over_threshold(series.S, k, n, series.excesses, series.u);
    series.e1 = mean(series.excesses);
    if (code == kLognormal) {
        apply_log(series.S);
        series.e2 = mean_excess_of(series.S, k, n);
    } else if (code == kWeibull && w == 0) {
        apply_power(series.S, fitted.at(2));
        series.e2 = mean_excess_of(series.S, k, n);
        series.rho = 1.0 / mean(series.S);
    }
}

// A prior the posterior, the draws and the tables can use: two positive finite values.
// An interval with equal or infinite ends (c not above 0, a stated probability of 0,
// a gamma scale outside its bracket) or a confidence word without a rule gives none.
bool usable_prior(const ValueList& prior) {
    if (prior.size() != 2) return false;
    for (double value : prior)
        if (!(value > 0.0 && std::isfinite(value))) return false;
    return true;
}

void append_value(Series& column, double value) { column.push_back(value); }
void append_values(Series& column, const ValueList& values) {
    for (double value : values) append_value(column, value);
}
void append_values(Series& column, const Sample& table) {
    for (const Point& point : table) append_value(column, point.y);
}

ValueList list_of(std::initializer_list<double> values) {
    ValueList list;
    for (double value : values) list.push_back(value);
    return list;
}

// The survival function of the predictive law tabulated by integration (normal and
// lognormal laws) from the smallest to the largest value of `range`.
Sample tabulated_survival(LawCode code, const ValueList& Z, std::span<const double> range) {
    Sample table;
    Law11Grid grid;
    grid.first = min_value(range);
    grid.last = max_value(range);
    grid.step = (grid.last - grid.first) / static_cast<double>(kSurvivalTableSteps);
    grid.mostPoints = kMostCurveTablePoints;
    grid.endWhenStuck = false;  // a grid the step cannot move runs to its bound
    tabulate_law11(code, Z, grid, table);
    table.apply_affine(-1.0, 1.0);
    return table;
}
}  // namespace

bool has_predictive_law(LawCode code) {
    return code == kExponential || code == kGamma || code == kNormal || code == kWeibull ||
           code == kLognormal;
}

PredictiveCurveLaw predictive_curve_law(LawCode code, int weibullShapeFlag, const ValueList& Z) {
    switch (code) {
        case kExponential: return {"GPD", kGpd, list_of({-Z.at(2), Z.at(1)})};
        case kGamma: return {"Beta2Prop", kBetaPrime, Z};
        case kNormal: return {"StudentApprochee", kStudentApprox, Z};
        case kLognormal: return {"StudentApprocheeTrans", kStudentApproxLog, Z};
        case kWeibull:
            if (weibullShapeFlag == 1) return {"WeibPred", kWeibull, Z};
            return {"GPDTrans", kGpdPower, list_of({Z.at(1), Z.at(2), -Z.at(3)})};
        default: return {"", kUnknownLaw, ValueList{}};
    }
}

void task_expert_opinion(RunContext& context) {
    const RunParameters& p = context.parameters;
    const LawCode c = context.lawCode;
    const int w = context.weibullShapeFlag;
    // Only these laws have a prior and a predictive law.
    if (!has_predictive_law(c)) throw Erreur::NoEstimator;
    require_curve_pairs_spare_parameter_file(
        p, result_number(p.directory, p.resultFile) + 1, p.simulated == 1 ? 6 : 4);

    PreparedSeries prepared;
    read_series(p.dataFile, prepared.S);
    if (prepared.S.empty()) throw Erreur::FileNotFound;  // no series to study
    if (has_non_positive(prepared.S) && c != kNormal) throw Erreur::NegativeDataForLaw;
    sort_ascending(prepared.S);
    prepared.C = prepared.S;
    const int n = size_of(prepared.S);
    const int k = p.excessCount;

    ValueList A;
    estimate_parameters(prepared.S, c, n, A);
    // A fit that gives no law (one value, a constant series) leaves nothing for the prior,
    // the predictive law or the tables to work on.
    if (!law_parameters_valid(c, A)) throw Erreur::InvalidLawParameters;
    prepare_series(p, c, w, A, prepared);
    const Series& S = prepared.S;
    const Series& D = tests_on_copy(c, w) ? prepared.C : prepared.S;

    // The expert's interval, the prior and the predictive parameters.
    Series O;
    double low = p.priorLow;
    double high = p.priorHigh;
    double s1 = 0.0, s2 = 0.0, t1 = 0.0, t2 = 0.0;
    expert_interval(c, A, prepared.rho, p.expert, p.expertMaxQuantile, p.riskP1, p.riskP2,
                    prepared.e1, prepared.e2, low, high, w, s1, s2, t1, t2);
    append_value(O, s1);
    append_value(O, s2);
    append_value(O, w == 1 ? t1 : 0.0);
    append_value(O, w == 1 ? t2 : 0.0);
    ValueList R;
    expert_prior(s1, s2, t1, t2, w, p.confidence, p.defiance, R);
    if (!usable_prior(R)) throw Erreur::InvalidLawParameters;
    append_values(O, R);
    ValueList Z;
    posterior_summary(S, c, A, R, w, Z);
    append_values(O, Z);

    const LawCode simulationCode = context.simulationLawCode;
    ValueList G;
    if (p.simulated == 1) estimate_law(D, simulationCode, n, G);

    Sample T1, T2, T3, T4, T5, P1, P2;
    const PredictiveTableBounds bounds = predictive_table_bounds();
    const BayesTableInput table{S, p.extraOrders, n, k, prepared.u, prepared.e1, p.expert, s1, s2,
                                c, A, Z, p.simulated, simulationCode, p.lawParameters, G, w,
                                p.expertMaxQuantile, low, high, bounds.points, bounds.evaluations};
    const TableBound bound = bayes_quantile_table(table, T1, T2, T3, T4, T5, P1, P2);
    if (bound != TableBound::Within) refuse_table(bound);

    // The tests: the parent law by the selected test, both laws by their statistics, the
    // extreme quantile against resampled parent and predictive series.
    int accepted = 0;
    double statistic = 0.0, criticalValue = 0.0;
    if (context.testSelector == kSelectAndersonDarling)
        anderson_darling_test(*context.pool, D, c, A, p.testLevel1, accepted, statistic,
                              criticalValue);
    else
        cramer_von_mises_test(*context.pool, D, c, A, p.testLevel1, accepted, statistic,
                              criticalValue);
    double g1 = 0.0, g2 = 0.0, g3 = 0.0;
    goodness_of_fit(D, c, P1, w, context.testSelector, A, Z, criticalValue, g1, g2, g3);

    QuantileTestOutcome resampled;
    et_resampling_test(*context.pool, D, prepared.excesses, k, prepared.u, c, A, p.testLevel2,
                       p.quantileOrder, kResampledSeries, kPercentileInterval, resampled);
    ValueList posterior;
    if (w == 0) posterior_parameters(D, c, R, A, n, w, posterior);
    QuantileTestOutcome predictive;
    et_predictive_test(*context.pool, D, prepared.excesses, k, prepared.u, c, A, p.testLevel2,
                       p.quantileOrder, kResampledSeries, R, posterior, w, low, high, predictive);

    for (double value : {static_cast<double>(accepted), g2, g3, g1,
                         static_cast<double>(resampled.verdict), static_cast<double>(predictive.verdict),
                         predictive.estimate, predictive.lower, predictive.upper})
        append_value(O, value);
    append_values(O, T1);
    append_values(O, T2);
    append_values(O, T3);
    if (p.simulated == 1) {
        append_values(O, T4);
        append_values(O, T5);
    }

    // Curve pairs r + 1, ...: densities, then survival functions, each in the order fitted,
    // simulation, predictive.
    int r = result_number(p.directory, p.resultFile);
    const double lo = first_value(prepared.C);
    const double hi = last_value(prepared.C);
    Sample Y;
    make_grid(lo, hi, kCurveSteps, Y);
    const PredictiveCurveLaw predictiveLaw = predictive_curve_law(c, w, Z);
    for (const int curveTask : {kDensityCurveTask, kSurvivalCurveTask}) {
        write_curve_pair(p.directory, p.dataFile, r, curveTask, p.lawName, c, A, lo, hi, Y);
        if (p.simulated == 1)
            write_curve_pair(p.directory, p.dataFile, r, curveTask, p.simulationLaw,
                             simulationCode, p.lawParameters, lo, hi, Y);
        const bool survival = curveTask == kSurvivalCurveTask;
        if (c == kWeibull && w == 1) {
            Sample curve = survival ? P1 : P2;
            if (survival) curve.apply_affine(-1.0, 1.0);
            write_table_curve_pair(p.directory, p.dataFile, r, curveTask, predictiveLaw.name,
                                   predictiveLaw.parameters, curve);
        } else if (survival && (c == kNormal || c == kLognormal)) {
            const Sample curve = tabulated_survival(c, Z, c == kNormal ? S : prepared.C);
            write_table_curve_pair(p.directory, p.dataFile, r, curveTask, predictiveLaw.name,
                                   predictiveLaw.parameters, curve);
        } else {
            write_curve_pair(p.directory, p.dataFile, r, curveTask, predictiveLaw.name,
                             predictiveLaw.code, predictiveLaw.parameters, lo, hi, Y);
        }
    }

    write_values(O, p.resultFile);
}

}  // namespace evstat
