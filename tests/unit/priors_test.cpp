// Priors from an expert's statement: the interval, its widened support and the prior
// parameters, checked by the moments and modes of the laws they define.
#include "tail/bayes/priors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "unit/law_parameters.h"

namespace evstat {
namespace {

ValueList list_of(std::initializer_list<double> values) {
    ValueList list;
    for (double v : values) list.push_back(v);
    return list;
}

// Standard normal quantile at 0.975 and 0.95 (R: qnorm(0.975), qnorm(0.95)); the engine's
// quantile is good to about 1e-9 there.
constexpr double kZ975 = 1.959963984540054;
constexpr double kZ95 = 1.6448536269514722;

TEST(ExpertPrior, GammaPriorPutsTheIntervalAtTheMeanPlusOrMinusZDeviations) {
    struct Row { double s1, s2, alpha, z; };
    for (const Row& r : std::vector<Row>{{2.0, 4.0, 0.05, kZ975}, {0.01, 0.003, 0.1, kZ95}}) {
        ValueList prior;
        expert_prior({.s1 = r.s1, .s2 = r.s2}, false, ExpertConfidence::kNotGiven, r.alpha, prior);
        ASSERT_EQ(prior.size(), 2);
        const double mean = prior.at(1) / prior.at(2);
        const double deviation = std::sqrt(prior.at(1)) / prior.at(2);
        const double tolerance = 1e-8 * std::max(r.s1, r.s2);
        EXPECT_NEAR(mean - r.z * deviation, std::min(r.s1, r.s2), tolerance);
        EXPECT_NEAR(mean + r.z * deviation, std::max(r.s1, r.s2), tolerance);
    }
}

TEST(ExpertPrior, BetaPriorByConfidence) {
    // "Moyenne" and "Faible" put the mode (a - 1)/(a + b - 2) at the middle m, with a
    // fixed at 5 or 1.2 when m >= 0.5 and b fixed otherwise; "*" reads as "Faible"; "Forte" puts [t1, t2] at the mean
    // +- z deviations of the Beta law.
    struct Row {
        ExpertConfidence word;
        double t1, t2, fixed;
    };
    using enum ExpertConfidence;
    const std::vector<Row> rows = {{kMedium, 0.2, 0.4, 5.0}, {kMedium, 0.4, 0.6, 5.0},
                                   {kMedium, 0.6, 0.9, 5.0}, {kWeak, 0.2, 0.4, 1.2},
                                   {kWeak, 0.4, 0.6, 1.2},   {kNotGiven, 0.6, 0.9, 1.2}};
    for (const Row& r : rows) {
        ValueList prior;
        expert_prior({.t1 = r.t1, .t2 = r.t2}, true, r.word, 0.05, prior);
        ASSERT_EQ(prior.size(), 2) << static_cast<int>(r.word);
        const double a = prior.at(1);
        const double b = prior.at(2);
        EXPECT_NEAR((a - 1.0) / (a + b - 2.0), (r.t1 + r.t2) / 2.0, 1e-15)
            << static_cast<int>(r.word) << r.t1;
        EXPECT_EQ((r.t1 + r.t2) / 2.0 >= 0.5 ? a : b, r.fixed) << static_cast<int>(r.word) << r.t1;
    }
    ValueList moyenne;  // m = 0.3: b = 5, a = 1.9/0.7; m = 0.5 takes the first branch
    expert_prior({.t1 = 0.2, .t2 = 0.4}, true, kMedium, 0.05, moyenne);
    EXPECT_DOUBLE_EQ(moyenne.at(1), 1.9 / 0.7);
    ValueList weak;
    expert_prior({.t1 = 0.4, .t2 = 0.6}, true, kNotGiven, 0.05, weak);
    EXPECT_DOUBLE_EQ(weak.at(1), 1.2);
    EXPECT_DOUBLE_EQ(weak.at(2), 1.2);

    ValueList strong;
    expert_prior({.t1 = 0.2, .t2 = 0.4}, true, kStrong, 0.05, strong);
    const double a = strong.at(1);
    const double b = strong.at(2);
    const double mean = a / (a + b);
    const double deviation = std::sqrt(a * b / ((a + b) * (a + b) * (a + b + 1.0)));
    EXPECT_NEAR(mean - kZ975 * deviation, 0.2, 1e-8);
    EXPECT_NEAR(mean + kZ975 * deviation, 0.4, 1e-8);
}

TEST(ExpertInterval, ShapeSupportWidensByWholeUnits) {
    // theta = 1, k0 = 2: the scale is 1, and with c = e the shape for P(X > c) = d is
    // ln(-ln d), so d = exp(-e^s) states the shape s.
    struct Row {
        bool stated;
        double p2, d1, d2, low, high;
        double s1, s2, wantLow, wantHigh;
    };
    const std::vector<Row> rows = {
        {true, 2.0, std::exp(-std::exp(3.5)), std::exp(-std::exp(0.4)), 1, 3, 0.4, 3.5, 0, 4},
        {false, 0.4, 0, 0, 1, 3, 0.4, 1.0, 0, 3},
        {false, 3.5, 0, 0, 1, 3, 1.0, 3.5, 1, 4},
        // Absent bounds start from the interval's whole units, never below 0.
        {false, 2.5, 0, 0, -999, -999, 1.0, 2.5, 1, 3},
        {false, 0.4, 0, 0, -999, 3, 0.4, 1.0, 0, 3},
        {false, 1.0, 0, 0, -999, -999, 1.0, 1.0, 1, 2},
    };
    for (const Row& r : rows) {
        const ValueList fitted = list_of({1.0, r.p2});
        const auto [s1, s2, t1, t2, low, high] = expert_interval({.code = LawCode::kWeibull,
                                                                  .parameters = fitted,
                                                                  .weibullShape = true,
                                                                  .stated = r.stated,
                                                                  .value = std::exp(1.0),
                                                                  .riskP1 = r.d1,
                                                                  .riskP2 = r.d2,
                                                                  .low = r.low,
                                                                  .high = r.high});
        EXPECT_NEAR(s1, r.s1, 1e-12);
        EXPECT_NEAR(s2, r.s2, 1e-12);
        EXPECT_EQ(low, r.wantLow);
        EXPECT_EQ(high, r.wantHigh);
        EXPECT_DOUBLE_EQ(t1, (s1 - low) / (high - low));
        EXPECT_DOUBLE_EQ(t2, (s2 - low) / (high - low));
    }
}

TEST(ExpertInterval, StatedRatesByLaw) {
    // P(X > c) = d for each law with the known parameter, by closed forms: the gamma law
    // of shape 1 is the exponential law, so its bisection must find -ln(d)/c as well.
    const double c = 1.5, d1 = 0.3, d2 = 0.1;
    struct Row { LawCode code; ValueList parameters; double want1, want2, tolerance; };
    const double z1 = 0.5244005127080407, z2 = 1.2815515655446004;  // R: qnorm(0.7), qnorm(0.9)
    const std::vector<Row> rows = {
        {LawCode::kExponential, list_of({2.0}), -std::log(d1) / c, -std::log(d2) / c, 1e-15},
        {LawCode::kGamma, list_of({1.0, 2.0}), -std::log(d1) / c, -std::log(d2) / c, 1e-8},
        {LawCode::kNormal, list_of({1.0, 2.0}), (z1 / 0.5) * (z1 / 0.5), (z2 / 0.5) * (z2 / 0.5),
         1e-7},
        {LawCode::kWeibull, list_of({1.0, 2.0}), -std::log(d1) / 2.25, -std::log(d2) / 2.25, 1e-15},
        {LawCode::kLognormal, list_of({0.1, 2.0}), std::pow(z1 / (std::log(c) - 0.1), 2),
         std::pow(z2 / (std::log(c) - 0.1), 2), 1e-7},
    };
    for (const Row& r : rows) {
        const auto [s1, s2, t1, t2, low, high] = expert_interval({.code = r.code,
                                                                  .parameters = r.parameters,
                                                                  .stated = true,
                                                                  .value = c,
                                                                  .riskP1 = d1,
                                                                  .riskP2 = d2,
                                                                  .low = 1,
                                                                  .high = 3});
        EXPECT_NEAR(s1, r.want1, r.tolerance) << r.code;
        EXPECT_NEAR(s2, r.want2, r.tolerance) << r.code;
        EXPECT_EQ(t1, 0.0);
        EXPECT_EQ(low, 1.0);  // only the shape prior touches the support
    }
    const ValueList beta = list_of({1.0, 2.0});
    const ExpertInterval none = expert_interval({.code = LawCode::kBeta,
                                                 .parameters = beta,
                                                 .stated = true,
                                                 .value = c,
                                                 .riskP1 = d1,
                                                 .riskP2 = d2});
    EXPECT_EQ(none.s1, 0.0);  // no interval for a law without a prior
}

TEST(SolveForSurvival, BisectionEndsAndBrackets) {
    // Exponential of mean theta: exp(-x/theta) = p gives theta = -x/ln p.
    EXPECT_NEAR(
        solve_for_survival(LawCode::kExponential, ValueList{}, 1.0, 0.05, 2.0, std::exp(-2.0)), 0.5,
        1e-9);
    EXPECT_EQ(solve_for_survival(LawCode::kExponential, ValueList{}, 1.0, 0.05, 2.0, 0.999), 0.0);
    // The chi-square law reads its degrees of freedom truncated: the survival at 3 jumps
    // past 0.5 between 3 and 4 degrees, so the tolerance is never met; the bisection stops
    // when the bracket no longer shrinks and returns its upper end, next to 4.
    const double theta = solve_for_survival(LawCode::kChiSquare, ValueList{}, 3.0, 1.0, 10.0, 0.5);
    EXPECT_GE(theta, 4.0);
    EXPECT_LE(theta, 4.0 + 1e-14);
}

}  // namespace
}  // namespace evstat
