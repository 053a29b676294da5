// The extreme-quantile tests and the predictive draws, called in process: the ET test with
// the refitted-difference interval over 100 normal series of 200 values (and 10 Weibull
// series), k = 20, p = 0.01, B = 1000; the GPD test with "EMV" on 1,000 normal values,
// k = 100, p = 0.001, B = 1000; 100,000 predictive values with a prior on the Weibull shape
// over 200 values; and the predictive ET test in that case.
#include <benchmark/benchmark.h>

#include <vector>

#include "estimation/estimate.h"
#include "laws/random_values.h"
#include "laws/generator.h"
#include "tail/bayes/predictive_sample.h"
#include "tail/methods/tail.h"
#include "tail/quantile_tests/quantile_tests.h"

namespace evstat::bench {
namespace {

// The library benchmarks measure the work of one thread (the process benchmarks of
// quantile_tasks_bench.cpp compare one thread with two).
WorkerPool& one_thread() {
    static WorkerPool pool(1);
    return pool;
}

ValueList list_of(std::initializer_list<double> values) {
    ValueList list;
    for (double v : values) list.push_back(v);
    return list;
}

// `count` sorted series of n values of the law, from a fixed seed.
std::vector<Series> series_of(LawCode code, const ValueList& parameters, int count, int n) {
    Generator generator(2024);
    std::vector<Series> all(static_cast<std::size_t>(count));
    for (Series& s : all) {
        draw_random_values(generator, code, parameters, n, s);
        sort_ascending(s);
    }
    return all;
}

// As the task does for each numbered file: fit, excesses, the test.
void et_differences_over_files(benchmark::State& state, LawCode code, const ValueList& parent,
                               int files) {
    constexpr int kValues = 200, kExcesses = 20, kResamples = 1000;
    const std::vector<Series> all = series_of(code, parent, files, kValues);
    Generator generator(2024);
    for (auto _ : state) {
        int accepted = 0;
        for (const Series& s : all) {
            ValueList estimates;
            estimate_parameters(s, code, kValues, estimates);
            Series excesses;
            double u = 0.0;
            excesses_over_threshold(s, kExcesses, kValues, excesses, u);
            QuantileTestOutcome outcome;
            et_resampling_test(generator, one_thread(), s, excesses, kExcesses, u, code, estimates,
                               0.05, 0.01, kResamples, kDifferenceInterval, outcome);
            accepted += outcome.verdict;
        }
        benchmark::DoNotOptimize(accepted);
    }
}

void BM_EtDifferencesNormal100Files(benchmark::State& state) {
    et_differences_over_files(state, LawCode::kNormal, list_of({10, 2}), 100);
}
BENCHMARK(BM_EtDifferencesNormal100Files)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_EtDifferencesWeibull10Files(benchmark::State& state) {
    et_differences_over_files(state, LawCode::kWeibull, list_of({2, 1.5}), 10);
}
BENCHMARK(BM_EtDifferencesWeibull10Files)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GpdEmvDifferencesNormal(benchmark::State& state) {
    constexpr int kValues = 1000, kExcesses = 100;
    const Series s = series_of(LawCode::kNormal, list_of({10, 2}), 1, kValues).front();
    ValueList estimates;
    estimate_parameters(s, LawCode::kNormal, kValues, estimates);
    Series excesses;
    double u = 0.0;
    excesses_over_threshold(s, kExcesses, kValues, excesses, u);
    ValueList fit;
    bool warning = false, failure = false;
    fit_tail(s, kExcesses, kValues, u, kTailMaximumLikelihood, fit, warning, failure);
    Generator generator(2024);
    for (auto _ : state) {
        QuantileTestOutcome outcome;
        gpd_resampling_test(generator, one_thread(), s, kExcesses, u, LawCode::kNormal, estimates,
                            0.05, 0.001, 1000, kDifferenceInterval, fit, kTailMaximumLikelihood,
                            outcome);
        benchmark::DoNotOptimize(outcome.verdict);
    }
}
BENCHMARK(BM_GpdEmvDifferencesNormal)->Unit(benchmark::kMillisecond)->Iterations(5);

// A 200-value Weibull series, its fit (theta, k0), a Beta(2, 2) prior on the shape over [0.5, 5].
struct ShapeCase {
    Series data = series_of(LawCode::kWeibull, list_of({2, 1.5}), 1, 200).front();
    ValueList parameters;
    ValueList prior = list_of({2, 2});
    ShapeCase() { estimate_parameters(data, LawCode::kWeibull, size_of(data), parameters); }
};

void BM_PredictiveWeibullShape100k(benchmark::State& state) {
    const ShapeCase c;
    Generator generator(2024);
    for (auto _ : state) {
        Series out;
        predictive_sample(generator, c.data, LawCode::kWeibull, c.prior, ValueList{}, c.parameters,
                          100000, 0.5, 5.0, 1, out);
        benchmark::DoNotOptimize(out.size());
    }
}
BENCHMARK(BM_PredictiveWeibullShape100k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_EtPredictiveWeibullShape(benchmark::State& state) {
    const ShapeCase c;
    Series excesses;
    double u = 0.0;
    excesses_over_threshold(c.data, 20, 200, excesses, u);
    Generator generator(2024);
    for (auto _ : state) {
        QuantileTestOutcome outcome;
        et_predictive_test(generator, one_thread(), c.data, excesses, 20, u, LawCode::kWeibull,
                           c.parameters, 0.05, 0.01, 500, c.prior, ValueList{}, 1, 0.5, 5.0,
                           kMaxShapeProposalsInAll, outcome);
        benchmark::DoNotOptimize(outcome.verdict);
    }
    state.counters["series"] = 500;
}
BENCHMARK(BM_EtPredictiveWeibullShape)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace evstat::bench
