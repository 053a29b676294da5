// The exponential-tail (ET) estimate of an extreme quantile, q = u + mbar ln(k / (N p)),
// against an asymptotic interval with a second-order bias correction for the normal,
// lognormal and Weibull parents, against the percentiles of q over series resampled from
// the parent law or the Bayesian predictive law, or (q - Q0) against the resampled
// differences from a refitted parent.
#include <cmath>
#include <vector>

#include "laws/quantiles.h"
#include "laws/random_values.h"
#include "laws/validity.h"
#include "tail/bayes/predictive_sampler.h"
#include "tail/quantile_tests/quantile_tests.h"
#include "tail/quantile_tests/resampling.h"

namespace evstat {

namespace {

double log_excess_ratio(int k, int N, double p) {
    return std::log(static_cast<double>(k) / (static_cast<double>(N) * p));
}

// The bias of the ET quantile for a parent whose tail is not exactly exponential, with
// l = ln(k/N), lambda = ln N and D = (l - ln p)^2.
double et_bias(LawCode code, const ValueList& parameters, double u, int k, int N, double p) {
    const double l = std::log(static_cast<double>(k) / static_cast<double>(N));
    const double lambda = std::log(static_cast<double>(N));
    const double D = (l - std::log(p)) * (l - std::log(p));
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    switch (code) {
        case LawCode::kNormal:
            return (p1 - u) * D / (8.0 * lambda * lambda);
        case LawCode::kLognormal:
            return lambda * u * p2 * p2 * (D / (lambda * lambda)) / 4.0;
        case LawCode::kWeibull: {
            const double r = lambda / l;
            return (1.0 - p2) * u * (D / (lambda * lambda)) / (2.0 * p2 * p2 * r * r);
        }
        default:
            return 0.0;
    }
}

// The ET estimate over a sorted resample: the excesses over its value at position N - k,
// in order; NaN when none is strictly above it. The values before that position add
// nothing unless one of them is above the threshold (never in ascending order: only a
// NaN out of place allows it), and then every value is looked at.
double resampled_et_estimate(std::span<const double> sorted, int k, double logRatio) {
    const std::size_t position = sorted.size() - static_cast<std::size_t>(k) - 1;
    const double threshold = sorted[position];
    bool aboveBefore = false;
    for (std::size_t i = 0; i < position; ++i) aboveBefore |= sorted[i] > threshold;
    double sum = 0.0;
    double count = 0.0;
    for (std::size_t i = aboveBefore ? 0 : position; i < sorted.size(); ++i) {
        const double excess = sorted[i] - threshold;
        if (excess > 0.0) {
            sum += excess;
            count += 1.0;
        }
    }
    return threshold + (sum / count) * logRatio;
}

// q, Q0 and the ends not available: the start of every ET test. False when 2 <= k < N fails.
bool start_et_test(std::span<const double> data, std::span<const double> excesses, int k, double u,
                   LawCode code, const ValueList& parameters, double p,
                   QuantileTestOutcome& outcome) {
    outcome = QuantileTestOutcome{};
    const int N = size_of(data);
    outcome.parentQuantile = quantile(code, parameters, 1.0 - p);
    if (!usable_excess_count(k, N)) return false;
    outcome.estimate = u + mean(excesses) * log_excess_ratio(k, N, p);
    return true;
}

// The percentile interval of the ET estimates of B series from `draw`, and q against it.
void percentile_et_test(WorkerPool& pool, int k, int N, double d, double p, int B,
                        const SeriesDraw& draw, const SeriesFinish& finish,
                        QuantileTestOutcome& outcome) {
    const double logRatio = log_excess_ratio(k, N, p);
    const StepMaker makeStep = [&]() -> ResampleStep {
        return [&](std::span<const double> sorted) {
            return resampled_et_estimate(sorted, k, logRatio);
        };
    };
    if (!resampled_interval(pool, B, d, draw, finish, makeStep, outcome.lower, outcome.upper))
        return;
    decide(outcome, outcome.estimate);
}

}  // namespace

void et_asymptotic_test(std::span<const double> data, std::span<const double> excesses, int k,
                        double u, LawCode code, const ValueList& parameters, double d, double p,
                        QuantileTestOutcome& outcome) {
    outcome = QuantileTestOutcome{};
    const int N = size_of(data);
    outcome.parentQuantile = quantile(code, parameters, 1.0 - p);
    if (!usable_excess_count(k, N)) return;
    const double meanExcess = code == LawCode::kExponential ? parameters.at(1) : mean(excesses);
    const double logRatio = log_excess_ratio(k, N, p);
    const double q = u + meanExcess * logRatio;
    const double b = et_bias(code, parameters, u, k, N, p);
    const double V = meanExcess * meanExcess * (1.0 + logRatio * logRatio) / k;
    ValueList standard;
    standard.push_back(0.0);
    standard.push_back(1.0);
    const double z = quantile(LawCode::kNormal, standard, 1.0 - d / 2.0);
    outcome.estimate = q;
    outcome.lower = q + b - z * std::sqrt(V);
    outcome.upper = q + b + z * std::sqrt(V);
    decide(outcome, outcome.parentQuantile);
}

void et_resampling_test(Generator& generator, WorkerPool& pool, std::span<const double> data,
                        std::span<const double> excesses, int k, double u, LawCode code,
                        const ValueList& parameters, double d, double p, int B, int mode,
                        QuantileTestOutcome& outcome) {
    if (!start_et_test(data, excesses, k, u, code, parameters, p, outcome)) return;
    if (mode != kDifferenceInterval && mode != kPercentileInterval) return;
    if (!parameters_drawable(code, parameters)) return;
    const int N = size_of(data);
    const SeriesDraw draw = [&](Series& values) {
        draw_random_points(generator, code, parameters, N, values);
        return true;
    };
    const SeriesFinish finish = [&](Series& values) {
        finish_random_values(code, parameters, values);
    };
    if (mode == kPercentileInterval) {
        percentile_et_test(pool, k, N, d, p, B, draw, finish, outcome);
        return;
    }
    const double logRatio = log_excess_ratio(k, N, p);
    const StepMaker makeStep = [&]() -> ResampleStep {
        return [&, refit = Refit()](std::span<const double> sorted) mutable {
            const double estimate = resampled_et_estimate(sorted, k, logRatio);
            return estimate - refit.quantile_at(sorted, code, p);
        };
    };
    if (!resampled_interval(pool, B, d, draw, finish, makeStep, outcome.lower, outcome.upper))
        return;
    decide(outcome, outcome.estimate - outcome.parentQuantile);
}

void et_predictive_test(Generator& generator, WorkerPool& pool, std::span<const double> data,
                        std::span<const double> excesses, int k, double u, LawCode code,
                        const ValueList& parameters, double d, double p, int B,
                        const ValueList& prior, const ValueList& posterior, int weibullShapeFlag,
                        double low, double high, long long proposalsInAll,
                        QuantileTestOutcome& outcome) {
    if (!start_et_test(data, excesses, k, u, code, parameters, p, outcome)) return;
    const PredictiveSampler sampler(data, code, prior, posterior, parameters, low, high,
                                    weibullShapeFlag, proposalsInAll);
    if (!sampler.drawable()) return;
    const int N = size_of(data);
    const SeriesDraw draw = [&](std::vector<double>& values) {
        return sampler.draw(generator, N, values) == PredictiveDraw::Drawn;
    };
    percentile_et_test(pool, k, N, d, p, B, draw, nullptr, outcome);
}

}  // namespace evstat
