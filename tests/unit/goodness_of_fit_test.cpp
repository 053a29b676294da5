// The fit statistics of the parent and the predictive law, and the adjusted critical value.
#include "fittests/goodness_of_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "unit/law_parameters.h"

namespace evstat {
namespace {

ValueList list_of(std::initializer_list<double> values) {
    ValueList list;
    for (double v : values) list.push_back(v);
    return list;
}

// The series whose unit-mean exponential probabilities are (2i - 1)/(2n).
Series perfect_exponential_spacing(int n) {
    Series data;
    for (int i = 1; i <= n; ++i) data.push_back(-std::log(1.0 - (2.0 * i - 1.0) / (2.0 * n)));
    return data;
}

TEST(GoodnessOfFit, PerfectSpacingAndAdjustedCriticalValues) {
    const Series data = perfect_exponential_spacing(25);
    const Sample noTable;
    double predictive = 0, parent = 0, adjusted = 0;
    goodness_of_fit(data, LawCode::kExponential, noTable, 0, 2, list_of({1.0}),
                    list_of({1.0, -0.01}), 1.0, predictive, parent, adjusted);
    EXPECT_NEAR(parent, 1.0 / 300.0, 1e-15);  // W^2 = 1/(12n)

    // c = 1, n = 25, by hand: the Cramer-von Mises factors 1 + 0.16/n, none, 1 + 0.5/n,
    // 1 + 0.2/sqrt(n); the Anderson-Darling ones 1 + 0.6/n, none, 1 + 0.75/n + 2.25/n^2,
    // 1 + 0.2/sqrt(n).
    struct Row { LawCode code; int selector; double want; };
    const std::vector<Row> rows = {
        {LawCode::kExponential, 2, 1 / 1.0064},
        {LawCode::kGamma, 2, 1.0},
        {LawCode::kNormal, 2, 1 / 1.02},
        {LawCode::kLognormal, 2, 1 / 1.02},
        {LawCode::kWeibull, 2, 1 / 1.04},
        {LawCode::kExponential, 1, 1 / 1.024},
        {LawCode::kGamma, 1, 1.0},
        {LawCode::kNormal, 1, 1 / 1.0336},
        {LawCode::kLognormal, 1, 1 / 1.0336},
        {LawCode::kWeibull, 1, 1 / 1.04},
    };
    const ValueList three = list_of({1.0, 2.0, 3.0});
    for (const Row& r : rows) {
        goodness_of_fit(data, r.code, noTable, 0, r.selector, three, three, 1.0, predictive,
                        parent, adjusted);
        EXPECT_NEAR(adjusted, r.want, 1e-15) << r.code << " " << r.selector;
    }
    adjusted = -5.0;  // a law without a predictive law: empty sums, nothing adjusted
    goodness_of_fit(data, LawCode::kBeta, noTable, 0, 1, three, three, 1.0, predictive, parent,
                    adjusted);
    EXPECT_EQ(predictive, -25.0);
    EXPECT_EQ(parent, -25.0);
    EXPECT_EQ(adjusted, -5.0);
}

TEST(GoodnessOfFit, PredictiveDistributionsByLaw) {
    // Exponential data with a Gamma(a, b) posterior on the rate: the predictive law is the
    // Lomax, F(x) = 1 - (b/(b + x))^a, given as (q1, q2) = (b/a, -1/a). With the shape
    // k0 the Weibull law gives the same law for x^k0, given as (k0, b/a, -1/a).
    const double a = 12.0, b = 7.0, k0 = 1.7;
    const Sample noTable;
    const PredictiveDistribution exponential(LawCode::kExponential, list_of({b / a, -1.0 / a}),
                                             noTable, 0);
    const PredictiveDistribution weibull(LawCode::kWeibull, list_of({k0, b / a, -1.0 / a}), noTable,
                                         0);
    for (double x : {0.05, 0.6, 3.0, 20.0}) {
        EXPECT_NEAR(exponential(x), 1.0 - std::pow(b / (b + x), a), 1e-14) << x;
        EXPECT_NEAR(weibull(x), 1.0 - std::pow(b / (b + std::pow(x, k0)), a), 1e-14) << x;
    }
    // Normal with known mean 1.5, Gamma(5, 4) posterior on the precision: Student t with
    // 10 degrees of freedom, location 1.5 and scale sqrt(4/5); t(10) at 0.95 is 1.812461
    // (R: qt(0.95, 10) = 1.812461123).
    const PredictiveDistribution normal(LawCode::kNormal, list_of({1.5, 5.0, 4.0}), noTable, 0);
    EXPECT_NEAR(normal(1.5), 0.5, 1e-6);
    EXPECT_NEAR(normal(1.5 + std::sqrt(0.8) * 1.812461123), 0.95, 1e-6);
    const PredictiveDistribution lognormal(LawCode::kLognormal, list_of({1.5, 5.0, 4.0}), noTable,
                                           0);
    EXPECT_NEAR(lognormal(std::exp(1.5)), 0.5, 1e-6);

    // The tabulated law: the nearest abscissa, the first of two equally near.
    Sample table;
    for (int i = 0; i < 3; ++i) table.push_back(i, 0.25 * (i + 1));
    const PredictiveDistribution tabulated(LawCode::kWeibull, ValueList{}, table, 1);
    struct Row { double x, want; };
    for (const Row& r : std::vector<Row>{{-1, 0.25}, {0.5, 0.25}, {0.51, 0.5}, {1.5, 0.5},
                                         {1, 0.5}, {2.7, 0.75}})
        EXPECT_EQ(tabulated(r.x), r.want) << r.x;
}

}  // namespace
}  // namespace evstat
