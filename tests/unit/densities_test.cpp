#include "laws/densities.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <vector>

#include "laws/distributions.h"
#include "unit/law_parameters.h"
#include "unit/law_reference_values.h"

namespace evstat {
namespace {

// Large shapes of code 14 go through a sum of ~100 logarithms: a few more ulps lost.
TEST(Density, MatchesReferenceForEveryLaw) {
    for (const reference::LawValueRow& r : reference::law_values()) {
        const double got = density(r.code, law_parameters(r.parameters), r.x);
        EXPECT_NEAR(got, r.density, 1e-12 * std::fabs(r.density))
            << "law " << r.code << " at " << r.x;
    }
}

TEST(Density, StatedValuesAtSupportEnds) {
    struct Row {
        LawCode code;
        std::vector<double> parameters;
        double x, expected;
    };
    const std::vector<Row> rows = {
        {LawCode::kUniform, {0, 2}, 0.0, 0.5},
        {LawCode::kUniform, {0, 2}, 2.0, 0.5},
        {LawCode::kUniform, {0, 2}, 2.0001, 0.0},
        {LawCode::kExponential, {2}, 0.0, 0.0},
        {LawCode::kExponential, {2}, 1.0, 0.5 * std::exp(-0.5)},
        {LawCode::kGpd, {0.5, 1}, 0.0, 0.0},
        {LawCode::kGpd, {0.5, 1}, 1.0, std::pow(1.5, -3.0)},
        {LawCode::kGpd, {-0.5, 1}, 0.0, 1.0},
        {LawCode::kGpd, {-0.5, 1}, 2.0, 0.0},
        {LawCode::kGpd, {0.0, 1}, 0.0, 0.0},
        {LawCode::kBeta, {2, 2}, 0.0, 0.0},
        {LawCode::kBeta, {2, 2}, 1.0, 0.0},
        {LawCode::kBeta, {2, 2}, 0.5, 1.5},
        {LawCode::kBetaPrime, {1, 1, 1}, 0.0, 1.0},
        {LawCode::kBetaPrime, {1, 1, 1}, 1.0, 0.25},
        {LawCode::kStudent, {1}, 0.0, 1.0 / 3.14159265358979},
        {LawCode::kStudent, {1.9}, 0.0, 1.0 / 3.14159265358979},  // degrees of freedom truncated
        {LawCode::kPareto, {2, 3}, 1.999, 0.0},
        {LawCode::kGamma, {2, 1}, 0.0, 0.0},
        // Outside the support of the transformed laws (implementer's choice: 0).
        {LawCode::kStudentApproxLog, {1, 2.5, 3}, 0.0, 0.0},
        {LawCode::kStudentApproxLog, {1, 2.5, 3}, -1.0, 0.0},
        {LawCode::kBetaPrime, {2, 3, 1.5}, -0.5, 0.0},
        {LawCode::kGpdPower, {0.5, 1, 0.2}, -1.0, 0.0},
        {LawCode::kGpdPower,
         {0.5, 1, 0.2},
         0.0,
         0.0},  // GPD density 0 at the origin, pow(0, -0.5) infinite
        // Codes without a density.
        {LawCode::kImport, {1, 1}, 1.0, 0.0},
        {LawCode::kUnknown, {1, 1}, 1.0, 0.0},
        {static_cast<LawCode>(99), {1, 1}, 1.0, 0.0},
    };
    for (const Row& r : rows)
        EXPECT_NEAR(density(r.code, law_parameters(r.parameters), r.x), r.expected, 1e-15)
            << "law " << r.code << " at " << r.x;
}

// Trapezoid rule over a grid clustered (cubically) at `from`, towards `to`: fine where densities
// are steep or cut off (the support's start, the centre), coarse in long tails.
double clustered_trapezoid(LawCode code, const ValueList& parameters, double from, double to) {
    constexpr int kIntervals = 20000;
    double sum = 0.0;
    double x_previous = from;
    double f_previous = density(code, parameters, from);
    for (int i = 1; i <= kIntervals; ++i) {
        const double u = static_cast<double>(i) / kIntervals;
        const double x = from + (to - from) * u * u * u;
        const double f = density(code, parameters, x);
        sum += (x - x_previous) * (f + f_previous) / 2.0;
        x_previous = x;
        f_previous = f;
    }
    return sum;
}

// Each density integrates to 1 over a range holding all but a negligible part of the law, and to
// the difference of the distribution function at its ends.
TEST(Density, IntegratesToOneAndToTheDistributionFunction) {
    struct Row {
        LawCode code;
        std::vector<double> parameters;
        double centre, lower, upper;
    };
    const std::vector<Row> rows = {
        {LawCode::kUniform, {1, 3}, 1, 1, 3},
        {LawCode::kExponential, {2}, 0, 0, 60},
        {LawCode::kGamma, {2.5, 1.5}, 0, 0, 80},
        {LawCode::kChiSquare, {5}, 0, 0, 100},
        {LawCode::kChiSquare, {4}, 0, 0, 100},
        {LawCode::kNormal, {1, 2}, 1, -19, 21},
        {LawCode::kStudent, {5}, 0, -300, 300},
        {LawCode::kStudent, {6}, 0, -300, 300},
        {LawCode::kBeta, {2, 3.5}, 0, 0, 1},
        {LawCode::kWeibull, {2, 1.5}, 0, 0, 40},
        {LawCode::kLognormal, {0.5, 0.8}, 0, 0, 200},
        {LawCode::kPareto, {2, 3}, 2, 2, 20000},
        {LawCode::kGpd, {0.3, 2}, 0, 0, 1e6},
        {LawCode::kGpd, {-0.4, 2}, 0, 0, 5},
        {LawCode::kStudentApprox, {1, 2.5, 3}, 1, -100, 100},
        {LawCode::kStudentApprox, {1, 200, 200}, 1, -100, 100},  // Gamma(200) overflows
        {LawCode::kGpdPower, {2, 1.5, 0.2}, 0, 0, 60},
        {LawCode::kBetaPrime, {2, 3, 1.5}, 0, 0, 1e5},
    };
    for (const Row& r : rows) {
        const ValueList parameters = law_parameters(r.parameters);
        const double mass = clustered_trapezoid(r.code, parameters, r.centre, r.upper) -
                            clustered_trapezoid(r.code, parameters, r.centre, r.lower);
        const double spread =
            distribution(r.code, parameters, r.upper) - distribution(r.code, parameters, r.lower);
        EXPECT_NEAR(mass, 1.0, 3e-5) << "law " << r.code;
        EXPECT_NEAR(mass, spread, 3e-5) << "law " << r.code;
    }
}

// ln Gamma of the code-14 constant lowers its argument by 1 up to 1e7 times; beyond, NaN at once.
TEST(Density, BetaPrimeConstantEndsForHugeShapes) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NEAR(density(LawCode::kBetaPrime, law_parameters({100, 150, 2}), 1.0),
                0.2722865880181149, 1e-12);
    EXPECT_TRUE(std::isnan(density(LawCode::kBetaPrime, law_parameters({1e300, 2, 1}), 1.0)));
    EXPECT_TRUE(
        std::isnan(density(LawCode::kBetaPrime,
                           law_parameters({2, std::numeric_limits<double>::infinity(), 1}), 1.0)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

}  // namespace
}  // namespace evstat
