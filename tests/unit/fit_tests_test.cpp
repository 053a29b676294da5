// The tests of fit with critical values through their entry points: table decisions
// against independently computed statistics, refusals, the gamma column, the Pareto
// series, and the parametric resampling from a fixed seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "estimation/estimate.h"
#include "fittests/fit_scheme.h"
#include "fittests/fit_test.h"
#include "laws/distributions.h"
#include "laws/evaluate.h"
#include "laws/random_values.h"
#include "laws/generator.h"
#include "laws/validity.h"
#include "unit/law_parameters.h"

namespace evstat {
namespace {

using enum FitStatistic;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const std::vector<double> kLevels = {0.25, 0.1, 0.05, 0.025, 0.01};

struct Outcome {
    int accepted = 7;  // anything but what a test leaves, so that every output is checked
    double statistic = 7.0;
    double criticalValue = 7.0;
};

Series series(const std::vector<double>& values) { return values; }

// Three threads: the resampled critical values are those of one.
WorkerPool& pool() {
    static WorkerPool threads(3);
    return threads;
}

ValueList list(const std::vector<double>& values) {
    ValueList parameters;
    for (double v : values) parameters.push_back(v);
    return parameters;
}

Outcome run_test(Generator& generator, FitStatistic kind, std::span<const double> data, LawCode code,
                 const ValueList& parameters, double level) {
    Outcome o;
    if (kind == AndersonDarling)
        anderson_darling_test(generator, pool(), data, code, parameters, level, o.accepted, o.statistic,
                              o.criticalValue);
    else
        cramer_von_mises_test(generator, pool(), data, code, parameters, level, o.accepted, o.statistic,
                              o.criticalValue);
    return o;
}

Outcome run_test(Generator& generator, FitStatistic kind, const std::vector<double>& data,
                 LawCode code, const std::vector<double>& parameters, double level) {
    return run_test(generator, kind, series(data), code, list(parameters), level);
}

// The tests that draw nothing, or whose draws are not looked at, with a generator of their own.
Outcome run_test(FitStatistic kind, std::span<const double> data, LawCode code, const ValueList& parameters,
                 double level) {
    Generator generator;
    return run_test(generator, kind, data, code, parameters, level);
}
Outcome run_test(FitStatistic kind, const std::vector<double>& data, LawCode code,
                 const std::vector<double>& parameters, double level) {
    Generator generator;
    return run_test(generator, kind, data, code, parameters, level);
}

void expect_refused(const Outcome& o, const char* what) {
    EXPECT_EQ(o.accepted, 0) << what;
    EXPECT_EQ(o.statistic, 0.0) << what;
    EXPECT_EQ(o.criticalValue, 0.0) << what;
}

const std::vector<double> kSeries = {0.3, 0.8, 1.1, 1.7, 2.4, 3.9};

struct TableCase {
    FitStatistic kind;
    LawCode code;
    std::vector<double> parameters;
    std::vector<double> data;
    double level;
    double statistic;
    double tolerance;
    double criticalValue;
    int accepted;
};

// Statistics: SciPy 1.10, goodness_of_fit(uniform, known loc 0 scale 1, statistic='ad')
// over the law's probabilities, and cramervonmises(data, law.cdf), times the modification
// for n = 6 (exponential 1 + 0.6/6 and 1 + 0.16/6; Weibull 1 + 0.2/sqrt(6); normal and
// lognormal 1 + 0.75/6 + 2.25/36 and 1 + 0.5/6). SciPy's laws: expon(0, theta);
// weibull_min(b, scale = a^(1/b)); gamma(a, scale = b); norm; lognorm(sigma, scale = e^mu).
// The Pareto series 1, 2, 4 gives the probabilities 1 - exp(-1/3), 1 - exp(-1),
// 1 - exp(-5/3) (A^2 times 1 + 5.4/3 - 11/9, W^2 times 1 + 2.8/3 - 3/9). The normal law's
// approximation adds 7.5e-8 and the lognormal one uses the engine's error function, hence
// the wider tolerances.
TEST(FitTests, TableLawsAgainstReferenceStatistics) {
    const std::vector<TableCase> cases = {
        {AndersonDarling,
         LawCode::kExponential,
         {1.5},
         kSeries,
         0.05,
         0.44533774514134150,
         1e-12,
         1.321,
         1},
        {AndersonDarling,
         LawCode::kExponential,
         {0.3},
         kSeries,
         0.01,
         16.652440398842817,
         1e-10,
         1.959,
         0},
        {CramerVonMises,
         LawCode::kExponential,
         {1.5},
         kSeries,
         0.1,
         0.074069143188494196,
         1e-13,
         0.175,
         1},
        {CramerVonMises,
         LawCode::kExponential,
         {0.3},
         kSeries,
         0.25,
         1.3647327794991211,
         1e-12,
         0.116,
         0},
        {AndersonDarling,
         LawCode::kWeibull,
         {2.0, 1.5},
         kSeries,
         0.025,
         0.35417640163531572,
         1e-12,
         0.877,
         1},
        {CramerVonMises,
         LawCode::kWeibull,
         {2.0, 1.5},
         kSeries,
         0.05,
         0.040200752314689218,
         1e-13,
         0.124,
         1},
        {AndersonDarling,
         LawCode::kGamma,
         {2.0, 0.8},
         kSeries,
         0.05,
         0.18030663923009538,
         1e-10,
         0.768,
         1},
        {CramerVonMises,
         LawCode::kGamma,
         {2.0, 0.8},
         kSeries,
         0.01,
         0.021143561160086605,
         1e-10,
         0.187,
         1},
        {AndersonDarling,
         LawCode::kNormal,
         {1.5, 1.2},
         kSeries,
         0.1,
         0.33318457112890415,
         2e-5,
         0.631,
         1},
        {CramerVonMises,
         LawCode::kNormal,
         {1.5, 1.2},
         kSeries,
         0.05,
         0.029459427414500028,
         2e-6,
         0.126,
         1},
        {AndersonDarling,
         LawCode::kLognormal,
         {0.2, 0.8},
         kSeries,
         0.25,
         0.24908099685263246,
         2e-5,
         0.47,
         1},
        {CramerVonMises,
         LawCode::kLognormal,
         {0.2, 0.8},
         kSeries,
         0.025,
         0.030032189942331068,
         2e-6,
         0.148,
         1},
        {AndersonDarling,
         LawCode::kPareto,
         {1.0, 1.0},
         {1.0, 2.0, 4.0},
         0.05,
         0.53469922269274406,
         1e-14,
         1.321,
         1},
        {CramerVonMises,
         LawCode::kPareto,
         {1.0, 1.0},
         {1.0, 2.0, 4.0},
         0.05,
         0.094991310735219339,
         1e-15,
         0.222,
         1},
    };
    for (const TableCase& c : cases) {
        const Outcome o = run_test(c.kind, c.data, c.code, c.parameters, c.level);
        EXPECT_NEAR(o.statistic, c.statistic, c.tolerance) << "law " << c.code;
        EXPECT_EQ(o.criticalValue, c.criticalValue) << "law " << c.code;
        EXPECT_EQ(o.accepted, c.accepted) << "law " << c.code;
    }
}

TEST(FitTests, LevelOutsideTheTablesReportsTheStatisticOnly) {
    for (FitStatistic kind : {AndersonDarling, CramerVonMises}) {
        const Outcome tabulated = run_test(kind, kSeries, LawCode::kNormal, {1.5, 1.2}, 0.1);
        const Outcome o = run_test(kind, kSeries, LawCode::kNormal, {1.5, 1.2}, 0.2);
        EXPECT_EQ(o.statistic, tabulated.statistic);
        EXPECT_EQ(o.criticalValue, 0.0);
        EXPECT_EQ(o.accepted, 0);
        const Outcome pareto = run_test(kind, {1.0, 2.0, 4.0}, LawCode::kPareto, {}, kNaN);
        EXPECT_GT(pareto.statistic, 0.0);
        EXPECT_EQ(pareto.criticalValue, 0.0);
        EXPECT_EQ(pareto.accepted, 0);
    }
}

TEST(FitTests, UniformWithoutGuardRejectsAProbabilityOfOne) {
    const Outcome o =
        run_test(AndersonDarling, {0.2, 0.5, 0.9, 1.4, 2.0}, LawCode::kUniform, {0.0, 2.0}, 0.25);
    EXPECT_EQ(o.statistic, kInf);
    EXPECT_EQ(o.criticalValue, 1.248);
    EXPECT_EQ(o.accepted, 0);
}

TEST(FitTests, CramerVonMisesUniformAtThePlottingPositions) {
    // Ten observations whose probabilities are exactly (2i - 1)/20: W^2 = 1/120 and the
    // modified value (1/120 - 0.04 + 0.006) * 1.1 = -0.0282333... (R).
    std::vector<double> data;
    for (int i = 1; i <= 10; ++i) data.push_back((2.0 * i - 1.0) / 20.0);
    for (double level : kLevels) {
        const Outcome o = run_test(CramerVonMises, data, LawCode::kUniform, {0.0, 1.0}, level);
        EXPECT_NEAR(o.statistic, -0.028233333333333339, 1e-16);
        EXPECT_EQ(o.accepted, 1) << level;
    }
}

// Exact equality needs a statistic that lands on the table's double: the uniform law on
// (0, 1) gives F = x exactly, a bisection brings the statistic next to the target, and a
// scan of neighbouring doubles finds one that gives it exactly (NaN when none does).
template <typename Statistic>
double bisect_towards(Statistic statistic, double target, double lo, double hi) {
    const bool loAbove = statistic(lo) > target;
    for (int step = 0; step < 200 && std::nextafter(lo, hi) != hi; ++step) {
        const double mid = 0.5 * (lo + hi);
        ((statistic(mid) > target) == loAbove ? lo : hi) = mid;
    }
    return lo;
}

template <typename Statistic>
double double_giving(Statistic statistic, double target, double around, int halfWidth) {
    double x = around;
    for (int k = 0; k < halfWidth; ++k) x = std::nextafter(x, 0.0);
    for (int k = 0; k < 2 * halfWidth; ++k, x = std::nextafter(x, 1.0))
        if (statistic(x) == target) return x;
    return kNaN;
}

TEST(FitTests, EqualityWithATableValueIsAccepted) {
    const ValueList unit = list({0.0, 1.0});
    // A^2 = -n - S/n lands on a coarse grid: with n = 2 and the second value near 0.76,
    // where S hardly moves, every double of S near the target is reached. T0 at 0.05: 2.492.
    auto ad = [&](double u1, double u2, double level) {
        return run_test(AndersonDarling, series({u1, u2}), LawCode::kUniform, unit, level);
    };
    const double u1 =
        bisect_towards([&](double u) { return ad(u, 0.76, 0.05).statistic; }, 2.492, 1e-9, 0.25);
    const double u2 =
        double_giving([&](double u) { return ad(u1, u, 0.05).statistic; }, 2.492, 0.76, 4096);
    ASSERT_FALSE(std::isnan(u2)) << "no double gives the table value exactly";
    const Outcome a = ad(u1, u2, 0.05);
    EXPECT_EQ(a.statistic, 2.492);
    EXPECT_EQ(a.criticalValue, 2.492);
    EXPECT_EQ(a.accepted, 1);

    // W^2 modified for the uniform law, five values, the largest moved; 0.25 column: 0.209.
    auto cvm = [&](double x) {
        return run_test(CramerVonMises, series({0.05, 0.15, 0.25, 0.35, x}), LawCode::kUniform,
                        unit, 0.25);
    };
    const double near =
        bisect_towards([&](double x) { return cvm(x).statistic; }, 0.209, 0.36, 0.9);
    const double x = double_giving([&](double v) { return cvm(v).statistic; }, 0.209, near, 64);
    ASSERT_FALSE(std::isnan(x)) << "no double gives the table value exactly";
    const Outcome c = cvm(x);
    EXPECT_EQ(c.statistic, 0.209);
    EXPECT_EQ(c.criticalValue, 0.209);
    EXPECT_EQ(c.accepted, 1);
}

TEST(FitTests, GammaColumnFollowsTheShapeWhateverTheUnits) {
    struct {
        double shape;
        double andersonDarling;  // 0.05 column of the tabulated shape 6, 8, 20, 25
        double cramerVonMises;
    } const rows[] = {
        {7.0, 0.757, 0.128}, {9.0, 0.755, 0.127}, {24.9, 0.753, 0.126}, {25.0, 0.752, 0.126}};
    std::vector<double> millimetres;
    for (double v : kSeries) millimetres.push_back(v * 1000.0);
    for (const auto& row : rows) {
        const double scale = 1.7 / row.shape;  // metres
        for (FitStatistic kind : {AndersonDarling, CramerVonMises}) {
            const double expected =
                kind == AndersonDarling ? row.andersonDarling : row.cramerVonMises;
            const Outcome m = run_test(kind, kSeries, LawCode::kGamma, {row.shape, scale}, 0.05);
            const Outcome mm =
                run_test(kind, millimetres, LawCode::kGamma, {row.shape, scale * 1000.0}, 0.05);
            EXPECT_EQ(m.criticalValue, expected) << row.shape;
            EXPECT_EQ(mm.criticalValue, expected) << row.shape;
            EXPECT_EQ(mm.accepted, m.accepted) << row.shape;
            EXPECT_NEAR(mm.statistic, m.statistic, 1e-9 * m.statistic) << row.shape;
        }
    }
}

TEST(FitTests, ParetoSeriesIgnoresTheGivenParameters) {
    const std::vector<double> data = {1.2, 1.5, 2.0, 3.1, 4.8, 9.5};
    for (FitStatistic kind : {AndersonDarling, CramerVonMises}) {
        const Outcome reference = run_test(kind, data, LawCode::kPareto, {1.0, 2.0}, 0.05);
        EXPECT_GT(reference.criticalValue, 0.0);
        for (const std::vector<double>& parameters :
             {std::vector<double>{5.0, 0.1}, std::vector<double>{}, std::vector<double>{kNaN, -3.0},
              std::vector<double>{-1.0, kInf}}) {
            const Outcome o = run_test(kind, data, LawCode::kPareto, parameters, 0.05);
            EXPECT_EQ(o.statistic, reference.statistic);
            EXPECT_EQ(o.criticalValue, reference.criticalValue);
            EXPECT_EQ(o.accepted, reference.accepted);
        }
    }
}

struct RefusalCase {
    const char* what;
    LawCode code;
    std::vector<double> data;
    std::vector<double> parameters;
};

TEST(FitTests, RefusalsLeaveAllOutputsAtZeroAndDrawNothing) {
    const std::vector<RefusalCase> cases = {
        {"exponential, a zero in the series", LawCode::kExponential, {0.0, 1.0, 2.0}, {1.0}},
        {"exponential, negative mean (guard)", LawCode::kExponential, {0.5, 1.0, 2.0}, {-1.0}},
        {"gamma, shape 0", LawCode::kGamma, {0.5, 1.0, 2.0}, {0.0, 1.0}},
        {"gamma, negative shape", LawCode::kGamma, {0.5, 1.0, 2.0}, {-2.0, 1.0}},
        {"gamma, negative value", LawCode::kGamma, {-0.5, 1.0, 2.0}, {2.0, 1.0}},
        {"chi-square, 0 degrees of freedom", LawCode::kChiSquare, {0.5, 1.0, 2.0}, {0.0}},
        {"chi-square, negative value", LawCode::kChiSquare, {-0.5, 1.0, 2.0}, {2.0}},
        {"chi-square, huge degrees of freedom", LawCode::kChiSquare, {0.5, 1.0, 2.0}, {1e15}},
        {"Student, 0 degrees of freedom", LawCode::kStudent, {-0.5, 1.0, 2.0}, {0.0}},
        {"Student, missing parameter", LawCode::kStudent, {-0.5, 1.0, 2.0}, {}},
        {"beta, last value above 1", LawCode::kBeta, {0.2, 0.5, 1.0001}, {2.0, 2.0}},
        {"beta, a zero in the series", LawCode::kBeta, {0.0, 0.5, 0.7}, {2.0, 2.0}},
        {"beta, negative moment estimate", LawCode::kBeta, {0.2, 0.5, 0.7}, {-0.5, 2.0}},
        {"beta, missing second parameter", LawCode::kBeta, {0.2, 0.5, 0.7}, {2.0}},
        {"Weibull, a zero in the series", LawCode::kWeibull, {0.0, 1.0, 2.0}, {1.0, 1.0}},
        {"lognormal, negative value", LawCode::kLognormal, {-1.0, 1.0, 2.0}, {0.0, 1.0}},
        {"normal, missing parameters", LawCode::kNormal, {-1.0, 1.0, 2.0}, {}},
        {"normal, zero deviation (guard)", LawCode::kNormal, {-1.0, 1.0, 2.0}, {0.0, 0.0}},
        {"normal, one observation", LawCode::kNormal, {1.0}, {0.0, 1.0}},
        {"normal, no observation", LawCode::kNormal, {}, {0.0, 1.0}},
        {"uniform, infinite bound", LawCode::kUniform, {0.5, 1.0}, {0.0, kInf}},
        {"uniform, NaN bound", LawCode::kUniform, {0.5, 1.0}, {kNaN, 2.0}},
        {"uniform, NaN observation", LawCode::kUniform, {0.5, kNaN}, {0.0, 2.0}},
        {"Pareto, a zero in the series", LawCode::kPareto, {0.0, 1.0, 2.0}, {1.0, 1.0}},
        {"Pareto, constant series", LawCode::kPareto, {2.0, 2.0, 2.0}, {1.0, 1.0}},
        {"Pareto, one observation", LawCode::kPareto, {2.0}, {1.0, 1.0}},
        {"Pareto, infinite value", LawCode::kPareto, {1.0, 2.0, kInf}, {1.0, 1.0}},
        {"GPD, last value at the end point", LawCode::kGpd, {0.5, 1.0, 2.0}, {-0.5, 1.0}},
        {"GPD, a zero in the series", LawCode::kGpd, {0.0, 1.0, 2.0}, {0.2, 1.0}},
        {"GPD, negative scale", LawCode::kGpd, {0.5, 1.0, 2.0}, {0.2, -1.0}},
        {"GPD, no estimates", LawCode::kGpd, {0.5, 1.0, 2.0}, {}},
        {"code 11", LawCode::kStudentApprox, {0.5, 1.0}, {0.0, 1.0, 1.0}},
        {"code 14", LawCode::kBetaPrime, {0.5, 1.0}, {1.0, 1.0, 1.0}},
        {"Import", LawCode::kImport, {0.5, 1.0}, {}},
        {"unknown law", LawCode::kUnknown, {0.5, 1.0}, {}},
        {"negative code", static_cast<LawCode>(-1), {0.5, 1.0}, {}},
    };
    Generator generator(77);
    const int nextDraw = generator.next();
    for (const RefusalCase& c : cases)
        for (FitStatistic kind : {AndersonDarling, CramerVonMises}) {
            generator = Generator(77);
            expect_refused(run_test(generator, kind, c.data, c.code, c.parameters, 0.05), c.what);
            EXPECT_EQ(generator.next(), nextDraw) << c.what;
        }
}

TEST(FitTests, BoundaryValuesThatAreStillTested) {
    // Beta with the largest value exactly 1: the last probability is 1, A^2 infinite.
    Generator generator(3);
    const Outcome beta =
        run_test(generator, AndersonDarling, {0.2, 0.5, 1.0}, LawCode::kBeta, {2.0, 2.0}, 0.05);
    EXPECT_EQ(beta.statistic, kInf);
    EXPECT_GT(beta.criticalValue, 0.0);
    EXPECT_EQ(beta.accepted, 0);
    // GPD with a negative shape whose end point 2 lies beyond the last value.
    generator = Generator(3);
    const Outcome gpd =
        run_test(generator, CramerVonMises, {0.5, 1.0, 1.9}, LawCode::kGpd, {-0.5, 1.0}, 0.05);
    EXPECT_GT(gpd.statistic, 0.0);
    EXPECT_GT(gpd.criticalValue, 0.0);
}

TEST(FitTests, ExcessEntryPointBehavesAsTheFirst) {
    const Series data = series(kSeries);
    const ValueList parameters = list({1.5});
    Outcome first;
    Outcome second;
    Generator generator(9);
    anderson_darling_test(generator, pool(), data, LawCode::kExponential, parameters, 0.05, first.accepted,
                          first.statistic, first.criticalValue);
    generator = Generator(9);
    anderson_darling_excess_test(generator, pool(), data, LawCode::kExponential, parameters, 0.05,
                                 second.accepted, second.statistic, second.criticalValue);
    EXPECT_EQ(first.accepted, second.accepted);
    EXPECT_EQ(first.statistic, second.statistic);
    EXPECT_EQ(first.criticalValue, second.criticalValue);
}

struct ResamplingCase {
    FitStatistic kind;
    LawCode code;
    std::vector<double> parameters;
    std::vector<double> data;
};

// The 200 replicate statistics recomputed step by step from the same seed, sorted.
std::vector<double> replicate_statistics(const ResamplingCase& c, std::uint32_t seed) {
    Generator generator(seed);
    const int n = static_cast<int>(c.data.size());
    std::vector<double> statistics;
    for (int r = 0; r < kReplicates; ++r) {
        Series replicate;
        draw_random_values(generator, c.code, list(c.parameters), n, replicate);
        sort_ascending(replicate);
        ValueList estimates;
        if (c.code == LawCode::kGpd)
            estimate_gpd_parameters(replicate, n, estimates);
        else
            estimate_parameters(replicate, c.code, n, estimates);
        double statistic = kInf;
        if (parameters_drawable(c.code, estimates)) {
            Series probabilities;
            for (const double x : replicate)
                probabilities.push_back(distribution(c.code, estimates, x));
            statistic = fit_statistic(c.kind, probabilities);
        }
        statistics.push_back(std::isnan(statistic) ? kInf : statistic);
    }
    std::sort(statistics.begin(), statistics.end());
    return statistics;
}

TEST(Resampling, CriticalValueIsThe190thOf200FromAFixedSeed) {
    const std::vector<ResamplingCase> cases = {
        {AndersonDarling, LawCode::kStudent, {5.0}, {-1.2, -0.4, 0.1, 0.3, 0.9, 1.8, 2.5}},
        {CramerVonMises, LawCode::kGpd, {0.2, 1.0}, {0.1, 0.3, 0.5, 0.9, 1.4, 2.2, 3.5}},
        {AndersonDarling, LawCode::kBeta, {2.0, 3.0}, {0.1, 0.2, 0.3, 0.45, 0.6}},
        {CramerVonMises, LawCode::kChiSquare, {3.0}, {0.4, 1.1, 2.0, 2.6, 3.3, 5.1, 7.9}},
    };
    constexpr std::uint32_t kSeed = 2024;
    for (const ResamplingCase& c : cases) {
        const std::vector<double> sorted = replicate_statistics(c, kSeed);
        Generator generator(kSeed);
        const Outcome o = run_test(generator, c.kind, c.data, c.code, c.parameters, 0.05);
        generator = Generator(kSeed);
        const Outcome again = run_test(generator, c.kind, c.data, c.code, c.parameters, 0.05);
        EXPECT_EQ(o.criticalValue, sorted[189]) << "law " << c.code;
        EXPECT_EQ(again.criticalValue, o.criticalValue) << "law " << c.code;
        EXPECT_EQ(again.statistic, o.statistic) << "law " << c.code;
        EXPECT_EQ(o.accepted, o.statistic < o.criticalValue ? 1 : 0) << "law " << c.code;

        Series probabilities;
        probability_sample(series(c.data), c.code, list(c.parameters), probabilities);
        EXPECT_EQ(o.statistic, fit_statistic(c.kind, probabilities)) << "no modification";

        generator = Generator(kSeed);
        EXPECT_EQ(run_test(generator, c.kind, c.data, c.code, c.parameters, 0.2).criticalValue,
                  sorted[159])
            << "any level decides";
    }
}

TEST(Resampling, NaNLevelReportsTheStatisticAndDrawsNothing) {
    Generator generator(5);
    const int nextDraw = generator.next();
    generator = Generator(5);
    const Outcome o =
        run_test(generator, AndersonDarling, {-1.0, 0.2, 0.7}, LawCode::kStudent, {4.0}, kNaN);
    EXPECT_EQ(generator.next(), nextDraw);
    EXPECT_GT(o.statistic, 0.0);
    EXPECT_EQ(o.criticalValue, 0.0);
    EXPECT_EQ(o.accepted, 0);
}

TEST(Resampling, EqualityWithTheCriticalValueIsRejected) {
    // The data are the first replicate itself, drawn from a chi-square law whose refit
    // gives back the same degrees of freedom: its statistic is one of the 200, and the level
    // that puts it at the critical value's position must reject.
    const std::vector<double> nu = {3.0};
    constexpr int kN = 8;
    std::uint32_t seed = 1;
    Series data;
    Generator generator;
    for (; seed < 100; ++seed) {
        generator = Generator(seed);
        draw_random_values(generator, LawCode::kChiSquare, list(nu), kN, data);
        sort_ascending(data);
        ValueList estimates;
        estimate_parameters(data, LawCode::kChiSquare, kN, estimates);
        if (estimates.at(1) == nu[0]) break;
    }
    ASSERT_LT(seed, 100u);
    bool equalitySeen = false;
    for (int position = 1; position <= kReplicates && !equalitySeen; ++position) {
        const double level = (kReplicates - position + 0.5) / kReplicates;
        generator = Generator(seed);
        const Outcome o =
            run_test(generator, AndersonDarling, data, LawCode::kChiSquare, list(nu), level);
        if (o.criticalValue == o.statistic) {
            equalitySeen = true;
            EXPECT_EQ(o.accepted, 0);
        }
    }
    EXPECT_TRUE(equalitySeen);
}

TEST(Resampling, EndsWhenRefitsLeaveTheLawsDomain) {
    // A U-shaped beta law and three observations: the method of moments often gives a
    // negative parameter for a replicate, which then counts as the worst fit.
    Generator generator(11);
    const Outcome o =
        run_test(generator, AndersonDarling, {0.01, 0.5, 0.98}, LawCode::kBeta, {0.05, 0.05}, 0.05);
    EXPECT_FALSE(std::isnan(o.criticalValue));
    EXPECT_GT(o.criticalValue, 0.0);
}

}  // namespace
}  // namespace evstat
