// The Romberg integrands of the Weibull shape, and the predictive density at one point,
// directly or through the factors it shares with every other point of a grid.
#pragma once

#include <cstddef>
#include <vector>

#include "tail/bayes_table/bayes_table.h"

namespace evstat {

enum class ShapeKernel { Posterior = 1, Predictive = 2, Mean = 3 };

// One of the three kernels as a function of the shape; y is the point of the predictive one.
struct ShapeIntegrand {
    ShapeKernel kernel;
    const ShapeModel& model;
    double y = 0.0;
    double operator()(double k) const;
};

// prior(k) k^power exp(k S2 - S1(k)) (shifted in the log domain), for any k.
double shape_likelihood(const ShapeModel& model, double k, double power);

// The factors of the predictive kernel that do not depend on the point, in the order a Romberg
// run over the support asks for its nodes: every run over the same support asks for the same
// nodes, so each is computed once.
struct ShapeNodeCache {
    std::vector<double> nodes;
    std::vector<double> factors;
    long long evaluations = 0;  // of the predictive kernel, by every run through the cache
};

// The predictive kernel at y through the cache: the run's i-th evaluation takes the i-th cached
// factor when the node is the same (and computes it, once, when it is new).
struct CachedPredictiveIntegrand {
    const ShapeModel& model;
    ShapeNodeCache& cache;
    double ratio;     // y / eta
    double logRatio;  // ln(y / eta)
    mutable std::size_t next = 0;
    double operator()(double k) const;
};

// (integral over the support of the predictive kernel at y) / Z / y.
double predictive_density_direct(const ShapeModel& model, double y, double Z);
double predictive_density_cached(const ShapeModel& model, ShapeNodeCache& cache, double y,
                                 double Z);

}  // namespace evstat
