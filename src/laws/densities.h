#pragma once
#include "laws/catalogue.h"
#include "series/lists.h"

namespace evstat {
// Probability density of the law at x; 0 for codes without a density (15, 16, others).
double density(LawCode code, const ValueList& parameters, double x);
// The height at the centre of the code-11 density, Gamma(alpha + 1/2) / (Gamma(alpha) sqrt(2 pi beta)).
double student_approx_height(double alpha, double beta);
// The code-11 density at x given that height: what density gives, for a caller that evaluates
// one law many times.
double student_approx_density_from_height(double height, double mu, double alpha, double beta,
                                          double x);
}  // namespace evstat
