// The core's tail estimation, tests of an extreme quantile and quantiles of fitted laws, as
// the module's second half calls them: sorted series as spans, plain results. Like
// core_adapter.h, the one place where these bindings meet the core's signatures.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "core_adapter.h"

namespace evstat::binding {

// The tail methods by their engine code: 1 "HW", 2 "EMV", 3 "Hill", 4 "HillG", 5 "Zipf".
constexpr int kFirstTailMethod = 1;
constexpr int kLastTailMethod = 5;
// Methods 1 and 2 take no logarithm of the values.
bool tail_method_takes_logarithms(int method);

// The value the engine writes for a quantity it cannot give (a failed fit, no test).
constexpr double kEngineNotAvailable = -10.0;

// The most excesses a method taking logarithms may use over a sorted series holding values
// not above 0: n - c - 1, c the number of such values; -1 when no value is above 0.
// `limited` is false when every value is above 0.
int positive_excess_count(std::span<const double> sorted, bool& limited);

// The tail fit of the tail tasks for k excesses over the (n - k)-th value of a sorted series.
struct TailEstimate {
    double xi = kEngineNotAvailable;
    double sigma = kEngineNotAvailable;
    double threshold = 0.0;
    bool failed = true;
};
TailEstimate tail_estimate(std::span<const double> sorted, int k, int method);

// u + (sigma/xi) ((n p / k)^(-xi) - 1) as the tasks compute it (-10 for the failure pair).
double tail_return_level(double u, double xi, double sigma, int k, double p, int n);

// The engine's estimates for the tests of an extreme quantile: the parent law as the ET
// tests fit it (`for_gpd_test` false) or as the GPD tests fit it (true).
std::vector<double> parent_estimates(int code, std::span<const double> sorted, bool for_gpd_test);
bool estimates_all_zero(std::span<const double> estimates);

// The quantile at 1 - p of the law with the estimates, -10 when all are zero.
double fitted_upper_quantile(int code, std::span<const double> estimates, double p);

// What a test of an extreme quantile reports, in the tasks' order.
struct QuantileTestOutcome {
    int verdict = 0;
    double estimate = kEngineNotAvailable;
    double parentQuantile = kEngineNotAvailable;
    double lower = kEngineNotAvailable;
    double upper = kEngineNotAvailable;
};

enum class QuantileTest { kEtAsymptotic, kEtResampling, kGpdResampling };
constexpr int kDifferenceMode = 0;
constexpr int kPercentileMode = 1;

struct QuantileTestRequest {
    QuantileTest test = QuantileTest::kEtAsymptotic;
    int code = 0;
    int k = 0;
    double level = 0.0;
    double p = 0.0;
    int resamples = 0;
    int mode = kDifferenceMode;
    int method = kFirstTailMethod;  // the GPD tests' tail method and its fit of the data
    double xi = 0.0;
    double sigma = 0.0;
};

// The test over a sorted series and the parent's estimates, drawing from the generator.
QuantileTestOutcome quantile_test(Generator& generator, std::span<const double> sorted,
                                  std::span<const double> estimates,
                                  const QuantileTestRequest& request);

// The sentence the tail tasks write before the largest usable number of excesses, in
// Windows-1252 bytes.
std::string_view negative_data_sentence();

}  // namespace evstat::binding
