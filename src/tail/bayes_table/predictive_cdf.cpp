// The predictive distribution of the Weibull-shape case cumulated from its density table: the
// trapezoid rule over a plain grid; over a refined one Simpson's rule inside each region of
// equal step and the trapezoid rule over the tail, the first cell taken from the Weibull law with
// the posterior-mean shape (the density has a pole at 0).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "laws/distributions.h"
#include "laws/romberg.h"
#include "tail/bayes_table/shape_integrands.h"

namespace evstat {

namespace {

// The trapezoid rule from 0 over a plain grid of step h whose density is 0 at 0.
void cumulate_plain(const std::vector<double>& x, const std::vector<double>& D, double h,
                    std::vector<double>& C) {
    const std::size_t n = x.size();
    if (n > 1) C[1] = x[1] * D[1] / 2.0;
    double inner = 0.0;  // D[1] + ... + D[j - 1]
    for (std::size_t j = 2; j < n; ++j) {
        inner += D[j - 1];
        C[j] = (h / 2.0) * (2.0 * inner + D[j]);
    }
}

// Simpson's rule over the points b + 1 .. last of a region of step h that starts at b: each
// point is reached by an even number of intervals from b or from b + 1 (the first interval is a
// trapezoid).
void cumulate_simpson(const std::vector<double>& D, std::size_t b, std::size_t last, double h,
                      std::vector<double>& C) {
    if (last <= b) return;
    C[b + 1] = C[b] + h * (D[b] + D[b + 1]) / 2.0;
    double partial[2] = {0.0, 0.0};  // D_a + 4 D_(a+1) + 2 D_(a+2) + ... + 4 D_(j-1), by anchor
    for (std::size_t j = b + 2; j <= last; ++j) {
        const std::size_t offset = (j - b) % 2;
        const std::size_t a = b + offset;
        if (j == a + 2)
            partial[offset] = D[a] + 4.0 * D[a + 1];
        else
            partial[offset] += 2.0 * D[j - 2] + 4.0 * D[j - 1];
        C[j] = C[a] + (h / 3.0) * (partial[offset] + D[j]);
    }
}

// The trapezoid rule over the tail c + 1 .. last, from the point c.
void cumulate_tail(const std::vector<double>& x, const std::vector<double>& D, std::size_t c,
                   std::size_t last, std::vector<double>& C) {
    double inner = 0.0;  // D[c + 1] + ... + D[j - 1]
    for (std::size_t j = c + 1; j <= last; ++j) {
        if (j > c + 1) inner += D[j - 1];
        C[j] =
            C[c] + (x[j] - x[c]) * (D[c] + 2.0 * inner + D[j]) / (2.0 * static_cast<double>(j - c));
    }
}

// F at x of the Weibull law with the posterior-mean shape k and theta = eta^k.
double mean_shape_distribution(const ShapeModel& model, double Z, double x) {
    const ShapeIntegrand mean{ShapeKernel::Mean, model};
    const double k = romberg_integrate(mean, model.low, model.high) / Z;
    ValueList parameters;
    parameters.push_back(std::pow(model.eta, k));
    parameters.push_back(k);
    return distribution(LawCode::kWeibull, parameters, x);
}

}  // namespace

void predictive_cdf_table(const ShapeModel& model, const GridLayout& layout, double Z,
                          Sample& table) {
    std::vector<double> x;
    std::vector<double> D;
    x.reserve(static_cast<std::size_t>(table.size()));
    D.reserve(static_cast<std::size_t>(table.size()));
    for (const Point& point : table) {
        x.push_back(point.x);
        D.push_back(point.y);
    }
    const std::size_t n = x.size();
    std::vector<double> C(n, 0.0);
    if (!layout.regions.empty() && !layout.refined) {
        cumulate_plain(x, D, layout.regions.front().step, C);
    } else if (n > 1 && !layout.regions.empty()) {
        C[1] = mean_shape_distribution(model, Z, x[1]);
        std::size_t b = 1;  // the first region's Simpson sums start at its second point
        std::size_t end = 0;
        const std::size_t tail = layout.regions.size() - 1;
        for (std::size_t r = 0; r < layout.regions.size() && end < n; ++r) {
            const GridRegion& region = layout.regions[r];
            const std::size_t count = static_cast<std::size_t>(region.points);
            const std::size_t last = std::min(n - 1, end + count - (r == 0 ? 1 : 0));
            if (count == 0) continue;
            if (r == tail && r > 0)
                cumulate_tail(x, D, b, last, C);
            else
                cumulate_simpson(D, b, last, region.step, C);
            b = last;
            end = last;
        }
    }
    std::size_t j = 0;
    for (Point& point : table) point.y = C[j++];
}

}  // namespace evstat
