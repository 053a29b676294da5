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
// The smallest uniform value of the source, 1 / 32767, and -ln of it: no b below it is drawn.
constexpr double kSmallestUniform = 1.0 / kRandomMax;
constexpr double kLargestLogOfInverse = 10.3972;  // above -ln(1 / 32767) = 10.397177...
// Relative slack on the few roundings of the fixed part of the log-likelihood and of the
// cell bounds (a handful of units in 1e-16, taken a million times over).
constexpr double kRoundingSlack = 1e-10;
constexpr double kUnitRoundoff = std::numeric_limits<double>::epsilon() / 2.0;
constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();
}  // namespace

ShapeRejection::ShapeRejection(const Sample& data, double theta, double k0, double low,
                               double high) {
    const bool parameters = theta > 0.0 && std::isfinite(theta) && k0 > 0.0 &&
                            std::isfinite(k0) && std::isfinite(low) && std::isfinite(high) &&
                            high > std::max(low, 0.0);
    if (!parameters) return;
    logEta_ = std::log(theta) / k0;
    const double eta = std::pow(theta, 1.0 / k0);
    double largestLog = 0.0;
    for (const Point& point : data) {
        if (!(point.y > 0.0 && std::isfinite(point.y))) return;
        logRatios_.push_back(std::log(point.y / eta));
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
    gridStart_ = start;
    gridStep_ = (end - start) / kGridCells;
    std::vector<std::vector<Node>> spans(kGridCells);
    std::vector<bool> done(kGridCells, false);
    double terms = 0.0;
    for (int c = 0; c < kGridCells; ++c) {
        const double left = start + gridStep_ * c;
        const double right = start + gridStep_ * (c + 1);
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
    for (int c = 0; c < kGridCells; ++c) {
        spans_.push_back(Span{depth[c], static_cast<int>(nodes_.size())});
        for (std::size_t i = 0; i < spans[c].size(); ++i) {
            nodes_.push_back(spans[c][i]);
            cells_.push_back(i + 1 < spans[c].size() ? cell_between(spans[c][i], spans[c][i + 1])
                                                     : Cell{});
        }
    }
}

int ShapeRejection::cell_of(double k) const {
    const double position = (k - gridStart_) / gridStep_;
    if (!(position >= 0.0 && position <= kGridCells)) return -1;
    int c = std::min(static_cast<int>(position), kGridCells - 1);
    const auto last_node = [this](int span) { return spans_[span].first + (1 << spans_[span].depth); };
    if (c > 0 && k < nodes_[spans_[c].first].k)
        --c;
    else if (c + 1 < kGridCells && k > nodes_[last_node(c)].k)
        ++c;
    const int first = spans_[c].first;
    const int last = last_node(c);
    const double offset =
        (k - nodes_[first].k) / (nodes_[last].k - nodes_[first].k) * (last - first);
    int i = first;
    if (offset >= last - first)
        i = last - 1;
    else if (offset > 0.0)
        i = first + static_cast<int>(offset);
    if (i > first && k < nodes_[i].k)
        --i;
    else if (i + 1 < last && k > nodes_[i + 1].k)
        ++i;
    if (!(nodes_[i].k <= k && k <= nodes_[i + 1].k)) return -1;
    return i;
}

bool ShapeRejection::accepts(double k, double b) const {
    if (!(k > 0.0)) return false;
    const int i = cell_of(k);
    if (i >= 0 && cells_[i].rejectsAll && b >= kSmallestUniform) return false;
    // Accepted when S1(k) <= allowed.
    const double allowed = fixed_part(k) - std::log(b) - logBound_;
    if (i >= 0) {
        const Node& left = nodes_[i];
        const Node& right = nodes_[i + 1];
        const double margin = cells_[i].margin;
        const double below = std::max(left.sum + left.slope * (k - left.k),
                                      right.sum + right.slope * (k - right.k)) - margin;
        const double above = left.sum + (right.sum - left.sum) * ((k - left.k) / (right.k - left.k)) + margin;
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
