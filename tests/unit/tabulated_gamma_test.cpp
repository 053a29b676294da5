// The tabulated gamma and beta samplers against random_value: the same values, bit for bit,
// and the generator left in the same state, for shapes of each method (Joehnk below 1, the
// exponential law at 1, Best above) and shapes without a law.
#include "laws/tabulated_gamma.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "laws/generator.h"
#include "laws/random_values.h"
#include "unit/law_parameters.h"

namespace evstat {
namespace {

bool same_bits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(TabulatedBeta, DrawsWhatRandomValueDraws) {
    const struct {
        double a, b;
    } rows[] = {{1.2, 3.7}, {5.0, 1.2}, {5.0, 5.0},  {0.6, 0.8},       {0.05, 2.5},
                {1.0, 1.0}, {1.0, 4.0}, {40.0, 0.3}, {1.0000001, 1e3}, {0.0, 2.0}};
    for (const auto& row : rows) {
        const TabulatedBeta tabulated(row.a, row.b);
        for (const unsigned seed : {1u, 77u, 40503u}) {
            Generator plainGenerator(seed);
            double plain[3000];
            for (double& value : plain)
                value =
                    random_value(plainGenerator, LawCode::kBeta, law_parameters({row.a, row.b}));
            Generator generator(seed);
            for (int i = 0; i < 3000; ++i) {
                const double value = tabulated.draw(generator);
                ASSERT_TRUE(same_bits(value, plain[i]) ||
                            (std::isnan(value) && std::isnan(plain[i])))
                    << row.a << " " << row.b << " seed " << seed << " draw " << i;
            }
            EXPECT_EQ(generator.state(), plainGenerator.state())
                << row.a << " " << row.b << " seed " << seed;
        }
    }
}

}  // namespace
}  // namespace evstat
