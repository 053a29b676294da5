// Reading a series of 1,000,000 values (the floor of every study over such a file), and
// reading, sorting and describing it (task 5).
#include <benchmark/benchmark.h>

#include <cmath>

#include "bench/bench_support.h"
#include "driver/files.h"
#include "series/series.h"

namespace evstat::bench {
namespace {

constexpr long kValues = 1000000;

// The file of write_series: "%.17g" values, one a line, about 18 bytes each.
void BM_ReadSeries(benchmark::State& state) {
    const std::string path = write_series("million.txt", kValues);
    Series series;
    for (auto _ : state) {
        read_series(path, series);
        benchmark::DoNotOptimize(series.data());
    }
    state.counters["values_per_s"] =
        benchmark::Counter(static_cast<double>(kValues), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ReadSeries)->Unit(benchmark::kMillisecond);

void BM_ReadSortDescribe(benchmark::State& state) {
    const std::string path = write_series("million.txt", kValues);
    for (auto _ : state) {
        Series series;
        read_series(path, series);
        const int n = size_of(series);
        double summary = mean(series) + variance(series);
        sort_ascending(series);
        summary += lower_quartile(series, n) + upper_quartile(series, n) + median(series, n);
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


