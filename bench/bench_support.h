// Shared pieces of the benchmarks: a working directory with a large series in it,
// and the engine run as a process on a ParameterFile there, beside its floor: the time
// the data reader alone takes over the same input files, plus any arithmetic the
// workload cannot do without.
#pragma once

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "driver/files.h"
#include "series/series.h"

namespace evstat::bench {

// A temporary working directory, removed at exit. The path is never destroyed, so the
// clean-up registered with atexit can still read it.
inline const std::string& work_dir() {
    static const std::string* const dir = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "evstat_bench_XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        return new std::string(pattern + "/");
    }();
    static const bool cleanup = [] {
        std::atexit([] { std::filesystem::remove_all(*dir); });
        return true;
    }();
    (void)cleanup;
    return *dir;
}

// Writes `count` positive values of a deterministic skewed series, one a line.
inline std::string write_series(const std::string& name, long count, bool sorted = false) {
    const std::string path = work_dir() + name;
    if (std::filesystem::exists(path)) return path;
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(count));
    unsigned long long state = 12345;
    for (long i = 0; i < count; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const double u = (static_cast<double>(state >> 11) + 0.5) / 9007199254740992.0;
        values.push_back(2.0 * std::pow(-std::log(u), 1.0 / 1.5));  // a Weibull-like series
    }
    if (sorted) std::sort(values.begin(), values.end());
    std::FILE* out = std::fopen(path.c_str(), "w");
    for (double v : values) std::fprintf(out, "%.17g\n", v);
    std::fclose(out);
    return path;
}

inline void write_lines(const std::string& name, const std::vector<std::string>& lines) {
    std::ofstream out(work_dir() + name);
    for (const std::string& line : lines) out << line << "\n";
}

// A child's run: its peak resident memory in kilobytes and its processor time (user
// and system, over all its threads) in seconds; the machine is shared, so the processor
// time is the steadier figure and the one the floors are compared with.
struct ChildRun {
    long peakKiB = 0;
    double cpuSeconds = 0.0;
};

// Runs the engine on a ParameterFile of the working directory, with EVSTAT_THREADS set to
// `threads` when it is above 0.
inline ChildRun run_engine(const std::string& parameterFile, const std::string& loadType,
                           int threads = 0) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        if (threads > 0) ::setenv("EVSTAT_THREADS", std::to_string(threads).c_str(), 1);
        const std::string path = work_dir() + parameterFile;
        ::execl(EVSTAT_BINARY, EVSTAT_BINARY, path.c_str(), loadType.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec);
    };
    return {usage.ru_maxrss, seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

// Processor seconds of this process.
inline double cpu_now() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The fewest processor seconds of three calls of `work`.
template <typename Work>
double least_cpu_seconds(Work work) {
    double least = 0.0;
    for (int i = 0; i < 3; ++i) {
        const double start = cpu_now();
        work();
        const double spent = cpu_now() - start;
        if (i == 0 || spent < least) least = spent;
    }
    return least;
}

// The numbered data files of a folder: Donnees.txt, Donnees2.txt, ...
inline std::vector<std::string> numbered_files(const std::string& folder, int count) {
    std::vector<std::string> files;
    for (int i = 1; i <= count; ++i)
        files.push_back(work_dir() + folder + "/" +
                        (i == 1 ? std::string("Donnees.txt") : "Donnees" + std::to_string(i) + ".txt"));
    return files;
}

// The data reader alone over the files, in processor seconds.
inline double read_floor_seconds(const std::vector<std::string>& files) {
    return least_cpu_seconds([&] {
        Series series;
        for (const std::string& name : files) {
            read_series(name, series);
            benchmark::DoNotOptimize(series.data());
        }
    });
}

// Times the engine run on the ParameterFile at every iteration, and reports its peak
// memory, its processor time and, when the input files are named, the floor: reading
// them alone, plus `arithmeticSeconds` of work the task cannot avoid, and how many
// floors the run takes. EVSTAT_THREADS is set to `threads` when it is above 0.
inline void time_engine_runs(benchmark::State& state, const std::string& parameterFile,
                             const std::string& loadType,
                             const std::vector<std::string>& inputs = {},
                             double arithmeticSeconds = 0.0, int threads = 0) {
    ChildRun run;
    double cpu = 0.0;
    int runs = 0;
    for (auto _ : state) {
        run = run_engine(parameterFile, loadType, threads);
        cpu += run.cpuSeconds;
        ++runs;
    }
    state.counters["peak_MiB"] = static_cast<double>(run.peakKiB) / 1024.0;
    const double cpuPerRun = runs > 0 ? cpu / runs : 0.0;
    state.counters["cpu_ms"] = 1e3 * cpuPerRun;
    if (threads > 0) state.counters["threads"] = threads;
    if (inputs.empty()) return;
    const double readSeconds = read_floor_seconds(inputs);
    state.counters["read_ms"] = 1e3 * readSeconds;
    if (arithmeticSeconds > 0.0) state.counters["sums_ms"] = 1e3 * arithmeticSeconds;
    const double floor = readSeconds + arithmeticSeconds;
    state.counters["floor_ms"] = 1e3 * floor;
    state.counters["x_floor"] = cpuPerRun / floor;
}

}  // namespace evstat::bench
