#include "laws/evaluate.h"

#include <gtest/gtest.h>

#include <vector>

#include "laws/densities.h"
#include "laws/distributions.h"
#include "laws/generator.h"
#include "laws/quantiles.h"
#include "laws/random_values.h"
#include "unit/law_parameters.h"

namespace evstat {
namespace {

Sample abscissas(const std::vector<double>& xs) {
    Sample sample;
    for (double x : xs) sample.push_back(x, -99.0);  // y is never read
    return sample;
}

// Modes 0, 1, 3 and 4 apply the law function to the x of every input point, appending in order;
// survival is 1 - F for every law of the catalogue.
TEST(EvaluateLaw, PointModesApplyTheLawFunctionToEveryAbscissa) {
    struct Row {
        LawCode code;
        std::vector<double> parameters;
        std::vector<double> xs;
    };
    const std::vector<Row> rows = {
        {LawCode::kUniform, {1, 3}, {0.5, 2, 3.5}},
        {LawCode::kExponential, {2}, {-1, 1, 5}},
        {LawCode::kGamma, {2.5, 1.5}, {0, 1, 4}},
        {LawCode::kChiSquare, {5}, {0.5, 3, 9}},
        {LawCode::kNormal, {1, 2}, {-2, 1, 4}},
        {LawCode::kStudent, {6}, {-2, 0, 3}},
        {LawCode::kBeta, {2, 3.5}, {0.1, 0.5, 1}},
        {LawCode::kWeibull, {2, 1.5}, {0.5, 2, 4}},
        {LawCode::kLognormal, {0.5, 0.8}, {0.3, 2, 6}},
        {LawCode::kPareto, {2, 3}, {1, 3, 9}},
        {LawCode::kGpd, {0.3, 2}, {0, 1, 10}},
        {LawCode::kStudentApprox, {1, 2.5, 3}, {-1, 1, 4}},
        {LawCode::kStudentApproxLog, {1, 2.5, 3}, {0.5, 2}},
        {LawCode::kGpdPower, {2, 1.5, 0.2}, {0.5, 1}},
        {LawCode::kBetaPrime, {2, 3, 1.5}, {0.5, 3}},
        {LawCode::kImport, {1, 1}, {1, 2}},
    };
    for (const Row& r : rows) {
        const ValueList parameters = law_parameters(r.parameters);
        const Sample input = abscissas(r.xs);
        Sample output;
        output.push_back(0.0, 7.0);  // appended to, never cleared
        evaluate_law(r.code, parameters, input, EvalMode::Survival, output);
        evaluate_law(r.code, parameters, input, EvalMode::Density, output);
        const int n = static_cast<int>(r.xs.size());
        ASSERT_EQ(output.size(), 1 + 2 * n);
        EXPECT_EQ(output.y_at(1), 7.0);
        for (int i = 0; i < n; ++i) {
            const double x = r.xs[i];
            EXPECT_EQ(output.x_at(2 + i), x);
            EXPECT_EQ(output.y_at(2 + i), 1.0 - distribution(r.code, parameters, x))
                << "law " << r.code;
            EXPECT_EQ(output.y_at(2 + n + i), density(r.code, parameters, x)) << "law " << r.code;
        }
    }
    // Code 12 has no distribution function (survival 1); code 15 none at all.
    Sample output;
    evaluate_law(LawCode::kStudentApproxLog, law_parameters({1, 2.5, 3}), abscissas({0.5, 2}),
                 EvalMode::Survival, output);
    evaluate_law(LawCode::kImport, law_parameters({1, 1}), abscissas({0.5, 2}),
                 EvalMode::Distribution, output);
    ASSERT_EQ(output.size(), 4);
    EXPECT_EQ(output.y_at(1), 1.0);
    EXPECT_EQ(output.y_at(2), 1.0);
    EXPECT_EQ(output.y_at(3), 0.0);
    EXPECT_EQ(output.y_at(4), 0.0);
    // Quantiles read the probability from x.
    Sample quantiles;
    evaluate_law(LawCode::kExponential, law_parameters({2}), abscissas({0.5, 1.2}),
                 EvalMode::Quantile, quantiles);
    ASSERT_EQ(quantiles.size(), 2);
    EXPECT_EQ(quantiles.y_at(1), quantile(LawCode::kExponential, law_parameters({2}), 0.5));
    EXPECT_EQ(quantiles.y_at(2), 0.0);
}

TEST(EvaluateLaw, EmptyInputLeavesTheOutputUnchanged) {
    Sample output;
    output.push_back(1.0, 2.0);
    for (EvalMode mode :
         {EvalMode::Density, EvalMode::Distribution, EvalMode::Quantile, EvalMode::Survival})
        evaluate_law(LawCode::kNormal, law_parameters({0, 1}), Sample{}, mode, output);
    Generator generator;
    random_sample(generator, LawCode::kNormal, law_parameters({0, 1}), 0, output);
    random_sample(generator, LawCode::kExponential, law_parameters({1}), -3, output);
    EXPECT_EQ(generator.state(), 1u);  // nothing drawn
    ASSERT_EQ(output.size(), 1);
    EXPECT_EQ(output.y_at(1), 2.0);
}

// Five normal values come from three pairs; the last second value is drawn and dropped.
TEST(EvaluateLaw, RandomSamplesNumberTheirValuesAndComeInPairs) {
    Generator generator(99);
    Sample normal;
    random_sample(generator, LawCode::kNormal, law_parameters({1, 2}), 5, normal);
    const int after_sample = generator.next();
    generator = Generator(99);
    std::vector<double> expected;
    for (int pair = 0; pair < 3; ++pair) {
        double a = 0.0, b = 0.0;
        normal_pair(generator, 1.0, 2.0, a, b);
        expected.push_back(a);
        expected.push_back(b);
    }
    EXPECT_EQ(generator.next(), after_sample);
    ASSERT_EQ(normal.size(), 5);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(normal.x_at(i), i);
        EXPECT_EQ(normal.y_at(i), expected[i - 1]);
    }

    generator = Generator(5);
    Sample lognormal;
    random_sample(generator, LawCode::kLognormal, law_parameters({0, 1}), 2, lognormal);
    generator = Generator(5);
    double a = 0.0, b = 0.0;
    lognormal_pair(generator, 0.0, 1.0, a, b);
    ASSERT_EQ(lognormal.size(), 2);
    EXPECT_EQ(lognormal.y_at(1), a);
    EXPECT_EQ(lognormal.y_at(2), b);

    generator = Generator(8);
    Sample gamma;
    random_sample(generator, LawCode::kGamma, law_parameters({2.5, 1}), 3, gamma);
    generator = Generator(8);
    ASSERT_EQ(gamma.size(), 3);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(gamma.x_at(i), i);
        EXPECT_EQ(gamma.y_at(i),
                  random_value(generator, LawCode::kGamma, law_parameters({2.5, 1})));
    }
}

}  // namespace
}  // namespace evstat
