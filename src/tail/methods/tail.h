// Tail of a sorted series over a high threshold: the excesses over the (n - k)-th
// value, five estimators of the generalized Pareto tail (shape xi, scale sigma),
// the return level that follows from a fit, and the two diagnostic plot series.
//
// Every estimator appends xi, then sigma, to its output list. An estimator that
// cannot produce a finite estimate appends the failure pair (-10, -10) instead and
// sets the caller's failure flag; the caller clears that flag before the call.
#pragma once

#include <string>
#include <vector>

#include "parallel/worker_pool.h"
#include "series/lists.h"
#include "series/series.h"

namespace evstat {

// Code of a tail method, as the ParameterFile keywords select it.
using TailMethod = int;

constexpr TailMethod kUnknownTailMethod = 0;
constexpr TailMethod kTailWeightedMoments = 1;    // "HW": probability-weighted moments
constexpr TailMethod kTailMaximumLikelihood = 2;  // "EMV": likelihood, from the weighted moments
constexpr TailMethod kTailHill = 3;               // "Hill"
constexpr TailMethod kTailMoment = 4;             // "HillG": moment (generalized Hill) estimator
constexpr TailMethod kTailZipf = 5;               // "Zipf": slope of the Zipf plot

// Both members of the pair that a failed tail fit appends; also the return level of
// that pair and of any quantity that is not available.
constexpr double kTailFailure = -10.0;

// Exact, case-sensitive match against "HW", "EMV", "Hill", "HillG", "Zipf"; 0 for any other word.
TailMethod tail_method_from_name(const std::string& name);
// The method code held as a double in a list: 1 to 5 when the value is exactly one of them, else 0.
TailMethod tail_method_from_value(double value);

// u = the value at position n - k of the sorted series (a position below 1 gives the
// first value, one past the end gives NaN); appends x - u for each value x with x - u > 0,
// in order. Values equal to u are not excesses, so ties at the threshold
// leave fewer than k pairs.
void excesses_over_threshold(std::span<const double> series, int k, int n, Series& excesses,
                             double& u);

// Fits the tail of the sorted series with the given method, appending xi then sigma.
// Methods 1 and 2 estimate over the excesses that exist when k < n, over the whole
// series otherwise; methods 3 to 5 read the k largest values and the threshold u > 0.
// The warning flag is set to 1 when the likelihood iteration stops at its limit, else
// cleared by method 2; the failure flag is set on the failure pair. Any other method
// code appends nothing.
void fit_tail(std::span<const double> series, int k, int n, double u, TailMethod method, ValueList& fit,
              bool& warning, bool& failure);

// The estimators behind fit_tail, each over the series it is given.
// Maximum likelihood over the values of a sorted series, started from the estimate
// (xi, sigma) in `start`.
void gpd_maximum_likelihood(std::span<const double> series, const ValueList& start, ValueList& fit,
                            bool& warning, bool& failure);
// Hill, moment and Zipf estimators over the k largest values of the sorted series.
void hill_fit(std::span<const double> series, int k, double u, ValueList& fit, bool& failure);
void moment_fit(std::span<const double> series, int k, double u, ValueList& fit, bool& failure);
void zipf_fit(std::span<const double> series, int k, double u, ValueList& fit, bool& failure);

// One estimate of a path; the failure pair with `failed` set where the fit would fail.
struct TailEstimate {
    double xi = kTailFailure;
    double sigma = kTailFailure;
    bool failed = true;
};

// For each method of the list, methods 3, 4 and 5 at every number of excesses k from
// `first` to `last` (1 <= first <= last < the series size), each over the threshold at
// position n - k: the same doubles as fit_tail at each k, in the order of k. Any other
// method, and every method over any other range, gives an empty path. The k are shared
// out over the pool's threads; the paths are the same whatever their number.
std::vector<std::vector<TailEstimate>> tail_fit_paths(WorkerPool& pool,
                                                      std::span<const double> series, int first,
                                                      int last,
                                                      std::span<const TailMethod> methods);

// Appends the failure pair and sets the failure flag.
void append_tail_failure(ValueList& fit, bool& failure);

// Level exceeded with probability p by a series of n values whose k largest were
// fitted above u: u + (sigma/xi) ((n p / k)^(-xi) - 1), and u + sigma ln(k / (n p)) at
// xi = 0. The failure pair, and k outside 1..n, give -10.
double return_level(double u, double xi, double sigma, int k, double p, int n);

// For the excesses in list order, c = 1, 2, ...: appends ((k/c)^xi - 1)/xi (ln(k/c) at
// xi = 0), the unit-scale GPD quantile at probability 1 - c/k, with the excess.
// k < 1 appends nothing.
void gpd_quantile_plot(std::span<const double> excesses, int k, double xi, Sample& plot);

// The N largest values, N = k (k + 1 when k is not the series size), as the points
// (-ln(m/k), ln X), m = 1..N from the smallest of them to the largest; `slope` is the
// slope between the last point and the first. k < 1 or k above the size appends
// nothing, and a plot of fewer than two points has the slope -10.
void log_log_plot(std::span<const double> series, int k, Sample& plot, double& slope);

}  // namespace evstat
