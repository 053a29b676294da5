// With a fused multiply-add, a quotient by a fixed divisor costs three multiplications:
// y = 1/d rounded, q = x*y rounded (within an ulp of x/d), the remainder r = x - q*d
// (exact, by one fused operation) and q + r*y rounded, which is x/d correctly rounded
// when y is the correctly rounded reciprocal (P. Markstein, "Computation of elementary
// functions on the IBM RISC System/6000 processor", IBM J. Res. Develop. 34, 1990; the
// proof in J.-M. Muller et al., Handbook of Floating-Point Arithmetic, 2nd ed., 2018).
// The theorem assumes no intermediate underflow or overflow: the fast path is taken only
// for divisors and dividends of moderate size, every other value is divided.
#include "series/division.h"

#include <cmath>
#include <cstddef>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace evstat {

namespace {
// Dividends and divisors within these magnitudes (or zero dividends) keep every
// intermediate of the fused path a normal number.
constexpr double kSmallestMagnitude = 0x1p-400;
constexpr double kLargestMagnitude = 0x1p400;

bool moderate(double v) {
    const double a = std::fabs(v);
    return a >= kSmallestMagnitude && a <= kLargestMagnitude;
}

void divide_plainly(std::span<const double> x, double divisor, std::span<double> out) {
    for (std::size_t i = 0; i < x.size(); ++i) out[i] = x[i] / divisor;
}

#if defined(__x86_64__)
constexpr std::size_t kWidth = 4;

__attribute__((target("avx2,fma"))) void divide_fused(std::span<const double> x, double divisor,
                                                      std::span<double> out) {
    const double reciprocal = 1.0 / divisor;
    const __m256d y = _mm256_set1_pd(reciprocal);
    const __m256d d = _mm256_set1_pd(divisor);
    const __m256d smallest = _mm256_set1_pd(kSmallestMagnitude);
    const __m256d largest = _mm256_set1_pd(kLargestMagnitude);
    const __m256d sign = _mm256_set1_pd(-0.0);
    std::size_t i = 0;
    for (; i + kWidth <= x.size(); i += kWidth) {
        const __m256d a = _mm256_loadu_pd(x.data() + i);
        const __m256d q0 = _mm256_mul_pd(a, y);
        const __m256d r = _mm256_fnmadd_pd(q0, d, a);
        const __m256d q = _mm256_fmadd_pd(r, y, q0);
        // A lane outside the safe magnitudes is divided: zero lanes too, for the sign of
        // their quotient.
        const __m256d magnitude = _mm256_andnot_pd(sign, a);
        const __m256d safe = _mm256_and_pd(_mm256_cmp_pd(magnitude, smallest, _CMP_GE_OQ),
                                           _mm256_cmp_pd(magnitude, largest, _CMP_LE_OQ));
        if (_mm256_movemask_pd(safe) == 0xF) {
            _mm256_storeu_pd(out.data() + i, q);
        } else {
            const __m256d divided = _mm256_div_pd(a, d);
            _mm256_storeu_pd(out.data() + i, _mm256_blendv_pd(divided, q, safe));
        }
    }
    for (; i < x.size(); ++i) out[i] = x[i] / divisor;
}

bool fused_available() {
    static const bool available = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return available;
}
#endif
}  // namespace

void divide_each(std::span<const double> x, double divisor, std::span<double> out) {
#if defined(__x86_64__)
    if (fused_available() && moderate(divisor)) {
        divide_fused(x, divisor, out);
        return;
    }
#endif
    divide_plainly(x, divisor, out);
}

}  // namespace evstat
