// The posterior of a Weibull shape under a Beta prior on its support, with the scale fixed: the
// three kernels integrated by the Romberg routine (the normalising constant, the predictive
// density at a point, the posterior mean).
#include <cmath>
#include <cstddef>

#include "laws/romberg.h"
#include "tail/bayes_table/shape_integrands.h"

namespace evstat {

namespace {

// Points of the support probed for the range of the plain product.
constexpr int kRangeProbes = 64;
// The plain product is kept when its largest probed value lies between these.
constexpr double kSmallestPlainValue = 1e-250;
constexpr double kLargestPlainValue = 1e250;
// The sums S1 kept for shapes met again: a Romberg run over the support meets at most 2^18 + 1.
constexpr std::size_t kMostKeptSums = 1 << 20;

double shape_prior(const ShapeModel& model, double k) {
    const double w = (k - model.low) / (model.high - model.low);
    return std::pow(w, model.a - 1.0) * std::pow(1.0 - w, model.b - 1.0);
}

double ratio_power_sum(const ShapeModel& model, double k) {
    const auto found = model.powerSums.find(k);
    if (found != model.powerSums.end()) return found->second;
    double sum = 0.0;
    for (const double r : model.ratios) sum += std::pow(r, k);
    if (!std::isnan(k) && model.powerSums.size() < kMostKeptSums) model.powerSums.emplace(k, sum);
    return sum;
}

bool in_support(const ShapeModel& model, double k) {
    return k >= model.low && k <= model.high;
}

// Decides between the plain product and the log domain from probes inside the support.
void choose_domain(ShapeModel& model) {
    const double power = static_cast<double>(model.ratios.size()) + 1.0;
    bool plain = true;
    double largestValue = 0.0;
    double largestLog = -HUGE_VAL;
    for (int j = 0; j < kRangeProbes; ++j) {
        const double k = model.low + (j + 0.5) * (model.high - model.low) / kRangeProbes;
        const double s1 = ratio_power_sum(model, k);
        const double value =
            shape_prior(model, k) * std::pow(k, power) * std::exp(k * model.logRatioSum - s1);
        const double logValue =
            std::log(shape_prior(model, k)) + power * std::log(k) + k * model.logRatioSum - s1;
        if (!std::isfinite(value)) plain = false;
        if (value > largestValue) largestValue = value;
        if (logValue > largestLog && std::isfinite(logValue)) largestLog = logValue;
    }
    if (!(largestValue >= kSmallestPlainValue && largestValue <= kLargestPlainValue)) plain = false;
    model.logDomain = !plain;
    model.logShift = plain || !std::isfinite(largestLog) ? 0.0 : largestLog;
}

}  // namespace

ShapeModel make_shape_model(std::span<const double> data, const ValueList& predictive, double low,
                            double high) {
    ShapeModel model;
    model.eta = predictive.at(1);
    model.a = predictive.at(2);
    model.b = predictive.at(3);
    model.low = low;
    model.high = high;
    model.ratios.reserve(static_cast<std::size_t>(data.size()));
    for (const double x : data) {
        const double r = x / model.eta;
        model.ratios.push_back(r);
        model.logRatioSum += std::log(r);
    }
    choose_domain(model);
    return model;
}

double shape_likelihood(const ShapeModel& model, double k, double power) {
    const double s1 = ratio_power_sum(model, k);
    if (!model.logDomain)
        return shape_prior(model, k) * std::pow(k, power) * std::exp(k * model.logRatioSum - s1);
    return shape_prior(model, k) *
           std::exp(power * std::log(k) + k * model.logRatioSum - s1 - model.logShift);
}

double shape_posterior_kernel(const ShapeModel& model, double k) {
    if (!in_support(model, k)) return 0.0;
    return shape_likelihood(model, k, static_cast<double>(model.ratios.size()));
}

double shape_mean_kernel(const ShapeModel& model, double k) {
    if (!in_support(model, k)) return 0.0;
    return shape_likelihood(model, k, static_cast<double>(model.ratios.size()) + 1.0);
}

double shape_predictive_kernel(const ShapeModel& model, double k, double y) {
    const double ratio = y / model.eta;
    return shape_likelihood(model, k, static_cast<double>(model.ratios.size()) + 1.0) *
           std::exp(k * std::log(ratio) - std::pow(ratio, k));
}

double ShapeIntegrand::operator()(double k) const {
    switch (kernel) {
        case ShapeKernel::Posterior:
            return shape_posterior_kernel(model, k);
        case ShapeKernel::Predictive:
            return shape_predictive_kernel(model, k, y);
        case ShapeKernel::Mean:
            return shape_mean_kernel(model, k);
    }
    return 0.0;
}

double CachedPredictiveIntegrand::operator()(double k) const {
    const std::size_t i = next++;
    double factor;
    if (i < cache.nodes.size() && cache.nodes[i] == k) {
        factor = cache.factors[i];
    } else {
        factor = shape_likelihood(model, k, static_cast<double>(model.ratios.size()) + 1.0);
        if (i == cache.nodes.size()) {
            cache.nodes.push_back(k);
            cache.factors.push_back(factor);
        }
    }
    // exp(k ln r - r^k) is at most 1/e for every finite r > 0 and k, so a factor of +0 gives +0
    // without it.
    if (factor == 0.0 && !std::signbit(factor) && ratio > 0.0 && std::isfinite(ratio) &&
        std::isfinite(k))
        return 0.0;
    return factor * std::exp(k * logRatio - std::pow(ratio, k));
}

double predictive_density_direct(const ShapeModel& model, double y, double Z) {
    const ShapeIntegrand kernel{ShapeKernel::Predictive, model, y};
    return romberg_integrate(kernel, model.low, model.high) / Z / y;
}

double predictive_density_cached(const ShapeModel& model, ShapeNodeCache& cache, double y,
                                 double Z) {
    const double ratio = y / model.eta;
    const CachedPredictiveIntegrand kernel{model, cache, ratio, std::log(ratio)};
    const double integral = romberg_integrate(kernel, model.low, model.high);
    cache.evaluations += static_cast<long long>(kernel.next);
    return integral / Z / y;
}

}  // namespace evstat
