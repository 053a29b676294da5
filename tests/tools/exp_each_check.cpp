// exp_each and each vector width against std::exp, bit for bit, over many more values than
// the unit tests take: `count` pseudo-random values (half over [-750, 750], a quarter over
// [-4, 4], a quarter of random bit patterns), then both sides of every point where the
// rounded k of x = k ln2/128 + r changes, from the results that underflow to the overflow.
// Run by hand: exp_each_check [count] (1e9 when not given).
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "series/elementwise.h"
#include "series/exp_vector.h"

namespace {

using Values = std::vector<double>;
constexpr std::size_t kChunk = 1 << 20;
constexpr double kStep = 0x1.62e42fefa39efp-8;  // ln2/128
constexpr int kLowestK = -137'800;              // k ln2/128 below -745.13, exp zero
constexpr int kHighestK = 131'100;              // above 709.78, exp infinite
constexpr int kUlpsAround = 4;

struct Tally {
    std::uint64_t values = 0, checked = 0, differing = 0;  // checked: results of all widths
};

void check(const Values& x, Tally& tally) {
    tally.values += x.size();
    Values expected(x.size()), out(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) expected[i] = std::exp(x[i]);
    std::vector<int> widths = {0};
    for (const int width : {4, 8})
        if (width <= evstat::exp_vector_width()) widths.push_back(width);
    for (const int width : widths) {
        if (width == 0)
            evstat::exp_each(x, out);
        else
            evstat::exp_each_vector(x, out, width);
        for (std::size_t i = 0; i < x.size(); ++i) {
            ++tally.checked;
            if (std::bit_cast<std::uint64_t>(out[i]) == std::bit_cast<std::uint64_t>(expected[i]))
                continue;
            if (++tally.differing <= 20)
                std::printf("width %d: exp(%a) = %a, std::exp %a\n", width, x[i], out[i],
                            expected[i]);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const double count = argc > 1 ? std::atof(argv[1]) : 1e9;
    std::printf("vector width %d\n", evstat::exp_vector_width());
    std::mt19937_64 engine(20261210);
    std::uniform_real_distribution<double> wide(-750.0, 750.0), narrow(-4.0, 4.0);
    Tally random;
    Values x(kChunk);
    for (double drawn = 0; drawn < count; drawn += kChunk) {
        for (std::size_t i = 0; i < kChunk; ++i) {
            const std::size_t kind = i % 4;
            x[i] = kind < 2    ? wide(engine)
                   : kind == 2 ? narrow(engine)
                               : std::bit_cast<double>(static_cast<std::uint64_t>(engine()));
        }
        check(x, random);
    }
    std::printf("random values: %llu values, %llu results checked, %llu differ\n",
                static_cast<unsigned long long>(random.values),
                static_cast<unsigned long long>(random.checked),
                static_cast<unsigned long long>(random.differing));

    Tally boundaries;
    x.clear();
    for (int k = kLowestK; k <= kHighestK; ++k) {
        double v = (k + 0.5) * kStep;
        for (int u = 0; u < kUlpsAround; ++u) v = std::nextafter(v, -INFINITY);
        for (int u = 0; u <= 2 * kUlpsAround; ++u, v = std::nextafter(v, INFINITY)) x.push_back(v);
        if (x.size() >= kChunk) {
            check(x, boundaries);
            x.clear();
        }
    }
    check(x, boundaries);
    std::printf("table boundaries: %llu values, %llu results checked, %llu differ\n",
                static_cast<unsigned long long>(boundaries.values),
                static_cast<unsigned long long>(boundaries.checked),
                static_cast<unsigned long long>(boundaries.differing));
    return random.differing + boundaries.differing == 0 ? 0 : 1;
}
