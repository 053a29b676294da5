#include "laws/random_values.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "laws/generator.h"
#include "unit/law_parameters.h"

namespace evstat {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The recurrence state = state * 214013 + 2531011 (mod 2^32), output bits 16..30. The seeds below
// were solved (Python, pow(214013, -1, 2**32)) so that the first output is 0, then 32767.
TEST(Generator, RecurrenceFromFixedSeeds) {
    Generator generator(1);
    EXPECT_EQ(generator.next(), 41);
    EXPECT_EQ(generator.next(), 18467);
    EXPECT_EQ(generator.next(), 6334);
    generator = Generator(2708534849u);  // outputs 0, 38, ...: the 0 is discarded
    EXPECT_EQ(generator.open_uniform(), 38 / 32767.0);
    generator = Generator(4028364353u);  // outputs 32767, 15401, ...: the 32767 is discarded
    EXPECT_EQ(generator.open_uniform(), 15401 / 32767.0);
}

// Draws u as the sampler would from `seed`, to replay how many uniforms a sampler consumed.
std::vector<double> uniforms_from(std::uint32_t seed, int count) {
    Generator generator(seed);
    std::vector<double> u;
    for (int i = 0; i < count; ++i) u.push_back(generator.open_uniform());
    return u;
}

TEST(RandomValue, UniformsConsumedWhereTheMethodSaysSo) {
    const std::vector<double> u = uniforms_from(7, 3);
    Generator generator(7);  // gamma shape 1: the exponential method, one uniform
    EXPECT_EQ(random_value(generator, LawCode::kGamma, law_parameters({1, 3})),
              -std::log(u[0]) * 3.0);
    EXPECT_EQ(generator.open_uniform(), u[1]);
    generator =
        Generator(7);  // GPD k = 0: a first uniform drawn and discarded, then the exponential one
    EXPECT_EQ(random_value(generator, LawCode::kGpd, law_parameters({0, 2})),
              -std::log(u[1]) * 2.0);
    EXPECT_EQ(generator.open_uniform(), u[2]);
    generator = Generator(7);
    EXPECT_EQ(random_value(generator, LawCode::kPareto, law_parameters({2, 3})),
              2.0 / std::pow(u[0], 1.0 / 3.0));
    EXPECT_EQ(generator.open_uniform(), u[1]);
}

TEST(RandomValue, PairsAndCodesWithoutSingleValues) {
    Generator generator(11);
    double z1 = 0.0, z2 = 0.0;
    normal_pair(generator, 0.0, 1.0, z1, z2);
    generator = Generator(11);
    double l1 = 0.0, l2 = 0.0;
    lognormal_pair(generator, 0.5, 2.0, l1, l2);
    EXPECT_EQ(l1, std::exp(z1 * 2.0 + 0.5));
    EXPECT_EQ(l2, std::exp(0.5 + 2.0 * z2));
    for (LawCode code :
         {LawCode::kNormal, LawCode::kLognormal, LawCode::kStudentApproxLog, LawCode::kGpdPower,
          LawCode::kBetaPrime, LawCode::kImport, LawCode::kUnknown})
        EXPECT_EQ(random_value(generator, code, law_parameters({1, 1, 1})), 0.0) << code;
}

// Property of any seed: every value in the support, and the mean of a large sample within five
// standard errors of the law's mean (means and deviations from the closed forms of each law).
TEST(RandomValue, LargeSamplesStayInTheSupportAndMatchTheMean) {
    struct Row {
        LawCode code;
        std::vector<double> parameters;
        double lower, upper, mean, deviation;
    };
    const double weibull_mean = std::tgamma(1.0 + 1.0 / 1.5) * std::pow(2.0, 1.0 / 1.5);
    const double weibull_deviation = std::sqrt(
        std::tgamma(1.0 + 2.0 / 1.5) * std::pow(2.0, 2.0 / 1.5) - weibull_mean * weibull_mean);
    const std::vector<Row> rows = {
        {LawCode::kUniform, {1, 3}, 1, 3, 2.0, 2.0 / std::sqrt(12.0)},
        {LawCode::kExponential, {2}, 0, kInf, 2.0, 2.0},
        {LawCode::kGamma, {2.5, 1.5}, 0, kInf, 3.75, 1.5 * std::sqrt(2.5)},  // Best
        {LawCode::kGamma, {0.6, 2}, 0, kInf, 1.2, 2.0 * std::sqrt(0.6)},     // Joehnk
        {LawCode::kChiSquare, {5}, 0, kInf, 5.0, std::sqrt(10.0)},
        {LawCode::kChiSquare, {4}, 0, kInf, 4.0, std::sqrt(8.0)},
        {LawCode::kStudent, {5}, -kInf, kInf, 0.0, std::sqrt(5.0 / 3.0)},
        {LawCode::kBeta, {2, 3.5}, 0, 1, 2.0 / 5.5, std::sqrt(7.0 / (6.5 * 5.5 * 5.5))},
        {LawCode::kWeibull, {2, 1.5}, 0, kInf, weibull_mean, weibull_deviation},
        {LawCode::kPareto, {2, 3}, 2, kInf, 3.0, std::sqrt(3.0)},
        {LawCode::kGpd, {0.2, 2}, 0, kInf, 2.5, std::sqrt(4.0 / (0.6 * 0.64))},
        {LawCode::kGpd, {0.0, 2}, 0, kInf, 2.0, 2.0},
        {LawCode::kGpd, {-0.4, 2}, 0, 5, 2.0 / 1.4, std::sqrt(4.0 / (1.8 * 1.96))},
        {LawCode::kStudentApprox, {1, 2.5, 3}, -kInf, kInf, 1.0, std::sqrt(2.0)},  // t(5), scale
                                                                                   // sqrt(1.2)
    };
    constexpr int kDraws = 20000;
    Generator generator(12345);
    for (const Row& r : rows) {
        const ValueList parameters = law_parameters(r.parameters);
        double sum = 0.0;
        for (int i = 0; i < kDraws; ++i) {
            const double v = random_value(generator, r.code, parameters);
            ASSERT_TRUE(v > r.lower && v < r.upper) << "law " << r.code << ": " << v;
            sum += v;
        }
        EXPECT_NEAR(sum / kDraws, r.mean, 5.0 * r.deviation / std::sqrt(kDraws))
            << "law " << r.code;
    }
    double sum = 0.0, squares = 0.0;
    for (int i = 0; i < kDraws / 2; ++i) {
        double a = 0.0, b = 0.0;
        normal_pair(generator, 1.0, 2.0, a, b);
        sum += a + b;
        squares += (a - 1.0) * (a - 1.0) + (b - 1.0) * (b - 1.0);
    }
    EXPECT_NEAR(sum / kDraws, 1.0, 5.0 * 2.0 / std::sqrt(kDraws));
    EXPECT_NEAR(std::sqrt(squares / kDraws), 2.0, 0.05);
}

// Each caller owns its generator: two threads drawing at once, each from its own generator
// seeded alike, give exactly the draws of one thread drawing alone.
TEST(Generator, ThreadsWithTheirOwnGeneratorsDrawAsOneThreadAlone) {
    const auto draws = [](std::uint32_t seed) {
        Generator generator(seed);
        std::vector<double> all, values;
        for (const LawCode code : {LawCode::kNormal, LawCode::kGamma, LawCode::kBeta,
                                   LawCode::kStudent, LawCode::kStudentApprox}) {
            draw_random_values(generator, code, law_parameters({2.5, 1.5, 3}), 5000, values);
            all.insert(all.end(), values.begin(), values.end());
        }
        return all;
    };
    const std::vector<double> alone = draws(2024);
    std::vector<double> first, second;
    std::thread a([&] { first = draws(2024); });
    std::thread b([&] { second = draws(2024); });
    a.join();
    b.join();
    EXPECT_TRUE(first == alone);
    EXPECT_TRUE(second == alone);
}

// Samplers whose acceptance region is empty, or whose loop count comes from a huge or NaN
// parameter, give NaN after a bounded number of attempts.
TEST(RandomValue, SamplersEndForParametersOutsideTheDomain) {
    Generator generator;
    const auto start = std::chrono::steady_clock::now();
    const std::vector<std::vector<double>> gamma_shapes = {
        {0, 1}, {-1, 1}, {kNaN, 1}, {1e-10, 1}, {kInf, 1}};
    for (const std::vector<double>& parameters : gamma_shapes)
        EXPECT_TRUE(
            std::isnan(random_value(generator, LawCode::kGamma, law_parameters(parameters))))
            << parameters[0];
    EXPECT_TRUE(std::isnan(random_value(generator, LawCode::kBeta, law_parameters({0, 2}))));
    for (double nu : {kNaN, kInf, 1e300}) {
        EXPECT_TRUE(std::isnan(random_value(generator, LawCode::kChiSquare, law_parameters({nu}))))
            << nu;
        EXPECT_TRUE(std::isnan(random_value(generator, LawCode::kStudent, law_parameters({nu}))))
            << nu;
    }
    const std::vector<std::vector<double>> student_approx = {
        {0, -1, 1}, {0, 1, 0}, {0, 1, -1}, {0, kNaN, 1}};
    for (const std::vector<double>& parameters : student_approx)
        EXPECT_TRUE(std::isnan(
            random_value(generator, LawCode::kStudentApprox, law_parameters(parameters))))
            << parameters[1] << " " << parameters[2];
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

}  // namespace
}  // namespace evstat
