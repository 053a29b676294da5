// Excesses of a sorted series over the value at position n - k (peaks over threshold).
#include <climits>

#include "tail/methods/tail.h"

namespace evstat {

namespace {
// Position n - k without overflow; y_at reads a position below 1 as the first value
// and one past the end as NaN, so clamping to the int range keeps its meaning.
int threshold_position(int n, int k) {
    const long long position = static_cast<long long>(n) - static_cast<long long>(k);
    if (position < 0) return 0;
    if (position > INT_MAX) return INT_MAX;
    return static_cast<int>(position);
}
}  // namespace

void excesses_over_threshold(const Sample& series, int k, int n, Sample& excesses, double& u) {
    u = series.y_at(threshold_position(n, k));
    double count = 0.0;
    for (const Point& point : series) {
        const double excess = point.y - u;
        if (excess > 0.0) {
            count += 1.0;
            excesses.push_back(count, excess);
        }
    }
}

}  // namespace evstat
