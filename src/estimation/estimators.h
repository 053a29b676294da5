// The per-law estimators behind estimate_parameters, and the small pieces of them
// that are worth checking on their own. Each reads the caller's series without
// changing it and appends its law's parameters in the catalogue's order; a series
// outside the law's support, too short for the formula, or one the formula cannot
// use (a constant series where it divides by the spread) gives the law's count of
// zeros instead.
#pragma once

#include <vector>

#include "series/lists.h"
#include "series/series.h"

namespace evstat {

void estimate_uniform(std::span<const double> series, int n, ValueList& estimates);
void estimate_exponential(std::span<const double> series, int n, ValueList& estimates);
void estimate_gamma(std::span<const double> series, int n, ValueList& estimates);
void estimate_chi_square(std::span<const double> series, int n, ValueList& estimates);
void estimate_normal(std::span<const double> series, int n, ValueList& estimates);
void estimate_student(std::span<const double> series, int n, ValueList& estimates);
void estimate_beta(std::span<const double> series, int n, ValueList& estimates);
void estimate_weibull(std::span<const double> series, int n, ValueList& estimates);
void estimate_lognormal(std::span<const double> series, int n, ValueList& estimates);
void estimate_pareto(std::span<const double> series, int n, ValueList& estimates);

// Shared by the estimators.
void append_zeros(ValueList& estimates, int count);
// True when the series (or the n the caller gives for it) holds fewer than `minimum` values.
bool too_few_values(std::span<const double> series, int n, int minimum);
// s^2 = v n / (n - 1), v the variance of the series with divisor n; needs n >= 2.
double unbiased_variance(std::span<const double> series, int n);
// Floor, plus one when the remaining fraction is strictly greater than 0.5 (3.5 gives 3),
// as an integer held in a double; clamped to the int range, and 0 for NaN.
double round_to_nearest_integer(double value);

// Greenwood-Durand shape from M = ln(mean) - mean(ln x); false when M is outside (0, 17].
bool greenwood_durand_shape(double m, double& shape);

// E|T_nu| for nu = 2, 3, ..., 200, in increasing nu.
Sample student_mean_absolute_table();

// The Weibull likelihood equation in b = 1/k over z_i = -ln(x_i / X):
// solves b = zbar - S1(b)/S0(b) by the fixed point, falling back to a bracketed root
// search when the fixed point does not settle. Sets b (NaN on failure); returns false
// when the overflow guard of the fixed point stops it.
bool weibull_inverse_shape(std::span<const double> z, double& b);
// The sums of the Weibull likelihood equation at b = 1/k over z_i = -ln(x_i / X):
// S0 = sum exp(-z_i/b) and S1 = sum z_i exp(-z_i/b). False when an exponent -z_i/b passes
// the overflow guard (the sums then hold the terms before it).
bool weibull_likelihood_sums(std::span<const double> z, double b, double& s0, double& s1);

}  // namespace evstat
