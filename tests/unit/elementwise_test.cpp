// exp_each against std::exp bit for bit: the reference is the C library's own exponential
// called at run time on the same value, through every routine this processor can run.
#include "series/elementwise.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "series/exp_vector.h"

namespace evstat {
namespace {

using Values = std::vector<double>;
constexpr double kInf = std::numeric_limits<double>::infinity();

// std::exp at run time (the compiler may not fold it into a correctly rounded constant).
double library_exp(double x) {
    volatile double v = x;
    return std::exp(v);
}

// exp_each itself (width 0) and each vector width the processor runs here.
std::vector<int> widths() {
    std::vector<int> w = {0};
    for (const int width : {4, 8})
        if (width <= exp_vector_width()) w.push_back(width);
    return w;
}

void exp_by(int width, const Values& x, Values& out) {
    if (width == 0)
        exp_each(x, out);
    else
        exp_each_vector(x, out, width);
}

// Every result of every routine has the bits of std::exp; the first differences are shown.
void expect_library_bits(const Values& x, const char* what) {
    Values expected(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) expected[i] = library_exp(x[i]);
    for (const int width : widths()) {
        Values out(x.size());
        exp_by(width, x, out);
        int shown = 0;
        for (std::size_t i = 0; i < x.size() && shown < 5; ++i) {
            if (std::bit_cast<std::uint64_t>(out[i]) == std::bit_cast<std::uint64_t>(expected[i]))
                continue;
            ++shown;
            ADD_FAILURE() << what << ", width " << width << ": exp(" << std::hexfloat << x[i]
                          << ") = " << out[i] << ", std::exp " << expected[i];
        }
    }
}

TEST(ExpEach, LibraryBitsOverRandomValues) {
    struct Band {
        double low, high;
        int count;
    };
    const Band bands[] = {
        {-750.0, 750.0, 1'000'000},  // every formula and both one-by-one ends
        {-1.0, 1.0, 200'000},        // the usual arguments, densely
        {-746.0, -708.0, 20'000},    // results below the smallest normal, and zero
        {-513.0, -511.0, 20'000},    // both sides of the large-argument formulas
        {511.0, 513.0, 20'000},      // the same upward
        {709.0, 710.0, 20'000},      // overflow
    };
    std::mt19937_64 engine(20261210);
    for (const Band& band : bands) {
        std::uniform_real_distribution<double> draw(band.low, band.high);
        Values x(band.count);
        for (double& v : x) v = draw(engine);
        expect_library_bits(x, "random band");
    }
}

TEST(ExpEach, LibraryBitsAtSpecialValues) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double tiny = 0x1p-54;  // below, exp(x) is 1 + x
    // clang-format off
    Values x = {
        0.0, -0.0, kInf, -kInf, nan, -nan,
        tiny, -tiny, 0x1p-60, -0x1p-60, 0x1p-1074, -0x1p-1074, 1e-300,  // exp(x) = 1 + x
        708.39, -708.39, 709.78, -709.78,
        709.782712893384, 709.7827128933841,      // the last finite result, then infinity
        -708.3964185322641, -708.3964185322642,   // the smallest normal result, then below
        -745.1332191019411, -745.1332191019412,   // the smallest subnormal result, then zero
        -745.0, -740.0, -720.0,                   // subnormal results
        512.0, -512.0, 1024.0, -1024.0, 1e300, -1e300,
        std::numeric_limits<double>::max(), -std::numeric_limits<double>::max()};
    // clang-format on
    for (const double b : {tiny, 512.0, 1024.0})
        for (const double s : {1.0, -1.0}) {
            x.push_back(s * std::nextafter(b, 0.0));
            x.push_back(s * std::nextafter(b, 2.0 * b));
        }
    expect_library_bits(x, "special value");
}

TEST(ExpEach, EveryLengthApartAndInPlace) {
    const Values values = {-745.2, -3.5, 0.0,  1e-20, 0.75, 2.0,  600.0,  -600.0, 710.0,
                           -0.25,  5.0,  -9.0, 1.5,   kInf, 30.0, -708.5, 0.125};
    for (const int width : widths())
        for (std::size_t n = 0; n <= values.size(); ++n) {
            const Values x(values.begin(), values.begin() + n);
            Values expected(n), apart(n + 1, -1.0), in_place = x;
            for (std::size_t i = 0; i < n; ++i) expected[i] = library_exp(x[i]);
            exp_by(width, x, apart);
            exp_by(width, in_place, in_place);
            EXPECT_EQ(apart.back(), -1.0) << "the value past the end, length " << n;
            for (std::size_t i = 0; i < n; ++i) {
                EXPECT_EQ(std::bit_cast<std::uint64_t>(apart[i]),
                          std::bit_cast<std::uint64_t>(expected[i]))
                    << "width " << width << ", length " << n << ", value " << i;
                EXPECT_EQ(std::bit_cast<std::uint64_t>(in_place[i]),
                          std::bit_cast<std::uint64_t>(expected[i]))
                    << "in place, width " << width << ", length " << n << ", value " << i;
            }
        }
}

#if defined(__x86_64__) && defined(__GLIBC__)
// Where the C library takes its AVX2 and FMA path, so does exp_each, at the widest the
// processor runs: a failed check at first use would leave a slower loop without a word.
TEST(ExpEach, VectorRoutineWhereTheLibraryTakesItsFmaPath) {
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("fma")) return;
    EXPECT_EQ(exp_vector_width(), __builtin_cpu_supports("avx512f") ? 8 : 4);
}
#endif

}  // namespace
}  // namespace evstat
