// The regularized incomplete gamma functions P(a, x) and Q(a, x) = 1 - P(a, x), each computed
// directly where it is the smaller, so that both keep their relative accuracy far into the tails.
#pragma once

namespace evstat {

struct TailPair {
    double lower;  // the distribution function's side
    double upper;  // its complement
};

// x^a e^-x / Gamma(a), for a > 0 and x >= 0.
double gamma_power_term(double a, double x);
// {P(a, x), Q(a, x)} for a > 0 and x >= 0 (x may be +inf); NaN in both for other arguments and
// where the series or fraction does not converge within its bound (shapes beyond about 1e12).
TailPair regularized_gamma(double a, double x);

}  // namespace evstat
