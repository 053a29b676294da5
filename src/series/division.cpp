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
#include <limits>

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

constexpr double kNoQuotient = -std::numeric_limits<double>::infinity();

double divide_plainly(std::span<const double> x, double divisor, std::span<double> out,
                      double largest) {
    for (std::size_t i = 0; i < x.size(); ++i) {
        out[i] = x[i] / divisor;
        if (out[i] > largest) largest = out[i];
    }
    return largest;
}

#if defined(__x86_64__)
constexpr std::size_t kWidth = 4;

__attribute__((target("avx2,fma"))) double divide_fused(std::span<const double> x, double divisor,
                                                        std::span<double> out) {
    const double reciprocal = 1.0 / divisor;
    const __m256d y = _mm256_set1_pd(reciprocal);
    const __m256d d = _mm256_set1_pd(divisor);
    const __m256d smallest = _mm256_set1_pd(kSmallestMagnitude);
    const __m256d upper = _mm256_set1_pd(kLargestMagnitude);
    const __m256d sign = _mm256_set1_pd(-0.0);
    __m256d most = _mm256_set1_pd(kNoQuotient);
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
                                           _mm256_cmp_pd(magnitude, upper, _CMP_LE_OQ));
        const __m256d quotients = _mm256_movemask_pd(safe) == 0xF
                                      ? q
                                      : _mm256_blendv_pd(_mm256_div_pd(a, d), q, safe);
        _mm256_storeu_pd(out.data() + i, quotients);
        most = _mm256_max_pd(quotients, most);  // a NaN quotient leaves `most` as it is
    }
    alignas(32) double lanes[kWidth];
    _mm256_store_pd(lanes, most);
    double largest = kNoQuotient;
    for (const double lane : lanes)
        if (lane > largest) largest = lane;
    return divide_plainly(x.subspan(i), divisor, out.subspan(i), largest);
}

bool fused_available() {
    static const bool available = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return available;
}
#endif
}  // namespace

double divide_each(std::span<const double> x, double divisor, std::span<double> out) {
#if defined(__x86_64__)
    if (fused_available() && moderate(divisor)) return divide_fused(x, divisor, out);
#endif
    return divide_plainly(x, divisor, out, kNoQuotient);
}

}  // namespace evstat
