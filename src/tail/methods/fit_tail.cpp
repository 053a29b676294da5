// Dispatch of a tail fit by method code, and the series that each method estimates over.
#include <cmath>

#include "estimation/estimate.h"
#include "tail/methods/tail.h"

namespace evstat {

namespace {
// The series that methods 1 and 2 estimate over: the excesses over the (n - k)-th
// value when k < n, else the whole series. Ties at the threshold leave fewer than k
// excesses, so the count is always the series' own size.
Series weighted_moments_series(std::span<const double> series, int k, int n) {
    if (k >= n) return Series(series.begin(), series.end());
    Series excesses;
    double threshold = 0.0;
    excesses_over_threshold(series, k, n, excesses, threshold);
    return excesses;
}

// Probability-weighted moments over the series; the failure pair when there is no
// value to estimate over, or the estimator gives no scale (its zeros) or no finite value.
void weighted_moments_fit(ValueList& fit, std::span<const double> values, bool& failure) {
    ValueList estimate;
    if (!values.empty()) estimate_gpd_parameters(values, size_of(values), estimate);
    const double xi = estimate.at(1);
    const double sigma = estimate.at(2);
    if (values.empty() || sigma == 0.0 || !std::isfinite(xi) || !std::isfinite(sigma)) {
        append_tail_failure(fit, failure);
        return;
    }
    fit.push_back(xi);
    fit.push_back(sigma);
}

// Methods 1 and 2 over the excesses (or the whole series when k >= n).
void fit_over_excesses(ValueList& fit, std::span<const double> series, int k, int n,
                       TailMethod method,
                       bool& warning, bool& failure) {
    if (method == kTailMaximumLikelihood) warning = false;
    if (k < 1) {
        append_tail_failure(fit, failure);
        return;
    }
    const Series values = weighted_moments_series(series, k, n);
    if (method == kTailWeightedMoments) {
        weighted_moments_fit(fit, values, failure);
        return;
    }
    ValueList start;
    bool startFailed = false;
    weighted_moments_fit(start, values, startFailed);
    if (startFailed) {
        append_tail_failure(fit, failure);
        return;
    }
    gpd_maximum_likelihood(values, start, fit, warning, failure);
}
}  // namespace

void fit_tail(std::span<const double> series, int k, int n, double u, TailMethod method, ValueList& fit,
              bool& warning, bool& failure) {
    switch (method) {
        case kTailWeightedMoments:
        case kTailMaximumLikelihood:
            fit_over_excesses(fit, series, k, n, method, warning, failure);
            return;
        case kTailHill:
            hill_fit(series, k, u, fit, failure);
            return;
        case kTailMoment:
            moment_fit(series, k, u, fit, failure);
            return;
        case kTailZipf:
            zipf_fit(series, k, u, fit, failure);
            return;
        default:
            return;  // no other code is a tail method: nothing is appended
    }
}

}  // namespace evstat
