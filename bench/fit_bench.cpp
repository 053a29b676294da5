// Fitting a Weibull law to a million values (task 7, with its two 2000-point curve pairs),
// beside describing the same file (task 5).
#include <benchmark/benchmark.h>

#include "bench/bench_support.h"

namespace evstat::bench {
namespace {

constexpr long kValues = 1000000;

void BM_TaskFitWeibullMillion(benchmark::State& state) {
    write_series("million_sorted.txt", kValues, true);
    const std::string dir = work_dir();
    write_lines("Tmp30.txt", {dir, "million_sorted.txt", "7", dir + "Result30.txt", "Weibull", "*",
                              "*", "*", "0", "0", "0"});
    time_engine_runs(state, "Tmp30.txt", "1");
}
BENCHMARK(BM_TaskFitWeibullMillion)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TaskDescribeSameFile(benchmark::State& state) {
    write_series("million_sorted.txt", kValues, true);
    const std::string dir = work_dir();
    write_lines("Tmp40.txt", {dir, "million_sorted.txt", "5", dir + "Result40.txt", "*", "*", "*",
                              "*", "0", "0", "0"});
    for (auto _ : state) run_engine("Tmp40.txt", "1");
}
BENCHMARK(BM_TaskDescribeSameFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace evstat::bench
