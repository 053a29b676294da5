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

double Sample::first_value() const { return points_.empty() ? kMissing : points_.front().y; }
double Sample::last_value() const { return points_.empty() ? kMissing : points_.back().y; }

}  // namespace evstat
