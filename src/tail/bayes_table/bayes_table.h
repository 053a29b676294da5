// The Bayesian quantile table of the expert-opinion study: per exceedance level the parent
// quantile, the exponential-tail value and the quantile of the predictive law; and, for the
// Weibull law with an expert prior on its shape, the posterior of the shape integrated on a grid
// into a predictive density and distribution table.
#pragma once

#include <unordered_map>
#include <vector>

#include "laws/catalogue.h"
#include "series/lists.h"
#include "series/series.h"
#include "tail/bayes_table/law11_table.h"

namespace evstat {

// Everything the table reads, in the order the study hands it over.
struct BayesTableInput {
    std::span<const double> data;  // the series as the study prepared it (logarithms for 8)
    const Sample& levels;     // x = an exceedance probability p (the non-zero orders)
    int n = 0;                // N, the number of values
    int excessCount = 0;      // k
    double threshold = 0.0;   // u
    double meanExcess = 0.0;  // mean of the excesses over u
    int expert = 0;           // 1 when an expert's opinion is used
    double s1 = 0.0;          // the expert interval [s1, s2]
    double s2 = 0.0;
    LawCode code = LawCode::kUnknown;  // the parent law: 1, 2, 4, 7 or 8
    const ValueList& parameters;  // its fitted parameters (p1, p2)
    const ValueList& predictive;  // q1, q2, q3 from posterior_summary
    int comparisonFlag = 0;       // 1: the series was simulated, compare with that law
    LawCode comparisonCode = LawCode::kUnknown;
    const ValueList& comparisonGiven;   // the simulation law's parameters as given
    const ValueList& comparisonFitted;  // the simulation law fitted to the data
    int weibullShapeFlag = 0;           // 1: the prior is on the Weibull shape
    double expertMaxQuantile = 0.0;     // v, the far end of the shape grid is max(3 max x, 2 v)
    double low = 0.0;                   // support [L, U] of the shape
    double high = 0.0;
    WorkBounds bounds = {};  // the points of the normal and lognormal table, the evaluations of
                             // the Weibull-shape one
};

// What stopped a quantile table: nothing, or the bound of one of its tables.
enum class TableBound { Within, Law11Points, ShapeEvaluations };

// Appends one point (row i = 1, 2, ..., value) per level to each quantile series: the parent
// quantile, the exponential-tail value u - mean excess ln(N p / k), the predictive quantile, and
// when comparisonFlag is 1 the comparison law's quantiles with each of its two lists. For the
// Weibull shape case it also fills the predictive distribution and density tables (x, value).
// Law11Points when the normal or lognormal table would need more than bounds.law11TablePoints
// points, ShapeEvaluations when the Weibull-shape density table would need more than
// bounds.shapeKernelEvaluations kernel evaluations: the quantile series are then left as they were.
TableBound bayes_quantile_table(const BayesTableInput& input, Sample& parentQuantiles,
                          Sample& tailQuantiles, Sample& predictiveQuantiles,
                          Sample& comparisonGiven, Sample& comparisonFitted,
                          Sample& predictiveDistribution, Sample& predictiveDensity);

// The posterior of the Weibull shape k: the data over the scale eta as a contiguous array, and
// the Beta prior (a, b) of (k - low) / (high - low). With many values the likelihood leaves the
// range of a double (k^n overflows, exp(k S2 - S1(k)) underflows to 0 and every table is NaN):
// the kernels are then formed as exp(n ln k + k S2 - S1(k) - logShift), a constant factor that
// cancels in every table.
struct ShapeModel {
    std::vector<double> ratios;  // x / eta
    double logRatioSum = 0.0;    // S2
    double eta = 1.0;
    double a = 1.0;
    double b = 1.0;
    double low = 0.0;
    double high = 1.0;
    bool logDomain = false;
    double logShift = 0.0;
    // S1 at the shapes met so far: the three kernels are integrated over the same support, so
    // their Romberg runs ask for the same nodes, and S1 walks every value.
    mutable std::unordered_map<double, double> powerSums;
};

// Takes the series' values, then eta, a, b from the predictive list (q1, q2, q3) and the support;
// chooses the log domain when the plain product would not stay within range over the support.
ShapeModel make_shape_model(std::span<const double> data, const ValueList& predictive, double low,
                            double high);

// prior(k) k^n exp(k S2 - S1(k)) on [low, high], else 0; S1(k) = sum (x/eta)^k,
// S2 = sum ln(x/eta).
double shape_posterior_kernel(const ShapeModel& model, double k);
// prior(k) k^(n+1) exp(k S2 - S1(k)) exp(k ln(y/eta) - (y/eta)^k), for any k.
double shape_predictive_kernel(const ShapeModel& model, double k, double y);
// prior(k) k^(n+1) exp(k S2 - S1(k)) on [low, high], else 0.
double shape_mean_kernel(const ShapeModel& model, double k);

// The regions of the shape grid: each a run of points of equal step. The first region starts
// at x = 0; every later one continues from the last point of the one before. When the grid is
// refined (s1 < 1) the last region is the tail, cumulated by the trapezoid rule.
struct GridRegion {
    int points = 0;     // points appended for this region
    double step = 0.0;  // the step between its points
};
struct GridLayout {
    std::vector<GridRegion> regions;
    bool refined = false;  // s1 < 1
};

// Appends the grid points (x, 0) of the Weibull shape case: X the largest value of the data,
// parameters the fitted (theta, k), [s1, s2] the expert interval, v the expert's largest
// quantile. Reports the regions.
void predictive_grid(std::span<const double> data, const ValueList& parameters, double s1,
                     double s2,
                     double v, Sample& grid, GridLayout& layout);

// Replaces the values of the grid after its first point by the predictive density
// (integral over [low, high] of the predictive kernel at y) / Z / y, Z being the integral of the
// posterior kernel. The integrations of the points make at most mostEvaluations evaluations of
// the kernel in all (an integration that does not converge takes 2^18 of them): false when the
// table stopped at that bound.
bool predictive_density_table(const ShapeModel& model, long long mostEvaluations, Sample& grid,
                              double& Z);

// Replaces the density values of the table by the cumulated distribution: the trapezoid rule
// on a plain grid; on a refined one the first cell from the Weibull law with the posterior-mean
// shape, Simpson's rule inside each region and the trapezoid rule in the tail. Z is the value
// predictive_density_table returned.
void predictive_cdf_table(const ShapeModel& model, const GridLayout& layout, double Z,
                          Sample& table);

}  // namespace evstat
