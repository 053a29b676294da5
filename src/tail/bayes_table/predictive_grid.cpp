// The grid of the Weibull-shape predictive law: one plain region when the shape interval lies
// above 1, else a refined grid whose steps follow the density's pole at 0 and its decay.
#include <algorithm>
#include <cmath>

#include "laws/densities.h"
#include "laws/distributions.h"
#include "tail/bayes_table/bayes_table.h"

namespace evstat {

namespace {

constexpr double kFirstStepDivisor = 1000.0;     // h0 = X / 1000 to begin with
constexpr double kFirstStepRefinement = 10.0;    // h0 is divided by 10 ...
constexpr double kNegligibleProbability = 1e-4;  // ... while F(h0 / 10000) reaches this
constexpr double kFineSteps = 10000.0;           // steps of [0, h0]
constexpr double kMiddleStepsFactor = 5000.0;    // P = 5000 h0
constexpr double kMiddleSteps = 5000.0;          // steps of the region that ends at T
constexpr double kNegligibleDensity = 0.01;      // T doubles while a density reaches this
constexpr double kEndDataFactor = 3.0;           // E = max(3 X, 2 v)
constexpr double kEndExpertFactor = 2.0;
constexpr double kShortEnd = 20.0;    // the step of a plain grid and of the tail ...
constexpr double kMediumEnd = 100.0;  // ... by the end E
constexpr double kPlainSteps[3] = {0.001, 0.005, 0.01};
constexpr double kTailSteps[3] = {0.0005, 0.001, 0.005};
// Most points of one region: a region that would hold more is spread over this many points (a
// far end E of some 1e5 data units would otherwise ask for billions of integrations).
constexpr int kMaxRegionPoints = 200'000;

double step_for_end(const double (&steps)[3], double end) {
    if (end <= kShortEnd) return steps[0];
    if (end <= kMediumEnd) return steps[1];
    return steps[2];
}

// Appends start + i step for i = first, first + 1, ... while the point is <= end.
void append_region(double start, double end, double step, int first, Sample& grid,
                   GridLayout& layout) {
    GridRegion region;
    region.step = step;
    if (step > 0.0 && (end - start) / step > kMaxRegionPoints - 1)
        region.step = (end - start) / (kMaxRegionPoints - 1);
    if (region.step > 0.0) {
        for (int i = first; region.points < kMaxRegionPoints; ++i) {
            const double x = start + i * region.step;
            if (!(x <= end)) break;
            grid.push_back(x, 0.0);
            ++region.points;
        }
    }
    layout.regions.push_back(region);
}

ValueList weibull(double theta, double k) {
    ValueList parameters;
    parameters.push_back(theta);
    parameters.push_back(k);
    return parameters;
}

// Divides h0 by 10 until the law puts less than 1e-4 below h0 / 10000.
double first_step(double X, const ValueList& fitted) {
    double h0 = X / kFirstStepDivisor;
    while (distribution(LawCode::kWeibull, fitted, h0 / kFineSteps) >= kNegligibleProbability) {
        const double next = h0 / kFirstStepRefinement;
        if (next == h0) break;  // 0: no smaller step to try
        h0 = next;
    }
    return h0;
}

// Doubles T from X while either end of the shape interval keeps the density at T above 0.01.
double decay_point(double X, double theta, double s1, double s2) {
    const ValueList low = weibull(theta, s1);
    const ValueList high = weibull(theta, s2);
    double T = X;
    while (std::max(density(LawCode::kWeibull, low, T), density(LawCode::kWeibull, high, T)) >=
           kNegligibleDensity) {
        if (T * 2.0 == T) break;  // 0 or infinite
        T *= 2.0;
    }
    return T;
}

}  // namespace

void predictive_grid(std::span<const double> data, const ValueList& parameters, double s1,
                     double s2,
                     double v, Sample& grid, GridLayout& layout) {
    layout.regions.clear();
    const double X = max_value(data);
    const double theta = parameters.at(1);
    const double E = std::max(kEndDataFactor * X, kEndExpertFactor * v);
    layout.refined = s1 < 1.0;
    if (!layout.refined) {
        append_region(0.0, E, step_for_end(kPlainSteps, E), 0, grid, layout);
        return;
    }
    const double h0 = first_step(X, parameters);
    const double P = kMiddleStepsFactor * h0;
    const double T = decay_point(X, theta, s1, s2);
    grid.push_back(0.0, 0.0);
    append_region(0.0, h0, h0 / kFineSteps, 1, grid, layout);
    ++layout.regions.back().points;  // the point 0
    if (P >= T) {
        append_region(h0, T, (T - h0) / kMiddleSteps, 1, grid, layout);
    } else {
        append_region(h0, P, h0, 1, grid, layout);
        append_region(P, T, (T - P) / kMiddleSteps, 1, grid, layout);
    }
    append_region(T, E, step_for_end(kTailSteps, E), 1, grid, layout);
}

}  // namespace evstat
