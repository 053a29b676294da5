// The exponential of several values at once, each result the bits std::exp gives for it:
// used only where the C library's own routine is known and a check at first use agrees.
#pragma once

#include <span>

namespace evstat {

// How many values the routine takes at once here: 8 (AVX-512), 4 (AVX2 and FMA), or 0 where
// it is not to be used (another processor or C library, or the routine differed from std::exp
// on a fixed set of probe values, which is checked on the first call).
int exp_vector_width();

// out[i] = std::exp(x[i]) for i < x.size(), `out` as in exp_each, `width` values at a time:
// 4 or 8, at most exp_vector_width().
void exp_each_vector(std::span<const double> x, std::span<double> out, int width);

}  // namespace evstat
