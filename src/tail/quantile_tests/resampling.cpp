// The resampling loop, its interval, and the parent laws it may draw from.
#include "tail/quantile_tests/resampling.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "estimation/estimate.h"
#include "fittests/fit_scheme.h"
#include "laws/quantiles.h"
#include "series/value_sort.h"

namespace evstat {

namespace {
// The list of compared values grows past this as it fills, never reserved beyond it.
constexpr int kReservedResamples = 1 << 16;

}  // namespace

const Sample& ResampledSeries::sample() {
    if (sampleCurrent_) return sample_;
    if (sample_.size() != static_cast<int>(values_.size())) {
        sample_.clear();
        double rank = 0.0;
        for (const double v : values_) sample_.push_back(rank += 1.0, v);
    } else {
        std::size_t i = 0;
        for (Point& point : sample_) point.y = values_[i++];
    }
    sampleCurrent_ = true;
    return sample_;
}

bool percentile_interval(const std::vector<double>& sorted, double d, double& lower,
                         double& upper) {
    const double count = static_cast<double>(sorted.size());
    const double j = std::floor(count * d / 2.0);
    if (!(j >= 0.0 && j <= count - 1.0)) return false;  // also a NaN level
    const std::size_t first = static_cast<std::size_t>(j);  // position j + 1
    lower = sorted[first];
    upper = sorted[sorted.size() - 1 - first];  // position B' - j
    return true;
}

bool resampled_interval(int B, double d, const SeriesDraw& draw, const ResampleStep& step,
                        double& lower, double& upper) {
    if (B < 1) return false;
    ResampledSeries series;
    ValueSorter sorter;
    std::vector<double> compared;
    compared.reserve(static_cast<std::size_t>(std::min(B, kReservedResamples)));
    for (int i = 1; i <= B; ++i) {
        if (!draw(series.values())) return false;
        sorter.sort(series.values());
        series.changed();
        const double value = step(series);
        if (!std::isnan(value)) compared.push_back(value);
    }
    std::sort(compared.begin(), compared.end());
    return percentile_interval(compared, d, lower, upper);
}

double Refit::quantile_at(const Sample& series, LawCode code, double p) {
    estimates_.clear();
    estimate_law(series, code, series.size(), estimates_);
    return quantile_or_nan(code, p);
}

double Refit::quantile_at(ResampledSeries& series, LawCode code, double p) {
    if (code != LawCode::kNormal) return quantile_at(series.sample(), code, p);
    estimates_.clear();
    estimate_normal(series.values());
    return quantile_or_nan(code, p);
}

// The mean, then sqrt(v n / (n - 1)) with v the variance about the mean, divisor n; fewer
// than two values give zeros.
void Refit::estimate_normal(const std::vector<double>& values) {
    const std::size_t n = values.size();
    if (n < 2) {
        estimates_.push_back(0.0);
        estimates_.push_back(0.0);
        return;
    }
    const double size = static_cast<double>(n);
    double sum = 0.0;
    for (const double v : values) sum += v;
    const double mean = sum / size;
    double squares = 0.0;
    for (const double v : values) squares += (v - mean) * (v - mean);
    const double variance = squares / size;
    estimates_.push_back(mean);
    estimates_.push_back(std::sqrt(variance * size / (size - 1.0)));
}

double Refit::quantile_or_nan(LawCode code, double p) const {
    const bool allZero =
        std::all_of(estimates_.begin(), estimates_.end(), [](double v) { return v == 0.0; });
    if (allZero) return std::nan("");  // an empty list too
    return quantile(code, estimates_, 1.0 - p);
}

bool usable_excess_count(int k, int N) { return k >= 2 && k < N; }

void decide(QuantileTestOutcome& outcome, double compared) {
    outcome.verdict = outcome.lower <= compared && compared <= outcome.upper ? 1 : 0;
}

}  // namespace evstat
