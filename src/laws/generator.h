// The run's pseudo-random source: the 15-bit linear congruential recurrence
// state = state * 214013 + 2531011 (mod 2^32), output (state >> 16) & 0x7FFF.
// One process-wide state, seeded once per run; tests set the seed directly.
#pragma once

#include <cstdint>

namespace evstat {

constexpr int kRandomMax = 32767;

namespace generator_detail {
constexpr std::uint32_t kMultiplier = 214013u;
constexpr std::uint32_t kIncrement = 2531011u;
// The state; defined here so that the samplers' inner loops inline the recurrence.
inline std::uint32_t state = 1u;
}  // namespace generator_detail

void set_seed(std::uint32_t seed);

// Next integer of the source, 0 to 32767.
inline int next_random() {
    using namespace generator_detail;
    state = state * kMultiplier + kIncrement;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

// A uniform variate in the open interval (0, 1): r / 32767, drawn again while it is 0 or 1.
inline double open_uniform() {
    double u = 0.0;
    do {
        u = next_random() / static_cast<double>(kRandomMax);
    } while (u == 0.0 || u == 1.0);
    return u;
}

}  // namespace evstat
