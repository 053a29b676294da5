// Statistics of a sorted series: values worked out by hand from the interpolation rules
// (lower quartile at (n + 3)/4, upper at (3n + 1)/4, median at (n + 1)/2).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "series/lists.h"

namespace evstat {
namespace {

Sample sample_of(const std::vector<double>& values) {
    Sample s;
    double x = 0.0;
    for (double v : values) s.push_back(++x, v);
    return s;
}

std::vector<double> values_of(const Sample& s) {
    std::vector<double> v;
    for (const Point& p : s) v.push_back(p.y);
    return v;
}

TEST(Statistics, MedianAndQuartilesForSmallSeries) {
    // y = 10, 20, 30, 40, 50 truncated to the first n values.
    struct Row {
        int n;
        double median, lower, upper;
    };
    const std::vector<Row> rows = {
        {1, 10, 10, 10},
        {2, 15, 12.5, 17.5},  // y1 + 0.25 (y2 - y1), y1 + 0.75 (y2 - y1)
        {3, 20, 15, 25},      // y1 + 0.5 (y2 - y1), y2 + 0.5 (y3 - y2)
        {4, 25, 17.5, 32.5},  // y1 + 0.75 (y2 - y1), y3 + 0.25 (y4 - y3)
        {5, 30, 20, 40},
    };
    const std::vector<double> all = {10, 20, 30, 40, 50};
    for (const Row& r : rows) {
        const Sample s = sample_of(std::vector<double>(all.begin(), all.begin() + r.n));
        EXPECT_DOUBLE_EQ(s.median(r.n), r.median) << r.n;
        EXPECT_DOUBLE_EQ(s.lower_quartile(r.n), r.lower) << r.n;
        EXPECT_DOUBLE_EQ(s.upper_quartile(r.n), r.upper) << r.n;
    }
    // n = 6, 7, 8 cover the other remainders away from the ends: 1..8.
    const Sample eight = sample_of({1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_DOUBLE_EQ(eight.lower_quartile(8), 2.75);  // p = 2.75
    EXPECT_DOUBLE_EQ(eight.upper_quartile(8), 6.25);  // p = 6.25
    const Sample seven = sample_of({1, 2, 3, 4, 5, 6, 7});
    EXPECT_DOUBLE_EQ(seven.lower_quartile(7), 2.5);
    EXPECT_DOUBLE_EQ(seven.upper_quartile(7), 5.5);
    const Sample six = sample_of({1, 2, 3, 4, 5, 6});
    EXPECT_DOUBLE_EQ(six.lower_quartile(6), 2.25);
    EXPECT_DOUBLE_EQ(six.upper_quartile(6), 4.75);
    EXPECT_DOUBLE_EQ(six.median(6), 3.5);
}

TEST(Statistics, MeanVarianceWithDivisorNAndEmptySeries) {
    const Sample s = sample_of({1, 2, 3, 4});
    EXPECT_DOUBLE_EQ(s.mean(), 2.5);
    EXPECT_DOUBLE_EQ(s.variance(), 1.25);
    EXPECT_DOUBLE_EQ(s.sum(), 10.0);
    const Sample empty;
    EXPECT_EQ(empty.sum(), 0.0);
    EXPECT_TRUE(std::isnan(empty.mean()));
    EXPECT_TRUE(std::isnan(empty.variance()));
    EXPECT_FALSE(empty.has_non_positive());
}

TEST(Statistics, MinimumTakesNaNMaximumSkipsIt) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // A NaN replaces the running minimum, and any value after it replaces the NaN.
    EXPECT_TRUE(std::isnan(sample_of({3, 1, nan}).min_value()));
    EXPECT_EQ(sample_of({3, nan, 1, 5}).min_value(), 1.0);
    EXPECT_EQ(sample_of({3, nan, 1, 5}).max_value(), 5.0);
    EXPECT_EQ(sample_of({3, -2, 7}).min_value(), -2.0);
}

TEST(Statistics, SortRenumbersAndOrders) {
    Sample s;
    s.push_back(7.0, 3.0);
    s.push_back(8.0, 1.0);
    s.push_back(9.0, 2.0);
    s.sort_ascending();
    ASSERT_EQ(s.size(), 3);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(s.x_at(i), i);
        EXPECT_EQ(s.y_at(i), i);
    }
    Sample empty;
    empty.sort_ascending();
    EXPECT_EQ(empty.size(), 0);

    // A long series with duplicates sorts like std::sort.
    std::vector<double> values;
    for (int i = 0; i < 1000; ++i) values.push_back(static_cast<double>((i * 7919) % 101));
    Sample big = sample_of(values);
    big.sort_ascending();
    std::sort(values.begin(), values.end());
    EXPECT_EQ(values_of(big), values);
}

TEST(Statistics, LongSeriesOfEverySignAndMagnitudeSortLikeAComparisonSort) {
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> values = {inf, -inf, 0.0, -0.0, 4.9e-324, -4.9e-324, 1.7976931348623157e308,
                                  -1.7976931348623157e308};
    unsigned state = 7;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1103515245u + 12345u;
        const double magnitude = std::ldexp(1.0 + (state >> 8) / 16777216.0, static_cast<int>(state % 200) - 100);
        values.push_back((state & 1u) != 0 ? magnitude : -magnitude);
    }
    Sample s = sample_of(values);
    s.sort_ascending();
    std::sort(values.begin(), values.end());
    const std::vector<double> sorted = values_of(s);
    ASSERT_EQ(sorted.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) ASSERT_EQ(sorted[i], values[i]) << i;
    EXPECT_EQ(s.x_at(s.size()), static_cast<double>(values.size()));
}

TEST(Statistics, SortWithNaNEndsAndKeepsEveryValue) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Sample s = sample_of({5, nan, 3, 1, nan, 4, 2});
    s.sort_ascending();
    ASSERT_EQ(s.size(), 7);
    int nans = 0;
    double total = 0.0;
    for (const Point& p : s) {
        if (std::isnan(p.y))
            ++nans;
        else
            total += p.y;
    }
    EXPECT_EQ(nans, 2);
    EXPECT_EQ(total, 15.0);
    EXPECT_EQ(s.x_at(7), 7.0);
}

TEST(Statistics, NonPositiveTestsAndTransforms) {
    bool found = false;
    int count = -1;
    sample_of({-1, 0, 2}).count_leading_non_positive(found, count);
    EXPECT_TRUE(found);
    EXPECT_EQ(count, 2);
    sample_of({1, -1}).count_leading_non_positive(found, count);
    EXPECT_FALSE(found);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(sample_of({1, std::numeric_limits<double>::quiet_NaN()}).has_non_positive());

    Sample s = sample_of({1, -2, 3});
    s.apply_abs_if_non_positive();
    EXPECT_EQ(values_of(s), (std::vector<double>{1, 2, 3}));
    s.apply_abs_if_non_positive();
    EXPECT_EQ(values_of(s), (std::vector<double>{1, 2, 3}));
    s.apply_affine(2.0, 1.0);  // multiply first, then add
    EXPECT_EQ(values_of(s), (std::vector<double>{3, 5, 7}));
    s.negate();
    EXPECT_EQ(values_of(s), (std::vector<double>{-3, -5, -7}));
    s.apply_power(2.0);
    EXPECT_EQ(values_of(s), (std::vector<double>{9, 25, 49}));
    s.apply_log();
    s.apply_exp();
    EXPECT_NEAR(s.y_at(2), 25.0, 1e-12);
    EXPECT_EQ(s.x_at(3), 3.0);
}

}  // namespace
}  // namespace evstat
