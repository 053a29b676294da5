// Excesses of a sorted series over the value at position n - k (peaks over threshold).
#include <climits>

#include "tail/methods/tail.h"

namespace evstat {

namespace {
// Position n - k without overflow; value_at reads a position below 1 as the first value
// and one past the end as NaN, so clamping to the int range keeps its meaning.
int threshold_position(int n, int k) {
    const long long position = static_cast<long long>(n) - static_cast<long long>(k);
    if (position < 0) return 0;
    if (position > INT_MAX) return INT_MAX;
    return static_cast<int>(position);
}
}  // namespace

void excesses_over_threshold(std::span<const double> series, int k, int n, Series& excesses,
                             double& u) {
    u = value_at(series, threshold_position(n, k));
    for (const double value : series) {
        const double excess = value - u;
        if (excess > 0.0) excesses.push_back(excess);
    }
}

}  // namespace evstat
