// The constants the numerical code shares, each defined once.
#pragma once

#include <limits>

namespace evstat {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// The largest double, which stands for an infinite value where a formula must stay finite.
constexpr double kLargestDouble = std::numeric_limits<double>::max();

// Pi and 2 pi truncated to 15 significant digits, as the fixed formulas of the laws, the
// estimators and the kernels write them: every value those formulas give depends on these
// digits, so they are not the doubles nearest pi and 2 pi.
constexpr double kTruncatedPi = 3.14159265358979;
constexpr double kTruncatedTwoPi = 6.28318530717958;
// The double nearest pi, and twice it, for the law functions computed to full precision.
constexpr double kPi = 3.141592653589793238462643383280;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kMachineEpsilon = std::numeric_limits<double>::epsilon();

}  // namespace evstat
