// Shared pieces of the benchmarks: a working directory with a large series in it,
// and the engine run as a process on a ParameterFile there.
#pragma once

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

// What a run of the engine used: its peak resident memory and its processor time.
struct EngineUse {
    long peakKilobytes = 0;
    double cpuSeconds = 0.0;  // user and system, over all its threads
};

// Runs the engine on a ParameterFile of the working directory, with EVSTAT_THREADS set to
// `threads` when it is above 0.
inline EngineUse run_engine(const std::string& parameterFile, const std::string& loadType,
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
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6;
    };
    return {usage.ru_maxrss, seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

// Times the engine run on the ParameterFile at every iteration (EVSTAT_THREADS set to
// `threads` when it is above 0), and reports its peak memory and its processor time a run
// (the machine may be shared: the wall time alone can mislead).
inline void time_engine_runs(benchmark::State& state, const std::string& parameterFile,
                             const std::string& loadType, int threads = 0) {
    EngineUse use;
    double cpu = 0.0;
    for (auto _ : state) {
        use = run_engine(parameterFile, loadType, threads);
        cpu += use.cpuSeconds;
    }
    state.counters["peak_MiB"] = static_cast<double>(use.peakKilobytes) / 1024.0;
    state.counters["cpu_s"] =
        cpu / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    if (threads > 0) state.counters["threads"] = threads;
}

}  // namespace evstat::bench
