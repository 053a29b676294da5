#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "driver/run.h"
#include "input/errors.h"

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
        {kUniform, params({1, 1}), false},     {kUniform, params({1, 2}), true},
        {kExponential, params({0}), false},    {kExponential, params({2}), true},
        {kGamma, params({1, 0}), true},        {kGamma, params({0, 1}), false},
        {kChiSquare, params({0}), false},      {kNormal, params({0, 0}), false},
        {kStudent, params({-3}), true},        {kStudent, params({}), false},
        {kBeta, params({1, 0}), false},        {kWeibull, params({0, 1}), false},
        {kLognormal, params({5, 0}), false},   {kPareto, params({1, -1}), false},
        {kGpd, params({-5, 1}), true},         {kGpd, params({1}), false},
        {kImport, params({1, 1}), false},      {kUnknownLaw, params({1, 1}), false},
        {kNormal, params({nan, 1}), true},     {kNormal, params({0, nan}), false},
        {kUniform, params({nan, 1}), false},   {kStudentApprox, params({0, 1, 1}), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(law_parameters_valid(c.code, c.parameters), c.valid) << "law " << c.code;
}

TEST(ErrorMessages, EveryCodeHasItsMessage) {
    for (int code = 0; code < kErreurCount; ++code)
        EXPECT_FALSE(error_message(static_cast<Erreur>(code)).empty()) << code;
    EXPECT_EQ(error_message(Erreur::TaskNotIntegerUnused), error_message(Erreur::TaskNotInteger));
    EXPECT_EQ(error_message(Erreur::InvalidLawParameters).size(), 35u);
}

}  // namespace
}  // namespace evstat
