// The pseudo-random source: the 15-bit linear congruential recurrence
// state = state * 214013 + 2531011 (mod 2^32), output (state >> 16) & 0x7FFF.
// Each run, test or thread owns its generator; every function that draws takes it as its
// first argument, so two generators seeded alike give the same draws wherever they run.
#pragma once

#include <cstdint>

namespace evstat {

constexpr int kRandomMax = 32767;

class Generator {
public:
    static constexpr std::uint32_t kMultiplier = 214013u;
    static constexpr std::uint32_t kIncrement = 2531011u;

    explicit Generator(std::uint32_t seed = 1u) : state_(seed) {}

    // The integer the source gives for a state, 0 to 32767.
    static int output_of(std::uint32_t state) { return static_cast<int>((state >> 16) & 0x7FFFu); }

    // Next integer of the source.
    int next() {
        state_ = state_ * kMultiplier + kIncrement;
        return output_of(state_);
    }

    // A uniform variate in the open interval (0, 1): r / 32767, drawn again while it is 0 or 1.
    double open_uniform() {
        double u = 0.0;
        do {
            u = next() / static_cast<double>(kRandomMax);
        } while (u == 0.0 || u == 1.0);
        return u;
    }

    std::uint32_t state() const { return state_; }

private:
    std::uint32_t state_;
};

}  // namespace evstat
