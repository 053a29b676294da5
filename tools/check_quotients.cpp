// Checks, for every pair of whole numbers 1 <= j < m <= kLargest, that the quotient m / j
// taken from the rounded reciprocal r = 1/j with one correction,
//     q0 = m r,   q = q0 + (m - q0 j) r   (both fused, one rounding each),
// is the rounded quotient m / j to the last bit. The path of the Zipf plots takes its
// terms (k + 1)/j that way for k + 1 up to kLargest; run this after any change to it:
//     g++ -O2 -std=c++20 -pthread -o /tmp/check_quotients tools/check_quotients.cpp
//     /tmp/check_quotients
// It needs a processor with AVX-512 and prints the first pair that differs, if any.
#include <immintrin.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

constexpr long kLargest = 262144;  // kExactQuotientsUpTo in src/tail/methods/hill.cpp

std::atomic<long> firstBad{0};

// Every m in [2, kLargest] with m % threads == part, j from 1 to m - 1, eight j at a time
// (the j past m - 1 are left out of the comparison).
__attribute__((target("avx512f"))) void check(long part, long threads) {
    const __m512d lane = _mm512_set_pd(7, 6, 5, 4, 3, 2, 1, 0);
    for (long m = 2 + part; m <= kLargest; m += threads) {
        const __m512d mv = _mm512_set1_pd(static_cast<double>(m));
        for (long j0 = 1; j0 < m; j0 += 8) {
            const __m512d j = _mm512_add_pd(_mm512_set1_pd(static_cast<double>(j0)), lane);
            const __m512d r = _mm512_div_pd(_mm512_set1_pd(1.0), j);
            const __m512d q0 = _mm512_mul_pd(mv, r);
            const __m512d rem = _mm512_fnmadd_pd(q0, j, mv);
            const __m512d q = _mm512_fmadd_pd(rem, r, q0);
            const __m512d exact = _mm512_div_pd(mv, j);
            const __mmask8 used = static_cast<__mmask8>(m - j0 >= 8 ? 0xff : (1u << (m - j0)) - 1);
            const __mmask8 same = _mm512_mask_cmp_pd_mask(used, q, exact, _CMP_EQ_OQ);
            if (same != used) {
                long expected = 0;
                firstBad.compare_exchange_strong(expected, m);
                std::printf("differs: m = %ld, j from %ld, lanes %02x\n", m, j0,
                            static_cast<unsigned>(used & ~same));
                return;
            }
        }
    }
}

}  // namespace

int main() {
    if (!__builtin_cpu_supports("avx512f")) {
        std::printf("no AVX-512 on this processor\n");
        return 2;
    }
    const long threads = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> workers;
    for (long part = 0; part < threads; ++part) workers.emplace_back(check, part, threads);
    for (std::thread& worker : workers) worker.join();
    if (firstBad.load() != 0) return 1;
    std::printf("every m / j with 1 <= j < m <= %ld: the same bits\n", kLargest);
    return 0;
}
