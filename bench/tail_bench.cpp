// Tail estimation over a range of thresholds, run as a process the way a front end runs
// it: task 30 with the maximum-likelihood method "EMV" for every number of excesses from
// 10 to 500 over a series of 5,000 values, and task 34 with the methods over the
// logarithmic excesses ("Hill", "HillG", "Zipf", each alone and the three together) for
// every number of excesses of a series of 100,000 values, at the machine's thread count
// and on one thread.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/bench_support.h"

namespace evstat::bench {
namespace {

constexpr long kTailValues = 5000;
constexpr long kRangeValues = 100000;

void BM_TaskTailRangeEmv(benchmark::State& state) {
    const std::string path = write_series("tail5000.txt", kTailValues, true);
    const std::string dir = work_dir();
    write_lines("Tmp50.txt",
                {dir, "tail5000.txt", "30", dir + "Result50.txt", "EMV", "10", "500", "0.01"});
    time_engine_runs(state, "Tmp50.txt", "5", {path});
    state.counters["fits"] = 491;
}
BENCHMARK(BM_TaskTailRangeEmv)->Unit(benchmark::kMillisecond)->UseRealTime();

// The method lists of the return-level runs, by the benchmark's first argument.
const std::vector<std::vector<std::string>> kRangeMethods = {
    {"Hill"}, {"HillG"}, {"Zipf"}, {"Hill", "HillG", "Zipf"}};

// Task 34 from k = 1 to K = 0 (no upper bound: every k up to n - 1). Arguments: the
// method list, then the thread count (0: the machine's).
void BM_TaskReturnLevelEveryK(benchmark::State& state) {
    const std::vector<std::string>& methods =
        kRangeMethods[static_cast<std::size_t>(state.range(0))];
    const int threads = static_cast<int>(state.range(1));
    const std::string path = write_series("tail100000.txt", kRangeValues, true);
    const std::string dir = work_dir();
    std::string label;
    std::vector<std::string> lines = {dir, "tail100000.txt", "34", dir + "Result34.txt"};
    for (const std::string& method : methods) {
        lines.push_back(method);
        label += (label.empty() ? "" : "+") + method;
    }
    lines.insert(lines.end(), {"1", "0", "0.01"});
    const std::string parameterFile = "Tmp34_" + std::to_string(state.range(0)) + ".txt";
    write_lines(parameterFile, lines);
    time_engine_runs(state, parameterFile, "5", {path}, 0.0, threads);
    state.counters["fits"] = static_cast<double>(methods.size()) * (kRangeValues - 1);
    state.SetLabel(label);
}
BENCHMARK(BM_TaskReturnLevelEveryK)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
}  // namespace evstat::bench
