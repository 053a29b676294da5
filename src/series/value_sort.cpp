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
}  // namespace

void ValueSorter::sort(std::vector<double>& values) {
    if (values.empty()) return;
    double lowest = values.front();
    double highest = values.front();
    bool hasNaN = false;
    for (const double v : values) {
        hasNaN |= std::isnan(v);
        lowest = v < lowest ? v : lowest;
        highest = v > highest ? v : highest;
    }
    if (hasNaN) {  // Sample's own sort decides where a NaN lands
        withNaN_.clear();
        for (const double v : values) withNaN_.push_back(0.0, v);
        withNaN_.sort_ascending();
        std::size_t i = 0;
        for (const Point& point : withNaN_) values[i++] = point.y;
        return;
    }
    const double width = highest - lowest;
    const double scale = static_cast<double>(values.size() * kBucketsPerValue) / width;
    if (values.size() < kBucketSortFrom || !(width > 0.0) || !std::isfinite(scale)) {
        if (width != 0.0) std::sort(values.begin(), values.end());
        return;
    }
    bucket_sort(values, lowest, scale);
}

// Bucket of x: floor((x - lowest) * scale), monotone in x, so bucket order is value order.
// After the scatter a value is out of place only within its bucket: the buckets above
// the insertion limit are sorted by comparison, and one insertion pass finishes the rest.
void ValueSorter::bucket_sort(std::vector<double>& values, double lowest, double scale) {
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
    for (std::size_t b = 1; b <= count; ++b) starts_[b] += starts_[b - 1];
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
    values.swap(spare_);
}

}  // namespace evstat
