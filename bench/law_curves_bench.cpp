// The law tasks at scale: the distribution function of the code-11 law over a curve grid
// (each point a numerical integration of its density), and a million normal values drawn
// by the simulation task.
#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "driver/files.h"
#include "laws/evaluate.h"

namespace evstat::bench {
namespace {

// Task 3's work for a law that only the Bayesian study reaches: F over 2000 steps.
void BM_DistributionOfCode11OverCurveGrid(benchmark::State& state) {
    ValueList parameters;
    for (double p : {0.0, 2.5, 3.0}) parameters.push_back(p);  // location, shape, scale
    Sample grid;
    make_grid(-10.0, 10.0, kCurveSteps, grid);
    for (auto _ : state) {
        Sample curve;
        evaluate_law(LawCode::kStudentApprox, parameters, grid, EvalMode::Distribution, curve);
        benchmark::DoNotOptimize(curve.size());
    }
}
BENCHMARK(BM_DistributionOfCode11OverCurveGrid)->Unit(benchmark::kMillisecond);

// Task 1 drawing 1,000,000 normal values: summary, sort and Donnees.txt, as a process.
void BM_TaskSimulateMillionNormal(benchmark::State& state) {
    const std::string dir = work_dir();
    write_lines("Tmp11.txt", {dir, "*", "1", dir + "Result11.txt", "Normale", "10", "2", "*",
                              "1000000", "1", "10"});
    time_engine_runs(state, "Tmp11.txt", "1");
}
BENCHMARK(BM_TaskSimulateMillionNormal)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace evstat::bench
