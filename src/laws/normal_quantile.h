// The standard normal quantile to full double precision.
#pragma once

namespace evstat {

// z with Phi(z) = p, for 0 < p < 1 (0 gives -inf, 1 gives +inf, outside [0, 1] NaN). Symmetric:
// the upper quantile at q is -standard_normal_quantile(q), as accurate as the lower one.
double standard_normal_quantile(double p);

}  // namespace evstat
