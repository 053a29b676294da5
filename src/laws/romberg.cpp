#include "laws/romberg.h"

#include <cmath>
#include <limits>
#include <vector>

#include "laws/constants.h"
#include "laws/densities.h"
#include "laws/distributions.h"

namespace evstat {

namespace {
// Bound on the grid of tabulate_law11: a grid whose step no longer moves x (x + step == x) would
// otherwise never end; no grid of the Bayesian tables comes near it.
constexpr long kMaxTabulatedPoints = 1'000'000;
}  // namespace

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

void tabulate_law11(LawCode code, const ValueList& parameters, double x0, double x1, double step,
                    Sample& output) {
    if (code != LawCode::kNormal && code != LawCode::kLognormal) return;
    if (!(step > 0.0)) return;
    const double lower = x0 - 1.0;
    const double f0 = distribution(LawCode::kStudentApprox, parameters, lower);
    const LawIntegrand law11{LawCode::kStudentApprox, parameters, LawIntegrandMode::Density};
    long points = 0;
    for (double x = x0; x <= x1 && points < kMaxTabulatedPoints; x += step, ++points) {
        const double upper = code == LawCode::kNormal ? x : std::log(x);
        output.push_back(x, f0 + romberg_integrate(law11, lower, upper));
    }
}

}  // namespace evstat
