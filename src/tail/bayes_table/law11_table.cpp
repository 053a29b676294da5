// The normal and lognormal predictive distributions tabulated by integrating the code-11 density,
// only as far as the levels asked for need.
#include "tail/bayes_table/law11_table.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include "laws/densities.h"
#include "laws/distributions.h"
#include "laws/quantiles.h"
#include "laws/romberg.h"

namespace evstat {

namespace {

constexpr double kSpreadOfNoSecondPrecision = 3.0;  // V = 3 S when s2 is 0
constexpr int kEndBisections = 200;  // halvings of [lo, hi] that find where the table ends

// The code-11 density with its height computed once: the same values as density() gives.
struct Law11Density {
    double height, mu, alpha, beta;
    double operator()(double x) const {
        return student_approx_density_from_height(height, mu, alpha, beta, x);
    }
};

double parent_quantile(LawCode code, double mean, double deviation, double p) {
    ValueList parameters;
    parameters.push_back(mean);
    parameters.push_back(deviation);
    return quantile(code, parameters, 1.0 - p);
}

void widen(double value, double& lo, double& hi) {
    if (!(value > -DBL_MAX && value < DBL_MAX)) return;
    if (value < lo) lo = value;
    if (value > hi) hi = value;
}

// The points the table from lo will need, from the code-11 distribution itself: up to the
// first x (by bisection) where it reaches target, or up to hi when it does not there.
double points_needed(LawCode code, const ValueList& predictive, double lo, double hi,
                     double target) {
    auto reaches = [&](double x) {
        const double upper = code == LawCode::kNormal ? x : std::log(x);
        return distribution(LawCode::kStudentApprox, predictive, upper) >= target;
    };
    if (lo + kLaw11TableStep == lo) return 1.0;  // the step does not move lo: one point
    double end = hi;
    if (reaches(hi)) {
        double below = lo;
        for (int i = 0; i < kEndBisections && !reaches(below); ++i) {
            const double middle = below + 0.5 * (end - below);
            if (reaches(middle)) end = middle; else below = middle;
        }
        if (reaches(below)) end = below;
    }
    return std::floor((end - lo) / kLaw11TableStep) + 1.0;
}

}  // namespace

void law11_table_range(LawCode code, const ValueList& parameters, double s1, double s2,
                       std::span<const double> levels, double& lo, double& hi) {
    lo = std::numeric_limits<double>::infinity();
    hi = -std::numeric_limits<double>::infinity();
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    for (const double p : levels) {
        const double S = parent_quantile(code, p1, 1.0 / std::sqrt(s1), p);
        const double V = s2 != 0.0 ? parent_quantile(code, p1, 1.0 / std::sqrt(s2), p)
                                   : kSpreadOfNoSecondPrecision * S;
        const double U = parent_quantile(code, p1, p2, p);
        widen(S, lo, hi);
        widen(V, lo, hi);
        widen(U, lo, hi);
    }
}

bool tabulate_law11(LawCode code, const ValueList& predictive, const Law11Grid& grid,
                    Sample& table) {
    if (code != LawCode::kNormal && code != LawCode::kLognormal) return true;
    if (!(grid.step > 0.0)) return true;
    const double lower = grid.first - 1.0;
    const double f0 = distribution(LawCode::kStudentApprox, predictive, lower);
    const double alpha = predictive.at(2);
    const double beta = predictive.at(3);
    const Law11Density law11{student_approx_height(alpha, beta), predictive.at(1), alpha, beta};
    long long points = 0;
    for (double x = grid.first; x <= grid.last; x += grid.step) {
        if (points == grid.mostPoints) return false;
        const double upper = code == LawCode::kNormal ? x : std::log(x);
        const double value = f0 + romberg_integrate(law11, lower, upper);
        table.push_back(x, value);
        ++points;
        if (value >= grid.stopAt) break;
        if (grid.endWhenStuck && x + grid.step == x) break;
    }
    return true;
}

bool tabulate_law11_to_levels(LawCode code, const ValueList& predictive, double lo, double hi,
                              std::span<const double> levels, long long mostPoints, Sample& table) {
    if (code != LawCode::kNormal && code != LawCode::kLognormal) return true;
    double target = -std::numeric_limits<double>::infinity();
    for (const double p : levels)
        if (1.0 - p > target) target = 1.0 - p;
    if (lo <= hi && points_needed(code, predictive, lo, hi, target) > static_cast<double>(mostPoints))
        return false;
    Law11Grid grid;
    grid.first = lo;
    grid.last = hi;
    grid.mostPoints = mostPoints;
    grid.stopAt = target;  // every level has its point
    return tabulate_law11(code, predictive, grid, table);
}

double lookup_distribution(const Sample& table, double probability) {
    for (const Point& point : table)
        if (point.y >= probability) return point.x;
    if (table.empty()) return std::numeric_limits<double>::quiet_NaN();
    return table.x_at(table.size());
}

}  // namespace evstat
