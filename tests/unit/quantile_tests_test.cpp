// Extreme-quantile tests. The asymptotic interval worked by hand: with N = 100, k = 10 and
// p = 0.01, ln(k/(N p)) = ln 10, l = ln(k/N) = -ln 10, lambda = ln N = 2 ln 10 and
// D = (l - ln p)^2 = (ln 10)^2, so the bias terms reduce to (p1 - u)/32 (normal),
// ln 10 u p2^2 / 8 (lognormal) and (1 - p2) u / (32 p2^2) (Weibull). The resampling tests
// against the loop written out one resample after the other (evaluate_law, sort,
// excesses over the (N - k)-th value, estimate_law, quantile, fit_tail) from the same seed.
#include "tail/quantile_tests/quantile_tests.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

#include "estimation/estimate.h"
#include "laws/evaluate.h"
#include "laws/random_values.h"
#include "laws/generator.h"
#include "laws/quantiles.h"
#include "tail/bayes/posteriors.h"
#include "tail/bayes/predictive_sample.h"
#include "tail/quantile_tests/resampling.h"
#include "unit/law_parameters.h"

namespace evstat {
namespace {

// Three threads: the intervals are those of one.
WorkerPool& pool() {
    static WorkerPool threads(3);
    return threads;
}

using Values = std::vector<double>;
constexpr double kZ975 = 1.959963984540054;  // standard normal quantile at 0.975
const double kLn10 = std::log(10.0);

Series drawn_series(Generator& generator, LawCode code, const ValueList& parameters, int n) {
    Series s;
    draw_random_values(generator, code, parameters, n, s);
    sort_ascending(s);
    return s;
}

Series series_of(const Values& values) { return values; }

void expect_unavailable_ends(const QuantileTestOutcome& o, const char* what) {
    EXPECT_EQ(o.verdict, 0) << what;
    EXPECT_EQ(o.lower, -10.0) << what;
    EXPECT_EQ(o.upper, -10.0) << what;
}

TEST(EtAsymptotic, EstimateBiasAndInterval) {
    const Series data = series_of(Values(100, 1.0));  // only its size is read
    const Series excesses = series_of({1, 2, 3, 6});  // mean excess 3
    const double u = 4.0;
    const struct {
        const char* what;
        LawCode code;
        Values parameters;
        double meanExcess, bias;
    } rows[] = {
        {"exponential: mean from the law", LawCode::kExponential, {2}, 2.0, 0.0},
        {"normal", LawCode::kNormal, {5, 1}, 3.0, (5.0 - u) / 32},
        {"lognormal", LawCode::kLognormal, {0, 0.5}, 3.0, kLn10 * u * 0.25 / 8},
        {"weibull", LawCode::kWeibull, {1, 2}, 3.0, (1.0 - 2.0) * u / (32 * 4)},
        {"gamma: no bias", LawCode::kGamma, {2, 1}, 3.0, 0.0},
    };
    for (const auto& row : rows) {
        const ValueList parameters = law_parameters(row.parameters);
        QuantileTestOutcome o;
        et_asymptotic_test(data, excesses, 10, u, row.code, parameters, 0.05, 0.01, o);
        const double q = u + row.meanExcess * kLn10;
        const double half = kZ975 * std::sqrt(row.meanExcess * row.meanExcess * (1 + kLn10 * kLn10) / 10);
        EXPECT_NEAR(o.estimate, q, 1e-13) << row.what;
        EXPECT_NEAR((o.lower + o.upper) / 2 - q, row.bias, 1e-13) << row.what;
        EXPECT_NEAR((o.upper - o.lower) / 2, half, 1e-12) << row.what;
        EXPECT_EQ(o.parentQuantile, quantile(row.code, parameters, 0.99)) << row.what;
        EXPECT_EQ(o.verdict, o.lower <= o.parentQuantile && o.parentQuantile <= o.upper) << row.what;
    }
    // d = 0: z is the largest double, the interval infinite, the verdict 1.
    QuantileTestOutcome o;
    et_asymptotic_test(data, excesses, 10, u, LawCode::kNormal, law_parameters({100, 1}), 0.0, 0.01,
                       o);
    EXPECT_EQ(o.verdict, 1);
    EXPECT_TRUE(std::isinf(o.lower) && std::isinf(o.upper));
}

TEST(QuantileTestInterval, OrderStatisticsAndClosedEnds) {
    Values ordered(500);
    std::iota(ordered.begin(), ordered.end(), 1.0);
    double lower = 0, upper = 0;
    ASSERT_TRUE(percentile_interval(ordered, 0.05, lower, upper));  // j = 12
    EXPECT_EQ(lower, 13.0);
    EXPECT_EQ(upper, 488.0);
    ASSERT_TRUE(percentile_interval(ordered, 0.0, lower, upper));
    EXPECT_EQ(lower, 1.0);
    EXPECT_EQ(upper, 500.0);
    EXPECT_FALSE(percentile_interval({}, 0.05, lower, upper));
    EXPECT_FALSE(percentile_interval(ordered, NAN, lower, upper));
    EXPECT_FALSE(percentile_interval(ordered, 2.5, lower, upper));
    QuantileTestOutcome o;
    o.lower = 13.0;
    o.upper = 488.0;
    for (double at : {13.0, 488.0}) {
        decide(o, at);
        EXPECT_EQ(o.verdict, 1) << at;
    }
    decide(o, std::nextafter(488.0, 500.0));
    EXPECT_EQ(o.verdict, 0);
}

// The loop one resample after the other; resamples whose compared value is not a number are left out.
struct Literal {
    double lower = -10, upper = -10;
    int left = 0;
};

Literal literal_resampling(Generator& generator, int N, int k, LawCode code,
                           const ValueList& parameters, double d, double p, int B, int mode,
                           TailMethod method) {
    Literal out;
    Series compared;
    for (int i = 1; i <= B; ++i) {
        Series s;
        draw_random_values(generator, code, parameters, N, s);
        sort_ascending(s);
        Series excesses;
        double u = 0;
        excesses_over_threshold(s, k, N, excesses, u);
        double q = u + mean(excesses) * std::log(k / (p * N));
        if (method != kUnknownTailMethod) {
            ValueList fit;
            bool warning = false, failure = false;
            fit_tail(s, k, N, u, method, fit, warning, failure);
            if (failure) continue;
            q = return_level(u, fit.at(1), fit.at(2), k, p, N);
        }
        if (mode == 0) {
            ValueList e;
            estimate_law(s, code, N, e);
            q -= quantile(code, e, 1 - p);
        }
        compared.push_back(q);
    }
    out.left = B - size_of(compared);
    sort_ascending(compared);
    const int j = static_cast<int>(std::floor(size_of(compared) * d / 2));
    out.lower = value_at(compared, j + 1);
    out.upper = value_at(compared, size_of(compared) - j);
    return out;
}

TEST(ResamplingTests, TheLoopOneResampleAfterTheOtherDrawForDraw) {
    const struct {
        const char* what;
        LawCode code;
        Values parameters;
        int N, k, mode;
        TailMethod method;  // 0: the ET test
    } rows[] = {
        {"ET normal, differences", LawCode::kNormal, {10, 2}, 200, 20, 0, 0},
        {"ET normal, percentiles", LawCode::kNormal, {10, 2}, 201, 20, 1, 0},
        {"ET weibull, differences", LawCode::kWeibull, {2, 1.5}, 200, 20, 0, 0},
        {"ET lognormal, differences", LawCode::kLognormal, {1, 0.6}, 150, 15, 0, 0},
        {"ET gamma, percentiles", LawCode::kGamma, {2.5, 1}, 120, 12, 1, 0},
        {"GPD EMV normal, differences",
         LawCode::kNormal,
         {10, 2},
         300,
         30,
         0,
         kTailMaximumLikelihood},
        {"GPD EMV normal, percentiles",
         LawCode::kNormal,
         {10, 2},
         300,
         30,
         1,
         kTailMaximumLikelihood},
        {"GPD HW pareto, differences", LawCode::kPareto, {1, 3}, 200, 20, 0, kTailWeightedMoments},
        {"GPD Hill exponential", LawCode::kExponential, {2}, 200, 20, 1, kTailHill},
    };
    const double d = 0.05, p = 0.01;
    const int B = 120;
    int leftOut = 0;
    for (const auto& row : rows) {
        const ValueList parameters = law_parameters(row.parameters);
        Generator generator(1234);
        const Series data = drawn_series(generator, row.code, parameters, row.N);
        Series excesses;
        double u = 0;
        excesses_over_threshold(data, row.k, row.N, excesses, u);
        ValueList fit;
        bool warning = false, failure = false;
        if (row.method != 0) fit_tail(data, row.k, row.N, u, row.method, fit, warning, failure);
        generator = Generator(77);
        const Literal expected = literal_resampling(generator, row.N, row.k, row.code, parameters,
                                                    d, p, B, row.mode, row.method);
        leftOut += expected.left;
        generator = Generator(77);
        QuantileTestOutcome o;
        if (row.method == 0)
            et_resampling_test(generator, pool(), data, excesses, row.k, u, row.code, parameters, d, p, B,
                               row.mode, o);
        else
            gpd_resampling_test(generator, pool(), data, row.k, u, row.code, parameters, d, p, B, row.mode,
                                fit, row.method, o);
        EXPECT_EQ(o.lower, expected.lower) << row.what;
        EXPECT_EQ(o.upper, expected.upper) << row.what;
        const double q = row.method == 0 ? u + mean(excesses) * std::log(row.k / (p * row.N))
                                         : return_level(u, fit.at(1), fit.at(2), row.k, p, row.N);
        EXPECT_EQ(o.estimate, q) << row.what;
        const double Q = quantile(row.code, parameters, 1 - p);
        EXPECT_EQ(o.parentQuantile, Q) << row.what;
        const double c = row.mode == 0 ? q - Q : q;
        EXPECT_EQ(o.verdict, expected.lower <= c && c <= expected.upper) << row.what;
    }
    EXPECT_GT(leftOut, 0);  // failed likelihood fits of the light-tailed parent were left out
}

// Each returns verdict 0, q and Q0 as computed (q not available when k is outside
// 2..N-1) and ends of -10, without drawing.
TEST(ResamplingTests, OrderlyOutcomesWithoutAnInterval) {
    Generator generator(5);
    const ValueList normal = law_parameters({10, 2});
    const Series data = drawn_series(generator, LawCode::kNormal, normal, 100);
    Series excesses;
    double u = 0;
    excesses_over_threshold(data, 10, 100, excesses, u);
    const ValueList fit = law_parameters({-0.2, 1.5});
    const double etq = u + mean(excesses) * std::log(10 / (0.01 * 100));
    const double gpdq = return_level(u, -0.2, 1.5, 10, 0.01, 100);
    const struct {
        const char* what;
        bool gpd;
        LawCode code;
        Values parameters;
        int k, B, mode;
        TailMethod method;
        double q;
        bool draws = false;  // resamples drawn, none of them usable
    } rows[] = {
        {"ET, B = 0", false, LawCode::kNormal, {10, 2}, 10, 0, 0, 0, etq},
        {"ET, mode 2", false, LawCode::kNormal, {10, 2}, 10, 50, 2, 0, etq},
        {"ET, sigma 0", false, LawCode::kNormal, {10, 0}, 10, 50, 1, 0, etq},
        {"ET, exponential mean -1", false, LawCode::kExponential, {-1}, 10, 50, 0, 0, etq},
        {"ET, NaN beta", false, LawCode::kBeta, {NAN, 2}, 10, 50, 0, 0, etq},
        {"ET, k = 1", false, LawCode::kNormal, {10, 2}, 1, 50, 0, 0, -10},
        {"ET, k = N", false, LawCode::kNormal, {10, 2}, 100, 50, 0, 0, -10},
        {"ET, no law", false, LawCode::kStudentApprox, {0, 2, 1}, 10, 50, 1, 0, etq},
        {"GPD, B = 0", true, LawCode::kNormal, {10, 2}, 10, 0, 1, 2, gpdq},
        {"GPD, every fit fails",
         true,
         LawCode::kNormal,
         {-10, 1},
         10,
         50,
         1,
         kTailHill,
         gpdq,
         true},  // ln u*, u* < 0
        {"GPD, no such method", true, LawCode::kNormal, {10, 2}, 10, 50, 1, 0, gpdq, true},
        {"GPD, weibull shape 0", true, LawCode::kWeibull, {1, 0}, 10, 50, 0, 2, gpdq},
        {"GPD, k = 0", true, LawCode::kNormal, {10, 2}, 0, 50, 0, 2, -10},
    };
    generator = Generator(9);
    const int first = generator.next();
    for (const auto& row : rows) {
        const ValueList parameters = law_parameters(row.parameters);
        QuantileTestOutcome o;
        o.verdict = 1;
        generator = Generator(9);
        if (row.gpd)
            gpd_resampling_test(generator, pool(), data, row.k, u, row.code, parameters, 0.05, 0.01, row.B,
                                row.mode, fit, row.method, o);
        else
            et_resampling_test(generator, pool(), data, excesses, row.k, u, row.code, parameters, 0.05,
                               0.01, row.B, row.mode, o);
        expect_unavailable_ends(o, row.what);
        EXPECT_EQ(o.estimate, row.q) << row.what;
        const double Q = quantile(row.code, parameters, 0.99);
        EXPECT_TRUE(o.parentQuantile == Q || (std::isnan(Q) && std::isnan(o.parentQuantile))) << row.what;
        EXPECT_EQ(generator.next() != first, row.draws) << row.what;
    }
    QuantileTestOutcome o;
    et_asymptotic_test(data, excesses, 1, u, LawCode::kNormal, normal, 0.05, 0.01, o);
    expect_unavailable_ends(o, "asymptotic, k = 1");
    EXPECT_EQ(o.estimate, -10.0);
}

// A refit with no estimate (an empty or all-zero list) gives no quantile.
TEST(ResamplingTests, RefitWithoutEstimates) {
    Refit refit;
    EXPECT_TRUE(std::isnan(refit.quantile_at(series_of({2, 2, 2}), LawCode::kGamma, 0.01)));
    EXPECT_TRUE(std::isnan(refit.quantile_at(series_of({-1, 2, 3}), LawCode::kExponential, 0.01)));
    EXPECT_TRUE(std::isnan(refit.quantile_at(series_of({1, 2, 3}), LawCode::kImport, 0.01)));
    EXPECT_DOUBLE_EQ(refit.quantile_at(series_of({1, 2, 3}), LawCode::kExponential, 0.01),
                     2 * std::log(100.0));
}

// The predictive test is the percentile test over predictive_sample's series.
TEST(EtPredictive, PercentilesOfPredictiveSeries) {
    Generator generator(31);
    const ValueList parameters = law_parameters({2.0});
    const Series data = drawn_series(generator, LawCode::kExponential, parameters, 100);
    Series excesses;
    double u = 0;
    excesses_over_threshold(data, 10, 100, excesses, u);
    const ValueList prior = law_parameters({3, 4});
    ValueList posterior;
    posterior_parameters(data, LawCode::kExponential, prior, parameters, 100, 0, posterior);
    generator = Generator(32);
    Series q;
    for (int i = 1; i <= 60; ++i) {
        Series s;
        ASSERT_EQ(predictive_sample(generator, data, LawCode::kExponential, prior, posterior,
                                    parameters, 100, 0, 0, 0, s),
                  PredictiveDraw::Drawn);
        sort_ascending(s);
        Series e;
        double us = 0;
        excesses_over_threshold(s, 10, 100, e, us);
        q.push_back(us + mean(e) * std::log(10.0));
    }
    sort_ascending(q);
    generator = Generator(32);
    QuantileTestOutcome o;
    et_predictive_test(generator, pool(), data, excesses, 10, u, LawCode::kExponential, parameters, 0.1,
                       0.01, 60, prior, posterior, 0, 0, 0, kMaxShapeProposalsInAll, o);
    EXPECT_EQ(o.lower, value_at(q, 4));  // j = 3
    EXPECT_EQ(o.upper, value_at(q, 57));
    EXPECT_EQ(o.verdict, o.lower <= o.estimate && o.estimate <= o.upper);
    // A posterior that cannot be drawn from: no interval.
    et_predictive_test(generator, pool(), data, excesses, 10, u, LawCode::kExponential, parameters, 0.1,
                       0.01, 60, prior, law_parameters({0, 1}), 0, 0, 0, kMaxShapeProposalsInAll,
                       o);
    expect_unavailable_ends(o, "no posterior");
    EXPECT_EQ(o.estimate, u + mean(excesses) * std::log(10.0));
}

}  // namespace
}  // namespace evstat
