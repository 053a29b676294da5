// The run's pseudo-random source: the 15-bit linear congruential recurrence
// state = state * 214013 + 2531011 (mod 2^32), output (state >> 16) & 0x7FFF.
// One process-wide state, seeded once per run; tests set the seed directly.
#pragma once

#include <cstdint>

namespace evstat {

constexpr int kRandomMax = 32767;

void set_seed(std::uint32_t seed);
// Next integer of the source, 0 to 32767.
int next_random();
// A uniform variate in the open interval (0, 1): r / 32767, drawn again while it is 0 or 1.
double open_uniform();

}  // namespace evstat
