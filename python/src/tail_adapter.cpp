// The core's interface as it stands for the tail and the tests of an extreme quantile:
// series read in place as spans, parameters in ValueList, the driver's steps shared with the tasks.
#include "tail_adapter.h"
#include "core_lists.h"

#include <cstdlib>
#include <thread>

#include "driver/tail_steps.h"
#include "driver/task_support.h"
#include "estimation/estimate.h"
#include "laws/catalogue.h"
#include "laws/quantiles.h"
#include "parallel/worker_pool.h"
#include "records/errors.h"
#include "series/series.h"
#include "tail/methods/tail.h"
#include "tail/quantile_tests/quantile_tests.h"

namespace evstat::binding {

static_assert(kEngineNotAvailable == evstat::kTailFailure);
static_assert(kDifferenceMode == evstat::kDifferenceInterval);
static_assert(kPercentileMode == evstat::kPercentileInterval);

bool tail_method_takes_logarithms(int method) { return !fits_without_logarithms(method); }

int positive_excess_count(std::span<const double> sorted, bool& limited) {
    const int c = leading_non_positive_count(sorted);
    limited = c > 0;
    return static_cast<int>(sorted.size()) - c - 1;
}

TailEstimate tail_estimate(std::span<const double> sorted, int k, int method) {
    const std::span<const double> series = sorted;
    const int n = size_of(series);
    TailEstimate estimate;
    estimate.threshold = threshold_for(series, n, k);
    const TailFit fit = fit_at(series, k, n, estimate.threshold, method);
    estimate.xi = fit.xi;
    estimate.sigma = fit.sigma;
    estimate.failed = fit.failed;
    return estimate;
}

double tail_return_level(double u, double xi, double sigma, int k, double p, int n) {
    return return_level(u, xi, sigma, k, p, n);
}

std::vector<double> parent_estimates(int code, std::span<const double> sorted, bool for_gpd_test) {
    const std::span<const double> series = sorted;
    ValueList estimates;
    if (for_gpd_test)
        estimate_for_test(series, law_code_of_number(code), estimates);
    else
        estimate_law(series, law_code_of_number(code), size_of(series), estimates);
    return {estimates.begin(), estimates.end()};
}

bool estimates_all_zero(std::span<const double> estimates) {
    return all_estimates_zero(value_list(estimates));
}

double fitted_upper_quantile(int code, std::span<const double> estimates, double p) {
    const ValueList list = value_list(estimates);
    if (all_estimates_zero(list)) return kTailFailure;
    return quantile(law_code_of_number(code), list, 1.0 - p);
}

QuantileTestOutcome quantile_test(Generator& generator, std::span<const double> sorted,
                                  std::span<const double> estimates,
                                  const QuantileTestRequest& r) {
    const std::span<const double> series = sorted;
    const ValueList parameters = value_list(estimates);
    Series excesses;
    double u = 0.0;
    excesses_over_threshold(series, r.k, size_of(series), excesses, u);
    const LawCode law = law_code_of_number(r.code);
    evstat::QuantileTestOutcome outcome;
    // The refits of the resamples on the machine's threads (EVSTAT_THREADS when set): the
    // draws stay in their order, so the outcome is the same whatever the number.
    evstat::WorkerPool pool(
        evstat::thread_count(std::getenv("EVSTAT_THREADS"), std::thread::hardware_concurrency()));
    with_generator(generator, [&](evstat::Generator& source) {
        switch (r.test) {
            case QuantileTest::kEtAsymptotic:
                et_asymptotic_test(series, excesses, r.k, u, law, parameters, r.level, r.p,
                                   outcome);
                break;
            case QuantileTest::kEtResampling:
                et_resampling_test(source, pool, series, excesses, r.k, u, law, parameters, r.level, r.p,
                                   r.resamples, r.mode, outcome);
                break;
            case QuantileTest::kGpdResampling: {
                ValueList tail;
                tail.push_back(r.xi);
                tail.push_back(r.sigma);
                gpd_resampling_test(source, pool, series, r.k, u, law, parameters, r.level, r.p,
                                    r.resamples, r.mode, tail, r.method, outcome);
                break;
            }
        }
    });
    return {outcome.verdict, outcome.estimate, outcome.parentQuantile, outcome.lower,
            outcome.upper};
}

std::string_view negative_data_sentence() { return kNegativeDataSentence; }

}  // namespace evstat::binding
