// Numerical kernels under the laws: log-gamma, gamma, power, the regularised
// incomplete gamma and beta functions, the error function and its inverse.
#pragma once

namespace evstat {

double log_gamma(double x);
double log_gamma_one_plus(double t);  // ln Gamma(1 + t), exact for small t, -0.32 < t <= 0.5
double gamma_function(double x);
double power(double x, double y);  // exp(y ln x)
double gamma_p(double x, double a);  // P(a, x)
double beta_i(double x, double a, double b);  // I_x(a, b)
double error_function(double x);
double complementary_error_function(double x);  // erfc(x), accurate in the upper tail
double inverse_error_function(double y);

}  // namespace evstat
