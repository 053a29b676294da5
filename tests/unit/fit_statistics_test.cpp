// The pieces of the tests of fit: statistics over probabilities, modifications for the
// sample size, tables of critical values, the gamma column, the resampling position and
// the parameters the resampling accepts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "fittests/fit_scheme.h"
#include "laws/validity.h"
#include "unit/law_parameters.h"

namespace evstat {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

Series probabilities_of(const std::vector<double>& values) { return values; }

struct StatisticRow {
    std::vector<double> probabilities;
    double andersonDarling;
    double cramerVonMises;
    const char* source;
};

TEST(FitStatistics, MatchIndependentReferenceValues) {
    const std::vector<StatisticRow> rows = {
        {{0.1, 0.3, 0.5, 0.8},
         0.2880055128458574,
         0.048333333333333325,
         "SciPy 1.10 goodness_of_fit(uniform, known loc 0 scale 1, 'ad') and cramervonmises"},
        {{0.05, 0.2, 0.45, 0.6, 0.9},
         0.2809790600619113,
         0.04166666666666666,
         "SciPy 1.10 goodness_of_fit(uniform, known loc 0 scale 1, 'ad') and cramervonmises"},
        // Taken in the order given, not sorted: S = 1 (ln .5 + ln .8) + 3 (ln .2 + ln .5),
        // W^2 = (.5 - .25)^2 + (.2 - .75)^2 + 1/24, by hand (R: -2 - S/2).
        {{0.5, 0.2}, 1.9120230054281460, 0.40666666666666668, "by hand, checked in R"},
    };
    for (const StatisticRow& row : rows) {
        const Series p = probabilities_of(row.probabilities);
        EXPECT_NEAR(anderson_darling_statistic(p), row.andersonDarling, 1e-14) << row.source;
        EXPECT_NEAR(cramer_von_mises_statistic(p), row.cramerVonMises, 1e-15) << row.source;
    }
}

TEST(FitStatistics, ProbabilityOfZeroOrOneMakesAndersonDarlingInfinite) {
    EXPECT_EQ(anderson_darling_statistic(probabilities_of({0.2, 0.5, 1.0})), kInf);
    EXPECT_EQ(anderson_darling_statistic(probabilities_of({0.0, 0.5, 0.7})), kInf);
    EXPECT_TRUE(probabilities_inside_unit_interval(probabilities_of({1e-300, 0.5})));
    EXPECT_FALSE(probabilities_inside_unit_interval(probabilities_of({0.2, 1.0})));
    EXPECT_FALSE(probabilities_inside_unit_interval(probabilities_of({0.0, 0.2})));
    EXPECT_FALSE(probabilities_inside_unit_interval(probabilities_of({-7.5e-8, 0.2})));
    EXPECT_FALSE(probabilities_inside_unit_interval(probabilities_of({0.2, kNaN})));
}

struct ModificationRow {
    FitStatistic kind;
    LawCode code;
    double expected;  // the modified value of a raw statistic of 1 with n = 4, by hand
};

TEST(FitStatistics, ModificationByLawForFourObservations) {
    using enum FitStatistic;
    const std::vector<ModificationRow> rows = {
        {AndersonDarling, LawCode::kUniform, 1.0},
        {AndersonDarling, LawCode::kExponential, 1.15},  // 1 + 0.6/4
        {AndersonDarling, LawCode::kGamma, 1.0},
        {AndersonDarling, LawCode::kNormal, 1.328125},  // 1 + 0.75/4 + 2.25/16
        {AndersonDarling, LawCode::kLognormal, 1.328125},
        {AndersonDarling, LawCode::kWeibull, 1.1},    // 1 + 0.2/2
        {AndersonDarling, LawCode::kPareto, 1.6625},  // 1 + 5.4/4 - 11/16
        {AndersonDarling, LawCode::kChiSquare, 1.0},
        {AndersonDarling, LawCode::kStudent, 1.0},
        {AndersonDarling, LawCode::kBeta, 1.0},
        {AndersonDarling, LawCode::kGpd, 1.0},
        {CramerVonMises, LawCode::kUniform, 1.171875},  // (1 - 0.1 + 0.0375) * 1.25
        {CramerVonMises, LawCode::kExponential, 1.04},  // 1 + 0.16/4
        {CramerVonMises, LawCode::kGamma, 1.0},
        {CramerVonMises, LawCode::kNormal, 1.125},  // 1 + 0.5/4
        {CramerVonMises, LawCode::kLognormal, 1.125},
        {CramerVonMises, LawCode::kWeibull, 1.1},
        {CramerVonMises, LawCode::kPareto, 1.5125},  // 1 + 2.8/4 - 3/16
        {CramerVonMises, LawCode::kBeta, 1.0},
    };
    for (const ModificationRow& row : rows)
        EXPECT_NEAR(corrected_statistic(row.kind, row.code, 1.0, 4), row.expected, 1e-15)
            << "law " << row.code;
}

struct TableRow {
    FitStatistic kind;
    LawCode code;
    double gammaShape;
    std::vector<double> values;  // at 0.25, 0.1, 0.05, 0.025, 0.01
};

TEST(CriticalValueTables, EachLawReadsItsRowAtTheFiveLevels) {
    using enum FitStatistic;
    const std::vector<double> levels = {0.25, 0.1, 0.05, 0.025, 0.01};
    // Upper-tail percentage points of the modified statistics (Stephens 1974, 1977;
    // D'Agostino and Stephens 1986, ch. 4), as the engine tabulates them.
    const std::vector<TableRow> rows = {
        {AndersonDarling, LawCode::kUniform, 0.0, {1.248, 1.933, 2.492, 3.07, 3.88}},
        {AndersonDarling, LawCode::kExponential, 0.0, {0.736, 1.062, 1.321, 1.591, 1.959}},
        {AndersonDarling, LawCode::kPareto, 0.0, {0.736, 1.062, 1.321, 1.591, 1.959}},
        {AndersonDarling, LawCode::kNormal, 0.0, {0.47, 0.631, 0.752, 0.873, 1.035}},
        {AndersonDarling, LawCode::kLognormal, 0.0, {0.47, 0.631, 0.752, 0.873, 1.035}},
        {AndersonDarling, LawCode::kWeibull, 0.0, {0.474, 0.637, 0.757, 0.877, 1.038}},
        {AndersonDarling, LawCode::kGamma, 1.0, {0.486, 0.657, 0.786, 0.917, 1.092}},
        {AndersonDarling, LawCode::kGamma, 7.0, {0.472, 0.635, 0.757, 0.88, 1.043}},
        {AndersonDarling, LawCode::kGamma, 30.0, {0.47, 0.631, 0.752, 0.873, 1.035}},
        {CramerVonMises, LawCode::kUniform, 0.0, {0.209, 0.347, 0.461, 0.581, 0.743}},
        {CramerVonMises, LawCode::kExponential, 0.0, {0.116, 0.175, 0.222, 0.271, 0.338}},
        {CramerVonMises, LawCode::kPareto, 0.0, {0.116, 0.175, 0.222, 0.271, 0.338}},
        {CramerVonMises, LawCode::kNormal, 0.0, {0.074, 0.104, 0.126, 0.148, 0.179}},
        {CramerVonMises, LawCode::kLognormal, 0.0, {0.074, 0.104, 0.126, 0.148, 0.179}},
        {CramerVonMises, LawCode::kWeibull, 0.0, {0.073, 0.102, 0.124, 0.146, 0.175}},
        {CramerVonMises, LawCode::kGamma, 1.0, {0.079, 0.111, 0.136, 0.162, 0.196}},
        {CramerVonMises, LawCode::kGamma, 3.0, {0.075, 0.106, 0.129, 0.153, 0.184}},
        {CramerVonMises, LawCode::kGamma, 9.0, {0.074, 0.104, 0.127, 0.15, 0.181}},
        {CramerVonMises, LawCode::kGamma, 30.0, {0.074, 0.104, 0.126, 0.148, 0.178}},
    };
    for (const TableRow& row : rows)
        for (std::size_t j = 0; j < levels.size(); ++j)
            EXPECT_EQ(table_critical_value(row.kind, row.code, row.gammaShape, levels[j]),
                      row.values[j])
                << "law " << row.code << " shape " << row.gammaShape << " level " << levels[j];
}

TEST(CriticalValueTables, OnlyTheFiveLevelsExactlyAndOnlyTheTabulatedLaws) {
    using enum FitStatistic;
    for (double level : {0.2, 0.5, 0.0, 1.0, std::nextafter(0.05, 1.0), -0.05, kNaN, kInf})
        EXPECT_EQ(table_critical_value(AndersonDarling, LawCode::kNormal, 0.0, level), 0.0)
            << level;
    for (LawCode code : {LawCode::kChiSquare, LawCode::kStudent, LawCode::kBeta, LawCode::kGpd,
                         LawCode::kStudentApprox, LawCode::kImport, static_cast<LawCode>(99)})
        EXPECT_EQ(table_critical_value(CramerVonMises, code, 1.0, 0.05), 0.0) << code;
}

TEST(CriticalValueTables, GammaColumnIsTheNearestTabulatedShape) {
    struct {
        double shape;
        double column;
    } const rows[] = {
        // Ties (7, 9, 13.5, 1.5) go to the smaller shape; below 25 the last column is 20.
        {7.0, 6.0},   {9.0, 8.0},   {24.9, 20.0}, {25.0, 25.0}, {1e9, 25.0},
        {13.5, 12.0}, {13.6, 15.0}, {0.3, 1.0},   {1.5, 1.0},   {17.6, 20.0},
    };
    for (const auto& row : rows) EXPECT_EQ(gamma_table_shape(row.shape), row.column) << row.shape;
}

TEST(Resampling, PositionOfTheCriticalValue) {
    struct {
        double level;
        int position;
    } const rows[] = {
        {0.05, 190}, {0.01, 198}, {0.25, 150}, {0.1, 180}, {0.5, 100}, {0.004, 200}, {0.0, 200},
        {-0.3, 200}, {0.995, 1},  {1.0, 1},    {7.0, 1},   {kInf, 1},  {-kInf, 200}, {kNaN, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(resampling_position(row.level), row.position) << row.level;
}

TEST(Resampling, ParametersTheGeneratorCanDrawFrom) {
    auto list = [](std::vector<double> values) {
        ValueList parameters;
        for (double v : values) parameters.push_back(v);
        return parameters;
    };
    struct {
        LawCode code;
        ValueList parameters;
        bool usable;
    } const rows[] = {
        // Degrees of freedom are truncated: 1.9 is 1, 0.9 is 0.
        {LawCode::kChiSquare, list({1.9}), true},
        {LawCode::kChiSquare, list({0.9}), false},
        {LawCode::kChiSquare, list({-2.0}), false},
        {LawCode::kChiSquare, list({1e5}), true},
        {LawCode::kChiSquare, list({1e12}), false},
        {LawCode::kStudent, list({kInf}), false},
        {LawCode::kStudent, list({}), false},
        {LawCode::kBeta, list({2.0, 3.0}), true},
        {LawCode::kBeta, list({-0.5, 3.0}), false},
        {LawCode::kBeta, list({2.0, 0.0}), false},
        {LawCode::kGpd, list({-0.3, 2.0}), true},
        {LawCode::kGpd, list({0.2, -1.0}), false},
        {LawCode::kGpd, list({kNaN, 1.0}), false},
        {LawCode::kNormal, list({0.0, 1.0}), true},
        {LawCode::kNormal, list({0.0, 0.0}), false},
        {LawCode::kStudentApprox, list({0, 1, 1}), false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(parameters_drawable(row.code, row.parameters), row.usable)
            << "law " << row.code << " p1 " << row.parameters.at(1);
}

}  // namespace
}  // namespace evstat
