// Rejection of proposed Weibull shapes under the likelihood of the data, with bounds on the
// sum S1(k) = sum (x_i/eta)^k from its convexity in k.
#include <algorithm>
#include <cmath>
#include <limits>

#include "tail/bayes/predictive_sampler.h"

namespace evstat {

namespace {
constexpr int kGridCells = 64;            // cells of the shape grid over the support
constexpr double kBoundTolerance = 1e-9;  // relative margin left to the full sum
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
    for (const double x : data) {
        if (!(x > 0.0 && std::isfinite(x))) return;
        logRatios_.push_back(std::log(x / eta));
        logProduct_ += logRatios_.back();
    }
    count_ = static_cast<double>(logRatios_.size());
    logBound_ = log_likelihood(k0);
    if (!std::isfinite(logBound_)) return;
    gridStart_ = std::max(low, 0.0);
    gridStep_ = (high - gridStart_) / kGridCells;
    for (int g = 0; g <= kGridCells; ++g) {
        const double k = gridStart_ + gridStep_ * g;
        double sum = 0.0;
        double slope = 0.0;
        for (const double l : logRatios_) {
            const double term = std::exp(k * l);
            sum += term;
            slope += l * term;
        }
        gridSums_.push_back(sum);
        gridSlopes_.push_back(slope);
    }
    usable_ = true;
}

double ShapeRejection::sum_of_powers(double k) const {
    double sum = 0.0;
    for (const double l : logRatios_) sum += std::exp(k * l);
    return sum;
}

double ShapeRejection::log_likelihood(double k) const {
    if (!(k > 0.0)) return kMinusInfinity;
    return count_ * (std::log(k) - logEta_) + (k - 1.0) * logProduct_ - sum_of_powers(k);
}

// Far more than the rounding of either side of the comparison.
double ShapeRejection::tolerance(double a, double s) const {
    return kBoundTolerance * (std::fabs(a) + std::fabs(s) + 1.0);
}

bool ShapeRejection::accepts(double k, double b) const {
    if (!(k > 0.0)) return false;
    const double fixedPart = count_ * (std::log(k) - logEta_) + (k - 1.0) * logProduct_;
    // Accepted when S1(k) <= allowed.
    const double allowed = fixedPart - std::log(b) - logBound_;
    const double position = (k - gridStart_) / gridStep_;
    if (position >= 0.0 && position <= kGridCells) {
        const int cell = std::min(static_cast<int>(position), kGridCells - 1);
        const double k1 = gridStart_ + gridStep_ * cell;
        const double k2 = gridStart_ + gridStep_ * (cell + 1);
        const double s1 = gridSums_[cell];
        const double s2 = gridSums_[cell + 1];
        const double below = std::max(s1 + gridSlopes_[cell] * (k - k1),
                                      s2 + gridSlopes_[cell + 1] * (k - k2));
        const double above = s1 + (s2 - s1) * (k - k1) / (k2 - k1);
        const double margin = tolerance(std::fabs(fixedPart) + std::fabs(allowed), above);
        if (std::isfinite(above) && std::isfinite(margin)) {
            if (below > allowed + margin) return false;
            if (above < allowed - margin) return true;
        }
    }
    return sum_of_powers(k) <= allowed;
}

bool ShapeRejection::accepts_by_full_sum(double k, double b) const {
    if (!(k > 0.0)) return false;
    const double fixedPart = count_ * (std::log(k) - logEta_) + (k - 1.0) * logProduct_;
    return sum_of_powers(k) <= fixedPart - std::log(b) - logBound_;
}

}  // namespace evstat
