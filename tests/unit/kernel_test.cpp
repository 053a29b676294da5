#include "estimation/kernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace evstat {
namespace {

Series series_of(const std::vector<double>& values) { return values; }

TEST(KernelDensity, PointValues) {
    struct Row {
        std::vector<double> values;
        double bandwidth;
        double x;
        int kernel;
        double expected;
        double tolerance;
        const char* source;
    };
    const std::vector<Row> rows = {
        {{2.0},
         1.0,
         2.0,
         kGaussianKernel,
         1.0 / std::sqrt(6.28318530717958),
         0.0,
         "n = 1 at the value: phi(0) from 2 pi = 6.28318530717958"},
        {{0.2, 1.0, 1.7},
         0.5,
         0.9,
         kGaussianKernel,
         0.43446066286043761,
         1e-13,
         "R: mean(dnorm((0.9 - x)/0.5))/0.5"},
        {{0.2, 1.0, 1.7},
         0.5,
         0.9,
         kEpanechnikovKernel,
         0.48,
         1e-15,
         "R: only 1.0 within h: 0.75 (1 - 0.04)/0.5/3"},
        {{0.0, 1.0},
         2.0,
         0.5,
         kEpanechnikovKernel,
         0.3515625,
         0.0,
         "by hand: 2 x 0.75 (1 - 1/16)/2, over 2"},
        {{1.0, 2.0, 3.0}, 0.5, 10.0, kEpanechnikovKernel, 0.0, 0.0, "farther than h from all"},
        {{1.0, 2.0}, 1.0, 3.0, kEpanechnikovKernel, 0.0, 0.0, "u = 1 exactly at the edge"},
        {{1.0, 2.0, 3.0}, 1.0, 2.0, 3, 0.0, 0.0, "kernel type 3 adds nothing"},
        {{}, 1.0, 2.0, kGaussianKernel, 0.0, 0.0, "no data"},
    };
    for (const Row& row : rows) {
        const Series series = series_of(row.values);
        EXPECT_NEAR(kernel_density(series, size_of(series), row.bandwidth, row.x, row.kernel),
                    row.expected, row.tolerance)
            << row.source;
    }
}

TEST(QuantilePairs, FirstPairIsAtProbabilityZero) {
    const Series observed = series_of({0.3, 1.1, 2.0});
    ValueList theta;
    theta.push_back(2.0);
    Sample pairs;
    pairs.push_back(-1.0, -1.0);  // earlier content stays
    quantile_pairs(observed, 3, theta, LawCode::kExponential, pairs);
    ASSERT_EQ(pairs.size(), 4);
    // exponential quantile -theta ln(1 - p) at p = 0, 1/3, 2/3
    const std::vector<double> quantiles = {0.0, -2.0 * std::log(2.0 / 3.0),
                                           -2.0 * std::log(1.0 / 3.0)};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(pairs.x_at(i + 2), quantiles[static_cast<std::size_t>(i)], 1e-15);
        EXPECT_EQ(pairs.y_at(i + 2), value_at(observed, i + 1));
    }
    EXPECT_EQ(pairs.x_at(1), -1.0);
}

TEST(QuantilePairs, NoCountAppendsNothing) {
    const Series observed = series_of({0.3, 1.1});
    ValueList theta;
    theta.push_back(2.0);
    for (const int k : {0, -3}) {
        Sample pairs;
        quantile_pairs(observed, k, theta, LawCode::kExponential, pairs);
        EXPECT_TRUE(pairs.empty()) << k;
    }
}

}  // namespace
}  // namespace evstat
