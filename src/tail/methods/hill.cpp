// Estimators from the logarithmic excesses ln X - ln u of the k largest values:
// Hill (Annals of Statistics 3, 1975), the moment estimator of Dekkers, Einmahl and
// de Haan (Annals of Statistics 17, 1989), and the slope of the Zipf plot (the
// qq-estimator of Kratz and Resnick, Stochastic Models 12, 1996).
// Each needs u > 0 and k values to read; otherwise, and whenever the estimate is
// not finite, it appends the failure pair.
//
// Over a range of k the sums cannot run on from one k to the next: every term
// ln X - ln u holds the threshold of its own k, and a rounded sum of differences is
// not the difference of rounded sums. The path computes each k's sums term by term in
// the order of the single fit, from logarithms of the values taken once, several k
// side by side so that their independent sums fill the arithmetic units.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tail/methods/tail.h"

namespace evstat {

namespace {
// First and second moments of ln X - ln u over the k largest values.
struct LogExcessMoments {
    double first;
    double second;
};

LogExcessMoments log_excess_moments(std::span<const double> series, int k, double u) {
    const double logThreshold = std::log(u);
    double sum = 0.0;
    double sumOfSquares = 0.0;
    auto value = series.rbegin();
    for (int i = 0; i < k; ++i, ++value) {
        const double d = std::log(*value) - logThreshold;
        sum += d;
        sumOfSquares += d * d;
    }
    const double scale = 1.0 / static_cast<double>(k);
    return {scale * sum, scale * sumOfSquares};
}

// The k largest values exist and the threshold has a logarithm.
bool readable(std::span<const double> series, int k, double u) {
    return k >= 1 && k <= size_of(series) && u > 0.0;
}

void append_if_finite(ValueList& fit, double xi, double sigma, bool& failure) {
    if (!std::isfinite(xi) || !std::isfinite(sigma)) {
        append_tail_failure(fit, failure);
        return;
    }
    fit.push_back(xi);
    fit.push_back(sigma);
}

// Least-squares slope of y_j = ln(gamma X) against e_j = ln((k + 1)/j), j = 1..k, the
// values taken from the second largest downwards; `largest` walks down from the largest.
template <typename Descending>
double zipf_slope(Descending largest, int k, double gamma) {
    const double count = static_cast<double>(k);
    double sumE = 0.0, sumY = 0.0, sumEY = 0.0, sumE2 = 0.0;
    auto value = largest;
    for (int j = 1; j <= k; ++j) {
        ++value;
        const double e = std::log((count + 1.0) / static_cast<double>(j));
        const double y = std::log(gamma * *value);
        sumE += e;
        sumY += y;
        sumEY += e * y;
        sumE2 += e * e;
    }
    const double meanE = sumE / count;
    const double meanY = sumY / count;
    return (sumEY / count - meanE * meanY) / (sumE2 / count - meanE * meanE);
}

// The estimates of each method from the moments of the log excesses at u.
double moment_shape(const LogExcessMoments& m) {
    return m.first + 1.0 - 1.0 / (2.0 * (1.0 - m.first * m.first / m.second));
}
double moment_scale(const LogExcessMoments& m, double xi, double u) {
    return xi >= 0.0 ? u * m.first : u * m.first * (1.0 - xi);
}
double zipf_scale(double gamma, double xi, double u) {
    return xi >= 0.0 ? u * gamma : u * gamma / (1.0 - xi);
}

TailEstimate estimate_if_finite(double xi, double sigma) {
    if (!std::isfinite(xi) || !std::isfinite(sigma)) return {};
    return {xi, sigma, false};
}

// The numbers of excesses whose sums one pass computes side by side.
constexpr int kLanes = 8;

// The moments of the log excesses for k = k0, ..., k0 + kLanes - 1 (lanes past `lanes`
// are computed and dropped): each lane adds ln X - ln u_k for the k largest values,
// largest first, exactly as log_excess_moments does. `logs` holds ln X, largest first.
template <bool kSquares>
void lane_moments(const std::vector<double>& logs, const double* logThresholds, int k0,
                  int lanes, LogExcessMoments* out) {
    double t[kLanes], sum[kLanes], squares[kLanes];
    for (int l = 0; l < kLanes; ++l) {
        t[l] = logThresholds[l < lanes ? l : 0];
        sum[l] = 0.0;
        squares[l] = 0.0;
    }
    for (int i = 0; i < k0; ++i) {  // the terms every lane adds
        const double logValue = logs[static_cast<std::size_t>(i)];
        double d[kLanes];
        for (int l = 0; l < kLanes; ++l) d[l] = logValue - t[l];
        for (int l = 0; l < kLanes; ++l) sum[l] += d[l];
        if (kSquares)
            for (int l = 0; l < kLanes; ++l) squares[l] += d[l] * d[l];
    }
    for (int l = 0; l < lanes; ++l) {
        for (int i = k0; i < k0 + l; ++i) {  // the further terms of the larger k
            const double d = logs[static_cast<std::size_t>(i)] - t[l];
            sum[l] += d;
            if (kSquares) squares[l] += d * d;
        }
        const double scale = 1.0 / static_cast<double>(k0 + l);
        out[l] = {scale * sum[l], scale * squares[l]};
    }
}
}  // namespace

void hill_fit(std::span<const double> series, int k, double u, ValueList& fit, bool& failure) {
    if (!readable(series, k, u)) {
        append_tail_failure(fit, failure);
        return;
    }
    const double gamma = log_excess_moments(series, k, u).first;
    append_if_finite(fit, gamma, u * gamma, failure);
}

void moment_fit(std::span<const double> series, int k, double u, ValueList& fit, bool& failure) {
    if (!readable(series, k, u)) {
        append_tail_failure(fit, failure);
        return;
    }
    const LogExcessMoments m = log_excess_moments(series, k, u);
    const double xi = moment_shape(m);
    append_if_finite(fit, xi, moment_scale(m, xi, u), failure);
}

void zipf_fit(std::span<const double> series, int k, double u, ValueList& fit, bool& failure) {
    // The plot starts one value below the largest, so it needs k + 1 values.
    if (!readable(series, k, u) || k >= size_of(series)) {
        append_tail_failure(fit, failure);
        return;
    }
    const double gamma = log_excess_moments(series, k, u).first;
    const double xi = zipf_slope(series.rbegin(), k, gamma);
    append_if_finite(fit, xi, zipf_scale(gamma, xi, u), failure);
}

std::vector<TailEstimate> tail_fit_path(std::span<const double> series, int first, int last,
                                        TailMethod method) {
    std::vector<TailEstimate> path;
    const int n = size_of(series);
    if (first < 1 || last < first || last >= n) return path;
    if (method != kTailHill && method != kTailMoment && method != kTailZipf) return path;
    path.resize(static_cast<std::size_t>(last - first + 1));

    // Largest first: the last + 1 largest values (Zipf reads one below the k-th) and logs.
    std::vector<double> values(static_cast<std::size_t>(last) + 1);
    std::copy(series.rbegin(), series.rbegin() + (last + 1), values.begin());
    std::vector<double> logs(size_of(values));
    for (std::size_t i = 0; i < logs.size(); ++i) logs[i] = std::log(values[i]);

    for (int k0 = first; k0 <= last; k0 += kLanes) {
        const int lanes = std::min(kLanes, last - k0 + 1);
        double logThresholds[kLanes];
        // u_k is the value at position n - k, the k-th below the largest.
        for (int l = 0; l < lanes; ++l)
            logThresholds[l] = std::log(values[static_cast<std::size_t>(k0 + l)]);
        LogExcessMoments moments[kLanes];
        if (method == kTailMoment)
            lane_moments<true>(logs, logThresholds, k0, lanes, moments);
        else
            lane_moments<false>(logs, logThresholds, k0, lanes, moments);
        for (int l = 0; l < lanes; ++l) {
            const int k = k0 + l;
            const double u = values[static_cast<std::size_t>(k)];
            TailEstimate& estimate = path[static_cast<std::size_t>(k - first)];
            if (!(u > 0.0)) continue;  // no logarithm of the threshold: the failure pair
            const LogExcessMoments& m = moments[l];
            if (method == kTailHill) {
                estimate = estimate_if_finite(m.first, u * m.first);
            } else if (method == kTailMoment) {
                const double xi = moment_shape(m);
                estimate = estimate_if_finite(xi, moment_scale(m, xi, u));
            } else {
                const double xi = zipf_slope(values.cbegin(), k, m.first);
                estimate = estimate_if_finite(xi, zipf_scale(m.first, xi, u));
            }
        }
    }
    return path;
}

}  // namespace evstat
