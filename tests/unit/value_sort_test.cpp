// The contiguous sort and the contiguous random draws against the Sample forms they stand
// in for: sort_ascending, and evaluate_law in random mode, from one seed.
#include "series/value_sort.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "laws/evaluate.h"
#include "laws/generator.h"
#include "laws/random_values.h"
#include "unit/law_parameters.h"

namespace evstat {
namespace {

using Values = std::vector<double>;
constexpr double kInf = std::numeric_limits<double>::infinity();

Values sorted_by_sample(const Values& values) {
    Values out = values;
    sort_ascending(out);
    return out;
}

void expect_same(const Values& a, const Values& b, const char* what) {
    ASSERT_EQ(a.size(), b.size()) << what;
    for (std::size_t i = 0; i < a.size(); ++i)
        EXPECT_TRUE(a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i]))) << what << " at " << i;
}

Values drawn(Generator& generator, LawCode code, const ValueList& parameters, int count) {
    Values values;
    draw_random_values(generator, code, parameters, count, values);
    return values;
}

TEST(ValueSorter, SameOrderAsTheSampleSort) {
    Generator generator(11);
    const Values normal = drawn(generator, LawCode::kNormal, law_parameters({0, 1}), 501);
    const Values pareto = drawn(generator, LawCode::kPareto, law_parameters({1, 0.3}),
                                400);  // heavy tail: crowded buckets
    Values ties(300, 2.5);
    ties[7] = -1e300;
    ties[200] = 7.0;
    Values clustered = normal;  // many values in one bucket next to a far outlier
    clustered.push_back(1e12);
    const struct {
        const char* what;
        Values values;
    } rows[] = {
        {"normal", normal},
        {"pareto", pareto},
        {"ties", ties},
        {"clustered", clustered},
        {"constant", Values(50, -3.0)},
        {"short", {3, 1, 2, -5, 0}},
        {"infinite", {1, kInf, -kInf, 3, 2, 1, 0, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6, 7,
                      8, 9, 10, 11, 12, 13, 14, 15, 16, 17}},
        {"with NaN", {5, NAN, 1, 4, 2, NAN, 3, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6, 7, 8,
                      9, 10, 11, 12, 13, 14, 15, 16, 17}},
        {"empty", {}},
    };
    ValueSorter sorter;  // one sorter for all: its scratch space is reused
    for (const auto& row : rows) {
        Values values = row.values;
        sorter.sort(values);
        expect_same(values, sorted_by_sample(row.values), row.what);
    }
}

// Every law the generator draws from, with an odd count (the normal and lognormal pairs
// drop their last second value).
TEST(DrawRandomValues, TheValuesOfEvaluateLawFromTheSameSeed) {
    const struct {
        LawCode code;
        Values parameters;
    } rows[] = {
        {LawCode::kUniform, {1, 3}},
        {LawCode::kExponential, {2}},
        {LawCode::kGamma, {0.5, 2}},
        {LawCode::kGamma, {3, 1}},
        {LawCode::kChiSquare, {5}},
        {LawCode::kNormal, {1, 2}},
        {LawCode::kStudent, {4}},
        {LawCode::kBeta, {2, 3}},
        {LawCode::kWeibull, {2, 1.5}},
        {LawCode::kLognormal, {0, 0.5}},
        {LawCode::kPareto, {1, 3}},
        {LawCode::kGpd, {0.2, 1}},
        {LawCode::kStudentApprox, {0, 2, 1}},
    };
    for (const auto& row : rows) {
        const ValueList parameters = law_parameters(row.parameters);
        Generator generator(99);
        Sample sample;
        random_sample(generator, row.code, parameters, 7, sample);
        const int after = generator.next();
        generator = Generator(99);
        const Values values = drawn(generator, row.code, parameters, 7);
        EXPECT_EQ(generator.next(), after) << row.code;  // the same number of draws
        Values fromSample;
        for (const Point& p : sample) fromSample.push_back(p.y);
        expect_same(values, fromSample, "law");
        EXPECT_EQ(sample.x_at(7), 7.0);
    }
}

// The polar method written out one pair after the other over the source's own uniforms,
// counting the uniforms drawn again (0 or 1): the normal series must be these doubles, and
// leave the generator where they leave it.
struct PolarReference {
    Generator generator;
    int redraws = 0;
    double uniform() {
        for (;;) {
            const double u = generator.next() / static_cast<double>(kRandomMax);
            if (u != 0.0 && u != 1.0) return u;
            ++redraws;
        }
    }
    Values series(double mu, double sigma, int count) {
        Values values;
        while (static_cast<int>(values.size()) < count) {
            double q1 = 0.0, q2 = 0.0, s = 0.0;
            do {
                q1 = 2.0 * uniform() - 1.0;
                q2 = 2.0 * uniform() - 1.0;
                s = q1 * q1 + q2 * q2;
            } while (s == 0.0 || s > 1.0);
            const double f = std::sqrt(-2.0 * std::log(s) / s);
            values.push_back(mu + sigma * f * q1);
            if (static_cast<int>(values.size()) < count) values.push_back(mu + sigma * f * q2);
        }
        return values;
    }
};

TEST(DrawRandomValues, NormalSeriesAreThePolarPairsOneAfterTheOther) {
    PolarReference reference;
    for (const int count : {1, 2, 7, 200, 40001}) {
        for (const std::uint32_t seed : {1u, 2024u, 4000000000u}) {
            reference.generator = Generator(seed);
            const Values expected = reference.series(10.0, 2.0, count);
            const int after = reference.generator.next();
            Generator generator(seed);
            const Values values =
                drawn(generator, LawCode::kNormal, law_parameters({10, 2}), count);
            EXPECT_EQ(generator.next(), after) << count << " values from seed " << seed;
            ASSERT_EQ(values.size(), expected.size());
            for (std::size_t i = 0; i < values.size(); ++i)
                ASSERT_EQ(values[i], expected[i]) << count << " values from seed " << seed;
        }
    }
    EXPECT_GT(reference.redraws, 0);  // the source's 0 and 32767 were met on the way
}

}  // namespace
}  // namespace evstat
