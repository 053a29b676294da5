// The two terms of the saddle-point expansion of Gamma and binomial-type products, and the
// logarithm of the beta function built on them, all free of the cancellation of large logarithms.
#pragma once

namespace evstat {

// ln Gamma(z + 1) - (z + 1/2) ln z + z - ln sqrt(2 pi), for z > 0.
double stirling_error(double z);
// x ln(x / m) + m - x, for x >= 0 and m > 0, accurate to full relative precision when x is near m.
double binomial_deviance(double x, double m);
// ln B(a, b) = ln Gamma(a) + ln Gamma(b) - ln Gamma(a + b), for a, b > 0, accurate for large a, b.
double log_beta(double a, double b);

}  // namespace evstat
