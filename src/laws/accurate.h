// The law functions of the catalogue's laws 0 to 10 to full double precision, in both tails:
// density, distribution function, survival function and their two inverses. They stand beside
// the law functions the tasks use (densities.h, distributions.h, quantiles.h), which keep their
// own approximations; these are for callers that want the exact values.
//
// Parameters are the ParameterFile's, in its order (catalogue.h): the Weibull law (a, b) has
// F(x) = 1 - exp(-x^b / a), the Pareto law (threshold a, exponent b), the GPD (shape k, scale
// sigma) F(x) = 1 - (1 + kx/sigma)^(-1/k), k > 0 a heavy tail. The degrees of freedom of the
// chi-square and Student laws must be whole numbers, at least 1 (a fraction is refused, not cut).
//
// Every function gives NaN for an unknown code, missing or invalid parameters or a NaN argument,
// and never throws. The density at a finite end of the support is its limit there (possibly
// +inf); probabilities outside [0, 1] give NaN, 0 and 1 the ends of the support (possibly
// infinite). The gamma, chi-square, beta and Student laws need about sqrt(shape) steps near the
// centre: shapes (or degrees of freedom) beyond about 1e12 give NaN rather than run on.
#pragma once

#include <span>

#include "laws/catalogue.h"

namespace evstat {

// True when the code is one of the laws 0 to 10 and the parameters are valid for it.
bool accurate_law_valid(LawCode code, std::span<const double> parameters);

double accurate_density(LawCode code, std::span<const double> parameters, double x);
// P(X <= x).
double accurate_distribution(LawCode code, std::span<const double> parameters, double x);
// P(X > x), computed directly, not as 1 - P(X <= x).
double accurate_survival(LawCode code, std::span<const double> parameters, double x);
// The x with P(X <= x) = p.
double accurate_quantile(LawCode code, std::span<const double> parameters, double p);
// The x with P(X > x) = q, computed from q directly, not as the quantile at 1 - q.
double accurate_upper_quantile(LawCode code, std::span<const double> parameters, double q);

}  // namespace evstat
