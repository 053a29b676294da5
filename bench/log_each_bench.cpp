// The logarithm of 1,000,000 values by log_each against a loop over std::log (the same bits):
// values spread over [1e-3, 1e6] as the ratios and scaled values of the tail studies are.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "series/elementwise.h"

namespace evstat::bench {
namespace {

constexpr std::size_t kValues = 1000000;

std::vector<double> spread_values() {
    std::mt19937_64 bits(20261210);
    std::uniform_real_distribution<double> exponent(std::log(1e-3), std::log(1e6));
    std::vector<double> x(kValues);
    for (double& v : x) v = std::exp(exponent(bits));
    return x;
}

void per_value(benchmark::State& state) {
    state.SetItemsProcessed(static_cast<long long>(state.iterations() * kValues));
}

void BM_LogEach(benchmark::State& state) {
    const std::vector<double> x = spread_values();
    std::vector<double> logs(kValues);
    for (auto _ : state) {
        log_each(x, logs);
        benchmark::DoNotOptimize(logs.data());
    }
    per_value(state);
}
BENCHMARK(BM_LogEach)->Unit(benchmark::kMillisecond);

void BM_LogEachInPlace(benchmark::State& state) {
    const std::vector<double> x = spread_values();
    std::vector<double> logs(kValues);
    for (auto _ : state) {
        state.PauseTiming();
        logs = x;
        state.ResumeTiming();
        log_each(logs, logs);
        benchmark::DoNotOptimize(logs.data());
    }
    per_value(state);
}
BENCHMARK(BM_LogEachInPlace)->Unit(benchmark::kMillisecond);

void BM_StdLogLoop(benchmark::State& state) {
    const std::vector<double> x = spread_values();
    std::vector<double> logs(kValues);
    for (auto _ : state) {
        for (std::size_t i = 0; i < kValues; ++i) logs[i] = std::log(x[i]);
        benchmark::DoNotOptimize(logs.data());
    }
    per_value(state);
}
BENCHMARK(BM_StdLogLoop)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace evstat::bench
