#include "laws/generator.h"

namespace evstat {

namespace {
constexpr std::uint32_t kMultiplier = 214013u;
constexpr std::uint32_t kIncrement = 2531011u;
std::uint32_t g_state = 1u;
}  // namespace

void set_seed(std::uint32_t seed) { g_state = seed; }

int next_random() {
    g_state = g_state * kMultiplier + kIncrement;
    return static_cast<int>((g_state >> 16) & 0x7FFFu);
}

double open_uniform() {
    double u = 0.0;
    do {
        u = next_random() / static_cast<double>(kRandomMax);
    } while (u == 0.0 || u == 1.0);
    return u;
}

}  // namespace evstat
