#include "series/lists.h"

#include <limits>

namespace evstat {

namespace {
constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();
}

double ValueList::at(int position) const {
    if (values_.empty() || position > size()) return kMissing;
    return values_[position <= 1 ? 0 : static_cast<std::size_t>(position - 1)];
}

double Sample::y_at(int position) const {
    if (points_.empty() || position > size()) return kMissing;
    return points_[position <= 1 ? 0 : static_cast<std::size_t>(position - 1)].y;
}

double Sample::x_at(int position) const {
    if (points_.empty() || position > size()) return kMissing;
    return points_[position <= 1 ? 0 : static_cast<std::size_t>(position - 1)].x;
}

void Sample::apply_affine(double a, double b) {
    for (Point& p : points_) p.y = p.y * a + b;
}

}  // namespace evstat
