#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "driver/run.h"
#include "driver/work_bounds.h"
#include "records/errors.h"
#include "laws/validity.h"
#include "unit/law_parameters.h"

namespace evstat {
namespace {

ValueList params(std::initializer_list<double> values) {
    ValueList list;
    for (double v : values) list.push_back(v);
    return list;
}

TEST(LawParameterCheck, ValidityByLaw) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        LawCode code;
        ValueList parameters;
        bool valid;
    };
    const std::vector<Case> cases = {
        {LawCode::kUniform, params({1, 1}), false},
        {LawCode::kUniform, params({1, 2}), true},
        {LawCode::kExponential, params({0}), false},
        {LawCode::kExponential, params({2}), true},
        {LawCode::kGamma, params({1, 0}), true},
        {LawCode::kGamma, params({0, 1}), false},
        {LawCode::kChiSquare, params({0}), false},
        {LawCode::kNormal, params({0, 0}), false},
        {LawCode::kStudent, params({-3}), false},  // fewer than one degree of freedom
        {LawCode::kStudent, params({0.9}), false},
        {LawCode::kStudent, params({1}), true},
        {LawCode::kStudent, params({1e8}), false},  // beyond the law functions
        {LawCode::kChiSquare, params({1e8}), false},
        {LawCode::kStudent, params({}), false},
        {LawCode::kBeta, params({1, 0}), false},
        {LawCode::kWeibull, params({0, 1}), false},
        {LawCode::kLognormal, params({5, 0}), false},
        {LawCode::kPareto, params({1, -1}), false},
        {LawCode::kGpd, params({-5, 1}), true},
        {LawCode::kGpd, params({1}), false},
        {LawCode::kImport, params({1, 1}), false},
        {LawCode::kUnknown, params({1, 1}), false},
        {LawCode::kNormal, params({nan, 1}), true},
        {LawCode::kNormal, params({0, nan}), false},
        {LawCode::kUniform, params({nan, 1}), false},
        {LawCode::kStudentApprox, params({0, 1, 1}), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parameters_valid(c.code, c.parameters), c.valid) << "law " << c.code;
}

TEST(ErrorMessages, EveryCodeHasItsMessage) {
    for (int code = 0; code < kErreurCount; ++code)
        EXPECT_FALSE(error_message(static_cast<Erreur>(code)).empty()) << code;
    EXPECT_EQ(error_message(Erreur::TaskNotIntegerUnused), error_message(Erreur::TaskNotInteger));
    EXPECT_EQ(error_message(Erreur::InvalidLawParameters).size(), 35u);
}

// Each bound itself passes and one more is refused with 12.
TEST(WorkBounds, AtAndJustAboveEachBound) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        long long steps;
        double size, samples;
        bool refused;
    };
    const Case cases[] = {
        {99'999'999, 1, 1, false},         {100'000'000, 1, 1, true},
        {-1, 1, 1, true},                  {0, 100'000'000, 10, false},
        {0, 100'000'001, 1, true},         {0, 100'000'000.9, 1, false},  // sizes are truncated
        {0, 1000, 1'000'000, false},       {0, 1, 1'000'001, true},
        {0, 1001, 999'001, true},          {0, 100'000'000, 0, false},    // one file at least
        {0, std::nan(""), 1, true},        {0, 1, inf, true},
    };
    for (const Case& c : cases) {
        bool refused = false;
        try {
            require_grid_within_bounds(c.steps);
            require_simulation_within_bounds(c.size, c.samples);
        } catch (Erreur e) {
            refused = e == Erreur::InvalidLawParameters;
        }
        EXPECT_EQ(refused, c.refused) << c.steps << " " << c.size << " " << c.samples;
    }
    // Resampled values: resamples x series size x tests.
    struct Resampling {
        long long resamples, size, tests;
        bool refused;
    };
    const Resampling resampling[] = {
        {1000, 1000, 1000, false}, {1000, 1000, 1001, true}, {2'147'483'647, 1, 1, true},
        {2'147'483'647, 0, 11, false}, {-5, 1000, 1000, false}, {100'000, 10'000, 1, false},
    };
    for (const Resampling& c : resampling) {
        bool refused = false;
        try {
            require_resampling_within_bounds(c.resamples, c.size, c.tests);
        } catch (Erreur e) {
            refused = e == Erreur::InvalidLawParameters;
        }
        EXPECT_EQ(refused, c.refused) << c.resamples << " " << c.size << " " << c.tests;
    }
}

TEST(ErrorLine, MessageInUtf8WithTheDetailItCarries) {
    EXPECT_EQ(error_line(Erreur::InvalidLawParameters),
              "Erreur 12 : Valeurs des param\xc3\xa8tres non valides.");
    const Erreur failure =
        with_detail(Erreur::UnknownLaw, "loi \"Gamm\xe9\x01\"");  // Latin-1 and a control byte
    EXPECT_EQ(failure, Erreur::UnknownLaw);
    EXPECT_EQ(error_line(failure).substr(error_line(failure).rfind('(')),
              "(loi \"Gamm\xc3\xa9?\")");
    // The detail travels with its own failure only.
    EXPECT_EQ(error_line(Erreur::UnknownLaw).find("Gamm"), std::string::npos);
}

}  // namespace
}  // namespace evstat
