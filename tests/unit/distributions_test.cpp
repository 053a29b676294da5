#include "laws/distributions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <vector>

#include "unit/law_parameters.h"
#include "unit/law_reference_values.h"

namespace evstat {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// What each algorithm can promise against the exact reference: the normal approximation's bound
// (7.5e-8, added, plus the approximation's own error), doubled in the odd chi-square series; the
// Romberg tolerance (1e-6 relative) of the code-11 integral; rounding elsewhere.
double tolerance(const reference::LawValueRow& r) {
    if (r.code == LawCode::kNormal) return 2e-7;
    if (r.code == LawCode::kChiSquare && static_cast<int>(r.parameters[0]) % 2 == 1) return 4e-7;
    if (r.code == LawCode::kStudentApprox) return 2e-6;
    return 1e-13;
}

TEST(Distribution, MatchesReferenceForEveryLaw) {
    for (const reference::LawValueRow& r : reference::law_values())
        EXPECT_NEAR(distribution(r.code, law_parameters(r.parameters), r.x), r.distribution,
                    tolerance(r))
            << "law " << r.code << " at " << r.x;
}

TEST(Distribution, StatedValues) {
    struct Row {
        LawCode code;
        std::vector<double> parameters;
        double x, expected, tolerance;
    };
    const double e = std::exp(-1.0);
    const std::vector<Row> rows = {
        // A&S 26.2.17 at z = 0: 1 - phi(0) (0.31938153 - 0.356563782 + 1.781477937 - 1.821255978 +
        // 1.330274429) + 7.5e-8, evaluated in Python double arithmetic.
        {LawCode::kNormal, {0, 1}, 0.0, 0.5000000755248084, 1e-15},
        {LawCode::kNormal, {0, 1}, -1e-300, 0.4999999244751916, 1e-15},
        {LawCode::kNormal, {0, 1}, 40.0, 1.0, 0.0},
        {LawCode::kNormal, {0, 1}, -40.0, -7.5e-8, 1e-16},  // no lower clip
        {LawCode::kChiSquare, {2}, 2.0, 1.0 - e, 1e-15},
        {LawCode::kChiSquare, {1}, 1.0, 0.6826894921370859, 3e-7},  // R: pchisq(1, 1)
        {LawCode::kChiSquare, {4}, 2.0, 1.0 - 2.0 * e, 1e-15},
        {LawCode::kChiSquare, {4.9}, 2.0, 1.0 - 2.0 * e, 1e-15},  // degrees of freedom truncated
        {LawCode::kChiSquare, {3}, -1.0, 0.0, 0.0},
        {LawCode::kStudent, {1}, 1.0, 0.75, 1e-15},
        {LawCode::kStudent, {2}, 0.0, 0.5, 0.0},
        {LawCode::kGpd, {-0.5, 1}, 2.0, 1.0, 0.0},
        {LawCode::kGpd, {-0.5, 1}, 1.0, 0.75, 1e-15},
        {LawCode::kGpd, {0.5, 1}, 0.0, 0.0, 0.0},
        {LawCode::kUniform, {0, 2}, -1.0, 0.0, 0.0},
        {LawCode::kUniform, {0, 2}, 1.0, 0.5, 0.0},
        {LawCode::kUniform, {0, 2}, 3.0, 1.0, 0.0},
        {LawCode::kBetaPrime, {1, 1, 1}, 1.0, 0.5, 1e-15},
        {LawCode::kLognormal, {0, 1}, 0.0, 0.0, 0.0},  // erf(-inf) = -1
        {LawCode::kGamma, {2.5, 1}, kInf, 1.0, 0.0},
        {LawCode::kWeibull, {2, 1.5}, 0.0, 0.0, 0.0},
        // Outside the support of the transformed laws (implementer's choice: 0; x/(x + s) > 1 for
        // x < -s would otherwise give 1).
        {LawCode::kBetaPrime, {2, 3, 1}, -2.0, 0.0, 0.0},
        {LawCode::kGpdPower, {0.5, 1, 0.2}, -1.0, 0.0, 0.0},
        // Codes without a distribution function.
        {LawCode::kStudentApproxLog, {1, 2.5, 3}, 1.0, 0.0, 0.0},
        {LawCode::kImport, {1, 1}, 1.0, 0.0, 0.0},
        {LawCode::kUnknown, {1, 1}, 1.0, 0.0, 0.0},
    };
    for (const Row& r : rows)
        EXPECT_NEAR(distribution(r.code, law_parameters(r.parameters), r.x), r.expected,
                    r.tolerance)
            << "law " << r.code << " at " << r.x;
    // The approximation's jump at the mean: about 1.5e-7 (twice 7.5e-8 + 5.2e-10).
    const ValueList standard = law_parameters({0, 1});
    EXPECT_NEAR(distribution(LawCode::kNormal, standard, 0.0) -
                    distribution(LawCode::kNormal, standard, -1e-300),
                1.5105e-7, 1e-11);
}

// The finite series run about nu/2 steps: NaN and huge degrees of freedom are refused at once.
TEST(Distribution, FiniteSeriesEndForHugeOrNaNDegrees) {
    const auto start = std::chrono::steady_clock::now();
    for (double nu : {kNaN, kInf, -kInf, 1e300, 3e9, -3e9}) {
        EXPECT_TRUE(std::isnan(distribution(LawCode::kChiSquare, law_parameters({nu}), 2.0))) << nu;
        EXPECT_TRUE(std::isnan(distribution(LawCode::kStudent, law_parameters({nu}), 2.0))) << nu;
    }
    // Still a series below the bound (nu = 1e6: 5e5 terms); Student F(0) = 1/2 for every nu.
    EXPECT_NEAR(distribution(LawCode::kStudent, law_parameters({1e6}), 0.0), 0.5, 1e-15);
    EXPECT_NEAR(distribution(LawCode::kChiSquare, law_parameters({1e6}), 1.0), 0.0, 1e-15);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

}  // namespace
}  // namespace evstat
