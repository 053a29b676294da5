// Tests of an extreme quantile: the quantile at exceedance probability p estimated from
// the k largest of N values, by the exponential tail (ET) or the generalized Pareto tail,
// against an interval obtained asymptotically, by parametric resampling from the parent
// law, or by resampling from the Bayesian predictive law.
#pragma once

#include "laws/catalogue.h"
#include "series/lists.h"
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

// q = u + mbar ln(k / (N p)), with mbar the parent's parameter 1 for the exponential law
// and the mean excess otherwise, against q + b +- z sqrt(V).
void et_asymptotic_test(const Sample& data, const Sample& excesses, int k, double u, LawCode code,
                        const ValueList& parameters, double d, double p,
                        QuantileTestOutcome& outcome);

// B series of N values drawn from the parent law, in the run's generator order (draw,
// sort, refit in mode 0, next series).
void et_resampling_test(const Sample& data, const Sample& excesses, int k, double u, LawCode code,
                        const ValueList& parameters, double d, double p, int B, int mode,
                        QuantileTestOutcome& outcome);

// As the percentile mode of et_resampling_test, each series drawn by predictive_sample.
void et_predictive_test(const Sample& data, const Sample& excesses, int k, double u, LawCode code,
                        const ValueList& parameters, double d, double p, int B,
                        const ValueList& prior, const ValueList& posterior, int weibullShapeFlag,
                        double low, double high, QuantileTestOutcome& outcome);

// The return level of the GPD fit (xi, sigma) of the data against the resampled return
// levels, each resample refitted with `method`.
void gpd_resampling_test(const Sample& data, int k, double u, LawCode code,
                         const ValueList& parameters, double d, double p, int B, int mode,
                         const ValueList& fit, TailMethod method, QuantileTestOutcome& outcome);

}  // namespace evstat
