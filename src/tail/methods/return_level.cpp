// Return level of a generalized Pareto tail fitted above u to the k largest of n
// values: the level exceeded with probability p (Coles, An Introduction to
// Statistical Modeling of Extreme Values, 2001, section 4.3.3).
#include <cmath>

#include "tail/methods/tail.h"

namespace evstat {

double return_level(double u, double xi, double sigma, int k, double p, int n) {
    if (xi == kTailFailure && sigma == kTailFailure) return kTailFailure;
    if (k < 1 || k > n) return kTailFailure;
    const double excesses = static_cast<double>(k);
    const double expected = static_cast<double>(n) * p;  // values expected above the level
    // At xi = 0 the tail is exponential: the limit of the power form.
    if (xi == 0.0) return u + sigma * std::log(excesses / expected);
    return u + (sigma / xi) * (std::pow(expected / excesses, -xi) - 1.0);
}

}  // namespace evstat
