// Descriptive statistics, ordering and in-place transforms of a Sample's values.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>
#include <cmath>
#include <limits>
#include <vector>

#include "series/lists.h"

namespace evstat {

namespace {
constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();

// Shell sort with the increments 1, 4, 13, 40, ... (h = 3h + 1), over a[1..n].
// Used when a NaN is present: its comparisons then decide where each value lands,
// and a comparison sort whose ordering needs a strict weak order must not see them.
void shell_sort(std::vector<double>& a, std::size_t n) {
    std::size_t h = 1;
    while (h <= n) h = 3 * h + 1;
    do {
        h /= 3;
        for (std::size_t j = h + 1; j <= n; ++j) {
            const double v = a[j];
            std::size_t i = j;
            while (a[i - h] > v) {
                a[i] = a[i - h];
                i -= h;
                if (i <= h) break;
            }
            a[i] = v;
        }
    } while (h > 1);
}
// Least-significant-digit radix sort of doubles that hold no NaN, over a[first..]:
// the same order as a comparison sort (equal values are indistinguishable), in six
// passes of 11 bits over keys that order like the values.
constexpr std::size_t kRadixSortFrom = 4096;  // below this a comparison sort is faster
constexpr int kRadixBits = 11;
constexpr std::size_t kBuckets = std::size_t{1} << kRadixBits;

void radix_sort(std::vector<double>& a, std::size_t first) {
    constexpr int kPasses = (64 + kRadixBits - 1) / kRadixBits;
    const std::size_t n = a.size() - first;
    std::vector<std::uint64_t> keys(n), spare(n);
    // Every pass's histogram is counted while the keys are made.
    std::vector<std::size_t> counts(kPasses * kBuckets, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t bits = std::bit_cast<std::uint64_t>(a[first + i]);
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
        a[first + i] = std::bit_cast<double>((key >> 63) != 0 ? key & ~(std::uint64_t{1} << 63) : ~key);
    }
}
}  // namespace

double Sample::max_value() const {
    if (points_.empty()) return kUndefined;
    double best = points_.front().y;
    for (const Point& p : points_)
        if (p.y > best) best = p.y;
    return best;
}

double Sample::min_value() const {
    if (points_.empty()) return kUndefined;
    double best = points_.front().y;
    for (const Point& p : points_)
        if (!(p.y >= best)) best = p.y;
    return best;
}

double Sample::sum() const {
    double total = 0.0;
    for (const Point& p : points_) total += p.y;
    return total;
}

double Sample::mean() const { return sum() / static_cast<double>(size()); }

double Sample::variance() const {
    const double m = mean();
    double total = 0.0;
    for (const Point& p : points_) total += (p.y - m) * (p.y - m);
    return total / static_cast<double>(size());
}

void Sample::sort_ascending() {
    const std::size_t n = points_.size();
    std::vector<double> a(n + 1, 0.0);
    bool has_nan = false;
    bool ascending = true;  // data files usually are
    for (std::size_t j = 0; j < n; ++j) {
        a[j + 1] = points_[j].y;
        has_nan = has_nan || std::isnan(a[j + 1]);
        ascending = ascending && (j == 0 || !(a[j + 1] < a[j]));
    }
    if (has_nan)
        shell_sort(a, n);
    else if (ascending)
        ;  // already in order: only the ranks are renumbered
    else if (n >= kRadixSortFrom)
        radix_sort(a, 1);
    else
        std::sort(a.begin() + 1, a.end());
    // The points are rewritten in place: x = 1..n, y ascending.
    for (std::size_t j = 1; j <= n; ++j) points_[j - 1] = {static_cast<double>(j), a[j]};
}

double Sample::median(int n) const {
    const int half = n / 2;
    if (n % 2 == 1) return y_at(half + 1);
    return (y_at(half + 1) + y_at(half)) / 2.0;
}

double Sample::lower_quartile(int n) const {
    const int k = n / 4;
    switch (n % 4) {
        case 0: return y_at(k) + 0.75 * (y_at(k + 1) - y_at(k));
        case 1: return y_at(k + 1);
        case 2: return y_at(k + 1) + 0.25 * (y_at(k + 2) - y_at(k + 1));
        default: return y_at(k + 1) + 0.5 * (y_at(k + 2) - y_at(k + 1));
    }
}

double Sample::upper_quartile(int n) const {
    const int k = n / 4;
    const int m = n - k;
    switch (n % 4) {
        case 0: return y_at(m) + 0.25 * (y_at(m + 1) - y_at(m));
        case 1: return y_at(m);
        case 2: return y_at(m - 1) + 0.75 * (y_at(m) - y_at(m - 1));
        default: return y_at(m - 1) + 0.5 * (y_at(m) - y_at(m - 1));
    }
}

bool Sample::has_non_positive() const {
    return std::any_of(points_.begin(), points_.end(), [](const Point& p) { return !(p.y > 0.0); });
}

void Sample::count_leading_non_positive(bool& found, int& count) const {
    found = false;
    count = 0;
    for (const Point& p : points_) {
        if (p.y > 0.0) break;
        found = true;
        ++count;
    }
}

void Sample::apply_log() {
    for (Point& p : points_) p.y = std::log(p.y);
}

void Sample::apply_exp() {
    for (Point& p : points_) p.y = std::exp(p.y);
}

void Sample::apply_abs_if_non_positive() {
    if (!has_non_positive()) return;
    for (Point& p : points_) p.y = std::fabs(p.y);
}

void Sample::negate() {
    for (Point& p : points_) p.y = -p.y;
}

void Sample::apply_affine(double a, double b) {
    for (Point& p : points_) p.y = p.y * a + b;
}

void Sample::apply_power(double r) {
    for (Point& p : points_) p.y = std::pow(p.y, r);
}

}  // namespace evstat
