// Conjugate updates of a Gamma prior (shape alpha, rate beta) on a rate or a precision:
// the posterior of the parameter, and the list the expert-opinion study writes beside
// the prior. Neither changes the caller's series; a zero denominator gives an infinite
// value, and a law without a conjugate update appends nothing.
#pragma once

#include "laws/catalogue.h"
#include "series/lists.h"
#include "series/series.h"

namespace evstat {

// Appends the posterior shape, then the reciprocal of the posterior rate (the Gamma
// scale), for the exponential (1), gamma with known shape p1 (2), normal with known mean
// p1 (4), Weibull with known shape p2 and weibullShapeFlag 0 (7: the rate of
// F(x) = 1 - exp(-x^k / theta), updated by the sum of x^p2) and lognormal with known
// mean of the logarithms p1 (8). Anything else appends nothing.
void posterior_parameters(std::span<const double> data, LawCode code, const ValueList& prior,
                          const ValueList& parameters, int n, int weibullShapeFlag,
                          ValueList& posterior);

// The predictive parameters the expert-opinion study writes and tabulates:
// 1: 1/r, -1/(alpha + n) with r = (alpha + n)/(beta + n xbar); 2: p1, alpha + n p1,
// beta + sum x; 4 and 8: p1, alpha + n/2, beta + sum (x - p1)^2 / 2 (8 is given the
// logarithms); 7 with flag 1: p1^(1/p2), alpha, beta; 7 with flag 0: p2, then as for 1
// (given the data raised to the power p2). Anything else appends nothing.
void posterior_summary(std::span<const double> data, LawCode code, const ValueList& parameters,
                       const ValueList& prior, int weibullShapeFlag, ValueList& summary);

}  // namespace evstat
