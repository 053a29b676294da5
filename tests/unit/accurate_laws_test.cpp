#include "laws/accurate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "unit/accurate_reference_values.h"

namespace evstat {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// Below this the reference values are not compared relatively (subnormal range).
constexpr double kSmallest = 1e-300;
constexpr double kQuantileTolerance = 1e-10;

// What the routines promise: 1e-12 relative from closed forms, erfc and log1p/expm1; 1e-10 from the
// incomplete gamma and beta functions.
double value_tolerance(LawCode code) {
    switch (code) {
        case LawCode::kGamma:
        case LawCode::kChiSquare:
        case LawCode::kStudent:
        case LawCode::kBeta: return 1e-10;
        default: return 1e-12;
    }
}

void expect_relative(double actual, double expected, double tolerance, const char* what,
                     const reference::AccurateValueRow& r) {
    if (std::isinf(expected) || expected < kSmallest) {
        if (std::isinf(expected))
            EXPECT_EQ(actual, expected) << what << " law " << r.code << " at " << r.x;
        else
            EXPECT_LE(actual, 1e-290) << what << " law " << r.code << " at " << r.x;
        return;
    }
    EXPECT_NEAR(actual / expected, 1.0, tolerance) << what << " law " << r.code << " at " << r.x;
}

TEST(AccurateLaws, DensityDistributionAndSurvivalMatchExactValuesInBothTails) {
    for (const reference::AccurateValueRow& r : reference::accurate_values()) {
        const LawCode code = static_cast<LawCode>(r.code);
        const double tolerance = value_tolerance(code);
        expect_relative(accurate_density(code, r.parameters, r.x), r.density, tolerance,
                        "density", r);
        expect_relative(accurate_distribution(code, r.parameters, r.x), r.distribution,
                        tolerance, "distribution", r);
        expect_relative(accurate_survival(code, r.parameters, r.x), r.survival, tolerance,
                        "survival", r);
    }
}

TEST(AccurateLaws, QuantilesMatchExactValuesInBothTails) {
    for (const reference::AccurateQuantileRow& r : reference::accurate_quantiles()) {
        const LawCode code = static_cast<LawCode>(r.code);
        const double x = r.upper ? accurate_upper_quantile(code, r.parameters, r.probability)
                                 : accurate_quantile(code, r.parameters, r.probability);
        if (r.x == 0.0)  // below the smallest double: 0 or a subnormal
            EXPECT_LE(std::fabs(x), kSmallest) << "law " << r.code << " at " << r.probability;
        else
            EXPECT_NEAR(x / r.x, 1.0, kQuantileTolerance)
                << "law " << r.code << (r.upper ? " upper" : "") << " at " << r.probability;
    }
}

// Quantile of the distribution function and upper quantile of the survival function give the
// point back, to within what the rounding of the probability allows (its share of p / f(x)).
TEST(AccurateLaws, QuantilesInvertTheTails) {
    for (const reference::AccurateValueRow& r : reference::accurate_values()) {
        const LawCode code = static_cast<LawCode>(r.code);
        const double f = accurate_density(code, r.parameters, r.x);
        const double p = accurate_distribution(code, r.parameters, r.x);
        const double q = accurate_survival(code, r.parameters, r.x);
        if (!(f > kSmallest) || std::isinf(f)) continue;
        const double scale = kQuantileTolerance * std::fabs(r.x);
        if (p > kSmallest && p < 1.0) {
            EXPECT_NEAR(accurate_quantile(code, r.parameters, p), r.x, scale + 4e-16 * p / f)
                << "law " << r.code << " at " << r.x;
        }
        if (q > kSmallest && q < 1.0) {
            EXPECT_NEAR(accurate_upper_quantile(code, r.parameters, q), r.x, scale + 4e-16 * q / f)
                << "law " << r.code << " at " << r.x;
        }
    }
}

TEST(AccurateLaws, RefusalsAndEndsOfTheSupport) {
    enum Function { kDensity, kDistribution, kSurvival, kQuantile, kUpperQuantile };
    struct Row {
        LawCode code;
        std::vector<double> parameters;
        Function function;
        double argument, expected;
    };
    const std::vector<Row> rows = {
        // Invalid parameters, codes and arguments.
        {LawCode::kUniform, {3, 1}, kDensity, 2, kNaN},
        {LawCode::kExponential, {}, kDistribution, 1, kNaN},
        {LawCode::kExponential, {0}, kDistribution, 1, kNaN},
        {LawCode::kGamma, {-1, 1}, kSurvival, 1, kNaN},
        {LawCode::kChiSquare, {2.5}, kDistribution, 1, kNaN},  // fractional degrees of freedom
        {LawCode::kStudent, {0}, kQuantile, 0.3, kNaN},
        {LawCode::kNormal, {0, kInf}, kDensity, 0, kNaN},
        {LawCode::kBeta, {1, kNaN}, kDensity, 0.5, kNaN},
        {LawCode::kGpd, {0.2, -1}, kSurvival, 1, kNaN},
        {LawCode::kStudentApprox, {0, 1, 1}, kDensity, 0, kNaN},
        {LawCode::kNormal, {0, 1}, kDistribution, kNaN, kNaN},
        {LawCode::kNormal, {0, 1}, kQuantile, 1.5, kNaN},
        {LawCode::kNormal, {0, 1}, kUpperQuantile, -0.1, kNaN},
        // Probabilities 0 and 1 give the ends of the support; the density there is its limit.
        {LawCode::kNormal, {0, 1}, kQuantile, 0, -kInf},
        {LawCode::kGamma, {2, 1}, kUpperQuantile, 0, kInf},
        {LawCode::kBeta, {2, 3}, kQuantile, 1, 1},
        {LawCode::kGpd, {-0.5, 2}, kQuantile, 1, 4},
        {LawCode::kPareto, {1.5, 3}, kQuantile, 0, 1.5},
        {LawCode::kStudent, {3}, kUpperQuantile, 0.5, 0},
        {LawCode::kExponential, {2}, kDensity, 0, 0.5},
        {LawCode::kGamma, {0.5, 1}, kDensity, 0, kInf},
        {LawCode::kBeta, {1, 3}, kDensity, 0, 3},
        {LawCode::kWeibull, {2, 1}, kDensity, 0, 0.5},
        {LawCode::kGpd, {-1, 2}, kDensity, 2, 0.5},
        {LawCode::kGpd, {-0.5, 2}, kSurvival, 4, 0},
        {LawCode::kNormal, {0, 1}, kSurvival, kInf, 0},
        {LawCode::kStudent, {1}, kDistribution, -1e200, 1.0 / (1e200 * 3.141592653589793)},
    };
    for (const Row& r : rows) {
        double actual = kNaN;
        switch (r.function) {
            case kDensity: actual = accurate_density(r.code, r.parameters, r.argument); break;
            case kDistribution:
                actual = accurate_distribution(r.code, r.parameters, r.argument);
                break;
            case kSurvival: actual = accurate_survival(r.code, r.parameters, r.argument); break;
            case kQuantile: actual = accurate_quantile(r.code, r.parameters, r.argument); break;
            case kUpperQuantile:
                actual = accurate_upper_quantile(r.code, r.parameters, r.argument);
                break;
        }
        if (std::isnan(r.expected))
            EXPECT_TRUE(std::isnan(actual)) << "law " << static_cast<int>(r.code) << " function " << r.function;
        else
            EXPECT_DOUBLE_EQ(actual, r.expected) << "law " << static_cast<int>(r.code) << " function " << r.function;
    }
}

}  // namespace
}  // namespace evstat
