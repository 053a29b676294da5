// One step of the modified Lentz method for a continued fraction
// b0 + a1/(b1 + a2/(b2 + ...)) (I. J. Thompson and A. R. Barnett, J. Comput. Phys. 64, 1986).
#pragma once

#include <cmath>

namespace evstat {

constexpr double kLentzTiny = 1e-300;  // the guard against a zero denominator

// With the ratios C and D of the step before, takes the next partial numerator a and
// denominator b: updates C and D and returns C D, the factor by which the step changes the
// value of the fraction.
inline double lentz_step(double a, double b, double& c, double& d) {
    d = a * d + b;
    if (std::fabs(d) < kLentzTiny) d = kLentzTiny;
    c = b + a / c;
    if (std::fabs(c) < kLentzTiny) c = kLentzTiny;
    d = 1.0 / d;
    return d * c;
}

}  // namespace evstat
