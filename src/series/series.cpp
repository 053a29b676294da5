// Descriptive statistics, ordering and in-place transforms of a series.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>
#include <cmath>
#include <limits>
#include <vector>

#include "series/series.h"

namespace evstat {

namespace {
constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();

// Shell sort with the increments 1, 4, 13, 40, ... (h = 3h + 1). Used when a NaN is
// present: its comparisons then decide where each value lands, and a comparison sort
// whose ordering needs a strict weak order must not see them.
void shell_sort(Series& a) {
    const std::size_t n = a.size();
    std::size_t h = 1;
    while (h <= n) h = 3 * h + 1;
    do {
        h /= 3;
        for (std::size_t j = h; j < n; ++j) {
            const double v = a[j];
            std::size_t i = j;
            while (a[i - h] > v) {
                a[i] = a[i - h];
                i -= h;
                if (i < h) break;
            }
            a[i] = v;
        }
    } while (h > 1);
}
// Least-significant-digit radix sort of doubles that hold no NaN: the same order as a
// comparison sort (equal values are indistinguishable), in six
// passes of 11 bits over keys that order like the values.
constexpr std::size_t kRadixSortFrom = 4096;  // below this a comparison sort is faster
constexpr int kRadixBits = 11;
constexpr std::size_t kBuckets = std::size_t{1} << kRadixBits;

void radix_sort(Series& a) {
    constexpr int kPasses = (64 + kRadixBits - 1) / kRadixBits;
    const std::size_t n = a.size();
    std::vector<std::uint64_t> keys(n), spare(n);
    // Every pass's histogram is counted while the keys are made.
    std::vector<std::size_t> counts(kPasses * kBuckets, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t bits = std::bit_cast<std::uint64_t>(a[i]);
        const std::uint64_t key = (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
        keys[i] = key;
        for (int pass = 0; pass < kPasses; ++pass)
            ++counts[pass * kBuckets + ((key >> (pass * kRadixBits)) & (kBuckets - 1))];
    }
    for (int pass = 0; pass < kPasses; ++pass) {
        std::size_t* const count = counts.data() + pass * kBuckets;
        const int shift = pass * kRadixBits;
        // A digit that every key shares leaves the order as it is.
        if (count[(keys[0] >> shift) & (kBuckets - 1)] == n) continue;
        std::size_t total = 0;
        for (std::size_t b = 0; b < kBuckets; ++b) total += std::exchange(count[b], total);
        for (std::uint64_t key : keys) spare[count[(key >> shift) & (kBuckets - 1)]++] = key;
        keys.swap(spare);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t key = keys[i];
        a[i] = std::bit_cast<double>((key >> 63) != 0 ? key & ~(std::uint64_t{1} << 63) : ~key);
    }
}
}  // namespace

double value_at(std::span<const double> series, int position) {
    if (series.empty() || position > size_of(series)) return kUndefined;
    return series[position <= 1 ? 0 : static_cast<std::size_t>(position - 1)];
}

double first_value(std::span<const double> series) {
    return series.empty() ? kUndefined : series.front();
}

double last_value(std::span<const double> series) {
    return series.empty() ? kUndefined : series.back();
}

int size_of(std::span<const double> series) { return static_cast<int>(series.size()); }

double max_value(std::span<const double> series) {
    if (series.empty()) return kUndefined;
    double best = series.front();
    for (const double v : series)
        if (v > best) best = v;
    return best;
}

double min_value(std::span<const double> series) {
    if (series.empty()) return kUndefined;
    double best = series.front();
    for (const double v : series)
        if (!(v >= best)) best = v;
    return best;
}

double sum(std::span<const double> series) {
    double total = 0.0;
    for (const double v : series) total += v;
    return total;
}

double mean(std::span<const double> series) {
    return sum(series) / static_cast<double>(size_of(series));
}

double variance(std::span<const double> series) {
    const double m = mean(series);
    double total = 0.0;
    for (const double v : series) total += (v - m) * (v - m);
    return total / static_cast<double>(size_of(series));
}

void sort_ascending(Series& series) {
    bool has_nan = false;
    bool ascending = true;  // data files usually are
    for (std::size_t j = 0; j < series.size(); ++j) {
        has_nan = has_nan || std::isnan(series[j]);
        ascending = ascending && (j == 0 || !(series[j] < series[j - 1]));
    }
    if (has_nan)
        shell_sort(series);
    else if (ascending)
        ;  // already in order
    else if (series.size() >= kRadixSortFrom)
        radix_sort(series);
    else
        std::sort(series.begin(), series.end());
}

double median(std::span<const double> series, int n) {
    const int half = n / 2;
    if (n % 2 == 1) return value_at(series, half + 1);
    return (value_at(series, half + 1) + value_at(series, half)) / 2.0;
}

double lower_quartile(std::span<const double> s, int n) {
    const int k = n / 4;
    switch (n % 4) {
        case 0: return value_at(s, k) + 0.75 * (value_at(s, k + 1) - value_at(s, k));
        case 1: return value_at(s, k + 1);
        case 2: return value_at(s, k + 1) + 0.25 * (value_at(s, k + 2) - value_at(s, k + 1));
        default: return value_at(s, k + 1) + 0.5 * (value_at(s, k + 2) - value_at(s, k + 1));
    }
}

double upper_quartile(std::span<const double> s, int n) {
    const int k = n / 4;
    const int m = n - k;
    switch (n % 4) {
        case 0: return value_at(s, m) + 0.25 * (value_at(s, m + 1) - value_at(s, m));
        case 1: return value_at(s, m);
        case 2: return value_at(s, m - 1) + 0.75 * (value_at(s, m) - value_at(s, m - 1));
        default: return value_at(s, m - 1) + 0.5 * (value_at(s, m) - value_at(s, m - 1));
    }
}

bool has_non_positive(std::span<const double> series) {
    return std::any_of(series.begin(), series.end(), [](double v) { return !(v > 0.0); });
}

int leading_non_positive_count(std::span<const double> series) {
    int count = 0;
    for (const double v : series) {
        if (v > 0.0) break;
        ++count;
    }
    return count;
}

void apply_log(Series& series) {
    for (double& v : series) v = std::log(v);
}

void apply_exp(Series& series) {
    for (double& v : series) v = std::exp(v);
}

void apply_abs_if_non_positive(Series& series) {
    if (!has_non_positive(series)) return;
    for (double& v : series) v = std::fabs(v);
}

void negate(Series& series) {
    for (double& v : series) v = -v;
}

void apply_affine(Series& series, double a, double b) {
    for (double& v : series) v = v * a + b;
}

void apply_power(Series& series, double r) {
    for (double& v : series) v = std::pow(v, r);
}

Series logarithms_of(std::span<const double> series) {
    Series logarithms(series.begin(), series.end());
    apply_log(logarithms);
    return logarithms;
}

}  // namespace evstat
