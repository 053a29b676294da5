// The quotients by one divisor bit for bit against the division operator: hard cases, then
// pseudo-random values spread over every magnitude and over the integers of the tail paths.
#include "series/division.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace evstat {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTiny = std::numeric_limits<double>::denorm_min();
constexpr double kHuge = std::numeric_limits<double>::max();

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Every quotient of x by d, against x[i] / d, also in place.
void expect_quotients(const std::vector<double>& x, double d) {
    std::vector<double> out(x.size());
    const double largest = divide_each(x, d, out);
    std::vector<double> inPlace = x;
    divide_each(inPlace, d, inPlace);
    double expectedLargest = -kInf;  // the largest quotient that is a number
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double q = x[i] / d;
        if (q > expectedLargest) expectedLargest = q;
        ASSERT_TRUE(same_bits(q, out[i]) || (std::isnan(q) && std::isnan(out[i])))
            << std::hexfloat << x[i] << " / " << d << ": " << out[i] << " for " << q;
        ASSERT_TRUE(same_bits(out[i], inPlace[i]) || std::isnan(q)) << "in place, at " << i;
    }
    EXPECT_EQ(largest, expectedLargest) << "the largest of " << x.size() << " quotients by " << d;
}

// A double with a random mantissa and sign and an exponent in [low, high].
double random_double(std::mt19937_64& g, int low, int high) {
    const std::uint64_t exponent = static_cast<std::uint64_t>(low + 1023) +
                                   g() % static_cast<std::uint64_t>(high - low + 1);
    const std::uint64_t bits = (g() & ((std::uint64_t{1} << 52) - 1)) | (exponent << 52) |
                               ((g() & 1) << 63);
    double v = 0.0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

TEST(DivideEach, SpecialValuesAndEveryLength) {
    const std::vector<double> special = {0.0,  -0.0,   1.0,   -1.0, kInf,  -kInf, kNaN,
                                         kTiny, -kTiny, kHuge, 3.0,  0x1p-401, 0x1p401, 745.0,
                                         1e-16, 0x1.fffffffffffffp-1, 7.0, 1e300, -1e-300};
    for (const double d : {1.0, -1.0, 3.0, 0.1, -0.7, 0x1p-400, 0x1p400, 1e-310, 1e308, 0.0,
                           -0.0, kInf, kNaN, 7.0})
        expect_quotients(special, d);
    for (std::size_t length = 0; length <= 9; ++length)
        expect_quotients(std::vector<double>(special.begin(), special.begin() + length), 3.0);
}

TEST(DivideEach, RandomValuesOfEveryMagnitude) {
    std::mt19937_64 g(20261210);
    std::vector<double> x(4099);
    for (int round = 0; round < 300; ++round) {
        const double d = round % 3 == 0 ? std::floor(std::fabs(random_double(g, 0, 17)))
                                         : random_double(g, -420, 420);
        for (std::size_t i = 0; i < x.size(); ++i) {
            const int kind = static_cast<int>(i % 4);
            x[i] = kind == 0   ? random_double(g, -60, 10)
                   : kind == 1 ? random_double(g, -1022, 1023)
                   : kind == 2 ? std::floor(std::fabs(random_double(g, 0, 17)))
                               : random_double(g, -420, 420);
        }
        expect_quotients(x, d);
    }
}

}  // namespace
}  // namespace evstat
