#include "laws/romberg.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "laws/distributions.h"
#include "unit/law_parameters.h"

namespace evstat {
namespace {

// A test integrand counting its evaluations.
struct CountedLine {
    double slope, intercept;
    mutable long evaluations = 0;
    double operator()(double x) const {
        ++evaluations;
        return slope * x + intercept;
    }
};

struct AlwaysNaN {
    double operator()(double) const { return std::numeric_limits<double>::quiet_NaN(); }
};

// Stages 1..5 evaluate 2 + 1 + 2 + 4 + 8 points.
constexpr long kEvaluationsToStage5 = 17;

TEST(Romberg, StraightLineIsExactAtTheFirstExtrapolation) {
    const CountedLine line{3.0, 2.0};
    EXPECT_NEAR(romberg_integrate(line, 1.0, 4.0), 28.5, 1e-13);  // 1.5 (16 - 1) + 2 * 3
    EXPECT_EQ(line.evaluations, kEvaluationsToStage5);
}

TEST(Romberg, EmptyIntervalGivesZeroAtStage5) {
    const CountedLine line{3.0, 2.0};
    EXPECT_EQ(romberg_integrate(line, 2.5, 2.5), 0.0);
    EXPECT_EQ(line.evaluations, kEvaluationsToStage5);
}

TEST(Romberg, NoConvergenceIn19StagesGivesZero) {
    EXPECT_EQ(romberg_integrate(AlwaysNaN{}, 0.0, 1.0), 0.0);
}

TEST(Romberg, TrapezoidStagesRefineTheRunningSum) {
    const CountedLine line{1.0, 0.0};
    TrapezoidRun run;
    EXPECT_EQ(trapezoid_stage(line, 0.0, 2.0, 1, run), 2.0);
    EXPECT_EQ(trapezoid_stage(line, 0.0, 2.0, 2, run), 2.0);
    EXPECT_EQ(trapezoid_stage(line, 0.0, 2.0, 3, run), 2.0);
    EXPECT_EQ(line.evaluations, 2 + 1 + 2);
    EXPECT_EQ(run.sum, 2.0);
    EXPECT_TRUE(std::isnan(trapezoid_stage(line, 0.0, 2.0, 0, run)));
    EXPECT_TRUE(std::isnan(trapezoid_stage(line, 0.0, 2.0, 64, run)));  // 2^62 points
}

// Integrating the code-11 distribution function runs a Romberg integration of the density inside
// every evaluation; the outer run keeps its own sum. For a law symmetric about 0, F(x) + F(-x) = 1
// (up to F(-100) and the inner integrations' tolerance), so the integral over [-1, 1] is 1.
TEST(Romberg, NestedRunOfTheSameFamilyKeepsTheOuterSum) {
    const ValueList symmetric = law_parameters({0.0, 2.5, 3.0});
    const LawIntegrand f{LawCode::kStudentApprox, symmetric, LawIntegrandMode::Distribution};
    EXPECT_NEAR(romberg_integrate(f, -1.0, 1.0), 1.0, 5e-4);
}

// A polynomial of degree 4 through 5 points is reproduced exactly, so its value at 0 is found.
TEST(Romberg, NevilleReproducesAPolynomialOfDegreeKMinus1) {
    const std::array<double, 5> h = {1.0, 0.25, 0.0625, 0.015625, 0.00390625};
    std::array<double, 5> s{};
    for (int i = 0; i < 5; ++i) s[i] = 2.0 + 3.0 * h[i] - h[i] * h[i] + 0.5 * std::pow(h[i], 4);
    double value = 0.0, error = 0.0;
    neville_extrapolate(h, s, 0.0, value, error);
    EXPECT_NEAR(value, 2.0, 1e-14);
    EXPECT_LT(std::fabs(error), 1e-3);
    const std::array<double, 2> same = {1.0, 1.0};
    neville_extrapolate(same, same, 0.0, value, error);
    EXPECT_TRUE(std::isnan(value));
}

// Code 11 with alpha = 0.5 is a Cauchy law (t with 1 degree of freedom, location -2, scale 2).
// Reference: SciPy 1.10.1, t(1, loc=-2, scale=2).cdf(x) - cdf(-100); Romberg tolerance 1e-6
// relative.
TEST(Romberg, Code11DistributionIsTheIntegralOfItsDensity) {
    const ValueList cauchy = law_parameters({-2.0, 0.5, 2.0});
    const std::array<std::array<double, 2>, 3> rows = {
        {{-2.0, 0.49350478151162547}, {0.0, 0.7435047815116257}, {5.0, 0.9049192487287208}}};
    for (const auto& r : rows)
        EXPECT_NEAR(distribution(LawCode::kStudentApprox, cauchy, r[0]), r[1], 2e-6) << r[0];
}

}  // namespace
}  // namespace evstat
