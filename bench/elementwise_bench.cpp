// The exponential of 1,000,000 values: exp_each beside a loop over std::exp, for arguments
// in [-8, 8] (range 0) and in [-750, 750] (range 1: a third large, a twentieth whose results
// overflow or fall below the smallest normal, which both take one by one).
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "series/elementwise.h"

namespace evstat::bench {
namespace {

constexpr long kValues = 1000000;
constexpr double kBounds[] = {8.0, 750.0};

std::vector<double> arguments(long band) {
    std::mt19937_64 engine(1);
    std::uniform_real_distribution<double> draw(-kBounds[band], kBounds[band]);
    std::vector<double> x(kValues);
    for (double& v : x) v = draw(engine);
    return x;
}

void BM_ExpEach(benchmark::State& state) {
    const std::vector<double> x = arguments(state.range(0));
    std::vector<double> out(x.size());
    for (auto _ : state) {
        exp_each(x, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_ExpEach)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_StdExpLoop(benchmark::State& state) {
    const std::vector<double> x = arguments(state.range(0));
    std::vector<double> out(x.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < x.size(); ++i) out[i] = std::exp(x[i]);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_StdExpLoop)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace evstat::bench
