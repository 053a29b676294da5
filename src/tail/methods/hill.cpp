// Estimators from the logarithmic excesses ln X - ln u of the k largest values:
// Hill (Annals of Statistics 3, 1975), the moment estimator of Dekkers, Einmahl and
// de Haan (Annals of Statistics 17, 1989), and the slope of the Zipf plot (the
// qq-estimator of Kratz and Resnick, Stochastic Models 12, 1996).
// Each needs u > 0 and k values to read; otherwise, and whenever the estimate is
// not finite, it appends the failure pair.
#include <cmath>

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
// values taken from the second largest downwards.
double zipf_slope(std::span<const double> series, int k, double gamma) {
    const double count = static_cast<double>(k);
    double sumE = 0.0, sumY = 0.0, sumEY = 0.0, sumE2 = 0.0;
    auto value = series.rbegin();
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
}  // namespace

void hill_fit(ValueList& fit, std::span<const double> series, int k, double u, bool& failure) {
    if (!readable(series, k, u)) {
        append_tail_failure(fit, failure);
        return;
    }
    const double gamma = log_excess_moments(series, k, u).first;
    append_if_finite(fit, gamma, u * gamma, failure);
}

void moment_fit(ValueList& fit, std::span<const double> series, int k, double u, bool& failure) {
    if (!readable(series, k, u)) {
        append_tail_failure(fit, failure);
        return;
    }
    const LogExcessMoments m = log_excess_moments(series, k, u);
    const double xi = m.first + 1.0 - 1.0 / (2.0 * (1.0 - m.first * m.first / m.second));
    const double sigma = xi >= 0.0 ? u * m.first : u * m.first * (1.0 - xi);
    append_if_finite(fit, xi, sigma, failure);
}

void zipf_fit(ValueList& fit, std::span<const double> series, int k, double u, bool& failure) {
    // The plot starts one value below the largest, so it needs k + 1 values.
    if (!readable(series, k, u) || k >= size_of(series)) {
        append_tail_failure(fit, failure);
        return;
    }
    const double gamma = log_excess_moments(series, k, u).first;
    const double xi = zipf_slope(series, k, gamma);
    const double sigma = xi >= 0.0 ? u * gamma : u * gamma / (1.0 - xi);
    append_if_finite(fit, xi, sigma, failure);
}

}  // namespace evstat
