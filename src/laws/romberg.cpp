#include "laws/romberg.h"

#include <cmath>
#include <limits>
#include <vector>

#include "laws/constants.h"
#include "laws/densities.h"
#include "laws/distributions.h"

namespace evstat {

double LawIntegrand::operator()(double x) const {
    if (mode == LawIntegrandMode::Density) return density(code, parameters, x);
    return distribution(code, parameters, x);
}

// Neville's algorithm (Numerical Recipes' polint): start from the tabulated value nearest to x
// (the first of equal distances) and walk the tableau of corrections c (up) and d (down).
void neville_extrapolate(std::span<const double> h, std::span<const double> s, double x,
                         double& value, double& error) {
    const int k = static_cast<int>(h.size() < s.size() ? h.size() : s.size());
    if (k == 0) {
        value = error = kNaN;
        return;
    }
    std::vector<double> c(static_cast<std::size_t>(k) + 1);  // 1-based, as the tableau is written
    std::vector<double> d(static_cast<std::size_t>(k) + 1);
    int ns = 1;
    double nearest = std::fabs(x - h[0]);
    for (int i = 1; i <= k; ++i) {
        const double distance = std::fabs(x - h[i - 1]);
        if (distance < nearest) {
            ns = i;
            nearest = distance;
        }
        c[i] = s[i - 1];
        d[i] = s[i - 1];
    }
    value = s[ns - 1];
    --ns;
    error = 0.0;
    for (int m = 1; m < k; ++m) {
        for (int i = 1; i <= k - m; ++i) {
            const double ho = h[i - 1] - x;
            const double hp = h[i + m - 1] - x;
            const double w = c[i + 1] - d[i];
            double den = ho - hp;
            if (den == 0.0) {  // two equal abscissas: no interpolating polynomial
                value = error = kNaN;
                return;
            }
            den = w / den;
            d[i] = hp * den;
            c[i] = ho * den;
        }
        error = 2 * ns < k - m ? c[ns + 1] : d[ns--];
        value += error;
    }
}

}  // namespace evstat
