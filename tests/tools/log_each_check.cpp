// Offline check of log_each and of each vector kernel this processor runs against std::log,
// bit for bit, beyond what the unit tests can afford: `count` pseudo-random values (a third
// with every exponent from the subnormals up, a third in the band 1 +- 0.1, a third of any
// bits) and every ratio (k + 1)/j for k < ratioTop and 1 <= j <= ratioTop.
//   cmake --build build --target log_each_check && build/tests/log_each_check [count] [ratioTop]
// Prints the number of values compared and of differences; exits non-zero on a difference.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "series/elementwise.h"
#include "series/log_vector.h"

namespace {

using LogOfEach = std::function<void(std::span<const double>, std::span<double>)>;
constexpr std::size_t kChunk = 1 << 16;

struct Tally {
    std::string name;
    LogOfEach take;
    long long compared = 0, different = 0;
};

void compare(Tally& tally, const std::vector<double>& x, std::vector<double>& logs) {
    tally.take(x, logs);
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (std::bit_cast<std::uint64_t>(logs[i]) == std::bit_cast<std::uint64_t>(std::log(x[i]))) continue;
        if (++tally.different <= 10) std::printf("%s: log(%a) = %a, std::log gives %a\n", tally.name.c_str(), x[i], logs[i], std::log(x[i]));
    }
    tally.compared += static_cast<long long>(x.size());
}

}  // namespace

int main(int argc, char** argv) {
    const long long count = argc > 1 ? std::atoll(argv[1]) : 1000000000LL;
    const int ratioTop = argc > 2 ? std::atoi(argv[2]) : 20000;
    std::vector<Tally> tallies = {{"log_each", evstat::log_each}};
    for (const auto& [kernel, name] : {std::pair{evstat::LogKernel::avx2, "avx2"}, {evstat::LogKernel::avx512, "avx512"}})
        if (evstat::log_kernel_usable(kernel))
            tallies.push_back({name, [kernel](std::span<const double> x, std::span<double> out) {
                                   evstat::log_each_by(kernel, x, out);
                               }});
    std::mt19937_64 bits(20261210);
    std::uniform_int_distribution<int> exponent(-1074, 1023);
    std::uniform_real_distribution<double> mantissa(1.0, 2.0), band(0.9, 1.1);
    std::vector<double> x, logs(kChunk);
    for (long long done = 0; done < count;) {
        x.clear();
        for (; x.size() < kChunk && done < count; ++done) {
            switch (done % 3) {
                case 0: x.push_back(std::ldexp(mantissa(bits), exponent(bits))); break;
                case 1: x.push_back(band(bits)); break;
                default: x.push_back(std::bit_cast<double>(bits()));
            }
        }
        for (Tally& tally : tallies) compare(tally, x, logs);
    }
    for (int k = 0; k < ratioTop; ++k) {
        x.resize(static_cast<std::size_t>(ratioTop));
        for (int j = 1; j <= ratioTop; ++j) x[static_cast<std::size_t>(j - 1)] = (k + 1.0) / j;
        logs.resize(x.size());
        for (Tally& tally : tallies) compare(tally, x, logs);
    }
    bool same = true;
    for (const Tally& tally : tallies) {
        std::printf("%s: %lld values compared, %lld different from std::log\n", tally.name.c_str(), tally.compared, tally.different);
        same = same && tally.different == 0;
    }
    return same ? 0 : 1;
}
