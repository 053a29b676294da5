// The predictive law of a series prepared once and drawn from many times: the checks that
// its parameters can be drawn from, and for the Weibull shape the likelihood terms that do
// not change between draws. predictive_sample and the predictive ET test draw through it.
#pragma once

#include <vector>

#include "laws/catalogue.h"
#include "laws/generator.h"
#include "laws/tabulated_gamma.h"
#include "series/lists.h"
#include "series/series.h"
#include "tail/bayes/predictive_sample.h"

namespace evstat {

// Rejection of a proposed Weibull shape k under the likelihood of the data,
// L(k) = (k/eta)^n (prod x_i/eta)^(k - 1) exp(-S1(k)), S1(k) = sum (x_i/eta)^k,
// eta = theta^(1/k0), against the bound M = L(k0): k is accepted when L(k) >= b M, compared
// as logarithms. S1 is convex in k, so over each cell of a grid of shapes the tangents at its
// ends bound it from below and the chord from above; the cells are halved where the bounds
// are too far apart to settle most decisions (about the shapes of high likelihood), and a
// cell where L stays below M / 32767 (the smallest b of the source) rejects every shape in
// it. Only a proposal too close to the decision for the bounds to settle pays for the full
// sum, and every decision is the one the full sum gives, rounding included.
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
    int grid_nodes() const { return static_cast<int>(nodes_.size()); }

private:
    // S1, S1' and sum |ln(x_i/eta)| (x_i/eta)^k at one shape, as the full sum computes them.
    struct Node {
        double k = 0.0;
        double sum = 0.0;
        double slope = 0.0;
        double absoluteSlope = 0.0;
    };
    struct Cell {
        double margin = 0.0;      // on either bound, for the rounding of every sum
        bool rejectsAll = false;  // L < M / 32767 over the cell
    };
    double sum_of_powers(double k) const;  // S1(k)
    double fixed_part(double k) const;     // n ln(k/eta) + (k - 1) sum ln(x_i/eta)
    Node node_at(double k) const;
    void build_grid(double start, double end);
    Cell cell_between(const Node& left, const Node& right) const;
    bool refined_enough(const Node& left, const Node& right, const Cell& cell) const;
    void index_cells();
    int bucket_of(double k) const;             // -1 off the grid
    int cell_of(double k, int bucket) const;  // the cell whose end nodes hold k, or -1

    std::vector<double> logRatios_;  // ln(x_i / eta)
    double count_ = 0.0;
    double logEta_ = 0.0;
    double logProduct_ = 0.0;  // sum ln(x_i / eta)
    double logBound_ = 0.0;
    double relativeError_ = 0.0;  // of a full sum against the real one
    std::vector<Node> nodes_;  // the grid, in increasing order of shape
    std::vector<Cell> cells_;  // cells_[i] lies between nodes i and i + 1
    double bucketScale_ = 0.0;
    std::vector<int> bucketCells_;     // the cell that holds each bucket's lower end
    std::vector<bool> bucketRejects_;  // every cell a shape of the bucket may lie in rejects all
    bool usable_ = false;
};

class PredictiveSampler {
public:
    PredictiveSampler(std::span<const double> data, LawCode code, const ValueList& prior,
                      const ValueList& posterior, const ValueList& parameters, double low,
                      double high, int weibullShapeFlag,
                      long long proposalsInAll = kMaxShapeProposalsInAll);
    bool drawable() const { return drawable_; }
    // Replaces `values` by N draws; on NotDrawable nothing is drawn. The shape proposals
    // count against the sampler's bound in all, from one call to the next.
    PredictiveDraw draw(Generator& generator, int N, std::vector<double>& values) const;

private:
    double observation(Generator& generator, double parameter, ValueList& law) const;
    bool shape_value(Generator& generator, double& value, ValueList& law) const;

    LawCode code_;
    bool shapeCase_;
    ValueList prior_;
    ValueList posterior_;
    double p1_;
    double p2_;
    double low_;
    double high_;
    ShapeRejection rejection_;
    TabulatedBeta proposals_;  // the Beta prior of the rescaled shape, in the shape case
    bool drawable_ = false;
    mutable long long proposalsLeft_;
};

// Appends N values drawn by `sampler`, as predictive_sample does.
PredictiveDraw predictive_sample(Generator& generator, const PredictiveSampler& sampler, int N,
                                 Series& output);

}  // namespace evstat
