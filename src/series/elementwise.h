// The exponential and the natural logarithm of every value of an array. Each result is the
// bits std::exp and std::log give for that value, so a loop may take its values through
// these and stay the same to the last bit; they are only faster where several values can be
// taken at once by the same operations as the C library's own routine.
#pragma once

#include <span>

namespace evstat {

// out[i] = std::exp(x[i]) and out[i] = std::log(x[i]) for i < x.size(); `out` holds at
// least x.size() values and is either `x` itself or does not overlap it.
void exp_each(std::span<const double> x, std::span<double> out);
void log_each(std::span<const double> x, std::span<double> out);

}  // namespace evstat
