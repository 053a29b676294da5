// The quotients of every value of an array by one divisor, each the correctly rounded
// quotient that the division operator gives, bit for bit.
#pragma once

#include <span>

namespace evstat {

// out[i] = x[i] / divisor for i < x.size(); `out` holds at least x.size() values and is
// either `x` itself or does not overlap it. Returns the largest quotient that is a number
// (-infinity when there is none), for a loop that must stop past a bound.
double divide_each(std::span<const double> x, double divisor, std::span<double> out);

}  // namespace evstat
