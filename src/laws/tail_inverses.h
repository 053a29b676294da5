// Inverses of the regularized incomplete gamma and beta functions, found on whichever tail is the
// smaller so that quantiles far into either tail keep their relative accuracy.
#pragma once

namespace evstat {

// The point x of the beta law (a, b) given by its logit u = ln(x / (1 - x)): both x and 1 - x to
// full relative precision.
struct BetaPoint {
    double x;
    double y;  // 1 - x
};
BetaPoint beta_point_from_logit(double u);

// z >= 0 with P(a, z) = lower and Q(a, z) = upper, for a > 0; lower + upper = 1, and the smaller of
// the two is the one read (the caller passes it exactly). lower = 0 gives 0, upper = 0 gives +inf.
double gamma_tail_inverse(double a, double lower, double upper);
// The logit u = ln(x / (1 - x)) of the x with I_x(a, b) = lower and 1 - I_x(a, b) = upper, for
// a, b > 0, with the same convention; lower = 0 gives -inf, upper = 0 gives +inf.
double beta_tail_inverse_logit(double a, double b, double lower, double upper);

}  // namespace evstat
