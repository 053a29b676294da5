// The tests of an extreme quantile and the predictive samples, each run as a process
// the way the front end runs it: task 17 (resampled differences, B = 1,000, k = 20,
// p = 0.01) over 100 numbered files of 200 values with the normal law and over 10 with
// the Weibull law; task 42 ("EMV", resampled differences, normal law) on 1,000 values
// with k = 100, p = 0.001, B = 1,000; task 27 drawing 100,000 values with the prior on
// the Weibull shape from a 200-value series.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"

namespace evstat::bench {
namespace {

constexpr int kValuesPerFile = 200;
constexpr int kNormalFiles = 100;
constexpr int kWeibullFiles = 10;
constexpr int kLongSeries = 1000;

// A deterministic sorted series near a normal law of mean 10 and deviation 2 (Box-Muller).
std::vector<double> normal_series(int count, unsigned long long seed) {
    unsigned long long state = seed * 2654435761ULL + 1;
    auto uniform = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return (static_cast<double>(state >> 11) + 0.5) / 9007199254740992.0;
    };
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double r = std::sqrt(-2.0 * std::log(uniform()));
        values.push_back(10.0 + 2.0 * r * std::cos(6.283185307179586 * uniform()));
    }
    std::sort(values.begin(), values.end());
    return values;
}

void write_values_file(const std::string& name, const std::vector<double>& values) {
    std::FILE* out = std::fopen(name.c_str(), "w");
    for (double v : values) std::fprintf(out, "%24.17e\n", v);
    std::fclose(out);
}

// A folder of the bench directory, created once; false when it was already there.
bool make_folder(const std::string& dir) {
    if (std::filesystem::exists(dir)) return false;
    std::filesystem::create_directory(dir);
    return true;
}

// The numbered files and the ParameterFile of task 17 in a folder of their own.
std::string prepare_rate_study(const std::string& folder, int files, const std::string& law) {
    const std::string dir = work_dir() + folder + "/";
    const std::string parameterFile = folder + "/Tmp1.txt";
    if (!make_folder(dir)) return parameterFile;
    for (int i = 1; i <= files; ++i)
        write_values_file(dir + (i == 1 ? std::string("Donnees.txt")
                                        : "Donnees" + std::to_string(i) + ".txt"),
                          normal_series(kValuesPerFile, static_cast<unsigned long long>(i)));
    write_lines(parameterFile, {dir, "*", "17", dir + "Result1.txt", law, "20", "0.05", "2", "5",
                                "2", "1000", "0.01"});
    return parameterFile;
}

// The argument is EVSTAT_THREADS: one thread, then two (the files are the same).
void BM_Task17NormalResampledDifferences(benchmark::State& state) {
    time_engine_runs(state, prepare_rate_study("et_normal", kNormalFiles, "Normale"), "2",
                     numbered_files("et_normal", kNormalFiles), 0.0,
                     static_cast<int>(state.range(0)));
    state.counters["files"] = kNormalFiles;
}
BENCHMARK(BM_Task17NormalResampledDifferences)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_Task17WeibullResampledDifferences(benchmark::State& state) {
    time_engine_runs(state, prepare_rate_study("et_weibull", kWeibullFiles, "Weibull"), "2",
                     numbered_files("et_weibull", kWeibullFiles), 0.0,
                     static_cast<int>(state.range(0)));
    state.counters["files"] = kWeibullFiles;
}
BENCHMARK(BM_Task17WeibullResampledDifferences)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_Task42EmvResampledDifferences(benchmark::State& state) {
    const std::string dir = work_dir() + "gpd_normal/";
    if (make_folder(dir)) {
        write_values_file(dir + "serie.txt", normal_series(kLongSeries, 7));
        write_lines("gpd_normal/Tmp1.txt", {dir, "serie.txt", "42", dir + "Result1.txt", "Normale",
                                            "100", "0.05", "2", "5", "2", "1000", "0.001", "EMV"});
    }
    time_engine_runs(state, "gpd_normal/Tmp1.txt", "2", {dir + "serie.txt"});
}
BENCHMARK(BM_Task42EmvResampledDifferences)->Unit(benchmark::kMillisecond)->UseRealTime();

// A Beta(2, 2) prior on the shape over [1, 3]; the series is Weibull-like with shape 1.5.
void BM_Task27WeibullShape(benchmark::State& state) {
    const std::string dir = work_dir() + "predictive/";
    if (make_folder(dir)) {
        write_series("predictive/serie.txt", kValuesPerFile, true);
        write_lines("predictive/Tmp1.txt", {dir, "serie.txt", "27", dir + "Result1.txt",
                                            "WeibullForme", "2", "2", "*", "100000", "1", "10",
                                            "1", "3", "*", "*"});
    }
    time_engine_runs(state, "predictive/Tmp1.txt", "4", {dir + "serie.txt"});
    state.counters["draws"] = 100000;
}
BENCHMARK(BM_Task27WeibullShape)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace evstat::bench
