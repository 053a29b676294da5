// Fitting a Weibull law to a million values (task 7, with its two 2000-point curve pairs),
// beside describing the same file (task 5). The floor of the fit is reading the file and
// the sums of its likelihood equation at every sweep the fit makes on that file.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/bench_support.h"
#include "estimation/estimators.h"

namespace evstat::bench {
namespace {

constexpr long kValues = 1000000;
constexpr double kSweepTolerance = 1e-7;  // the fit's tolerance on b = 1/k
constexpr int kMostSweeps = 5000;

// S1/S0 by the fit's own sums, 0 past their overflow guard.
double likelihood_sums(const std::vector<double>& z, double b) {
    double s0 = 0.0;
    double s1 = 0.0;
    return weibull_likelihood_sums(z, b, s0, s1) ? s1 / s0 : 0.0;
}

// The processor seconds of the sums alone at the values of b the fit takes on the file:
// the sweeps of its fixed point from b = 1, then the sums once more at the estimate for
// the scale. Zero when the fixed point is not what the fit settled on.
double likelihood_floor_seconds(const std::string& path, int& sweeps) {
    Series series;
    read_series(path, series);
    const double largest = max_value(series);
    std::vector<double> z;
    double zbar = 0.0;
    for (const double x : series) {
        z.push_back(-std::log(x / largest));
        zbar += z.back();
    }
    zbar /= static_cast<double>(z.size());
    std::vector<double> path_of_b;
    double prev = 2.0;
    double cur = 1.0;
    while (std::fabs(cur - prev) > kSweepTolerance && static_cast<int>(path_of_b.size()) < kMostSweeps) {
        path_of_b.push_back(cur);
        prev = cur;
        cur = zbar - likelihood_sums(z, prev);
    }
    double fitted = 0.0;
    if (!weibull_inverse_shape(z, fitted) || fitted != cur) return 0.0;
    path_of_b.push_back(cur);
    sweeps = static_cast<int>(path_of_b.size()) - 1;
    return least_cpu_seconds([&] {
        double total = 0.0;
        for (const double b : path_of_b) total += likelihood_sums(z, b);
        benchmark::DoNotOptimize(total);
    });
}

void BM_TaskFitWeibullMillion(benchmark::State& state) {
    const std::string path = write_series("million_sorted.txt", kValues, true);
    const std::string dir = work_dir();
    write_lines("Tmp30.txt", {dir, "million_sorted.txt", "7", dir + "Result30.txt", "Weibull", "*",
                              "*", "*", "0", "0", "0"});
    int sweeps = 0;
    const double sums = likelihood_floor_seconds(path, sweeps);
    time_engine_runs(state, "Tmp30.txt", "1", {path}, sums);
    state.counters["sweeps"] = sweeps;
}
BENCHMARK(BM_TaskFitWeibullMillion)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TaskDescribeSameFile(benchmark::State& state) {
    const std::string path = write_series("million_sorted.txt", kValues, true);
    const std::string dir = work_dir();
    write_lines("Tmp40.txt", {dir, "million_sorted.txt", "5", dir + "Result40.txt", "*", "*", "*",
                              "*", "0", "0", "0"});
    time_engine_runs(state, "Tmp40.txt", "1", {path});
}
BENCHMARK(BM_TaskDescribeSameFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace evstat::bench
