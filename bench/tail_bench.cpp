// Tail estimation over a range of thresholds: task 30 with the maximum-likelihood method
// "EMV" for every number of excesses from 10 to 500 over a series of 5,000 values, run
// as a process the way a front end runs it.
#include <benchmark/benchmark.h>

#include "bench/bench_support.h"

namespace evstat::bench {
namespace {

constexpr long kTailValues = 5000;

void BM_TaskTailRangeEmv(benchmark::State& state) {
    const std::string path = write_series("tail5000.txt", kTailValues, true);
    const std::string dir = work_dir();
    write_lines("Tmp50.txt",
                {dir, "tail5000.txt", "30", dir + "Result50.txt", "EMV", "10", "500", "0.01"});
    time_engine_runs(state, "Tmp50.txt", "5", {path});
    state.counters["fits"] = 491;
}
BENCHMARK(BM_TaskTailRangeEmv)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace evstat::bench
