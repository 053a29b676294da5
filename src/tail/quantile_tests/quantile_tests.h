// Tests of an extreme quantile: the quantile at exceedance probability p estimated from
// the k largest of N values, by the exponential tail (ET) or the generalized Pareto tail,
// against an interval obtained asymptotically, by parametric resampling from the parent
// law, or by resampling from the Bayesian predictive law.
#pragma once

#include "laws/catalogue.h"
#include "laws/generator.h"
#include "parallel/worker_pool.h"
#include "series/lists.h"
#include "series/series.h"
#include "tail/methods/tail.h"

namespace evstat {

// What a test reports, in the order the tasks write it. An end that could not be
// computed (no resample, a parent that cannot be drawn from) is kTailFailure.
struct QuantileTestOutcome {
    int verdict = 0;                       // 1 when the compared value lies in [lower, upper]
    double estimate = kTailFailure;        // q
    double parentQuantile = kTailFailure;  // Q0, the parent's quantile at 1 - p
    double lower = kTailFailure;
    double upper = kTailFailure;
};

// Mode flags of the resampling tests.
constexpr int kDifferenceInterval = 0;  // (q - Q0) against the resampled (q* - Q*)
constexpr int kPercentileInterval = 1;  // q against the resampled q*

// Every test starts from verdict 0 and ends of kTailFailure, with Q0 = the parent's quantile
// at 1 - p and q as the test computes it; it runs only with a threshold inside the series,
// 2 <= k < N (N the size of the data), and otherwise leaves q at kTailFailure too and draws
// nothing. A resampling test with B < 1, a mode other than 0 or 1, or a parent (or
// posterior) the generator cannot draw from keeps its ends at kTailFailure and draws nothing.
// A resample whose compared value is not available (no excess above its threshold, a refit
// whose estimates are all zero, a failed tail fit) is left out; the interval is taken over
// the B' that remain, j = floor(B' d / 2), and B' = 0 leaves the ends at kTailFailure.
// The resamples are drawn in order on one thread and refitted on the pool.

// q = u + mbar ln(k / (N p)), with mbar the parent's parameter 1 for the exponential law
// and the mean excess otherwise, against q + b +- z sqrt(V), z the standard normal quantile
// at 1 - d/2 (d = 0 gives the largest double: an unbounded interval).
void et_asymptotic_test(std::span<const double> data, std::span<const double> excesses, int k,
                        double u, LawCode code, const ValueList& parameters, double d, double p,
                        QuantileTestOutcome& outcome);

// B series of N values drawn from the parent law, in the run's generator order (draw,
// sort, refit in mode 0, next series); the values of each are those draw_random_values draws.
// The refit of mode 0 is estimate_law's (the GPD by its probability-weighted moments).
void et_resampling_test(Generator& generator, WorkerPool& pool, std::span<const double> data,
                        std::span<const double> excesses, int k, double u, LawCode code,
                        const ValueList& parameters, double d, double p, int B, int mode,
                        QuantileTestOutcome& outcome);

// As the percentile mode of et_resampling_test, each series of N values drawn by
// predictive_sample (prepared once for all B series, with at most proposalsInAll shape
// proposals over all of them). A series that reaches the bound of the shape rejection ends
// the test without an interval.
void et_predictive_test(Generator& generator, WorkerPool& pool, std::span<const double> data,
                        std::span<const double> excesses, int k, double u, LawCode code,
                        const ValueList& parameters, double d, double p, int B,
                        const ValueList& prior, const ValueList& posterior, int weibullShapeFlag,
                        double low, double high, long long proposalsInAll,
                        QuantileTestOutcome& outcome);

// The return level of the GPD fit (xi, sigma) of the data against the resampled return
// levels, each resample refitted by fit_tail with `method` over its own k largest values;
// a resample whose fit raises the failure flag (or appends nothing) is left out.
void gpd_resampling_test(Generator& generator, WorkerPool& pool, std::span<const double> data,
                         int k, double u, LawCode code, const ValueList& parameters, double d,
                         double p, int B, int mode, const ValueList& fit, TailMethod method,
                         QuantileTestOutcome& outcome);

}  // namespace evstat
