// The natural logarithm of an array several values at a time, by the operations of the C
// library's own logarithm on x86-64 processors with AVX2 and fused multiply-add (four values)
// or AVX-512 (eight), so that every result is the bits std::log gives.
#pragma once

#include <span>

namespace evstat {

enum class LogKernel { avx2, avx512 };

// Whether this processor has the instructions of `kernel` and the kernel gave std::log's bits
// on a fixed set of check values at its first use (false on other systems and libraries).
bool log_kernel_usable(LogKernel kernel);

// out[i] = std::log(x[i]) for i < x.size() by `kernel`, which is usable; `out` holds at least
// x.size() values and is either `x` itself or does not overlap it.
void log_each_by(LogKernel kernel, std::span<const double> x, std::span<double> out);

// The same by the widest usable kernel; returns false having written nothing where none is.
bool log_each_vector(std::span<const double> x, std::span<double> out);

}  // namespace evstat
