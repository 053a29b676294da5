// The predictive law of a series prepared once and drawn from many times: the checks that
// its parameters can be drawn from, and for the Weibull shape the likelihood terms that do
// not change between draws. predictive_sample and the predictive ET test draw through it.
#pragma once

#include <vector>

#include "laws/catalogue.h"
#include "series/lists.h"
#include "series/series.h"
#include "tail/bayes/predictive_sample.h"

namespace evstat {

// Rejection of a proposed Weibull shape k under the likelihood of the data,
// L(k) = (k/eta)^n (prod x_i/eta)^(k - 1) exp(-S1(k)), S1(k) = sum (x_i/eta)^k,
// eta = theta^(1/k0), against the bound M = L(k0): k is accepted when L(k) >= b M, compared
// as logarithms. S1 is convex in k, so tangents and chords over a grid of shapes bound it
// from below and above; only a proposal too close to the decision for the bounds to settle
// pays for the full sum, and every decision is the one the full sum gives.
class ShapeRejection {
public:
    ShapeRejection(std::span<const double> data, double theta, double k0, double low, double high);
    // False when the data or the parameters give no likelihood to reject by: a value that is
    // not positive and finite, theta or k0 not positive and finite, a support [low, high]
    // whose upper end is not above max(low, 0), or a bound M that is not finite.
    bool usable() const { return usable_; }
    // The decision for shape k and uniform value b, through the bounds where they settle it.
    bool accepts(double k, double b) const;
    // The same decision from the full sum: S1(k) <= n ln(k/eta) + (k - 1) sum ln(x_i/eta)
    // - ln b - ln M; false for k <= 0.
    bool accepts_by_full_sum(double k, double b) const;
    double log_likelihood(double k) const;  // the full sum; -inf for k <= 0
    double log_bound() const { return logBound_; }

private:
    double sum_of_powers(double k) const;  // S1(k)
    double tolerance(double a, double s) const;

    std::vector<double> logRatios_;  // ln(x_i / eta)
    double count_ = 0.0;
    double logEta_ = 0.0;
    double logProduct_ = 0.0;  // sum ln(x_i / eta)
    double logBound_ = 0.0;
    double gridStart_ = 0.0;
    double gridStep_ = 0.0;
    std::vector<double> gridSums_;    // S1 at the grid shapes
    std::vector<double> gridSlopes_;  // S1' at the grid shapes
    bool usable_ = false;
};

class PredictiveSampler {
public:
    PredictiveSampler(std::span<const double> data, LawCode code, const ValueList& prior,
                      const ValueList& posterior, const ValueList& parameters, double low,
                      double high, int weibullShapeFlag,
                      long long proposalsInAll = shape_proposals_bound());
    bool drawable() const { return drawable_; }
    // Replaces `values` by N draws; on NotDrawable nothing is drawn. The shape proposals
    // count against the sampler's bound in all, from one call to the next.
    PredictiveDraw draw(int N, Series& values) const;

private:
    double observation(double parameter, ValueList& law) const;
    bool shape_value(double& value, ValueList& law) const;

    LawCode code_;
    bool shapeCase_;
    ValueList prior_;
    ValueList posterior_;
    double p1_;
    double p2_;
    double low_;
    double high_;
    ShapeRejection rejection_;
    bool drawable_ = false;
    mutable long long proposalsLeft_;
};

// Appends N values drawn by `sampler`, as predictive_sample does.
PredictiveDraw predictive_sample(Series& output, const PredictiveSampler& sampler, int N);

}  // namespace evstat
