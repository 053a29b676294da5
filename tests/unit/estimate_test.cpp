#include "estimation/estimate.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "estimation/estimators.h"
#include "unit/law_parameters.h"

namespace evstat {
namespace {

Series series_of(const std::vector<double>& values) { return values; }

std::vector<double> values_of(const ValueList& list) {
    return {list.begin(), list.end()};
}

std::vector<double> estimate(LawCode code, const std::vector<double>& values) {
    const Series series = series_of(values);
    ValueList estimates;
    estimate_parameters(series, code, size_of(series), estimates);
    return values_of(estimates);
}

void expect_close(const std::vector<double>& got, const std::vector<double>& expected,
                  double relative, const std::string& source) {
    ASSERT_EQ(got.size(), expected.size()) << source;
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_NEAR(got[i], expected[i], relative * std::fabs(expected[i])) << source << " #" << i;
}

struct Case {
    LawCode code;
    std::vector<double> values;
    std::vector<double> expected;
    double relative;
    const char* source;
};

// The estimates of each law on small series. R 4 references: mean(), sd() (divisor n - 1),
// the estimators' closed forms evaluated in R, and maximum-likelihood fits solved in R.
const double kHalfAtThreeAndAHalf = 1.5275252316519468;  // {-c, 0, c}: 2 s^2/(s^2 - 1) == 3.5
const std::vector<Case> kEstimates = {
    {LawCode::kNormal, {1.2, 2.5, 3.1, 4.7, 6.0}, {3.5, 1.8801595676963165}, 1e-15, "R mean, sd"},
    {LawCode::kLognormal,
     {1.2, 2.5, 3.1, 4.7, 6.0},
     {1.1138672756206556, 0.62344822734844219},
     1e-15,
     "R mean(log x), sd(log x)"},
    {LawCode::kExponential, {1.2, 2.5, 3.1, 4.7, 6.0}, {3.5}, 1e-15, "R mean"},
    {LawCode::kUniform,
     {2.0, 3.0, 7.0, 10.0},
     {-2.0 / 3.0, 38.0 / 3.0},
     1e-15,
     "by hand: (4*2 - 10)/3, (4*10 - 2)/3"},
    {LawCode::kGamma,
     {1.2, 2.5, 3.1, 4.7, 6.0},
     {3.7577876883641235, 0.93139908112362091},
     1e-14,
     "R: first Greenwood-Durand formula, M = 0.13889569287471248"},
    {LawCode::kGamma,
     {0.01, 0.5, 2.0, 9.0, 40.0},
     {0.32744583611796052, 31.461691869823508},
     1e-14,
     "R: second Greenwood-Durand formula, M = 2.0761512820509807"},
    {LawCode::kGamma, {1e-12, 1e-10, 1e10}, {0.0, 0.0}, 0.0, "R: M = 31.14 > 17"},
    {LawCode::kChiSquare, {3.0, 4.0}, {3.0}, 0.0, "mean 3.5 rounds down"},
    {LawCode::kChiSquare, {3.02, 4.0}, {4.0}, 0.0, "mean 3.51 rounds up"},
    {LawCode::kStudent,
     {-kHalfAtThreeAndAHalf, 0.0, kHalfAtThreeAndAHalf},
     {3.0},
     0.0,
     "2 s^2/(s^2 - 1) is exactly 3.5 (checked in IEEE doubles): rounds down"},
    {LawCode::kStudent,
     {-1.5246321888436822, 0.0, 1.5246321888436822},
     {4.0},
     0.0,
     "2 s^2/(s^2 - 1) = 3.51: rounds up"},
    {LawCode::kStudent,
     {0.0, 1.1, 2.2},
     {12.0},
     0.0,
     "s^2 = 1.21 slightly above 1: 11.52 rounds to 12"},
    {LawCode::kStudent,
     {0.0, 1.0, 2.0},
     {static_cast<double>(INT_MAX)},
     0.0,
     "s^2 exactly 1: an infinite estimate, held at the largest int"},
    {LawCode::kStudent, {1.4, 1.5, 1.6}, {1.0}, 0.0, "mean absolute value 1.5 > sqrt 2"},
    {LawCode::kStudent, {0.93, 0.98, 1.03}, {5.0}, 0.0, "R: E|T_5| = 0.949 <= 0.98 < E|T_4| = 1"},
    {LawCode::kStudent, {0.5, 0.6, 0.7}, {200.0}, 0.0, "below E|T_200|"},
    {LawCode::kStudent, {-1.03, -0.98, -0.93}, {5.0}, 0.0, "absolute values of a negative series"},
    {LawCode::kStudent,
     {0.70091, 0.80091, 0.90091},
     {199.0},
     0.0,
     "R: E|T_199| = 0.8009075 <= 0.80091"},
    {LawCode::kStudent,
     {0.7009, 0.8009, 0.9009},
     {200.0},
     0.0,
     "R: E|T_200| = 0.8008923 <= 0.8009 < E|T_199|"},
    {LawCode::kBeta,
     {0.2, 0.4, 0.5, 0.7},
     {2.1201923076923088, 2.5913461538461555},
     1e-14,
     "R: m^2 (1 - m)/var - m, (1 - m) a/m"},
    {LawCode::kBeta,
     {0.0, 0.3, 1.0},
     {-0.029254571026722909, -0.038255977496483802},
     1e-13,
     "R: values exactly 0 and 1 are inside the support"},
    {LawCode::kBeta, {-0.1, 0.5}, {0.0, 0.0}, 0.0, "first value below 0"},
    {LawCode::kBeta, {0.5, 1.2}, {0.0, 0.0}, 0.0, "last value above 1"},
    {LawCode::kWeibull,
     {0.8, 1.3, 2.1, 2.9, 4.4},
     {6.3620651914195463, 1.9314749240210756},
     1e-6,
     "R: uniroot of the Weibull score equation, theta = mean(x^k); optim agrees to 1e-6"},
    {LawCode::kPareto,
     {1.5, 2.0, 3.0, 5.0, 9.0},
     {1.201757885507571, 0.75442061689685291},
     1e-14,
     "R: alpha = 1/(mean(log x) - log(min x)) = 1.2573676948280883, corrected"},
};

TEST(EstimateParameters, SmallSeriesAgainstReferences) {
    for (const Case& c : kEstimates)
        expect_close(estimate(c.code, c.values), c.expected, c.relative, c.source);
}

// Series a law cannot take, or a formula cannot use, give the law's count of zeros.
const std::vector<Case> kFailures = {
    {LawCode::kExponential, {0.0, 1.0, 2.0}, {0.0}, 0.0, "a zero value"},
    {LawCode::kGamma, {0.0, 1.0}, {0.0, 0.0}, 0.0, "a zero value"},
    {LawCode::kLognormal, {-1.0, 2.0}, {0.0, 0.0}, 0.0, "a negative value"},
    {LawCode::kWeibull, {0.0, 3.0}, {0.0, 0.0}, 0.0, "a zero value"},
    {LawCode::kPareto, {0.0, 1.0}, {0.0, 0.0}, 0.0, "a zero value"},
    {LawCode::kExponential, {1.0, std::nan(""), 2.0}, {0.0}, 0.0, "NaN counts as not positive"},
    {LawCode::kUniform, {5.0}, {0.0, 0.0}, 0.0, "n = 1 divides by n - 1"},
    {LawCode::kNormal, {5.0}, {0.0, 0.0}, 0.0, "n = 1 divides by n - 1"},
    {LawCode::kStudent, {5.0}, {0.0}, 0.0, "n = 1 divides by n - 1"},
    {LawCode::kPareto, {5.0}, {0.0, 0.0}, 0.0, "n = 1 divides by n - 1"},
    {LawCode::kGamma, {5.0}, {0.0, 0.0}, 0.0, "n = 1 is a constant series"},
    {LawCode::kWeibull, {5.0}, {0.0, 0.0}, 0.0, "n = 1 is a constant series"},
    {LawCode::kExponential, {}, {0.0}, 0.0, "no values"},
    {LawCode::kWeibull, {}, {0.0, 0.0}, 0.0, "no values"},
    {LawCode::kGamma, {2.0, 2.0, 2.0}, {0.0, 0.0}, 0.0, "constant: M = 0"},
    {LawCode::kGamma, {0.1, 0.1, 0.1}, {0.0, 0.0}, 0.0, "constant whose M rounds away from 0"},
    {LawCode::kWeibull, {3.0, 3.0, 3.0}, {0.0, 0.0}, 0.0, "constant: every z is 0"},
    {LawCode::kBeta, {0.4, 0.4}, {0.0, 0.0}, 0.0, "constant: s^2 = 0"},
    {LawCode::kPareto, {2.0, 2.0, 2.0}, {0.0, 0.0}, 0.0, "constant: no log-excess"},
    {LawCode::kNormal, {2.0, 2.0, 2.0}, {2.0, 0.0}, 0.0, "constant: defined, deviation 0"},
};

TEST(EstimateParameters, OrderlyFailures) {
    for (const Case& c : kFailures)
        expect_close(estimate(c.code, c.values), c.expected, 0.0, c.source);
}

TEST(EstimateParameters, OtherCodesAppendNothing) {
    for (const LawCode code :
         {LawCode::kGpd, LawCode::kStudentApprox, LawCode::kImport, LawCode::kUnknown,
          static_cast<LawCode>(-1), static_cast<LawCode>(99)})
        EXPECT_TRUE(estimate(code, {1.0, 2.0, 3.0}).empty()) << code;
}

TEST(EstimateParameters, CallersSeriesIsUnchanged) {
    const std::vector<double> values = {-0.5, 0.0, 0.25, 0.75, 3.0};
    for (int number = 0; number <= law_code_number(LawCode::kGpd); ++number) {
        const LawCode code = law_code_of_number(number);
        for (const std::vector<double>& v : {values, std::vector<double>{0.5, 1.5, 2.5}}) {
            const Series series = series_of(v);
            ValueList estimates;
            if (code == LawCode::kGpd)
                estimate_gpd_parameters(series, size_of(series), estimates);
            else
                estimate_parameters(series, code, size_of(series), estimates);
            EXPECT_EQ(series, v) << code;
        }
    }
}

TEST(GreenwoodDurand, RangeBoundariesAndAccuracy) {
    struct Row {
        double m;
        double formula;     // R, the four-decimal formula of the range M belongs to
        double likelihood;  // R: uniroot of log(a) - digamma(a) = M
    };
    const std::vector<Row> rows = {
        {0.13889569287471248, 3.7577876883641235, 3.7583651431440956},
        {0.5772, 0.99982443642411623,
         1.0000242897941618},  // first formula; the second gives 1.00011
        {2.0761512820509807, 0.32744583611796052, 0.32742684236741976},
        {17.0, 0.051347885939888809, 0.051352448432059029},  // second formula still
    };
    for (const Row& row : rows) {
        double shape = 0.0;
        ASSERT_TRUE(greenwood_durand_shape(row.m, shape)) << row.m;
        EXPECT_NEAR(shape, row.formula, 1e-14 * row.formula) << row.m;
        EXPECT_NEAR(shape, row.likelihood, 5e-4 * row.likelihood) << row.m;
    }
    for (const double m : {0.0, -1e-17, -1.0, 17.000001, 31.0, std::nan("")}) {
        double shape = -1.0;
        EXPECT_FALSE(greenwood_durand_shape(m, shape)) << m;
    }
}

TEST(RoundToNearestInteger, HalfRoundsDownAndHugeValuesAreHeld) {
    const double big = static_cast<double>(INT_MAX);
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::pair<double, double>> rows = {
        {3.5, 3.0},         {3.51, 4.0}, {3.0, 3.0},   {3.49, 3.0},
        {-0.5, -1.0},       {inf, big},  {1e300, big}, {-1e300, static_cast<double>(INT_MIN)},
        {std::nan(""), 0.0}};
    for (const auto& [value, expected] : rows)
        EXPECT_EQ(round_to_nearest_integer(value), expected) << value;
}

TEST(StudentTable, MeanAbsoluteValues) {
    const Sample table = student_mean_absolute_table();
    ASSERT_EQ(table.size(), 199);
    // R 4: sqrt(nu/pi) * gamma((nu - 1)/2) / gamma(nu/2)
    const std::vector<std::pair<int, double>> rows = {
        {2, 1.4142135623730951}, {3, 1.102657790843584},     {4, 1.0},
        {5, 0.9490167245562362}, {199, 0.80090748758327002}, {200, 0.80089229380887184}};
    for (const auto& [nu, expected] : rows) {
        EXPECT_EQ(table.x_at(nu - 1), static_cast<double>(nu));
        EXPECT_NEAR(table.y_at(nu - 1), expected, 1e-13) << nu;
    }
    for (int i = 2; i <= table.size(); ++i) EXPECT_LT(table.y_at(i), table.y_at(i - 1)) << i;
}

// Port Pirie annual maximum sea levels 1923-1987 (m): Coles (2001), R package evd.
const std::vector<double> kPortPirie = {
    3.57, 3.62, 3.63, 3.65, 3.66, 3.66, 3.71, 3.71, 3.72, 3.73, 3.74, 3.75, 3.75,
    3.78, 3.79, 3.8,  3.83, 3.85, 3.85, 3.85, 3.85, 3.86, 3.86, 3.88, 3.88, 3.88,
    3.89, 3.9,  3.9,  3.91, 3.93, 3.94, 3.96, 3.96, 3.96, 3.96, 3.97, 3.98, 4,
    4.01, 4.01, 4.03, 4.05, 4.06, 4.06, 4.08, 4.08, 4.11, 4.11, 4.11, 4.18, 4.18,
    4.21, 4.21, 4.22, 4.24, 4.24, 4.25, 4.33, 4.33, 4.36, 4.37, 4.55, 4.55, 4.69};

// The fixed point falls into a cycle 1/k = 0.033, 0.119 on this series; the estimate must be
// the maximum-likelihood one all the same.
TEST(WeibullEstimate, CyclingFixedPointEndsAtTheLikelihoodRoot) {
    const std::vector<double> got = estimate(LawCode::kWeibull, kPortPirie);
    ASSERT_EQ(got.size(), 2u);
    // R 4: uniroot(sum(x^k log x)/sum(x^k) - 1/k - mean(log x), tol = 1e-15); theta = mean(x^k)
    const double k = 15.4922118336525;
    const double theta = 3095097544.44574;
    EXPECT_NEAR(1.0 / got[1], 1.0 / k, 1e-7);  // the tolerance of the search, on 1/k
    EXPECT_NEAR(got[0], theta, 1e-4 * theta);
    // SciPy 1.10 weibull_min.fit(floc = 0): c = 15.49217, scale^c = 3.0949e9;
    // R optim (BFGS) on the log-likelihood: k = 15.49235, scale^k = 3.0958e9.
    EXPECT_NEAR(got[1], 15.49217, 2e-4);
    EXPECT_NEAR(got[0], 3.0949e9, 1e-3 * 3.0949e9);
}

TEST(GpdEstimate, ProbabilityWeightedMoments) {
    struct Row {
        std::vector<double> values;
        std::vector<double> expected;
        const char* source;
    };
    const std::vector<Row> rows = {
        // by hand: a0 = 15/8, a1 = 65/128, xi = -(a0/(a0 - 2 a1) - 2) = -2/11,
        // sigma = 2 a0 a1/(a0 - 2 a1) = 195/88; R gives the same.
        {{0.5, 1.0, 2.0, 4.0}, {-2.0 / 11.0, 195.0 / 88.0}, "by hand"},
        {{3.0}, {0.0, 0.0}, "one value"},
        {{}, {0.0, 0.0}, "no values"},
        {{0.0, 0.0, 0.0}, {0.0, 0.0}, "a0 = 2 a1 = 0"},
    };
    for (const Row& row : rows) {
        const Series series = series_of(row.values);
        ValueList estimates;
        estimate_gpd_parameters(series, size_of(series), estimates);
        expect_close(values_of(estimates), row.expected, 1e-14, row.source);
    }
}

}  // namespace
}  // namespace evstat
