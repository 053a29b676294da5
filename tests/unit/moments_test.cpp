#include "estimation/moments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "unit/law_parameters.h"

namespace evstat {
namespace {

constexpr double kUntouched = 123.0;

struct MomentRow {
    LawCode code;
    std::vector<double> parameters;
    double mean, deviation;
};

// Closed forms by hand unless stated; R 4 values printed with options(digits=17):
//   Weibull (theta 2, k 1.5): gamma(1/k+1)*(1/th)^(-1/k),
//   sqrt((gamma(2/k+1)-gamma(1/k+1)^2)*(1/th)^(-2/k)); lognormal (0.5, 0.8): exp(0.5+0.8^2/2),
//   sqrt(exp(2*0.8^2+1)-exp(0.8^2+1)); beta (2, 3.5): sqrt(2*3.5/(6.5*5.5^2)).
TEST(LawMoments, MeanAndDeviationByLaw) {
    const std::vector<MomentRow> rows = {
        {LawCode::kUniform, {0, 12}, 6.0, 12.0 / std::sqrt(12.0)},
        {LawCode::kExponential, {2}, 2.0, 2.0},
        {LawCode::kGamma, {2.5, 1.5}, 3.75, 1.5 * std::sqrt(2.5)},
        {LawCode::kChiSquare, {5}, 5.0, std::sqrt(10.0)},
        {LawCode::kNormal, {1, 2}, 1.0, 2.0},
        {LawCode::kStudent, {5}, 0.0, std::sqrt(5.0 / 3.0)},
        {LawCode::kBeta, {2, 3.5}, 2.0 / 5.5, 0.18868164424100758},
        {LawCode::kWeibull, {2, 1.5}, 1.4330188276896523, 0.97297492062033419},
        {LawCode::kLognormal, {0.5, 0.8}, 2.2704998375324061, 2.1497699638087386},
        {LawCode::kPareto, {2, 3}, 3.0, std::sqrt(3.0)},
        {LawCode::kPareto, {2, 1.5}, 6.0, kNoMoment},
        {LawCode::kPareto, {2, 1}, kNoMoment, kNoMoment},
        {LawCode::kGpd, {0.2, 2}, 2.5, std::sqrt(4.0 / (0.6 * 0.64))},
        {LawCode::kGpd, {-0.4, 2}, 2.0 / 1.4, std::sqrt(4.0 / (1.8 * 1.96))},
        {LawCode::kGpd, {0.5, 1}, 2.0, kNoMoment},
        {LawCode::kGpd, {1, 1}, 0.0, kNoMoment},  // a shape of 1 or more reports the mean as 0.0
        {LawCode::kGpd, {0, 3}, 3.0, 3.0},
        // Student below 3 degrees of freedom: no variance; at 1 or below, no mean either
        // (implementer's choice where the formula would divide by zero or take a negative root).
        {LawCode::kStudent, {2}, 0.0, kNoMoment},
        {LawCode::kStudent, {1}, kNoMoment, kNoMoment},
        {LawCode::kImport, {1, 1}, kUntouched, kUntouched},
        {LawCode::kUnknown, {1, 1}, kUntouched, kUntouched},
    };
    for (const MomentRow& r : rows) {
        double mean = kUntouched, deviation = kUntouched;
        law_moments(r.code, law_parameters(r.parameters), mean, deviation);
        EXPECT_NEAR(mean, r.mean, 1e-14 * std::fabs(r.mean)) << "law " << r.code;
        EXPECT_NEAR(deviation, r.deviation, 1e-14 * std::fabs(r.deviation)) << "law " << r.code;
    }
}

}  // namespace
}  // namespace evstat
