// Statistics of a sorted series: values worked out by hand from the interpolation rules
// (lower quartile at (n + 3)/4, upper at (3n + 1)/4, median at (n + 1)/2).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "series/resample_loop.h"
#include "series/series.h"

namespace evstat {
namespace {

Series sample_of(const std::vector<double>& values) { return values; }
const Series& values_of(const Series& s) { return s; }

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
        const Series s(all.begin(), all.begin() + r.n);
        EXPECT_DOUBLE_EQ(median(s, r.n), r.median) << r.n;
        EXPECT_DOUBLE_EQ(lower_quartile(s, r.n), r.lower) << r.n;
        EXPECT_DOUBLE_EQ(upper_quartile(s, r.n), r.upper) << r.n;
    }
    // n = 6, 7, 8 cover the other remainders away from the ends: 1..8.
    const Series eight = sample_of({1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_DOUBLE_EQ(lower_quartile(eight, 8), 2.75);  // p = 2.75
    EXPECT_DOUBLE_EQ(upper_quartile(eight, 8), 6.25);  // p = 6.25
    const Series seven = sample_of({1, 2, 3, 4, 5, 6, 7});
    EXPECT_DOUBLE_EQ(lower_quartile(seven, 7), 2.5);
    EXPECT_DOUBLE_EQ(upper_quartile(seven, 7), 5.5);
    const Series six = sample_of({1, 2, 3, 4, 5, 6});
    EXPECT_DOUBLE_EQ(lower_quartile(six, 6), 2.25);
    EXPECT_DOUBLE_EQ(upper_quartile(six, 6), 4.75);
    EXPECT_DOUBLE_EQ(median(six, 6), 3.5);
}

TEST(Statistics, MeanVarianceWithDivisorNAndEmptySeries) {
    const Series s = sample_of({1, 2, 3, 4});
    EXPECT_DOUBLE_EQ(mean(s), 2.5);
    EXPECT_DOUBLE_EQ(variance(s), 1.25);
    EXPECT_DOUBLE_EQ(sum(s), 10.0);
    const Series empty;
    EXPECT_EQ(sum(empty), 0.0);
    EXPECT_TRUE(std::isnan(mean(empty)));
    EXPECT_TRUE(std::isnan(variance(empty)));
    EXPECT_FALSE(has_non_positive(empty));
}

TEST(Statistics, MinimumTakesNaNMaximumSkipsIt) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // A NaN replaces the running minimum, and any value after it replaces the NaN.
    EXPECT_TRUE(std::isnan(min_value(sample_of({3, 1, nan}))));
    EXPECT_EQ(min_value(sample_of({3, nan, 1, 5})), 1.0);
    EXPECT_EQ(max_value(sample_of({3, nan, 1, 5})), 5.0);
    EXPECT_EQ(min_value(sample_of({3, -2, 7})), -2.0);
}

TEST(Statistics, SortOrdersAndPositionsReadOneBased) {
    Series s = {3.0, 1.0, 2.0};
    sort_ascending(s);
    ASSERT_EQ(s.size(), 3u);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(value_at(s, i), i);
    EXPECT_EQ(value_at(s, 0), 1.0);  // a position below 1 reads the first value
    EXPECT_TRUE(std::isnan(value_at(s, 4)));
    EXPECT_EQ(first_value(s), 1.0);
    EXPECT_EQ(last_value(s), 3.0);
    Series empty;
    sort_ascending(empty);
    EXPECT_TRUE(empty.empty());
    EXPECT_TRUE(std::isnan(value_at(empty, 1)));
    EXPECT_TRUE(std::isnan(first_value(empty)));
    EXPECT_TRUE(std::isnan(last_value(empty)));

    // A long series with duplicates sorts like std::sort.
    std::vector<double> values;
    for (int i = 0; i < 1000; ++i) values.push_back(static_cast<double>((i * 7919) % 101));
    Series big = sample_of(values);
    sort_ascending(big);
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
        const double magnitude = std::ldexp(1.0 + (state >> 8) / 16777216.0,
                                            static_cast<int>(state % 200) - 100);
        values.push_back((state & 1u) != 0 ? magnitude : -magnitude);
    }
    Series s = sample_of(values);
    sort_ascending(s);
    std::sort(values.begin(), values.end());
    const std::vector<double> sorted = values_of(s);
    ASSERT_EQ(sorted.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) ASSERT_EQ(sorted[i], values[i]) << i;
}

TEST(Statistics, SortWithNaNEndsAndKeepsEveryValue) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Series s = sample_of({5, nan, 3, 1, nan, 4, 2});
    sort_ascending(s);
    ASSERT_EQ(s.size(), 7u);
    int nans = 0;
    double total = 0.0;
    for (const double v : s) {
        if (std::isnan(v))
            ++nans;
        else
            total += v;
    }
    EXPECT_EQ(nans, 2);
    EXPECT_EQ(total, 15.0);
}

TEST(Statistics, NonPositiveTestsAndTransforms) {
    EXPECT_EQ(leading_non_positive_count(sample_of({-1, 0, 2})), 2);
    EXPECT_EQ(leading_non_positive_count(sample_of({1, -1})), 0);
    EXPECT_TRUE(has_non_positive(sample_of({1, std::numeric_limits<double>::quiet_NaN()})));

    Series s = sample_of({1, -2, 3});
    apply_abs_if_non_positive(s);
    EXPECT_EQ(values_of(s), (std::vector<double>{1, 2, 3}));
    apply_abs_if_non_positive(s);
    EXPECT_EQ(values_of(s), (std::vector<double>{1, 2, 3}));
    apply_affine(s, 2.0, 1.0);  // multiply first, then add
    EXPECT_EQ(values_of(s), (std::vector<double>{3, 5, 7}));
    negate(s);
    EXPECT_EQ(values_of(s), (std::vector<double>{-3, -5, -7}));
    apply_power(s, 2.0);
    EXPECT_EQ(values_of(s), (std::vector<double>{9, 25, 49}));
    apply_log(s);
    apply_exp(s);
    EXPECT_NEAR(value_at(s, 2), 25.0, 1e-12);
    EXPECT_EQ(logarithms_of(sample_of({1.0, 1.0}))[1], 0.0);
}

// The loop draws in order, whatever the batches (resamples of 300,000 values fill a batch
// with one) and the threads, finishes and steps each sorted resample, leaves out a NaN step, sorts
// what it keeps, and stops at the first draw that fails.
TEST(ResampleLoop, DrawsInOrderStepsEachAndStopsAtAFailedDraw) {
    struct Row {
        int B, size, failAt;  // failAt: the draw that fails (0: none)
        bool ok;
        int draws;
        Series values;
    };
    const std::vector<Row> rows = {
        {5, 4, 0, true, 5, {0, 10, 30, 40}},  // the resample 3 steps to NaN
        {10, 300000, 0, true, 10, {0, 10, 30, 40, 50, 60, 70, 80, 90}},
        {10, 300000, 7, false, 7, {}},
        {0, 4, 0, false, 0, {}},
        {600, 1, 0, true, 600, {}},  // several batches of one value each
    };
    for (const int threads : {1, 3}) {
        WorkerPool pool(threads);
        for (const Row& row : rows) {
            int draws = 0;
            const SeriesDraw draw = [&](Series& values) {
                if (++draws == row.failAt) return false;
                values.assign(static_cast<std::size_t>(row.size), 0.0);
                for (int i = 0; i < row.size; ++i) values[static_cast<std::size_t>(i)] = i;
                values[0] = -10.0 * (draws - 1);  // once finished, the largest value names the draw
                return true;
            };
            // Each step counts its own calls: a step shared by two threads would lose some.
            std::vector<int> calls;
            calls.reserve(64);
            const StepMaker makeStep = [&]() -> ResampleStep {
                calls.push_back(0);
                return [&calls, at = calls.size() - 1](std::span<const double> sorted) {
                    EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
                    ++calls[at];
                    return sorted.back() == 20.0 ? std::nan("") : sorted.back();
                };
            };
            Series values = {99.0};
            const std::string why = std::to_string(row.B) + " / " + std::to_string(threads);
            // The finish, before the sort, changes the sign of every value.
            const SeriesFinish finish = [](Series& values) {
                for (double& value : values) value = -value;
            };
            EXPECT_EQ(resampled_values(pool, row.B, draw, finish, makeStep, values), row.ok) << why;
            EXPECT_EQ(draws, row.draws) << why;
            if (!row.ok) continue;
            Series expected = row.values;
            if (row.size == 1)
                for (int i = 0; i < row.B; ++i)
                    if (i != 2) expected.push_back(10.0 * i);
            EXPECT_EQ(values, expected) << why;
            int stepped = 0;
            for (const int c : calls) stepped += c;
            EXPECT_EQ(stepped, row.B) << why;
        }
    }
}

// A draw or a step that throws ends the loop with its exception, whatever the threads (the
// others stop instead of waiting for chunks that will not come).
TEST(ResampleLoop, AThrowingDrawOrStepEndsTheLoop) {
    for (const int threads : {1, 2, 3}) {
        WorkerPool pool(threads);
        for (const bool inStep : {false, true}) {
            int draws = 0;
            const SeriesDraw draw = [&](Series& values) {
                if (!inStep && ++draws == 300) throw std::runtime_error("draw");
                values.assign(50, 1.0);
                return true;
            };
            const StepMaker makeStep = [&]() -> ResampleStep {
                return [&, calls = 0](std::span<const double>) mutable {
                    if (inStep && ++calls == 40) throw std::runtime_error("step");
                    return 0.0;
                };
            };
            Series values;
            EXPECT_THROW(resampled_values(pool, 1000, draw, nullptr, makeStep, values),
                         std::runtime_error)
                << threads;
        }
    }
}

// The values come out with the bytes std::sort gives the step values in draw order, a zero
// of each sign included (equal as numbers, not as bytes), whatever the threads.
TEST(ResampleLoop, SortsTheValuesAsStdSortDoes) {
    const double inf = std::numeric_limits<double>::infinity();
    for (const std::vector<double>& head : {std::vector<double>{0.0, -0.0, 0.0, -0.0, 3.0},
                                           std::vector<double>{-0.0, 2.0, inf, -0.0}}) {
        std::vector<double> steps = head;
        for (int i = 0; i < 200; ++i) steps.push_back(std::fmod(37.0 * i, 101.0) - 50.0);
        Series expected = steps;
        std::sort(expected.begin(), expected.end());
        for (const int threads : {1, 3}) {
            WorkerPool pool(threads);
            int draws = 0;
            const SeriesDraw draw = [&](Series& values) {
                values.assign(1, static_cast<double>(draws++));
                return true;
            };
            const StepMaker makeStep = [&]() -> ResampleStep {
                return [&](std::span<const double> sorted) {
                    return steps[static_cast<std::size_t>(sorted[0])];
                };
            };
            Series values;
            ASSERT_TRUE(resampled_values(pool, static_cast<int>(steps.size()), draw, nullptr,
                                         makeStep, values));
            ASSERT_EQ(values.size(), expected.size());
            for (std::size_t i = 0; i < values.size(); ++i)
                EXPECT_EQ(std::signbit(values[i]), std::signbit(expected[i])) << i << " / " << threads;
            EXPECT_EQ(values, expected);
        }
    }
}

}  // namespace
}  // namespace evstat
