// Tail fitting over a threshold on hand-sized series. References: R 4 for the closed
// forms (weighted moments a0 = mean(x), a1 = mean((1 - ((1:m) - 0.35)/m) x); Hill and
// moment sums of log(X) - log(u) over rev(S)[1:k]; the Zipf slope as
// coef(lm(log(g * rev(S)[2:(k+1)]) ~ log((k+1)/(1:k))))[2]); the likelihood iteration
// as described, run in Python 3 doubles, and where it converges SciPy 1.10
// genpareto.fit(x, floc=0), the maximum-likelihood estimate it approaches.
#include "tail/methods/tail.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace evstat {
namespace {

using Values = std::vector<double>;
const Values kFailurePair = {-10.0, -10.0};
const Values kShortTail = {0.5, 1, 2, 3, 5, 8, 13};        // moment estimate < 0
const Values kHeavyTail = {1, 1.2, 1.5, 2, 3, 5, 10, 25};  // moment estimate >= 0 for k = 4

Series series_of(const Values& values) { return values; }

struct Outcome {
    Values fit;
    bool warning;
    bool failure;
};

// fit_tail with n = the size and the task's threshold u = y(n - k) unless one is given.
Outcome fit_with(const Values& values, int k, TailMethod method, double u = NAN) {
    const Series s = series_of(values);
    ValueList fit;
    bool warning = true, failure = false;  // method 2 clears the warning; the others leave it
    fit_tail(s, k, size_of(s), std::isnan(u) ? value_at(s, size_of(s) - k) : u, method, fit,
             warning, failure);
    return {{fit.begin(), fit.end()}, warning, failure};
}

void expect_fit(const Outcome& out, const Values& expected, double tolerance,
                const std::string& what) {
    ASSERT_EQ(out.fit.size(), expected.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(out.fit[i], expected[i], tolerance * std::fabs(expected[i])) << what;
}

TEST(TailMethod, KeywordsAndCodes) {
    const Values codes = {1, 2, 3, 4, 5, 0, 0, 0, 0};
    const std::string names[] = {"HW", "EMV", "Hill", "HillG", "Zipf", "hw", "Hill ", "", "*"};
    for (std::size_t i = 0; i < codes.size(); ++i)
        EXPECT_EQ(tail_method_from_name(names[i]), codes[i]) << names[i];
    const Values held = {1.0, 5.0, 2.5, 0.0, 6.0, -3.0, NAN, 1e300};
    const Values code = {1, 5, 0, 0, 0, 0, 0, 0};
    for (std::size_t i = 0; i < held.size(); ++i)
        EXPECT_EQ(tail_method_from_value(held[i]), code[i]) << held[i];
}

TEST(Excesses, StrictlyAboveTheValueAtPositionNMinusK) {
    const Series s = series_of({1, 2, 2, 2, 5, 7});
    const struct {
        int k;
        double u;
        Values excesses;
    } rows[] = {
        {3, 2.0, {3, 5}},  // ties at u: fewer than k excesses
        {1, 5.0, {2}},
        {6, 1.0, {1, 1, 1, 4, 6}},        // k = n: a position below 1 reads the first value
        {INT_MAX, 1.0, {1, 1, 1, 4, 6}},  // k > n, n - k without overflow
        {0, 7.0, {}},                     // the largest value: nothing above it
        {-1, NAN, {}},
        {INT_MIN, NAN, {}},  // past the end: no threshold, no excess
    };
    for (const auto& row : rows) {
        Series q;
        double u = 0.0;
        excesses_over_threshold(s, row.k, 6, q, u);
        EXPECT_TRUE(u == row.u || (std::isnan(u) && std::isnan(row.u))) << row.k;
        EXPECT_EQ(q, row.excesses) << row.k;
    }
}

TEST(FitTail, EachMethodOnAHandSizedSeries) {
    const struct {
        Values values;
        int k;
        TailMethod method;
        Values fit;
        bool warning;
        const char* source;
    } rows[] = {
        {kShortTail, 3, kTailHill, {0.98599731519038114, 2.9579919455711434}, true, "R"},
        {kShortTail,
         3,
         kTailMoment,
         {-1.7082079412432742, 8.0108572771294142},
         true,
         "R, sigma = u M1 (1 - xi)"},
        {kHeavyTail,
         4,
         kTailMoment,
         {0.3924535787779817, 2.7284611983623375},
         true,
         "R, sigma = u M1"},
        {kShortTail, 3, kTailZipf, {0.86966805868582142, 2.9579919455711434}, true, "R"},
        {kShortTail, 6, kTailZipf, {1.4612763047368467, 1.0170392803469332}, true, "R, k = n - 1"},
        {{0, 1, 3, 4, 5, 29},
         4,
         kTailWeightedMoments,
         {0.35738068812430623, 5.94422863485016695},
         true,
         "R, weighted moments of the excesses {2, 3, 4, 28}"},
        {{1, 2, 2, 2, 5, 7},
         3,
         kTailWeightedMoments,
         {-1.6363636363636376, 10.54545454545455},
         true,
         "R, ties at u = 2: the excesses {3, 5} with their count 2"},
        {{1, 2, 2, 2, 5, 7},
         3,
         kTailMaximumLikelihood,
         {0.002175673836754305, 3.995378843587717},
         true,
         "Python, the excesses {3, 5}: stops at 1000 updates"},
        {kShortTail,
         7,
         kTailWeightedMoments,
         {0.08421052631579018, 4.2518796992481178},
         true,
         "R, k = n: the whole series and its count"},
        {kShortTail,
         9,
         kTailWeightedMoments,
         {0.08421052631579018, 4.2518796992481178},
         true,
         "k > n, as k = n"},
        {kShortTail,
         7,
         kTailMaximumLikelihood,
         {0.010006674743032493, 4.601199527302458},
         false,
         "Python, the whole series: 879 updates"},
    };
    for (const auto& row : rows) {
        const Outcome out = fit_with(row.values, row.k, row.method);
        expect_fit(out, row.fit, 1e-12, row.source);
        EXPECT_EQ(out.warning, row.warning) << row.source;
        EXPECT_FALSE(out.failure) << row.source;
    }
}

TEST(FitTail, LikelihoodConvergesStopsOrFails) {
    // u = 0, the first value, so the excesses are the other values.
    const struct {
        Values values;
        Values fit;
        double scipyXi;
        bool warning, failure;
        const char* source;
    } rows[] = {
        {{0, 2, 3, 4, 28},
         {0.3704905685482809, 6.162337076784939},
         0.37043172201751595,
         false,
         false,
         "{2, 3, 4, 28}: the first update moves theta by 9e-6: tolerance met at the first "
         "comparison"},
        {{0, 1, 2, 3, 4, 10},
         {-0.5540198483680338, 6.631157834454512},
         -0.5589203700318752,
         false,
         false,
         "{1, 2, 3, 4, 10}: 39 loop updates"},
        {{0, 1, 1, 2},
         {0.002291869115251789, 1.3316154978099453},
         NAN,
         true,
         false,
         "{1, 1, 2}: theta drifts towards 0 and stops at 1000 updates"},
        {{0, 1, 1, 1, 2},
         kFailurePair,
         NAN,
         false,
         true,
         "{1, 1, 1, 2}: the start has theta0 > 1/max"},
        {{0, 1, 1, 3},
         kFailurePair,
         NAN,
         false,
         true,
         "{1, 1, 3}: the first update leaves the range"},
        {{0, 1, 2, 4},
         kFailurePair,
         NAN,
         false,
         true,
         "{1, 2, 4}: the first loop update leaves the range"},
    };
    for (const auto& row : rows) {
        const Outcome out =
            fit_with(row.values, static_cast<int>(row.values.size()) - 1, kTailMaximumLikelihood);
        expect_fit(out, row.fit, 1e-12, row.source);
        if (!std::isnan(row.scipyXi)) {
            EXPECT_NEAR(out.fit[0], row.scipyXi, 0.01) << row.source;
        }
        EXPECT_EQ(out.warning, row.warning) << row.source;
        EXPECT_EQ(out.failure, row.failure) << row.source;
    }
    EXPECT_EQ(return_level(0.0, -10.0, -10.0, 4, 0.01, 5), -10.0);
}

TEST(FitTail, WhatCannotBeEstimatedGivesTheFailurePair) {
    // Chosen outcomes: k outside the values, Zipf with k = size (it starts one value
    // below the largest), a threshold without a logarithm, one excess or none for the
    // weighted moments, and estimates that are not finite (k = 1: M1^2 = M2 for the
    // moment estimator, a zero variance of the Zipf abscissas).
    const struct {
        Values values;
        int k;
        TailMethod method;
        double u;
    } rows[] = {
        {kShortTail, 0, kTailHill, NAN},
        {kShortTail, 8, kTailHill, NAN},
        {kShortTail, 7, kTailHill, 0.0},
        {kShortTail, 3, kTailHill, -1.0},
        {kShortTail, 3, kTailMoment, 0.0},
        {kShortTail, 1, kTailMoment, NAN},
        {kShortTail, INT_MAX, kTailMoment, 3.0},
        {kShortTail, 7, kTailZipf, 0.5},
        {kShortTail, INT_MIN, kTailZipf, 3.0},
        {kShortTail, 3, kTailZipf, -2.0},
        {kShortTail, 1, kTailZipf, NAN},
        {{1, 2, 3, 4}, 0, kTailWeightedMoments, NAN},
        {{1, 2, 3, 4}, -3, kTailMaximumLikelihood, NAN},
        {{1, 2, 2, 5}, 2, kTailWeightedMoments, NAN},
        {{1, 2, 2, 5}, 2, kTailMaximumLikelihood, NAN},
        {{3, 3, 3, 3}, 2, kTailMaximumLikelihood, NAN},
    };
    for (const auto& row : rows) {
        const Outcome out = fit_with(row.values, row.k, row.method, row.u);
        const std::string what =
            "method " + std::to_string(row.method) + " k " + std::to_string(row.k);
        EXPECT_EQ(out.fit, kFailurePair) << what;
        EXPECT_TRUE(out.failure) << what;
    }
    for (TailMethod code : {0, 6, -1}) {  // not a method: nothing appended, a task reads NaN
        const Outcome out = fit_with(kShortTail, 3, code);
        EXPECT_TRUE(out.fit.empty() && out.warning && !out.failure);
    }
}

TEST(GpdLikelihood, StartAtThetaZeroIsTheExponentialTail) {
    // theta0 = 0 stays 0, where -xi/theta tends to the mean of the values.
    ValueList start, fit;
    start.push_back(0.0);
    start.push_back(5.0);
    bool warning = true, failure = false;
    gpd_maximum_likelihood(series_of({1, 3, 4, 12}), start, fit, warning, failure);
    EXPECT_EQ(Values(fit.begin(), fit.end()), (Values{0.0, 5.0}));
    EXPECT_FALSE(warning || failure);
}

TEST(ReturnLevel, PowerFormExponentialLimitAndUnavailableCases) {
    const struct {
        double u, xi, sigma;
        int k;
        double p;
        int n;
        double expected;
        const char* source;
    } rows[] = {
        {3, 0.4, 1.2, 3, 0.01, 7, 13.487471518802876, "R: u + (s/xi)*((n*p/k)^(-xi) - 1)"},
        {3, -0.25, 2, 10, 0.001, 200, 7.9915175255308846, "R, as above"},
        {3, 0.4, 1.2, 7, 0.01, 7, 3 + 3 * (std::pow(0.01, -0.4) - 1), "k = n, by hand"},
        {3, 0.0, 1.2, 3, 0.01, 7, 7.5094467907210651, "R: u + s*log(k/(n*p)), the limit at xi = 0"},
        {1e6, -10, -10, 1, 0.5, 1000, -10, "the failure pair"},
        {3, 0.4, 1.2, 0, 0.01, 7, -10, "k = 0"},
        {3, 0.4, 1.2, 8, 0.01, 7, -10, "k > n"},
    };
    for (const auto& row : rows)
        EXPECT_NEAR(return_level(row.u, row.xi, row.sigma, row.k, row.p, row.n), row.expected,
                    1e-14 * std::fabs(row.expected))
            << row.source;
    // Continuity at xi = 0: the power form at xi = 1e-6 is within xi sigma ln(k/(np))^2 / 2.
    EXPECT_NEAR(return_level(3, 1e-6, 1.2, 3, 0.01, 7), 7.5094467907210651, 2e-5);
    EXPECT_NE(return_level(3, -10, 1, 3, 0.01, 7), -10.0);  // only the exact pair fails
}

TEST(GpdQuantilePlot, UnitScaleQuantilesOfTheExcesses) {
    // Excesses {2, 5, 10}, k = 3. R: ((3/c)^xi - 1)/xi, log(3/c) at xi = 0; the identity
    // 1 - F(q) = c/k with F(q) = 1 - (1 + xi q)^(-1/xi).
    const Series q = series_of({2, 5, 10});
    const struct {
        double xi;
        Values quantiles;
    } rows[] = {
        {0.5, {1.4641016151377544, 0.44948974278317788, 0}},
        {-0.5, {0.84529946162074854, 0.36700683814454793, 0}},
        {0.0, {1.0986122886681098, 0.40546510810816438, 0}},
    };
    for (const auto& row : rows) {
        Sample plot;
        gpd_quantile_plot(q, 3, row.xi, plot);
        ASSERT_EQ(plot.size(), 3);
        for (int c = 1; c <= 3; ++c) {
            const double x = plot.x_at(c);
            EXPECT_NEAR(x, row.quantiles[static_cast<std::size_t>(c - 1)], 1e-15) << row.xi;
            EXPECT_EQ(plot.y_at(c), value_at(q, c));
            EXPECT_NEAR(row.xi == 0.0 ? std::exp(-x) : std::pow(1.0 + row.xi * x, -1.0 / row.xi),
                        c / 3.0, 1e-15);
        }
    }
    Sample empty;
    gpd_quantile_plot(q, 0, 0.5, empty);  // chosen: no plot for k < 1
    EXPECT_EQ(empty.size(), 0);
}

TEST(LogLogPlot, KPlusOnePointsWhenKIsNotTheSize) {
    // k = 3 of 7 values: N = 4 points from 3, 5, 8, 13. R: -log((1:4)/3), log(c(3, 5, 8, 13)).
    const Series s = series_of(kShortTail);
    Sample plot;
    plot.push_back(9.0, 9.0);  // a caller's earlier point stays first
    double slope = 0.0;
    log_log_plot(s, 3, plot, slope);
    const Values x = {1.0986122886681098, 0.40546510810816444, 0, -0.28768207245178085};
    const Values y = {1.0986122886681098, 1.6094379124341003, 2.0794415416798357,
                      2.5649493574615367};
    ASSERT_EQ(plot.size(), 5);
    EXPECT_EQ(plot.x_at(1), 9.0);
    for (int m = 1; m <= 4; ++m) {
        EXPECT_NEAR(plot.x_at(m + 1), x[static_cast<std::size_t>(m - 1)], 1e-15);
        EXPECT_NEAR(plot.y_at(m + 1), y[static_cast<std::size_t>(m - 1)], 1e-15);
    }
    EXPECT_NEAR(slope, -1.0577386087099681, 1e-14);  // R, between the last and the first point
    // k = size: N = k; R: (log(13) - log(0.5)) / (-log(7)).
    Sample all;
    log_log_plot(s, 7, all, slope);
    EXPECT_EQ(all.size(), 7);
    EXPECT_NEAR(slope, -1.6743304101698631, 1e-14);
    // Chosen: nothing past the values, and no slope (-10) from fewer than two points.
    const struct {
        Values values;
        int k;
        int points;
    } rows[] = {{kShortTail, 0, 0},
                {kShortTail, -3, 0},
                {kShortTail, 8, 0},
                {kShortTail, INT_MAX, 0},
                {{4.0}, 1, 1}};
    for (const auto& row : rows) {
        Sample out;
        log_log_plot(series_of(row.values), row.k, out, slope);
        EXPECT_EQ(out.size(), row.points) << row.k;
        EXPECT_EQ(slope, -10.0) << row.k;
    }
}

// The paths over a range of k give, bit for bit, the fit of each k alone, whatever the
// number of threads and whichever methods are taken together: several k are summed side
// by side and blocks of k go to the threads, so the series and ranges cover fewer and
// more k than one pass takes, ranges that start or end inside a block, ties, a threshold
// of 0 and a negative one (the failure pair), and a wide range of magnitudes.
TEST(TailFitPath, EachKIsTheFitOfThatKAlone) {
    Values spread;
    double v = 1.0;
    for (int i = 0; i < 300; ++i) {
        v = std::fmod(v * 75.0 + 0.37, 65537.0);
        spread.push_back(i % 7 == 0 ? std::exp(v / 4000.0) : v / 100.0 + 1e-3);
    }
    std::sort(spread.begin(), spread.end());
    const Values series[] = {
        kShortTail, kHeavyTail, {-2, 0, 1, 1, 1, 3, 3, 7, 9, 9, 11, 12}, {0.5, 2}, spread};
    const std::vector<TailMethod> lists[] = {
        {kTailHill},
        {kTailMoment},
        {kTailZipf},
        {kTailZipf, kTailMaximumLikelihood, kTailHill, kTailMoment, kTailZipf}};
    for (const int threads : {1, 2, 3}) {
        WorkerPool pool(threads);
        for (const Values& values : series) {
            const Series s = series_of(values);
            const int n = size_of(s);
            const int ranges[][2] = {{1, n - 1}, {2, n - 1}, {n / 2, n - 1}, {3, n - 3}, {5, 75}};
            for (const std::vector<TailMethod>& methods : lists) {
                for (const auto& [first, last] : ranges) {
                    if (first < 1 || last < first || last >= n) continue;
                    const auto paths = tail_fit_paths(pool, s, first, last, methods);
                    ASSERT_EQ(paths.size(), methods.size());
                    for (std::size_t m = 0; m < methods.size(); ++m) {
                        if (methods[m] == kTailMaximumLikelihood) {
                            EXPECT_TRUE(paths[m].empty());
                            continue;
                        }
                        ASSERT_EQ(paths[m].size(), static_cast<std::size_t>(last - first + 1));
                        for (int k = first; k <= last; ++k) {
                            const Outcome alone = fit_with(values, k, methods[m]);
                            const TailEstimate& e = paths[m][static_cast<std::size_t>(k - first)];
                            const std::string what = std::to_string(methods[m]) +
                                                     " k=" + std::to_string(k) +
                                                     " threads=" + std::to_string(threads);
                            EXPECT_EQ(e.failed, alone.failure) << what;
                            EXPECT_EQ(Values({e.xi, e.sigma}), alone.fit) << what;
                        }
                    }
                }
            }
        }
    }
    WorkerPool pool;
    const std::vector<TailMethod> all = {kTailHill, kTailMoment, kTailZipf};
    for (const auto& path : tail_fit_paths(pool, series_of(kShortTail), 1, 7, all))  // k = n
        EXPECT_TRUE(path.empty());
}

}  // namespace
}  // namespace evstat
