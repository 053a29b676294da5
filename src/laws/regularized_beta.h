// The regularized incomplete beta function I_x(a, b) and its complement I_y(b, a), y = 1 - x,
// each computed directly where it is the smaller.
#pragma once

#include "laws/regularized_gamma.h"

namespace evstat {

// x^a y^b / B(a, b), for a, b > 0 and x + y = 1; both x and y are passed so that whichever is
// small keeps its full relative precision.
double beta_power_term(double a, double b, double x, double y);
// {I_x(a, b), 1 - I_x(a, b)} for a, b > 0, 0 <= x <= 1 and y = 1 - x (given, see above); NaN in
// both for other arguments and where the fraction does not converge within its bound.
TailPair regularized_beta(double a, double b, double x, double y);

}  // namespace evstat
