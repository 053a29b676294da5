// Rejection rates over the numbered data files, each run as a process the way the front
// end runs it: task 12 with the beta law (critical values by parametric resampling, 200
// replicates per file) over 100 files of 200 values, and task 11 with the normal law
// (critical values from a table) over 1,000 files of 200 values.
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
constexpr int kBetaFiles = 100;
constexpr int kNormalFiles = 1000;

enum class Shape { Beta, Normal };

// A deterministic series of 200 sorted values: in (0, 1) for the beta law, near a normal
// law (Box-Muller) otherwise.
std::vector<double> sorted_series(Shape shape, unsigned long long seed) {
    unsigned long long state = seed * 2654435761ULL + 1;
    auto uniform = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return (static_cast<double>(state >> 11) + 0.5) / 9007199254740992.0;
    };
    std::vector<double> values;
    values.reserve(kValuesPerFile);
    for (int i = 0; i < kValuesPerFile; ++i) {
        if (shape == Shape::Beta) {
            values.push_back(std::pow(uniform(), 1.5));
        } else {
            const double r = std::sqrt(-2.0 * std::log(uniform()));
            values.push_back(10.0 + 2.0 * r * std::cos(6.283185307179586 * uniform()));
        }
    }
    std::sort(values.begin(), values.end());
    return values;
}

// The numbered data files and the ParameterFile of a study, written once in a folder of
// the bench directory; returns the ParameterFile's name relative to that directory.
std::string prepare_study(const std::string& folder, Shape shape, int files,
                          const std::string& task, const std::string& law) {
    const std::string dir = work_dir() + folder + "/";
    const std::string parameterFile = folder + "/Tmp1.txt";
    if (std::filesystem::exists(dir)) return parameterFile;
    std::filesystem::create_directory(dir);
    for (int i = 1; i <= files; ++i) {
        const std::string name =
            dir + (i == 1 ? std::string("Donnees.txt") : "Donnees" + std::to_string(i) + ".txt");
        std::FILE* out = std::fopen(name.c_str(), "w");
        for (double v : sorted_series(shape, static_cast<unsigned long long>(i)))
            std::fprintf(out, "%24.17e\n", v);
        std::fclose(out);
    }
    write_lines(parameterFile, {dir, "*", task, dir + "Result1.txt", law, "10", "0.05", "2", "5",
                                "1", "100", "0.01"});
    return parameterFile;
}

void run_study(benchmark::State& state, const std::string& parameterFile, int files) {
    const std::string folder = parameterFile.substr(0, parameterFile.find('/'));
    time_engine_runs(state, parameterFile, "2", numbered_files(folder, files));
    state.counters["files"] = files;
}

void BM_TaskRejectionRateBeta(benchmark::State& state) {
    run_study(state, prepare_study("beta", Shape::Beta, kBetaFiles, "12", "Beta"), kBetaFiles);
}
BENCHMARK(BM_TaskRejectionRateBeta)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TaskRejectionRateNormal(benchmark::State& state) {
    run_study(state, prepare_study("normal", Shape::Normal, kNormalFiles, "11", "Normale"),
              kNormalFiles);
}
BENCHMARK(BM_TaskRejectionRateNormal)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace evstat::bench
