// Rejection of proposed Weibull shapes under the likelihood of the data, with bounds on the
// sum S1(k) = sum (x_i/eta)^k from its convexity in k over a grid of shapes refined where the
// likelihood is high.
#include <algorithm>
#include <cmath>
#include <limits>

#include "laws/generator.h"
#include "tail/bayes/predictive_sampler.h"

namespace evstat {

namespace {
constexpr int kGridCells = 64;  // cells of the first grid over the support
// A cell is halved, up to kMostHalvings times, while its bounds on S1 can lie further apart
// than this (a difference of log-likelihoods): the proposals the bounds leave to the full
// sum are then a small part of those near the decision.
constexpr double kBoundGap = 1e-4;
constexpr int kMostHalvings = 16;
// The halvings stop when the grid's sums would take more terms than this in all.
constexpr double kMostGridTerms = 2e8;
// Buckets of equal width over the grid, each naming a cell: a shape's cell in constant time.
constexpr int kBuckets = 1 << 14;
// No bucket rejects by itself when some cell is narrower than this relative to the shapes.
constexpr double kNarrowestIndexedCell = 1e-9;
// The smallest uniform value of the source, 1 / 32767, and -ln of it: no b below it is drawn.
constexpr double kSmallestUniform = 1.0 / kRandomMax;
constexpr double kLargestLogOfInverse = 10.3972;  // above -ln(1 / 32767) = 10.397177...
// Relative slack on the few roundings of the fixed part of the log-likelihood and of the
// cell bounds (a handful of units in 1e-16, taken a million times over).
constexpr double kRoundingSlack = 1e-10;
constexpr double kUnitRoundoff = std::numeric_limits<double>::epsilon() / 2.0;
constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();
}  // namespace

ShapeRejection::ShapeRejection(std::span<const double> data, double theta, double k0, double low,
                               double high) {
    const bool parameters = theta > 0.0 && std::isfinite(theta) && k0 > 0.0 &&
                            std::isfinite(k0) && std::isfinite(low) && std::isfinite(high) &&
                            high > std::max(low, 0.0);
    if (!parameters) return;
    logEta_ = std::log(theta) / k0;
    const double eta = std::pow(theta, 1.0 / k0);
    double largestLog = 0.0;
    for (const double x : data) {
        if (!(x > 0.0 && std::isfinite(x))) return;
        logRatios_.push_back(std::log(x / eta));
        logProduct_ += logRatios_.back();
        largestLog = std::max(largestLog, std::fabs(logRatios_.back()));
    }
    count_ = static_cast<double>(logRatios_.size());
    logBound_ = log_likelihood(k0);
    if (!std::isfinite(logBound_)) return;
    // A full sum at a shape of the support, against S1 in real numbers: each term's product
    // k ln(x/eta) and exponential within (|k ln(x/eta)| + 1.02) units of roundoff, the
    // running sum of n positive terms within n - 1; taken twice over.
    const double largestProduct = std::max(std::fabs(low), std::fabs(high)) * largestLog;
    relativeError_ = 2.0 * (count_ + largestProduct + 2.0) * kUnitRoundoff;
    build_grid(std::max(low, 0.0), high);
    usable_ = true;
}

double ShapeRejection::sum_of_powers(double k) const {
    double sum = 0.0;
    for (const double l : logRatios_) sum += std::exp(k * l);
    return sum;
}

double ShapeRejection::fixed_part(double k) const {
    return count_ * (std::log(k) - logEta_) + (k - 1.0) * logProduct_;
}

double ShapeRejection::log_likelihood(double k) const {
    if (!(k > 0.0)) return kMinusInfinity;
    return fixed_part(k) - sum_of_powers(k);
}

ShapeRejection::Node ShapeRejection::node_at(double k) const {
    Node node;
    node.k = k;
    for (const double l : logRatios_) {
        const double term = std::exp(k * l);
        node.sum += term;
        node.slope += l * term;
        node.absoluteSlope += std::fabs(l) * term;
    }
    return node;
}

// The rounding margin of a cell's bounds, and whether L < M / 32767 over all of it: the
// smallest S1 there (at the crossing of the tangents, or an end) against the largest
// right-hand side, n ln(k2/eta) + max((k - 1) S2) + ln 32767 - ln M.
ShapeRejection::Cell ShapeRejection::cell_between(const Node& left, const Node& right) const {
    Cell cell;
    const double h = right.k - left.k;
    cell.margin = 4.0 * relativeError_ *
                      (left.sum + right.sum + (left.absoluteSlope + right.absoluteSlope) * h) +
                  4.0 * count_ * std::numeric_limits<double>::min();  // terms near underflow
    if (!std::isfinite(cell.margin) || !(h > 0.0)) {
        cell.margin = std::numeric_limits<double>::quiet_NaN();  // the full sum decides
        return cell;
    }
    // The smallest S1 over the cell is at least that of the larger tangent: at an end where
    // S1 rises or falls throughout, else below both tangents at any point, their crossing
    // about (either falls on one side of it and rises on the other).
    double smallest = 0.0;
    if (left.slope >= 0.0) {
        smallest = left.sum;
    } else if (right.slope <= 0.0) {
        smallest = right.sum;
    } else {
        const double t = std::clamp(
            (right.sum - right.slope * h - left.sum) / (left.slope - right.slope), 0.0, h);
        smallest = std::min(left.sum + left.slope * t, right.sum + right.slope * (t - h));
    }
    const double linear = std::max((left.k - 1.0) * logProduct_, (right.k - 1.0) * logProduct_);
    const double logarithm = count_ * (std::log(right.k) - logEta_);
    const double largestAllowed = logarithm + linear + kLargestLogOfInverse - logBound_;
    const double slack =
        kRoundingSlack * (std::fabs(logarithm) + count_ * std::fabs(logEta_) + std::fabs(linear) +
                          kLargestLogOfInverse + std::fabs(logBound_) + left.sum + right.sum +
                          (std::fabs(left.slope) + std::fabs(right.slope)) * h + 1.0);
    const double lowest = smallest - cell.margin - slack;
    cell.rejectsAll = std::isfinite(largestAllowed) && lowest > 0.0 &&
                      lowest * (1.0 - 2.0 * relativeError_) > largestAllowed + slack;
    return cell;
}

// A convex function lies within h (S1'(k2) - S1'(k1)) / 4 of the larger of its end tangents
// under its chord; NaN margins (the full sum decides) are not refined.
bool ShapeRejection::refined_enough(const Node& left, const Node& right, const Cell& cell) const {
    if (cell.rejectsAll || std::isnan(cell.margin)) return true;
    // Past the rounding margin a finer cell no longer narrows the bounds.
    const double gap = (right.k - left.k) * (right.slope - left.slope) / 4.0;
    return gap <= std::max(kBoundGap, 2.0 * cell.margin);
}

// The first grid's cells over [start, end], each halved while some cell of it is not refined
// enough, one round of halvings over all of them at a time, while the sums stay within bound.
void ShapeRejection::build_grid(double start, double end) {
    const double gridStep = (end - start) / kGridCells;
    std::vector<std::vector<Node>> spans(kGridCells);
    std::vector<bool> done(kGridCells, false);
    double terms = 0.0;
    for (int c = 0; c < kGridCells; ++c) {
        const double left = start + gridStep * c;
        const double right = start + gridStep * (c + 1);
        spans[c] = {c == 0 ? node_at(left) : spans[c - 1].back(), node_at(right)};
        terms += count_;
    }
    terms += count_;
    std::vector<int> depth(kGridCells, 0);
    for (int round = 1; round <= kMostHalvings; ++round) {
        bool halved = false;
        for (int c = 0; c < kGridCells; ++c) {
            std::vector<Node>& nodes = spans[c];
            if (done[c]) continue;
            bool enough = true;
            for (std::size_t i = 0; i + 1 < nodes.size() && enough; ++i)
                enough = refined_enough(nodes[i], nodes[i + 1], cell_between(nodes[i], nodes[i + 1]));
            if (enough || terms + count_ * static_cast<double>(nodes.size() - 1) > kMostGridTerms) {
                done[c] = true;
                continue;
            }
            // The midpoints left + j (h / 2^round) for odd j: the even ones are the nodes
            // already there (scaling by 2 is exact).
            const double left = nodes.front().k;
            const double width = (nodes.back().k - left) / static_cast<double>(1L << round);
            std::vector<Node> finer;
            finer.reserve(2 * nodes.size() - 1);
            for (std::size_t i = 0; i + 1 < nodes.size(); ++i) {
                finer.push_back(nodes[i]);
                finer.push_back(node_at(left + width * static_cast<double>(2 * i + 1)));
            }
            finer.push_back(nodes.back());
            terms += count_ * static_cast<double>(nodes.size() - 1);
            nodes.swap(finer);
            depth[c] = round;
            halved = true;
        }
        if (!halved) break;
    }
    for (int c = 0; c < kGridCells; ++c)  // each span's first node is the last one's end
        nodes_.insert(nodes_.end(), spans[c].begin() + (c == 0 ? 0 : 1), spans[c].end());
    for (std::size_t i = 0; i + 1 < nodes_.size(); ++i)
        cells_.push_back(cell_between(nodes_[i], nodes_[i + 1]));
    index_cells();
}

// Per bucket the cell that holds its lower end, and whether it and every cell about it reject
// all shapes; a shape's bucket is off by at most a rounding, far less than the narrowest cell
// when the cell beside is counted too (else no bucket rejects by itself).
void ShapeRejection::index_cells() {
    const int cells = static_cast<int>(cells_.size());
    const double start = nodes_.front().k;
    const double end = nodes_.back().k;
    bucketScale_ = kBuckets / (end - start);
    double narrowest = end - start;
    for (int i = 0; i < cells; ++i) narrowest = std::min(narrowest, nodes_[i + 1].k - nodes_[i].k);
    const bool rejectByBucket = narrowest > kNarrowestIndexedCell * std::max(1.0, std::fabs(end));
    bucketCells_.assign(kBuckets, 0);
    bucketRejects_.assign(kBuckets, false);
    int i = 0;
    for (int j = 0; j < kBuckets; ++j) {
        const double low = start + j / bucketScale_;
        const double high = start + (j + 1) / bucketScale_;
        while (i + 1 < cells && nodes_[i + 1].k <= low) ++i;
        int last = i;
        while (last + 1 < cells && nodes_[last + 1].k < high) ++last;
        bucketCells_[j] = i;
        bool all = rejectByBucket;
        for (int c = std::max(i - 1, 0); c <= std::min(last + 1, cells - 1) && all; ++c)
            all = cells_[c].rejectsAll;
        bucketRejects_[j] = all;
    }
}

int ShapeRejection::bucket_of(double k) const {
    const double position = (k - nodes_.front().k) * bucketScale_;
    if (!(position >= 0.0 && position <= kBuckets)) return -1;
    return std::min(static_cast<int>(position), kBuckets - 1);
}

int ShapeRejection::cell_of(double k, int bucket) const {
    const int cells = static_cast<int>(cells_.size());
    int i = bucketCells_[bucket];
    while (i > 0 && k < nodes_[i].k) --i;
    while (i + 1 < cells && k > nodes_[i + 1].k) ++i;
    if (!(nodes_[i].k <= k && k <= nodes_[i + 1].k)) return -1;
    return i;
}

bool ShapeRejection::accepts(double k, double b) const {
    if (!(k > 0.0)) return false;
    const int bucket = bucket_of(k);
    if (bucket >= 0 && bucketRejects_[bucket] && b >= kSmallestUniform) return false;
    const int i = bucket >= 0 ? cell_of(k, bucket) : -1;
    if (i >= 0 && cells_[i].rejectsAll && b >= kSmallestUniform) return false;
    // Accepted when S1(k) <= allowed.
    const double allowed = fixed_part(k) - std::log(b) - logBound_;
    if (i >= 0) {
        const Node& left = nodes_[i];
        const Node& right = nodes_[i + 1];
        const double margin = cells_[i].margin;
        const double below = std::max(left.sum + left.slope * (k - left.k),
                                      right.sum + right.slope * (k - right.k)) - margin;
        const double above =
            left.sum + (right.sum - left.sum) * ((k - left.k) / (right.k - left.k)) + margin;
        if (below > 0.0 && below * (1.0 - 2.0 * relativeError_) > allowed) return false;
        if (above * (1.0 + 2.0 * relativeError_) < allowed) return true;
    }
    return sum_of_powers(k) <= allowed;
}

bool ShapeRejection::accepts_by_full_sum(double k, double b) const {
    if (!(k > 0.0)) return false;
    return sum_of_powers(k) <= fixed_part(k) - std::log(b) - logBound_;
}

}  // namespace evstat
