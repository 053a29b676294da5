// Conjugate updates and predictive draws. Posterior values worked by hand from the
// conjugate formulas; predictive means from the predictive laws in closed form: with the
// rate lambda ~ Gamma(a, scale s), E[1/lambda] = 1/(s (a - 1)).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "laws/evaluate.h"
#include "laws/random_values.h"
#include "laws/generator.h"
#include "laws/random_values.h"
#include "tail/bayes/posteriors.h"
#include "tail/bayes/predictive_sample.h"
#include "tail/bayes/predictive_sampler.h"
#include "unit/law_parameters.h"

namespace evstat {
namespace {

using Values = std::vector<double>;

Series series_of(const Values& values) { return values; }


Values values_of(const ValueList& list) { return {list.begin(), list.end()}; }

void expect_values(const Values& got, const Values& expected, const char* what) {
    ASSERT_EQ(got.size(), expected.size()) << what;
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_NEAR(got[i], expected[i], 1e-14 * (1.0 + std::fabs(expected[i]))) << what << " " << i;
}

TEST(Posterior, ConjugateUpdatesAndSummaries) {
    const double e = std::exp(1.0);
    const struct {
        const char* what;
        LawCode code;
        int flag;
        Values data, prior, parameters, posterior, summary;
    } rows[] = {
        {"exponential",
         LawCode::kExponential,
         0,
         {1, 2, 3},
         {2, 3},
         {},
         {5, 1.0 / 9},
         {9.0 / 5, -1.0 / 5}},
        {"gamma shape 2", LawCode::kGamma, 0, {1, 2, 3}, {2, 3}, {2}, {8, 1.0 / 9}, {2, 8, 9}},
        {"normal mean 0", LawCode::kNormal, 0, {-1, 1}, {1, 1}, {0, 9}, {2, 0.5}, {0, 2, 2}},
        // the logarithms 1 and -1 about the mean 0; the summary is given the logarithms
        {"lognormal",
         LawCode::kLognormal,
         0,
         {e, 1 / e},
         {1, 1},
         {0, 9},
         {2, 0.5},
         {0, 2, 1 + (e * e + 1 / (e * e)) / 2}},
        // the rate of x^2: 1 + 4 + 9 = 14
        {"weibull rate",
         LawCode::kWeibull,
         0,
         {1, 2, 3},
         {2, 3},
         {5, 2},
         {5, 1.0 / 17},
         {2, 9.0 / 5, -1.0 / 5}},
        {"weibull shape", LawCode::kWeibull, 1, {1, 2, 3}, {2, 3}, {4, 2}, {}, {2, 2, 3}},
        {"chi-square", LawCode::kChiSquare, 0, {1, 2, 3}, {2, 3}, {3}, {}, {}},
    };
    for (const auto& row : rows) {
        const Series data = series_of(row.data);
        const ValueList prior = law_parameters(row.prior);
        const ValueList parameters = law_parameters(row.parameters);
        ValueList posterior, summary;
        posterior_parameters(data, row.code, prior, parameters, size_of(data), row.flag, posterior);
        posterior_summary(data, row.code, parameters, prior, row.flag, summary);
        expect_values(values_of(posterior), row.posterior, row.what);
        expect_values(values_of(summary), row.summary, row.what);
    }
}

// The posterior (5, 1/9) of the exponential example: E[1/lambda] = 9/4.
TEST(PredictiveSample, MeansOfThePredictiveLaws) {
    const ValueList posterior = law_parameters({5, 1.0 / 9});
    const struct {
        const char* what;
        LawCode code;
        Values parameters;
        std::function<double(double)> f;  // E[f(X)] is known
        double expected;
        double tolerance;
    } rows[] = {
        {"exponential", LawCode::kExponential, {}, [](double x) { return x; }, 2.25, 0.03},
        {"gamma shape 2", LawCode::kGamma, {2}, [](double x) { return x; }, 4.5, 0.05},
        {"normal", LawCode::kNormal, {3}, [](double x) { return x; }, 3.0, 0.02},
        {"lognormal", LawCode::kLognormal, {3}, [](double x) { return std::log(x); }, 3.0, 0.02},
        {"weibull rate", LawCode::kWeibull, {1, 2}, [](double x) { return x * x; }, 2.25, 0.03},
    };
    const int N = 100000;
    for (const auto& row : rows) {
        Generator generator(5);
        Series out = {0.0};  // appended to
        ASSERT_EQ(predictive_sample(generator, Series{}, row.code, ValueList{}, posterior,
                                    law_parameters(row.parameters), N, 0, 0, 0, out),
                  PredictiveDraw::Drawn)
            << row.what;
        ASSERT_EQ(size_of(out), N + 1);
        double total = 0.0;
        for (int i = 2; i <= N + 1; ++i) total += row.f(value_at(out, i));
        EXPECT_NEAR(total / N, row.expected, row.tolerance) << row.what;
    }
}

// Without data the likelihood is flat: k = L + (U - L) w with w ~ Beta(2, 2), and with
// theta = 1, E[ln X | k] = -gamma/k (gamma Euler's constant), so E[ln X] = -gamma E[1/k].
TEST(PredictiveSample, WeibullShapeWithoutDataFollowsThePrior) {
    const double low = 0.5, high = 3.0;
    double inverse = 0.0;  // E[1/k], midpoint rule over the Beta(2, 2) density
    const int cells = 100000;
    for (int i = 0; i < cells; ++i) {
        const double w = (i + 0.5) / cells;
        inverse += 6.0 * w * (1.0 - w) / (low + (high - low) * w) / cells;
    }
    Generator generator(8);
    Series out;
    ASSERT_EQ(predictive_sample(generator, Series{}, LawCode::kWeibull, law_parameters({2, 2}),
                                ValueList{}, law_parameters({1, 1.5}), 100000, low, high, 1, out),
              PredictiveDraw::Drawn);
    double total = 0.0;
    for (const double x : out) total += std::log(x);
    EXPECT_NEAR(total / out.size(), -0.5772156649015329 * inverse, 0.01);
}

// Nothing is drawn (the generator is untouched) and nothing appended.
TEST(PredictiveSample, LawsThatCannotBeDrawnFrom) {
    const Series data = series_of({0.5, 1, 2});
    const Series withZero = series_of({0, 1, 2});
    const struct {
        const char* what;
        LawCode code;
        int flag;
        const Series* data;
        Values prior, posterior, parameters;
        double low, high;
    } rows[] = {
        {"no posterior shape", LawCode::kExponential, 0, &data, {}, {0, 1}, {}, 0, 0},
        {"negative scale", LawCode::kExponential, 0, &data, {}, {2, -1}, {}, 0, 0},
        {"NaN posterior", LawCode::kNormal, 0, &data, {}, {NAN, 1}, {0}, 0, 0},
        {"empty posterior", LawCode::kNormal, 0, &data, {}, {}, {0}, 0, 0},
        {"gamma without shape", LawCode::kGamma, 0, &data, {}, {2, 1}, {0}, 0, 0},
        {"weibull shape 0", LawCode::kWeibull, 0, &data, {}, {2, 1}, {1, 0}, 0, 0},
        {"no predictive law", LawCode::kChiSquare, 0, &data, {}, {2, 1}, {3}, 0, 0},
        {"prior a = 0", LawCode::kWeibull, 1, &data, {0, 2}, {}, {1, 1.5}, 0.5, 3},
        {"support not above 0", LawCode::kWeibull, 1, &data, {2, 2}, {}, {1, 1.5}, -3, 0},
        {"empty support", LawCode::kWeibull, 1, &data, {2, 2}, {}, {1, 1.5}, 2, 2},
        {"support of -999", LawCode::kWeibull, 1, &data, {2, 2}, {}, {1, 1.5}, -999, -999},
        {"a zero value", LawCode::kWeibull, 1, &withZero, {2, 2}, {}, {1, 1.5}, 0.5, 3},
    };
    Generator generator(3);
    const int first = generator.next();
    for (const auto& row : rows) {
        generator = Generator(3);
        Series out;
        EXPECT_EQ(predictive_sample(generator, *row.data, row.code, law_parameters(row.prior),
                                    law_parameters(row.posterior), law_parameters(row.parameters),
                                    10, row.low, row.high, row.flag, out),
                  PredictiveDraw::NotDrawable)
            << row.what;
        EXPECT_TRUE(out.empty()) << row.what;
        EXPECT_EQ(generator.next(), first) << row.what;
    }
}

// A support far above the likelihood of the data: no shape is ever accepted; the bound
// ends the draws of the first observation and nothing is appended.
TEST(PredictiveSample, ShapeRejectionStopsAtItsBound) {
    Generator generator;
    Series data;
    draw_random_values(generator, LawCode::kWeibull, law_parameters({1, 2}), 200, data);
    Series out;
    EXPECT_EQ(predictive_sample(generator, data, LawCode::kWeibull, law_parameters({2, 2}),
                                ValueList{}, law_parameters({1, 2}), 5, 40, 50, 1, out),
              PredictiveDraw::RejectionBound);
    EXPECT_TRUE(out.empty());
}

// The bound in all carries from one call to the next: 40 proposals draw a first sample of
// 5 values, the very values drawn under the default bound, and fall short of a next sample
// of 100.
TEST(PredictiveSample, ShapeProposalsInAllBoundTheSampler) {
    Generator generator(5);
    Series data;
    draw_random_values(generator, LawCode::kWeibull, law_parameters({1, 2}), 50, data);
    const ValueList prior = law_parameters({2, 2}), law = law_parameters({1, 2});
    generator = Generator(6);
    Series free;
    ASSERT_EQ(predictive_sample(generator, data, LawCode::kWeibull, prior, ValueList{}, law, 5, 1,
                                3, 1, free),
              PredictiveDraw::Drawn);
    generator = Generator(6);
    const PredictiveSampler sampler(data, LawCode::kWeibull, prior, ValueList{}, law, 1, 3, 1, 40);
    Series bounded, next;
    ASSERT_EQ(predictive_sample(generator, sampler, 5, bounded), PredictiveDraw::Drawn);
    EXPECT_EQ(bounded, free);
    EXPECT_EQ(predictive_sample(generator, sampler, 100, next), PredictiveDraw::RejectionBound);
    EXPECT_TRUE(next.empty());
}

// The bounds decide exactly as the full sum: shapes over the support, uniform values on
// both sides of the decision, down to relative distances of 1e-13.
TEST(ShapeRejection, BoundsGiveTheDecisionsOfTheFullSum) {
    Generator generator(21);
    Series data;
    draw_random_values(generator, LawCode::kWeibull, law_parameters({2, 1.7}), 200, data);
    const ShapeRejection rejection(data, 2.0, 1.7, 0.2, 6.0);
    ASSERT_TRUE(rejection.usable());
    int accepted = 0, rejected = 0;
    for (double k = 0.2; k <= 6.0; k += 0.0137) {
        const double edge = rejection.log_likelihood(k) - rejection.log_bound();  // ln b at the edge
        for (double shift : {-1e-3, -1e-9, -1e-13, 0.0, 1e-13, 1e-9, 1e-3, -2.0, -50.0}) {
            const double b = std::exp(edge + shift * std::max(1.0, std::fabs(edge)));
            if (!(b > 0.0 && b < 1.0)) continue;
            const bool decision = rejection.accepts(k, b);
            EXPECT_EQ(decision, rejection.accepts_by_full_sum(k, b)) << k << " " << shift;
            (decision ? accepted : rejected)++;
        }
    }
    EXPECT_GT(accepted, 100);
    EXPECT_GT(rejected, 100);
    EXPECT_FALSE(rejection.accepts(-0.1, 0.5));
}

// The sampler against the plain rejection (each proposal's Beta draw by random_value, its
// decision by the full sum): the same shapes accepted, the same values, the generator in the
// same state, over data below and above the scale, values equal to it (ln(x/eta) = 0), priors of
// each gamma method and supports from below 0, near and far from the likelihood's peak.
TEST(ShapeRejection, SamplerDrawsWhatThePlainRejectionDraws) {
    const auto weibull_series = [](unsigned seed, double theta, double k, int n) {
        Generator generator(seed);
        Series data;
        draw_random_values(generator, LawCode::kWeibull, law_parameters({theta, k}), n, data);
        return data;
    };
    const Series below = weibull_series(11, 2.0, 0.7, 300);
    const Series above = weibull_series(12, 3.0, 2.5, 1000);
    const Series ones = series_of({1, 1, 0.5, 1, 2, 1, 3, 1, 0.25, 1, 1, 4});
    const struct {
        const Series& data;
        double theta, k0, a, b, low, high;
    } rows[] = {
        {below, 2.0, 0.7, 1.2, 3.7, 0.0, 1.0},  {below, 2.0, 0.7, 5.0, 2.0, 0.0, 2.0},
        {below, 2.0, 0.7, 0.6, 0.8, -1.0, 3.0}, {above, 3.0, 2.5, 1.2, 1.2, 1.0, 4.0},
        {above, 3.0, 2.5, 1.0, 1.0, 0.0, 20.0}, {ones, 1.0, 1.0, 1.2, 3.7, 0.0, 3.0},
        {ones, 1.0, 1.3, 5.0, 5.0, 0.5, 2.0},
    };
    for (const auto& row : rows) {
        const ValueList prior = law_parameters({row.a, row.b});
        const ValueList law = law_parameters({row.theta, row.k0});
        const ShapeRejection rejection(row.data, row.theta, row.k0, row.low, row.high);
        ASSERT_TRUE(rejection.usable());
        const double step = (row.high - row.low) / 397.0;
        for (double k = row.low; k <= row.high; k += step) {  // b about the edge of each shape
            const double edge = rejection.log_likelihood(k) - rejection.log_bound();
            for (const double shift : {-1e-6, -1e-12, 0.0, 1e-12, 1e-6}) {
                const double b = std::exp(edge + shift * std::max(1.0, std::fabs(edge)));
                if (!(b > 0.0 && b < 1.0)) continue;
                ASSERT_EQ(rejection.accepts(k, b), rejection.accepts_by_full_sum(k, b))
                    << row.theta << " " << row.a << " " << k << " " << shift;
            }
        }
        for (const unsigned seed : {3u, 1234u, 99991u}) {
            Generator plainGenerator(seed);
            Values plain;
            while (plain.size() < 40) {
                const double w = random_value(plainGenerator, LawCode::kBeta, prior);
                const double k = row.low + (row.high - row.low) * w;
                const double b = uniform_value(plainGenerator, 0.0, 1.0);
                if (rejection.accepts_by_full_sum(k, b))
                    plain.push_back(random_value(plainGenerator, LawCode::kWeibull,
                                                 law_parameters({row.theta, k})));
            }
            Generator generator(seed);
            const PredictiveSampler sampler(row.data, LawCode::kWeibull, prior, ValueList{}, law,
                                            row.low, row.high, 1);
            Values drawn;
            ASSERT_EQ(sampler.draw(generator, 40, drawn), PredictiveDraw::Drawn);
            EXPECT_EQ(drawn, plain) << row.theta << " " << row.a << " " << row.low << " " << seed;
            EXPECT_EQ(generator.state(), plainGenerator.state())
                << row.theta << " " << row.a << " " << seed;
        }
    }
}

}  // namespace
}  // namespace evstat
