// Distribution counting into value-range buckets (three per value), then each bucket put in
// order by insertion or, when it holds many values, by a comparison sort: linear time for
// the smooth series of the resampling loops, never worse than the comparison sort for
// clustered or heavy-tailed ones. Ascending order of NaN-free doubles is unique up to equal
// values, so the result equals that of any other correct sort.
#include "series/value_sort.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace evstat {

namespace {
constexpr std::size_t kInsertionLimit = 16;  // a bucket above this size is sorted by comparison
constexpr std::size_t kBucketSortFrom = 32;  // a shorter series goes straight to the comparison sort
constexpr std::size_t kBucketsPerValue = 3;  // few values share a bucket: little left to insert

void insertion_sort(double* first, double* last) {
    for (double* i = first + 1; i < last; ++i) {
        const double v = *i;
        if (!(*(i - 1) > v)) continue;
        double* j = i;
        while (j > first && *(j - 1) > v) {
            *j = *(j - 1);
            --j;
        }
        *j = v;
    }
}
// The lowest and highest values (meaningful without NaN), over four interleaved runs so
// that the comparisons do not wait on one another; true when a value is NaN.
bool value_range(const std::vector<double>& values, double& lowest, double& highest) {
    constexpr std::size_t kRuns = 4;
    double low[kRuns], high[kRuns];
    for (std::size_t r = 0; r < kRuns; ++r) low[r] = high[r] = values.front();
    bool hasNaN = false;
    const std::size_t n = values.size();
    std::size_t i = 0;
    for (; i + kRuns <= n; i += kRuns) {
        for (std::size_t r = 0; r < kRuns; ++r) {
            const double v = values[i + r];
            hasNaN |= std::isnan(v);
            low[r] = v < low[r] ? v : low[r];
            high[r] = v > high[r] ? v : high[r];
        }
    }
    for (; i < n; ++i) {
        const double v = values[i];
        hasNaN |= std::isnan(v);
        low[0] = v < low[0] ? v : low[0];
        high[0] = v > high[0] ? v : high[0];
    }
    lowest = std::min({low[0], low[1], low[2], low[3]});
    highest = std::max({high[0], high[1], high[2], high[3]});
    return hasNaN;
}

// Running totals of the counts, four at a time: the stores do not wait on the total.
void running_totals(std::vector<std::uint32_t>& counts) {
    const std::size_t n = counts.size();
    std::uint32_t total = 0;
    std::size_t b = 0;
    for (; b + 4 <= n; b += 4) {
        const std::uint32_t c0 = counts[b];
        const std::uint32_t c1 = c0 + counts[b + 1];
        const std::uint32_t c2 = c1 + counts[b + 2];
        const std::uint32_t c3 = c2 + counts[b + 3];
        counts[b] = total + c0;
        counts[b + 1] = total + c1;
        counts[b + 2] = total + c2;
        counts[b + 3] = total + c3;
        total += c3;
    }
    for (; b < n; ++b) counts[b] = total += counts[b];
}

}  // namespace

void ValueSorter::sort(Series& values) {
    if (values.empty()) return;
    double lowest = 0.0;
    double highest = 0.0;
    const bool hasNaN = value_range(values, lowest, highest);
    if (hasNaN) {  // the shell sort of sort_ascending decides where a NaN lands
        sort_ascending(values);
        return;
    }
    const double width = highest - lowest;
    const double scale = static_cast<double>(values.size() * kBucketsPerValue) / width;
    // An infinite value leaves no bucket width: (x - lowest) * scale would be NaN.
    if (values.size() < kBucketSortFrom || !(width > 0.0) || !std::isfinite(width) ||
        !std::isfinite(scale)) {
        if (width != 0.0) std::sort(values.begin(), values.end());
        return;
    }
    bucket_sort(values, lowest, scale);
}

// Bucket of x: floor((x - lowest) * scale), monotone in x, so bucket order is value order.
// After the scatter a value is out of place only within its bucket: the buckets above
// the insertion limit are sorted by comparison, and one insertion pass finishes the rest.
void ValueSorter::bucket_sort(Series& values, double lowest, double scale) {
    const std::size_t n = values.size();
    const std::size_t count = n * kBucketsPerValue;
    spare_.resize(n);
    buckets_.resize(n);
    starts_.assign(count + 1, 0);
    bool crowded = false;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t b =
            std::min(count - 1, static_cast<std::size_t>((values[i] - lowest) * scale));
        buckets_[i] = static_cast<std::uint32_t>(b);
        crowded |= ++starts_[b + 1] > kInsertionLimit;
    }
    running_totals(starts_);
    for (std::size_t i = 0; i < n; ++i) spare_[starts_[buckets_[i]]++] = values[i];
    // Each start now stands at the end of its bucket.
    if (crowded) {
        std::size_t begin = 0;
        for (std::size_t b = 0; b < count; ++b) {
            const std::size_t end = starts_[b];
            if (end - begin > kInsertionLimit)
                std::sort(spare_.begin() + static_cast<std::ptrdiff_t>(begin),
                          spare_.begin() + static_cast<std::ptrdiff_t>(end));
            begin = end;
        }
    }
    insertion_sort(spare_.data(), spare_.data() + n);
    // Copied back rather than swapped: each buffer stays with the thread that made it, so
    // that sorters on other threads do not leave their memory in the series they sort.
    std::copy(spare_.begin(), spare_.end(), values.begin());
}

}  // namespace evstat
