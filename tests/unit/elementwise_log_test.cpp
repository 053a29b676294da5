// log_each, and each vector kernel this processor runs, against std::log bit for bit: values
// of every exponent, the band about 1 where the logarithm takes its own polynomial, ratios
// of integers, the special values, every length up to 17 and the place of the result.
#include "series/elementwise.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "series/log_vector.h"

namespace evstat {
namespace {

using Values = std::vector<double>;
using LogOfEach = std::function<void(std::span<const double>, std::span<double>)>;
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Way {
    std::string name;
    LogOfEach take;
};

std::vector<Way> ways() {
    std::vector<Way> all = {{"log_each", log_each}};
    for (const auto& [kernel, name] : {std::pair{LogKernel::avx2, "avx2"}, {LogKernel::avx512, "avx512"}})
        if (log_kernel_usable(kernel))
            all.push_back({name, [kernel](std::span<const double> x, std::span<double> out) {
                               log_each_by(kernel, x, out);
                           }});
    return all;
}

// Index of the first value whose logarithm is not std::log's bits, or x.size().
std::size_t first_difference(std::span<const double> x, std::span<const double> logs) {
    for (std::size_t i = 0; i < x.size(); ++i)
        if (std::bit_cast<std::uint64_t>(logs[i]) != std::bit_cast<std::uint64_t>(std::log(x[i]))) return i;
    return x.size();
}

// The special values, the ends of the band about 1 and their neighbours, the extremes.
Values edge_values() {
    const double belowOne = 1.0 - 0x1p-4, aboveOne = 1.0 + 0x1.09p-4;  // ends of the band about 1
    return {0.0, -0.0, -1.0, -kInf, kInf, std::numeric_limits<double>::quiet_NaN(),
            -std::numeric_limits<double>::quiet_NaN(), 1.0, std::nextafter(1.0, 0.0), std::nextafter(1.0, 2.0),
            std::nextafter(belowOne, 0.0), belowOne, std::nextafter(belowOne, 2.0), std::nextafter(aboveOne, 0.0),
            aboveOne, std::nextafter(aboveOne, 2.0), std::numeric_limits<double>::denorm_min(),
            std::numeric_limits<double>::min(), std::nextafter(std::numeric_limits<double>::min(), 0.0),
            std::numeric_limits<double>::max(), -std::numeric_limits<double>::max()};
}

// About a million values: every exponent from the subnormals up, the band 1 +- 0.1, ratios
// (k + 1)/j of integers, and the special values and the ends of the band strewn among them.
Values test_values() {
    constexpr int kEachKind = 300000;
    constexpr int kRatioTop = 300;
    std::mt19937_64 bits(20261210);
    std::uniform_int_distribution<int> exponent(-1074, 1023);
    std::uniform_real_distribution<double> mantissa(1.0, 2.0), band(0.9, 1.1);
    Values x;
    for (int i = 0; i < kEachKind; ++i) {
        x.push_back(std::ldexp(mantissa(bits), exponent(bits)));
        x.push_back(band(bits));
        x.push_back(std::bit_cast<double>(bits()));  // any sign, exponent, NaN payload
    }
    for (int k = 0; k < kRatioTop; ++k)
        for (int j = 1; j <= kRatioTop; ++j) x.push_back((k + 1.0) / j);
    const Values edge = edge_values();
    for (std::size_t i = 0; i < edge.size(); ++i)
        for (std::size_t at = i * 7919; at < x.size(); at += 104729) x[at] = edge[i];
    return x;
}

TEST(LogEach, GivesTheLibraryBitsForEveryValue) {
#if defined(__x86_64__) && defined(__GLIBC__)
    // A kernel that failed its check at first use would leave the values to std::log unseen.
    const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    EXPECT_EQ(log_kernel_usable(LogKernel::avx2), avx2);
    EXPECT_EQ(log_kernel_usable(LogKernel::avx512), avx2 && __builtin_cpu_supports("avx512f"));
#endif
    const Values x = test_values();
    for (const Way& way : ways()) {
        Values logs(x.size());
        way.take(x, logs);
        const std::size_t at = first_difference(x, logs);
        EXPECT_EQ(at, x.size()) << way.name << ": log(" << (at < x.size() ? x[at] : 0.0) << ")";
        Values inPlace = x;
        way.take(inPlace, inPlace);
        EXPECT_EQ(first_difference(x, inPlace), x.size()) << way.name << " in place";
    }
}

// Short arrays and every offset of the edge values in a vector: the tail and the lanes
// taken through std::log, nothing written past the end.
TEST(LogEach, EveryLengthInPlaceOrNot) {
    constexpr std::size_t kLongest = 17;
    constexpr double kUnwritten = -12345.0;
    const Values edge = edge_values();
    for (const Way& way : ways())
        for (std::size_t n = 0; n <= kLongest; ++n)
            for (std::size_t shift = 0; shift < edge.size(); ++shift) {
                Values x(n);
                for (std::size_t i = 0; i < n; ++i) x[i] = (i + shift) % 3 == 0 ? edge[(i + shift) % edge.size()] : 0.5 + i;
                Values logs(n + 1, kUnwritten);
                way.take(x, std::span<double>(logs).first(n));
                EXPECT_EQ(first_difference(x, logs), n) << way.name << ", length " << n;
                EXPECT_EQ(logs[n], kUnwritten) << way.name << ", length " << n;
                Values inPlace = x;
                way.take(inPlace, inPlace);
                EXPECT_EQ(first_difference(x, inPlace), n) << way.name << " in place, length " << n;
            }
}

// The library's own rounding in each mode, and log(1) = +0 also when rounding downwards.
TEST(LogEach, EveryRoundingMode) {
    const Values x = {1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 0.97, 1.03, 2.5, 1e300, 3e-300, 0.5, 1.0, 1.01};
    for (const int mode : {FE_DOWNWARD, FE_UPWARD, FE_TOWARDZERO, FE_TONEAREST}) {
        ASSERT_EQ(std::fesetround(mode), 0);
        for (const Way& way : ways()) {
            Values logs(x.size());
            way.take(x, logs);
            EXPECT_EQ(first_difference(x, logs), x.size()) << way.name << ", rounding mode " << mode;
        }
    }
}

}  // namespace
}  // namespace evstat
