// The exponential of four values at a time with AVX2 and fused multiply-add (eight with
// AVX-512), each result the bits of the exponential of the GNU C library (after Szabolcs
// Nagy's exp of Arm's Optimized Routines, 2018) where that library takes its AVX2 and FMA path:
// x = k ln2/128 + r with |r| <= ln2/256, exp(x) = 2^(k/128) (1 + tail + r + r^2 p(r)), the
// scale 2^(k/128) and its tail from a table of 128 pairs, p of degree 3; every product that
// library's build fuses into a multiply-add is one here, every other one rounds on its own.
// Its main formula covers |x| < 512. For |x| < 2^-54 the library returns 1 + x, which the
// main formula gives to the last bit (k = 0, r = x, and the terms in r^2 are below half an
// ulp of x). For 512 <= |x| < 1024 it shifts the scale by a power of two and back, taken here
// too while the result stays normal; results that overflow or fall below the smallest
// normal, |x| >= 1024, infinities and NaN go through std::exp one by one.
#include "series/exp_vector.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <vector>

#if defined(__x86_64__) && defined(__GLIBC__)
#include <immintrin.h>
#endif

namespace evstat {

#if defined(__x86_64__) && defined(__GLIBC__)

namespace {

constexpr int kTableBits = 7;  // 2^7 table entries per doubling
constexpr long long kTableMask = (1 << kTableBits) - 1;
constexpr double kInvLn2N = 0x1.71547652b82fep+7;      // 128 / ln 2
constexpr double kShift = 0x1.8p52;                    // k rounds into the low bits of z + kShift
constexpr double kNegLn2HiN = -0x1.62e42fefa0000p-8;   // -ln2/128, leading bits (k times it exact)
constexpr double kNegLn2LoN = -0x1.cf79abc9e3b3ap-47;  // -ln2/128, the rest
constexpr double kC2 = 0x1.ffffffffffdbdp-2;           // p(r) = C2 + C3 r + C4 r^2 + C5 r^3
constexpr double kC3 = 0x1.555555555543cp-3;
constexpr double kC4 = 0x1.55555cf172b91p-5;
constexpr double kC5 = 0x1.1111167a4d017p-7;
constexpr double kTinyBelow = 0x1p-54;          // |x| below: exp(x) = 1 + x
constexpr double kMainBelow = 512.0;            // |x| below: the main formula
constexpr double kLargeBelow = 1024.0;          // |x| from here on: one by one
constexpr long long kUpShift = 1009LL << 52;    // large k > 0: scale 2^-1009 lower, then
constexpr double kUpScale = 0x1p1009;           // the result 2^1009 higher
constexpr long long kDownShift = 1022LL << 52;  // large k < 0: scale 2^1022 higher, then
constexpr double kDownScale = 0x1p-1022;        // the result 2^-1022 lower (exact when >= 1)
constexpr long long kNegativeK = 0x80000000LL;  // sign of k as a 32-bit integer in the low bits
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// 2^(j/128) = H_j (1 + T_j) for j < 128, H_j the double nearest 2^(j/128) and T_j the double
// nearest (2^(j/128) - H_j) / H_j (mpmath, 300 bits): kTail[j] = T_j and
// kScaleBits[j] = bits(H_j) - (j << 45), to which k << 45 adds q for k = 128 q + j.
// clang-format off
alignas(64) constexpr double kTail[1 << kTableBits] = {
    0x0p+0, 0x1.b3b4f1a88bf6ep-54, -0x1.160139cd8dc5dp-56,
    -0x1.05e7a108766d1p-54, 0x1.cd2523567f613p-55, -0x1.bce8023f98efap-55,
    0x1.0f74e61e6c861p-57, 0x1.0a3e45b33d399p-54, 0x1.79aa65d837b6dp-54,
    0x1.eb51a92fdeffcp-55, 0x1.ebe3d702f9cd1p-60, -0x1.a033489906e0bp-57,
    -0x1.556522a2fbd0ep-54, -0x1.080ef8c4eea55p-58, -0x1.1c923b9d5f416p-54,
    0x1.0d3e3e95c55afp-55, -0x1.01b15eaa59348p-55, -0x1.f1ff055de323dp-55,
    0x1.b898c3f1353bfp-55, -0x1.6d99c7611eb26p-54, 0x1.aecf73e3a2f60p-54,
    -0x1.fe782cb86389dp-55, 0x1.a6f4144a6c38dp-55, 0x1.07a05b0e4047dp-55,
    0x1.68efde3a8a894p-54, 0x1.75e18f274487dp-55, 0x1.0472b981fe7f2p-55,
    -0x1.6b87b3f71085ep-54, 0x1.2f7e16d09ab31p-55, -0x1.d219b1a6fbffap-60,
    0x1.b3782720c0ab4p-55, 0x1.e149289cecb8fp-57, 0x1.34d754db0abb6p-55,
    0x1.64201e2ac744cp-55, 0x1.fdd395dd3f84ap-55, -0x1.6a3803b8e5b04p-55,
    -0x1.24aedcc4b5068p-54, -0x1.907f81b512d8ep-54, -0x1.1d1e83e9436d2p-56,
    -0x1.91919b3ce1b15p-54, 0x1.59f48a72a4c6dp-55, -0x1.312607a28698ap-54,
    -0x1.8a78f4817895bp-58, -0x1.c2c9b67499a1bp-56, 0x1.363ed60c2ac11p-59,
    0x1.666093b0664efp-54, 0x1.ecce1daa10379p-57, 0x1.3ff8e3f0f1230p-54,
    0x1.690cebb7aafb0p-56, 0x1.31dbdeb54e077p-54, -0x1.f94340071a38ep-55,
    -0x1.7deccdc93a349p-55, -0x1.8dec6bd0f385fp-56, -0x1.61246ec7b5cf6p-55,
    0x1.3350518fdd78ep-54, 0x1.b98b72f8a9b05p-56, 0x1.063e1e21c5409p-54,
    0x1.4c7855019c6eap-60, 0x1.432e62b64c035p-54, -0x1.ce44a6199769fp-55,
    -0x1.c33c53bef4da8p-55, -0x1.45378892be9aep-55, -0x1.3cedd78565858p-54,
    0x1.710aa807e1964p-58, -0x1.3b3efbf5e2228p-54, -0x1.a12ad8734b982p-57,
    -0x1.367efb86da9eep-57, -0x1.0dc3d54e08851p-55, -0x1.81f647e5a3ecfp-56,
    -0x1.6ee4ac08b7db0p-55, -0x1.619321e55e68ap-55, 0x1.09ccb5e09d4d3p-54,
    -0x1.b32dcb94da51dp-56, 0x1.4ecfd5467c06bp-54, 0x1.5ebe1abd66c55p-57,
    -0x1.8a1c52fb3cf42p-55, -0x1.369b6f13b3734p-54, -0x1.05e843a19ff1ep-55,
    -0x1.4d450d872576ep-54, 0x1.0ad675b0e8a00p-54, 0x1.db72fc1f0eab4p-55,
    -0x1.5b6609cc5e7ffp-57, 0x1.bf68359f35f44p-56, -0x1.3091fa71e3d83p-54,
    -0x1.da9b88b6c1e29p-58, -0x1.c23f97c90b959p-57, -0x1.2434322f4f9aap-54,
    -0x1.5ca6cd7668e4bp-55, 0x1.1affc2b91ce27p-56, 0x1.dd235e10a73bbp-57,
    -0x1.7c50422622263p-55, 0x1.b1c86e3e231d5p-55, -0x1.1bbd1d3bcbb15p-54,
    0x1.0cc319cee31d2p-54, 0x1.469846e735ab3p-55, -0x1.2dfcd978e9db4p-55,
    0x1.c1a7792cb3387p-55, -0x1.07b8f4ad1d9fap-54, -0x1.5c3d956dcaebap-58,
    -0x1.0a40e3da6f640p-54, -0x1.8d6f438ad9334p-57, -0x1.1eee26b588a35p-54,
    0x1.4ffd70a5fddcdp-56, -0x1.1bdfbfa9298acp-54, 0x1.36eae30af0cb3p-56,
    0x1.ee3325c9ffd94p-55, 0x1.4e08fd10959acp-55, 0x1.3cdaf384e1a67p-57,
    0x1.76b2c6c921968p-57, -0x1.08a1883ccb5d2p-55, -0x1.fad5d3ffffa6fp-55,
    -0x1.00dae3875a949p-54, 0x1.4a385a63d07a7p-56, -0x1.2919e2040220fp-55,
    0x1.e5a50d5c192acp-55, 0x1.43a59ac016b4bp-55, -0x1.2d52107b43e1fp-55,
    -0x1.92ab93b470dc9p-55, 0x1.4b604603a88d3p-56, 0x1.3c5ec519d7271p-55,
    -0x1.ff7128fd391f0p-55, -0x1.dae98e223747dp-55, 0x1.ec3bc41aa2008p-55,
    0x1.42b94c3a9eb32p-55, 0x1.a64a931d185eep-55, -0x1.e37bae43be3edp-55,
    0x1.7893b4d91cd9dp-56, 0x1.305c14160cc89p-58,
};
alignas(64) constexpr std::uint64_t kScaleBits[1 << kTableBits] = {
    0x3ff0000000000000, 0x3feff63da9fb3335, 0x3fefec9a3e778061, 0x3fefe315e86e7f85,
    0x3fefd9b0d3158574, 0x3fefd06b29ddf6de, 0x3fefc74518759bc8, 0x3fefbe3ecac6f383,
    0x3fefb5586cf9890f, 0x3fefac922b7247f7, 0x3fefa3ec32d3d1a2, 0x3fef9b66affed31b,
    0x3fef9301d0125b51, 0x3fef8abdc06c31cc, 0x3fef829aaea92de0, 0x3fef7a98c8a58e51,
    0x3fef72b83c7d517b, 0x3fef6af9388c8dea, 0x3fef635beb6fcb75, 0x3fef5be084045cd4,
    0x3fef54873168b9aa, 0x3fef4d5022fcd91d, 0x3fef463b88628cd6, 0x3fef3f49917ddc96,
    0x3fef387a6e756238, 0x3fef31ce4fb2a63f, 0x3fef2b4565e27cdd, 0x3fef24dfe1f56381,
    0x3fef1e9df51fdee1, 0x3fef187fd0dad990, 0x3fef1285a6e4030b, 0x3fef0cafa93e2f56,
    0x3fef06fe0a31b715, 0x3fef0170fc4cd831, 0x3feefc08b26416ff, 0x3feef6c55f929ff1,
    0x3feef1a7373aa9cb, 0x3feeecae6d05d866, 0x3feee7db34e59ff7, 0x3feee32dc313a8e5,
    0x3feedea64c123422, 0x3feeda4504ac801c, 0x3feed60a21f72e2a, 0x3feed1f5d950a897,
    0x3feece086061892d, 0x3feeca41ed1d0057, 0x3feec6a2b5c13cd0, 0x3feec32af0d7d3de,
    0x3feebfdad5362a27, 0x3feebcb299fddd0d, 0x3feeb9b2769d2ca7, 0x3feeb6daa2cf6642,
    0x3feeb42b569d4f82, 0x3feeb1a4ca5d920f, 0x3feeaf4736b527da, 0x3feead12d497c7fd,
    0x3feeab07dd485429, 0x3feea9268a5946b7, 0x3feea76f15ad2148, 0x3feea5e1b976dc09,
    0x3feea47eb03a5585, 0x3feea34634ccc320, 0x3feea23882552225, 0x3feea155d44ca973,
    0x3feea09e667f3bcd, 0x3feea012750bdabf, 0x3fee9fb23c651a2f, 0x3fee9f7df9519484,
    0x3fee9f75e8ec5f74, 0x3fee9f9a48a58174, 0x3fee9feb564267c9, 0x3feea0694fde5d3f,
    0x3feea11473eb0187, 0x3feea1ed0130c132, 0x3feea2f336cf4e62, 0x3feea427543e1a12,
    0x3feea589994cce13, 0x3feea71a4623c7ad, 0x3feea8d99b4492ed, 0x3feeaac7d98a6699,
    0x3feeace5422aa0db, 0x3feeaf3216b5448c, 0x3feeb1ae99157736, 0x3feeb45b0b91ffc6,
    0x3feeb737b0cdc5e5, 0x3feeba44cbc8520f, 0x3feebd829fde4e50, 0x3feec0f170ca07ba,
    0x3feec49182a3f090, 0x3feec86319e32323, 0x3feecc667b5de565, 0x3feed09bec4a2d33,
    0x3feed503b23e255d, 0x3feed99e1330b358, 0x3feede6b5579fdbf, 0x3feee36bbfd3f37a,
    0x3feee89f995ad3ad, 0x3feeee07298db666, 0x3feef3a2b84f15fb, 0x3feef9728de5593a,
    0x3feeff76f2fb5e47, 0x3fef05b030a1064a, 0x3fef0c1e904bc1d2, 0x3fef12c25bd71e09,
    0x3fef199bdd85529c, 0x3fef20ab5fffd07a, 0x3fef27f12e57d14b, 0x3fef2f6d9406e7b5,
    0x3fef3720dcef9069, 0x3fef3f0b555dc3fa, 0x3fef472d4a07897c, 0x3fef4f87080d89f2,
    0x3fef5818dcfba487, 0x3fef60e316c98398, 0x3fef69e603db3285, 0x3fef7321f301b460,
    0x3fef7c97337b9b5f, 0x3fef864614f5a129, 0x3fef902ee78b3ff6, 0x3fef9a51fbc74c83,
    0x3fefa4afa2a490da, 0x3fefaf482d8e67f1, 0x3fefba1bee615a27, 0x3fefc52b376bba97,
    0x3fefd0765b6e4540, 0x3fefdbfdad9cbe14, 0x3fefe7c1819e90d8, 0x3feff3c22b8f71f1,
};
// clang-format on

#define EVSTAT_AVX2 __attribute__((target("avx2,fma")))
#define EVSTAT_AVX512 __attribute__((target("avx512f")))

// The lanes the formulas leave, by std::exp; xs holds their arguments (out may be x itself).
void finish_one_by_one(const double* xs, int lanes, double* out, int oneByOne) {
    for (int lane = 0; lane < lanes; ++lane)
        if ((oneByOne >> lane) & 1) out[lane] = std::exp(xs[lane]);
}

// A block with a lane off the main formula: the large ones by the shifted scales while their
// result stays normal, the rest one by one; y holds the main formula's results.
EVSTAT_AVX2 __attribute__((noinline)) void exp_four_off_main(__m256d v, __m256i ki, __m256i sbits,
                                                             __m256d tmp, __m256d y, double* out) {
    const __m256d ax = _mm256_andnot_pd(_mm256_set1_pd(-0.0), v);
    const __m256d main = _mm256_cmp_pd(ax, _mm256_set1_pd(kMainBelow), _CMP_LT_OQ);
    const __m256d large = _mm256_and_pd(_mm256_cmp_pd(ax, _mm256_set1_pd(kMainBelow), _CMP_GE_OQ),
                                        _mm256_cmp_pd(ax, _mm256_set1_pd(kLargeBelow), _CMP_LT_OQ));

    // The other lanes take the scale 2 here, which keeps every step normal and quick.
    const __m256d two = _mm256_set1_pd(2.0);
    const __m256d up = _mm256_castsi256_pd(_mm256_cmpeq_epi64(
        _mm256_and_si256(ki, _mm256_set1_epi64x(kNegativeK)), _mm256_setzero_si256()));
    const __m256d upScale = _mm256_blendv_pd(
        two, _mm256_castsi256_pd(_mm256_sub_epi64(sbits, _mm256_set1_epi64x(kUpShift))), large);
    const __m256d downScale = _mm256_blendv_pd(
        two, _mm256_castsi256_pd(_mm256_add_epi64(sbits, _mm256_set1_epi64x(kDownShift))), large);
    const __m256d yUp =
        _mm256_mul_pd(_mm256_fmadd_pd(upScale, tmp, upScale), _mm256_set1_pd(kUpScale));
    const __m256d yDown = _mm256_add_pd(downScale, _mm256_mul_pd(downScale, tmp));
    // Below 1 the result is below the smallest normal: 1 stands in for it here.
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d subnormal = _mm256_cmp_pd(yDown, one, _CMP_LT_OQ);
    const __m256d yDownNormal =
        _mm256_mul_pd(_mm256_blendv_pd(yDown, one, subnormal), _mm256_set1_pd(kDownScale));
    y = _mm256_blendv_pd(y, _mm256_blendv_pd(yDownNormal, yUp, up), large);

    const __m256d overflow = _mm256_cmp_pd(yUp, _mm256_set1_pd(kInfinity), _CMP_EQ_OQ);
    const __m256d largeDone = _mm256_andnot_pd(_mm256_blendv_pd(subnormal, overflow, up), large);
    const int oneByOne = 0xf & ~_mm256_movemask_pd(_mm256_or_pd(main, largeDone));
    alignas(32) double xs[4];
    _mm256_store_pd(xs, v);
    _mm256_storeu_pd(out, y);
    finish_one_by_one(xs, 4, out, oneByOne);
}

// Four values: x[0..3] into out[0..3].
EVSTAT_AVX2 __attribute__((always_inline)) inline void exp_four(const double* x, double* out) {
    const __m256d v = _mm256_loadu_pd(x);
    const __m256d shifted = _mm256_fmadd_pd(v, _mm256_set1_pd(kInvLn2N), _mm256_set1_pd(kShift));
    const __m256i ki = _mm256_castpd_si256(shifted);
    const __m256d kd = _mm256_sub_pd(shifted, _mm256_set1_pd(kShift));
    __m256d r = _mm256_fmadd_pd(kd, _mm256_set1_pd(kNegLn2HiN), v);
    r = _mm256_fmadd_pd(kd, _mm256_set1_pd(kNegLn2LoN), r);

    const __m256i j = _mm256_and_si256(ki, _mm256_set1_epi64x(kTableMask));
    const __m256d tail = _mm256_i64gather_pd(kTail, j, sizeof(double));
    const __m256i sbits = _mm256_add_epi64(
        _mm256_i64gather_epi64(reinterpret_cast<const long long*>(kScaleBits), j, sizeof(double)),
        _mm256_slli_epi64(ki, 52 - kTableBits));

    const __m256d r2 = _mm256_mul_pd(r, r);
    const __m256d low = _mm256_fmadd_pd(r, _mm256_set1_pd(kC3), _mm256_set1_pd(kC2));
    const __m256d high = _mm256_fmadd_pd(r, _mm256_set1_pd(kC5), _mm256_set1_pd(kC4));
    const __m256d tmp = _mm256_fmadd_pd(_mm256_mul_pd(r2, r2), high,
                                        _mm256_fmadd_pd(r2, low, _mm256_add_pd(tail, r)));
    const __m256d scale = _mm256_castsi256_pd(sbits);
    const __m256d y = _mm256_fmadd_pd(scale, tmp, scale);

    const __m256d ax = _mm256_andnot_pd(_mm256_set1_pd(-0.0), v);
    const __m256d main = _mm256_cmp_pd(ax, _mm256_set1_pd(kMainBelow), _CMP_LT_OQ);
    if (_mm256_movemask_pd(main) == 0xf)
        _mm256_storeu_pd(out, y);
    else
        exp_four_off_main(v, ki, sbits, tmp, y, out);
}

// As exp_four_off_main, for eight lanes.
EVSTAT_AVX512 __attribute__((noinline)) void exp_eight_off_main(__m512d v, __m512i ki,
                                                                __m512i sbits, __m512d tmp,
                                                                __m512d y, double* out) {
    const __m512d ax = _mm512_abs_pd(v);
    const __mmask8 main = _mm512_cmp_pd_mask(ax, _mm512_set1_pd(kMainBelow), _CMP_LT_OQ);
    const __mmask8 large =
        _mm512_mask_cmp_pd_mask(_mm512_cmp_pd_mask(ax, _mm512_set1_pd(kMainBelow), _CMP_GE_OQ), ax,
                                _mm512_set1_pd(kLargeBelow), _CMP_LT_OQ);

    // The other lanes take the scale 2 here, which keeps every step normal and quick.
    const __m512d two = _mm512_set1_pd(2.0);
    const __mmask8 up = _mm512_testn_epi64_mask(ki, _mm512_set1_epi64(kNegativeK));
    const __m512d upScale = _mm512_mask_blend_pd(
        large, two, _mm512_castsi512_pd(_mm512_sub_epi64(sbits, _mm512_set1_epi64(kUpShift))));
    const __m512d downScale = _mm512_mask_blend_pd(
        large, two, _mm512_castsi512_pd(_mm512_add_epi64(sbits, _mm512_set1_epi64(kDownShift))));
    const __m512d yUp =
        _mm512_mul_pd(_mm512_fmadd_pd(upScale, tmp, upScale), _mm512_set1_pd(kUpScale));
    const __m512d yDown = _mm512_add_pd(downScale, _mm512_mul_pd(downScale, tmp));
    // Below 1 the result is below the smallest normal: 1 stands in for it here.
    const __m512d one = _mm512_set1_pd(1.0);
    const __mmask8 subnormal = _mm512_cmp_pd_mask(yDown, one, _CMP_LT_OQ);
    const __m512d yDownNormal =
        _mm512_mul_pd(_mm512_mask_blend_pd(subnormal, yDown, one), _mm512_set1_pd(kDownScale));
    y = _mm512_mask_blend_pd(large, y, _mm512_mask_blend_pd(up, yDownNormal, yUp));

    const __mmask8 overflow = _mm512_cmp_pd_mask(yUp, _mm512_set1_pd(kInfinity), _CMP_EQ_OQ);
    const __mmask8 largeDone = large & ((up & ~overflow) | (~up & ~subnormal));
    const int oneByOne = 0xff & ~(main | largeDone);
    alignas(64) double xs[8];
    _mm512_store_pd(xs, v);
    _mm512_storeu_pd(out, y);
    finish_one_by_one(xs, 8, out, oneByOne);
}

// Eight values: the same operations as exp_four, lane for lane.
EVSTAT_AVX512 __attribute__((always_inline)) inline void exp_eight(const double* x, double* out) {
    constexpr __mmask8 kAll = 0xff;
    const __m512d v = _mm512_loadu_pd(x);
    const __m512d shifted = _mm512_fmadd_pd(v, _mm512_set1_pd(kInvLn2N), _mm512_set1_pd(kShift));
    const __m512i ki = _mm512_castpd_si512(shifted);
    const __m512d kd = _mm512_sub_pd(shifted, _mm512_set1_pd(kShift));
    __m512d r = _mm512_fmadd_pd(kd, _mm512_set1_pd(kNegLn2HiN), v);
    r = _mm512_fmadd_pd(kd, _mm512_set1_pd(kNegLn2LoN), r);

    const __m512i j = _mm512_and_si512(ki, _mm512_set1_epi64(kTableMask));
    // (The masked forms: the plain ones start from an undefined register GCC warns about.)
    const __m512d tail =
        _mm512_mask_i64gather_pd(_mm512_setzero_pd(), kAll, j, kTail, sizeof(double));
    const __m512i sbits = _mm512_add_epi64(
        _mm512_mask_i64gather_epi64(_mm512_setzero_si512(), kAll, j,
                                    reinterpret_cast<const long long*>(kScaleBits), sizeof(double)),
        _mm512_maskz_slli_epi64(kAll, ki, 52 - kTableBits));

    const __m512d r2 = _mm512_mul_pd(r, r);
    const __m512d low = _mm512_fmadd_pd(r, _mm512_set1_pd(kC3), _mm512_set1_pd(kC2));
    const __m512d high = _mm512_fmadd_pd(r, _mm512_set1_pd(kC5), _mm512_set1_pd(kC4));
    const __m512d tmp = _mm512_fmadd_pd(_mm512_mul_pd(r2, r2), high,
                                        _mm512_fmadd_pd(r2, low, _mm512_add_pd(tail, r)));
    const __m512d scale = _mm512_castsi512_pd(sbits);
    const __m512d y = _mm512_fmadd_pd(scale, tmp, scale);

    const __mmask8 main =
        _mm512_cmp_pd_mask(_mm512_abs_pd(v), _mm512_set1_pd(kMainBelow), _CMP_LT_OQ);
    if (main == kAll)
        _mm512_storeu_pd(out, y);
    else
        exp_eight_off_main(v, ki, sbits, tmp, y, out);
}

// All n values, four or eight at a time; the last n % 4 or n % 8 through a zero-padded block.
EVSTAT_AVX2 void exp_lanes_avx2(const double* x, double* out, std::size_t n) {
    constexpr std::size_t kWidth = 4;
    std::size_t i = 0;
    for (; i + kWidth <= n; i += kWidth) exp_four(x + i, out + i);
    if (i == n) return;
    double last[kWidth] = {};
    std::copy(x + i, x + n, last);
    exp_four(last, last);
    std::copy(last, last + (n - i), out + i);
}

EVSTAT_AVX512 void exp_lanes_avx512(const double* x, double* out, std::size_t n) {
    constexpr std::size_t kWidth = 8;
    std::size_t i = 0;
    for (; i + kWidth <= n; i += kWidth) exp_eight(x + i, out + i);
    if (i == n) return;
    double last[kWidth] = {};
    std::copy(x + i, x + n, last);
    exp_eight(last, last);
    std::copy(last, last + (n - i), out + i);
}

// Arguments whose result the C library's builds without fused multiply-add (taken on other
// processors, or when its use of AVX2 is turned off) give one ulp apart from its fused build:
// about one argument in 1700 differs, so a probe set without these could miss the difference.
// Found by search over [-1, 1], [-20, 20] and [-700, 700].
constexpr double kUnfusedDiffer[] = {
    -0x1.2d2c379268f1ap-1, -0x1.adc42ea69488ep-2, 0x1.d62f3cbd030ep-5,   0x1.a62846e16cd3cp-2,
    -0x1.ed8a32962ed4p-4,  -0x1.3c2d7da94876cp-3, -0x1.8c9a4c7d084ccp-1, -0x1.a7ffa038284b8p-1,
    -0x1.fce0a9043a118p+1, 0x1.19e33efccb29cp+3,  -0x1.c5978a2fa9ed6p+3, -0x1.118fde613e05cp+3,
    -0x1.d2bf1b6e88dc1p+3, 0x1.28f640aa99228p+4,  -0x1.569a91487149ap+3, -0x1.905f9b77e215p+2,
    0x1.07e1c07bc651cp+8,  -0x1.6cbd05ddd86abp+8, 0x1.905b2f145a8ap+5,   0x1.16c41ae63480cp+8,
    0x1.2978de1cc52c6p+8,  0x1.9db5e66133828p+8,  -0x1.a1b355964c658p+8, 0x1.8bc1603de2ba4p+8,
};

// Every table entry at scales from results that underflow to results near the overflow
// threshold, at two points of each interval of r; both sides of each bound between the
// formulas; and the arguments above.
std::vector<double> probe_values() {
    constexpr int kDoublings[] = {-1075, -1023, -1021, -10, -1, 0, 1, 10, 1000, 1023};
    constexpr double kFractions[] = {-0.45, 0.3};  // of one step ln2/128
    constexpr double kBounds[] = {0.0,
                                  kTinyBelow,
                                  kMainBelow,
                                  kLargeBelow,
                                  0x1.62e42fefa39efp+9,   // exp(x) overflows above
                                  -0x1.6232bdd7abcd2p+9,  // exp(x) subnormal below
                                  -0x1.74910d52d3052p+9,  // exp(x) zero from here down
                                  kInfinity};
    std::vector<double> probes;
    for (const int m : kDoublings)
        for (int j = 0; j < (1 << kTableBits); ++j)
            for (const double f : kFractions)
                probes.push_back((m * (1 << kTableBits) + j + f) * -kNegLn2HiN);
    for (const double b : kBounds)
        for (const double sign : {1.0, -1.0})
            for (const double v : {std::nextafter(b, 0.0), b, std::nextafter(b, 2.0 * b)})
                probes.push_back(sign * v);
    probes.push_back(std::numeric_limits<double>::quiet_NaN());
    probes.insert(probes.end(), std::begin(kUnfusedDiffer), std::end(kUnfusedDiffer));
    return probes;
}

bool probes_agree(void lanes(const double*, double*, std::size_t)) {
    const std::vector<double> probes = probe_values();
    std::vector<double> results(probes.size());
    lanes(probes.data(), results.data(), probes.size());
    for (std::size_t i = 0; i < probes.size(); ++i) {
        const double expected = std::exp(probes[i]);
        if (std::memcmp(&expected, &results[i], sizeof expected) != 0) return false;
    }
    return true;
}

// 8 when the AVX-512 routine and the AVX2 one agree on the probes, 4 when the AVX2 one does,
// 0 without AVX2 and FMA, where the C library takes another path.
int checked_width() {
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("fma")) return 0;
    if (!probes_agree(exp_lanes_avx2)) return 0;
    if (!__builtin_cpu_supports("avx512f") || !probes_agree(exp_lanes_avx512)) return 4;
    return 8;
}

#undef EVSTAT_AVX2
#undef EVSTAT_AVX512

}  // namespace

int exp_vector_width() {
    static const int width = checked_width();
    return width;
}

void exp_each_vector(std::span<const double> x, std::span<double> out, int width) {
    (width == 8 ? exp_lanes_avx512 : exp_lanes_avx2)(x.data(), out.data(), x.size());
}

#else

int exp_vector_width() {
    return 0;
}

void exp_each_vector(std::span<const double> x, std::span<double> out, int) {
    for (std::size_t i = 0; i < x.size(); ++i) out[i] = std::exp(x[i]);
}

#endif

}  // namespace evstat
