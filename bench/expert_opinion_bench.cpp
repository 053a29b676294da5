// The expert-opinion study (task 25) run as a process: the Port Pirie sea levels with
// every law that has a predictive law, and the Weibull law with a prior on its shape over
// 1,000 values, whose shape posterior is integrated on the refined grid.
#include <benchmark/benchmark.h>

#include "bench/bench_support.h"

namespace evstat::bench {
namespace {

constexpr long kShapeValues = 1000;

// A task 25 ParameterFile: the expert says P(X > c) lies between p1 and p2; the shape's
// support is [low, high].
std::vector<std::string> expert_file(const std::string& data, const std::string& law,
                                     const std::string& c, const std::string& p1,
                                     const std::string& p2, const std::string& low,
                                     const std::string& high, int k) {
    const std::string dir = work_dir();
    return {dir, data, "25", dir + "Result60.txt", law, low, high, "0", "*", "*", "*", "*", "1",
            c, p1, p2, "0.05", "Moyenne", "CVM", "0.05", "0.05", std::to_string(k),
            "0.01", "0.01", "0.001", "0", "0", "0"};
}

void copy_port_pirie() {
    const std::string target = work_dir() + "portpirie.txt";
    if (!std::filesystem::exists(target))
        std::filesystem::copy_file(EVSTAT_SOURCE_DIR "/examples/portpirie.txt", target);
}

void BM_TaskExpertPortPirie(benchmark::State& state, const std::string& law) {
    copy_port_pirie();
    // The demo's statement on the 100-year level: P(X > 4.7 m) between 0.02 and 0.005.
    write_lines("Tmp60.txt", expert_file("portpirie.txt", law, "4.7", "0.02", "0.005", "1", "20", 10));
    time_engine_runs(state, "Tmp60.txt", "3");
}
BENCHMARK_CAPTURE(BM_TaskExpertPortPirie, exponential, std::string("Exponentielle"))
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_TaskExpertPortPirie, gamma, std::string("Gamma"))
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_TaskExpertPortPirie, normal, std::string("Normale"))
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_TaskExpertPortPirie, lognormal, std::string("Lognormale"))
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_TaskExpertPortPirie, weibull_scale, std::string("WeibullEchelle"))
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_TaskExpertPortPirie, weibull_shape, std::string("WeibullForme"))
    ->Unit(benchmark::kMillisecond)->UseRealTime();

// The series of write_series has shape about 1.5 and scale about 2, so P(X > 8) is about
// 3e-4; the statement "between 0.03 and 1e-7" gives the shape interval [0.88, 1.96], whose
// lower end below 1 refines the grid, in the support [0, 2] (from "*").
void BM_TaskExpertWeibullShape1000(benchmark::State& state) {
    write_series("shape1000.txt", kShapeValues, true);
    write_lines("Shape1000.txt", expert_file("shape1000.txt", "WeibullForme", "8", "0.03", "1e-7", "*", "*", 50));
    time_engine_runs(state, "Shape1000.txt", "3");
}
BENCHMARK(BM_TaskExpertWeibullShape1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The Weibull-shape study over a table of cases on 1,000 values: Weibull-like series of shape
// 0.7 and 1.5 (scale 2), several statements on each, and every confidence word.
std::string write_shape_series(double shape) {
    const std::string name = "shape" + std::to_string(static_cast<int>(shape * 10)) + ".txt";
    const std::string path = work_dir() + name;
    if (std::filesystem::exists(path)) return name;
    std::vector<double> values;
    unsigned long long state = 4242;
    for (long i = 0; i < kShapeValues; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const double u = (static_cast<double>(state >> 11) + 0.5) / 9007199254740992.0;
        values.push_back(2.0 * std::pow(-std::log(u), 1.0 / shape));
    }
    std::sort(values.begin(), values.end());
    std::FILE* out = std::fopen(path.c_str(), "w");
    for (const double v : values) std::fprintf(out, "%.17g\n", v);
    std::fclose(out);
    return name;
}

struct ShapeCase {
    const char* name;
    double shape;  // of the series
    const char* c;  // P(X > c) between p1 and p2
    const char* p1;
    const char* p2;
};
// The shape intervals the statements give, about: [0.56, 0.99], [0.48, 1.14], [0.68, 0.95]
// for the series of shape 0.7; [0.88, 1.96], [1.24, 1.66] for that of shape 1.5.
constexpr ShapeCase kShapeCases[] = {
    {"below1/far", 0.7, "20", "0.03", "1e-4"},   {"below1/across1", 0.7, "20", "0.05", "1e-6"},
    {"below1/near", 0.7, "10", "0.05", "0.01"},  {"above1/across1", 1.5, "8", "0.03", "1e-7"},
    {"above1/above1", 1.5, "6", "0.02", "0.002"},
};
constexpr const char* kConfidences[] = {"Forte", "Moyenne", "Faible"};

void BM_TaskExpertShapeCase(benchmark::State& state, const ShapeCase& shapeCase,
                            const std::string& confidence) {
    const std::string data = write_shape_series(shapeCase.shape);
    std::vector<std::string> lines = expert_file(data, "WeibullForme", shapeCase.c, shapeCase.p1,
                                                 shapeCase.p2, "*", "*", 50);
    lines[17] = confidence;
    write_lines("ShapeCase.txt", lines);
    // The processor time of the run beside its real time: the machine may be shared.
    double seconds = 0.0;
    for (auto _ : state) {
        const pid_t child = ::fork();
        if (child == 0) {
            std::freopen("/dev/null", "w", stdout);
            const std::string path = work_dir() + "ShapeCase.txt";
            ::execl(EVSTAT_BINARY, EVSTAT_BINARY, path.c_str(), "3", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        struct rusage usage {};
        ::wait4(child, &status, 0, &usage);
        seconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    }
    state.counters["cpu_s"] = seconds / static_cast<double>(state.iterations());
}

const bool kShapeCasesRegistered = [] {
    for (const ShapeCase& shapeCase : kShapeCases)
        for (const char* confidence : kConfidences)
            benchmark::RegisterBenchmark(
                (std::string("BM_TaskExpertShape/") + shapeCase.name + "/" + confidence).c_str(),
                BM_TaskExpertShapeCase, shapeCase, std::string(confidence))
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->Iterations(1);
    return true;
}();

}  // namespace
}  // namespace evstat::bench
