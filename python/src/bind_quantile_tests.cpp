// The tests of an extreme quantile (the exponential-tail test, asymptotic or by resampling
// the parent law, and the generalized Pareto tail test by resampling) and the quantiles of
// several laws fitted to one series.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "binding.h"
#include "tail_adapter.h"

namespace evstat::binding {

namespace {

constexpr int kQuantileOrderOutOfRange = 38;
constexpr int kTailFitFails = 65;
constexpr std::array<double, 5> kTabulatedLevels = {0.25, 0.1, 0.05, 0.025, 0.01};

// Versions of the ET test as the tasks number them.
constexpr int kAsymptotic = 1, kDifference = 2, kPercentile = 3;

void check_level(double level) {
    if (level == 0.0) return;  // no test: an unbounded interval
    if (std::find(kTabulatedLevels.begin(), kTabulatedLevels.end(), level) == kTabulatedLevels.end())
        throw Failure{kLevelNotTabulated, "the level " + shown(level) +
                                              " is not one of 0, 0.25, 0.1, 0.05, 0.025, 0.01"};
}

void check_order(double p) {
    if (!(p > 0.0 && p < 1.0))
        throw Failure{kQuantileOrderOutOfRange,
                      "the exceedance probability p = " + shown(p) + " is not inside (0, 1)"};
}

void check_excesses(long long k, std::size_t n) {
    if (k < 2)
        throw Failure{kExcessCountTooSmall, "k = " + std::to_string(k) + " excesses: at least 2"};
    if (k > static_cast<long long>(n) - 1)
        throw Failure{kInvalidParameters, "k = " + std::to_string(k) + " excesses over a series of " +
                                              std::to_string(n) + " values: at most n - 1"};
}

void check_resamples(long long resamples, std::size_t n) {
    if (resamples < 1 || resamples > kMostResampledValues / static_cast<long long>(n))
        throw Failure{kInvalidParameters,
                      std::to_string(resamples) + " resampled series of " + std::to_string(n) +
                          " values: at least 1, and at most " +
                          std::to_string(kMostResampledValues) + " values drawn in all"};
}

std::vector<double> parent_or_fail(int code, std::span<const double> sorted, bool for_gpd_test) {
    std::vector<double> estimates = parent_estimates(code, sorted, for_gpd_test);
    if (estimates_all_zero(estimates))
        throw Failure{kNoEstimate, "the engine's estimator cannot fit the " + english_name(code) +
                                       " law to this series (estimates " + shown(estimates) + ")"};
    return estimates;
}

py::tuple outcome_tuple(const QuantileTestOutcome& o, const std::vector<double>& estimates) {
    return py::make_tuple(o.verdict == 1, o.estimate, o.parentQuantile, o.lower, o.upper,
                          estimates);
}

// The request of a test with its checked sizes; `version` chooses the interval.
QuantileTestRequest request_of(QuantileTest test, int code, long long k, double level, double p,
                               long long resamples, int version) {
    QuantileTestRequest request;
    request.test = test;
    request.code = code;
    request.k = static_cast<int>(k);
    request.level = level;
    request.p = p;
    request.resamples = static_cast<int>(resamples);
    request.mode = version == kPercentile ? kPercentileMode : kDifferenceMode;
    return request;
}

py::tuple et(int code, const DoubleArray& data, long long k, double p, int version, double level,
             long long resamples, Generator& generator) {
    checked_code(code);
    if (version < kAsymptotic || version > kPercentile) throw py::value_error("no such ET test");
    check_level(level);
    check_order(p);
    const std::vector<double> sorted = sorted_series(data);
    check_excesses(k, sorted.size());
    if (version != kAsymptotic) check_resamples(resamples, sorted.size());
    const QuantileTestRequest request = request_of(
        version == kAsymptotic ? QuantileTest::kEtAsymptotic : QuantileTest::kEtResampling, code, k,
        level, p, resamples, version);
    std::vector<double> estimates;
    QuantileTestOutcome outcome;
    {
        py::gil_scoped_release unlocked;
        estimates = parent_or_fail(code, sorted, false);
        outcome = quantile_test(generator, sorted, estimates, request);
    }
    return outcome_tuple(outcome, estimates);
}

// The GPD test; None in place of the outcome, with the largest usable k, when values not
// above 0 forbid k to a method taking logarithms (the caller raises with the tasks' sentence).
py::tuple gpd(int code, const DoubleArray& data, long long k, double p, int method, int version,
              double level, long long resamples, Generator& generator) {
    checked_code(code);
    if (method < kFirstTailMethod || method > kLastTailMethod)
        throw py::value_error("no such tail method");
    if (version != kDifference && version != kPercentile) throw py::value_error("no such GPD test");
    check_level(level);
    check_order(p);
    const std::vector<double> sorted = sorted_series(data);
    check_excesses(k, sorted.size());
    check_resamples(resamples, sorted.size());
    const std::vector<double> estimates = parent_or_fail(code, sorted, true);
    bool limited = false;
    const int usable = positive_excess_count(sorted, limited);
    if (limited && tail_method_takes_logarithms(method) && k > usable)
        return py::make_tuple(py::none(), usable);
    QuantileTestRequest request =
        request_of(QuantileTest::kGpdResampling, code, k, level, p, resamples, version);
    request.method = method;
    QuantileTestOutcome outcome;
    {
        py::gil_scoped_release unlocked;
        const TailEstimate fit = tail_estimate(sorted, request.k, method);
        if (fit.failed)
            throw Failure{kTailFitFails, "the tail method cannot fit the " + std::to_string(k) +
                                             " largest values of this series"};
        request.xi = fit.xi;
        request.sigma = fit.sigma;
        outcome = quantile_test(generator, sorted, estimates, request);
    }
    return py::make_tuple(outcome_tuple(outcome, estimates), py::none());
}

// The quantile at 1 - p of each law fitted to the series as given (the order of a data
// file), -10 where nothing could be estimated.
DoubleArray quantiles(const std::vector<int>& codes, const DoubleArray& data, double p) {
    for (int code : codes) checked_code(code);
    check_order(p);
    const std::span<const double> series = checked_series(data);
    DoubleArray out(static_cast<py::ssize_t>(codes.size()));
    double* q = out.mutable_data();
    py::gil_scoped_release unlocked;
    for (std::size_t j = 0; j < codes.size(); ++j)
        q[j] = fitted_upper_quantile(codes[j], parent_estimates(codes[j], series, true), p);
    return out;
}

}  // namespace

void bind_quantile_tests(py::module_& m) {
    m.def("et_test", &et, py::arg("code"), py::arg("x"), py::arg("k"), py::arg("p"),
          py::arg("version"), py::arg("level"), py::arg("n_resamples"), py::arg("generator"),
          "The ET test of version 1..3: (accepted, q, Q0, lower, upper, parent estimates).");
    m.def("gpd_test", &gpd, py::arg("code"), py::arg("x"), py::arg("k"), py::arg("p"),
          py::arg("method"), py::arg("version"), py::arg("level"), py::arg("n_resamples"),
          py::arg("generator"),
          "The GPD test of version 2 or 3: ((accepted, q, Q0, lower, upper, parent estimates), "
          "None), or (None, largest usable k).");
    m.def("extreme_quantiles", &quantiles, py::arg("codes"), py::arg("x"), py::arg("p"),
          "The quantile at 1 - p of each law fitted to x, -10 where none was estimated.");
}

}  // namespace evstat::binding
