// Reading a series of 1,000,000 values, and reading, sorting and describing it (task 5).
#include <benchmark/benchmark.h>

#include <cmath>

#include "bench/bench_support.h"
#include "driver/files.h"
#include "series/lists.h"

namespace evstat::bench {
namespace {

constexpr long kValues = 1000000;

void BM_ReadSeries(benchmark::State& state) {
    const std::string path = write_series("million.txt", kValues);
    for (auto _ : state) {
        Sample series;
        read_series(series, path);
        benchmark::DoNotOptimize(series.size());
    }
}
BENCHMARK(BM_ReadSeries)->Unit(benchmark::kMillisecond);

void BM_ReadSortDescribe(benchmark::State& state) {
    const std::string path = write_series("million.txt", kValues);
    for (auto _ : state) {
        Sample series;
        read_series(series, path);
        const int n = series.size();
        double summary = series.mean() + series.variance();
        series.sort_ascending();
        summary += series.lower_quartile(n) + series.upper_quartile(n) + series.median(n);
        benchmark::DoNotOptimize(summary);
    }
}
BENCHMARK(BM_ReadSortDescribe)->Unit(benchmark::kMillisecond);

// The whole run as a front end sees it, with the engine's peak memory.
void BM_TaskDescribe(benchmark::State& state) {
    write_series("million.txt", kValues);
    const std::string dir = work_dir();
    write_lines("Tmp1.txt", {dir, "million.txt", "5", dir + "Result1.txt", "*", "*", "*", "*",
                             "0", "0", "0"});
    time_engine_runs(state, "Tmp1.txt", "1");
}
BENCHMARK(BM_TaskDescribe)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace evstat::bench


