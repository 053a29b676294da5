// Kernel estimate of a density at a point: the mean over the data of K((x - x_i)/h)/h,
// with the Gaussian kernel or the Epanechnikov kernel 0.75 (1 - u^2) on [-1, 1].
#include "estimation/kernel.h"

#include <cmath>

#include "laws/constants.h"

namespace evstat {

namespace {

double gaussian_kernel(double u) {
    return std::exp(-u * u / 2.0) / std::sqrt(kTruncatedTwoPi);
}

double epanechnikov_kernel(double u) {
    if (u < -1.0 || u > 1.0) return 0.0;
    return 0.75 * (1.0 - u * u);
}

// Any kernel type other than the two known ones contributes nothing.
double kernel_value(int kernel, double u) {
    switch (kernel) {
        case kGaussianKernel:
            return gaussian_kernel(u);
        case kEpanechnikovKernel:
            return epanechnikov_kernel(u);
        default:
            return 0.0;
    }
}
}  // namespace

// No data (n <= 0) gives an estimate of 0.
double kernel_density(std::span<const double> series, int n, double bandwidth, double x,
                      int kernel) {
    if (n <= 0) return 0.0;
    double total = 0.0;
    for (const double value : series)
        total += kernel_value(kernel, (x - value) / bandwidth) / bandwidth;
    return total / static_cast<double>(n);
}

}  // namespace evstat
