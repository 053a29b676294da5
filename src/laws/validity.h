// Which parameters each law of the catalogue takes, in one place. Two checks, for two uses:
// the law as a ParameterFile states it (its curves, its samples, the study's fit), and the
// law the generator draws from (the parents of the resampling tests, the laws the tests of
// fit resample, the predictive laws). A missing parameter and a comparison with a NaN fail
// both.
#pragma once

#include <cmath>

#include "laws/catalogue.h"
#include "series/lists.h"

namespace evstat {

// A number above 0 and not infinite.
inline bool positive_finite(double value) {
    return value > 0.0 && std::isfinite(value);
}

// How many parameters the law reads: 1 for codes 1, 3 and 5, 3 for codes 11 to 14, none for
// code 15 and any code outside the catalogue, 2 for the others.
int parameter_count(LawCode code);

// The law as stated, checked before its curves or samples (tasks 1 to 4 and 8) and the
// study's fit before its prior, codes 0 to 10 only:
//   uniform p2 > p1; exponential p1 > 0; gamma p1 > 0, p2 >= 0; chi-square p1 > 0;
//   normal, lognormal and GPD p2 > 0; Student 1 <= p1 (degrees of freedom at least 1);
//   beta, Weibull and Pareto p1 > 0, p2 > 0;
// the degrees of freedom of chi-square and Student at most kMaxDegreesOfFreedom, the most
// the law functions take.
bool parameters_valid(LawCode code, const ValueList& parameters);

// The degrees of freedom the laws drawn from by the resampling take: trunc(nu) from 1 to
// this. Each chi-square or Student value, drawn or evaluated, costs about nu/2 terms and the
// resampling of a test of fit asks for 200 n of them.
constexpr double kMaxResampledDegreesOfFreedom = 1.0e5;

// The law the generator draws from and the distribution function evaluates, codes 0 to 10:
// every parameter read finite, scales and shapes positive (gamma, Weibull, Pareto and beta
// both parameters, exponential p1, normal, lognormal and GPD p2), the uniform's ends finite,
// degrees of freedom as above.
bool parameters_drawable(LawCode code, const ValueList& parameters);

}  // namespace evstat
