// The logarithm of the GNU C library, after Szabolcs Nagy's (ARM optimized-routines, 2018),
// as that library compiles it for processors with AVX2 and FMA, taken four or eight values at
// a time: x = 2^k z with z in [0x1.6p-1, 0x1.6p0) split into 128 intervals of centre c,
// log(x) = k ln2 + log(c) + log1p(z/c - 1) with a polynomial of degree 6 for log1p; near 1 a
// polynomial of degree 12 in x - 1 with the square term split. Each product and sum is the
// one of that compiled routine, fused exactly where it fuses, so every result has std::log's
// bits; zero, negative, subnormal, infinite and NaN values go through std::log itself.
#include "series/log_vector.h"

#if defined(__x86_64__) && defined(__GLIBC__)

// The AVX-512 intrinsics of GCC 12 start from self-initialised vectors, which its
// -Wmaybe-uninitialized takes for uninitialised ones.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace evstat {

namespace {

constexpr int kTableBits = 7;
constexpr std::int64_t kTableSize = std::int64_t{1} << kTableBits;
constexpr std::int64_t kTableOffset = 0x3fe6000000000000;   // bits of 0x1.6p-1, the lowest z
constexpr std::int64_t kExponentField = 0xfffLL << 52;      // sign and exponent bits
constexpr std::int64_t kNearOneLow = 0x3fee000000000000;    // bits of 1 - 0x1p-4
constexpr std::int64_t kNearOneWidth = 0x3ff1090000000000 - kNearOneLow;  // to 1 + 0x1.09p-4
constexpr std::int64_t kLowestNormal = 0x0010000000000000;  // bits of the least normal double
constexpr std::int64_t kInfinity = 0x7ff0000000000000;
// The AVX2 comparisons are signed: bits - low < width as unsigned numbers exactly when
// bits - low + 2^63 < width + 2^63 as signed ones.
constexpr std::uint64_t kSignBit = std::uint64_t{1} << 63;
constexpr auto kNearOneShift = static_cast<std::int64_t>(kSignBit - kNearOneLow);
constexpr auto kNearOneLimit = static_cast<std::int64_t>(kSignBit + kNearOneWidth);
constexpr auto kNormalShift = static_cast<std::int64_t>(kSignBit - kLowestNormal);
constexpr auto kNormalLimit = static_cast<std::int64_t>(kSignBit + (kInfinity - kLowestNormal) - 1);
// k as a double: the 12 bits above the mantissa of x - 0x1.6p-1 with the top one flipped are
// k + 2^11, the low bits of 2^52 + 2^11 + k.
constexpr std::int64_t kExponentToDouble = 0x4330000000000800;
constexpr double kExponentBias = 0x1p52 + 0x1p11;
constexpr double kSplit = 0x1p27;  // x - 1 = rhi + rlo with rhi of 26 bits
constexpr double kLn2Hi = 0x1.62e42fefa3800p-1;
constexpr double kLn2Lo = 0x1.ef35793c76730p-45;

// log1p(r) - r for |r| < 0x1.fp-9: coefficients of r^2 .. r^6.
constexpr std::array<double, 5> kPoly = {
    -0x1.0000000000001p-1, 0x1.555555551305bp-2, -0x1.fffffffeb459p-3,
    0x1.999b324f10111p-3, -0x1.55575e506c89fp-3};
// log1p(r) for r in [-0x1p-4, 0x1.09p-4]: coefficients of r^2 .. r^12.
constexpr std::array<double, 11> kPolyNearOne = {
    -0x1p-1, 0x1.5555555555577p-2, -0x1.ffffffffffdcbp-3, 0x1.999999995dd0cp-3,
    -0x1.55555556745a7p-3, 0x1.24924a344de3p-3, -0x1.fffffa4423d65p-4, 0x1.c7184282ad6cap-4,
    -0x1.999eb43b068ffp-4, 0x1.78182f7afd085p-4, -0x1.5521375d145cdp-4};

// 1/c and log(c) for the interval of each z, in the library's order.
alignas(64) constexpr std::array<double, kTableSize> kInverseCentre = {
    0x1.734f0c3e0de9fp+0, 0x1.713786a2ce91fp+0, 0x1.6f26008fab5ap+0, 0x1.6d1a61f138c7dp+0,
    0x1.6b1490bc5b4d1p+0, 0x1.69147332f0cbap+0, 0x1.6719f18224223p+0, 0x1.6524f99a51ed9p+0,
    0x1.63356aa8f24c4p+0, 0x1.614b36b9ddc14p+0, 0x1.5f66452c65c4cp+0, 0x1.5d867b5912c4fp+0,
    0x1.5babccb5b90dep+0, 0x1.59d61f2d91a78p+0, 0x1.5805612465687p+0, 0x1.56397cee76bd3p+0,
    0x1.54725e2a77f93p+0, 0x1.52aff42064583p+0, 0x1.50f22dbb2bddfp+0, 0x1.4f38f4734ded7p+0,
    0x1.4d843cfde284p+0, 0x1.4bd3ec078a3c8p+0, 0x1.4a27fc3e0258ap+0, 0x1.4880524d48434p+0,
    0x1.46dce1b192d0bp+0, 0x1.453d9d3391854p+0, 0x1.43a2744b4845ap+0, 0x1.420b54115f8fbp+0,
    0x1.40782da3ef4b1p+0, 0x1.3ee8f5d57fe8fp+0, 0x1.3d5d9a00b4ce9p+0, 0x1.3bd60c010c12bp+0,
    0x1.3a5242b75dab8p+0, 0x1.38d22cd9fd002p+0, 0x1.3755bc5847a1cp+0, 0x1.35dce49ad36e2p+0,
    0x1.34679984dd44p+0, 0x1.32f5cceffcb24p+0, 0x1.3187775a10d49p+0, 0x1.301c8373e399p+0,
    0x1.2eb4ebb95f841p+0, 0x1.2d50a0219a9d1p+0, 0x1.2bef9a8b7fd2ap+0, 0x1.2a91c7a0c1babp+0,
    0x1.293726014b53p+0, 0x1.27dfa5757a1f5p+0, 0x1.268b39b1d3bbfp+0, 0x1.2539d838ff5bdp+0,
    0x1.23eb7aac9083bp+0, 0x1.22a012ba940b6p+0, 0x1.2157996cc4132p+0, 0x1.201201dd2fc9bp+0,
    0x1.1ecf4494d480bp+0, 0x1.1d8f5528f6569p+0, 0x1.1c52311577e7cp+0, 0x1.1b17c74cb26e9p+0,
    0x1.19e010c2c1ab6p+0, 0x1.18ab07bb670bdp+0, 0x1.1778a25efbcb6p+0, 0x1.1648d354c31dap+0,
    0x1.151b990275fddp+0, 0x1.13f0ea432d24cp+0, 0x1.12c8b7210f9dap+0, 0x1.11a3028ecb531p+0,
    0x1.107fbda8434afp+0, 0x1.0f5ee0f4e6bb3p+0, 0x1.0e4065d2a9fcep+0, 0x1.0d244632ca521p+0,
    0x1.0c0a77ce2981ap+0, 0x1.0af2f83c636d1p+0, 0x1.09ddb98a01339p+0, 0x1.08cabaf52e7dfp+0,
    0x1.07b9f2f4e28fbp+0, 0x1.06ab58c358f19p+0, 0x1.059eea5ecf92cp+0, 0x1.04949cdd12c9p+0,
    0x1.038c6c6f0ada9p+0, 0x1.02865137932a9p+0, 0x1.0182427ea7348p+0, 0x1.008040614b195p+0,
    0x1.fe01ff726fa1ap-1, 0x1.fa11cc261ea74p-1, 0x1.f6310b081992ep-1, 0x1.f25f63ceeadcdp-1,
    0x1.ee9c8039113e7p-1, 0x1.eae8078cbb1abp-1, 0x1.e741aa29d0c9bp-1, 0x1.e3a91830a99b5p-1,
    0x1.e01e009609a56p-1, 0x1.dca01e577bb98p-1, 0x1.d92f20b7c9103p-1, 0x1.d5cac66fb5ccep-1,
    0x1.d272caa5ede9dp-1, 0x1.cf26e3e6b2ccdp-1, 0x1.cbe6da2a77902p-1, 0x1.c8b266d37086dp-1,
    0x1.c5894bd5d5804p-1, 0x1.c26b533bb9f8cp-1, 0x1.bf583eeece73fp-1, 0x1.bc4fd75db96c1p-1,
    0x1.b951e0c864a28p-1, 0x1.b65e2c5ef3e2cp-1, 0x1.b374867c9888bp-1, 0x1.b094b211d304ap-1,
    0x1.adbe885f2ef7ep-1, 0x1.aaf1d31603da2p-1, 0x1.a82e63fd358a7p-1, 0x1.a5740ef09738bp-1,
    0x1.a2c2a90ab4b27p-1, 0x1.a01a01393f2d1p-1, 0x1.9d79f24db3c1bp-1, 0x1.9ae2505c7b19p-1,
    0x1.9852ef297ce2fp-1, 0x1.95cbaeea44b75p-1, 0x1.934c69de74838p-1, 0x1.90d4f2f6752e6p-1,
    0x1.8e6528effd79dp-1, 0x1.8bfce9fcc007cp-1, 0x1.899c0dabec30ep-1, 0x1.87427aa2317fbp-1,
    0x1.84f00acb39a08p-1, 0x1.82a49e8653e55p-1, 0x1.8060195f4026p-1, 0x1.7e22563e0a329p-1,
    0x1.7beb377dcb5adp-1, 0x1.79baa679725c2p-1, 0x1.77907f2170657p-1, 0x1.756cadbd6130cp-1};
alignas(64) constexpr std::array<double, kTableSize> kLogCentre = {
    -0x1.7cc7f79e69p-2, -0x1.76feec20dp-2, -0x1.713e31351ep-2, -0x1.6b85b382878p-2,
    -0x1.65d55908078p-2, -0x1.602d07618p-2, -0x1.5a8ca86909p-2, -0x1.54f4356035p-2,
    -0x1.4f637c36b4p-2, -0x1.49da7fda85p-2, -0x1.445923989a8p-2, -0x1.3edf439b0b8p-2,
    -0x1.396ce448f7p-2, -0x1.3401e17bdap-2, -0x1.2e9e2ef468p-2, -0x1.2941b3830ep-2,
    -0x1.23ec58cda88p-2, -0x1.1e9e129279p-2, -0x1.1956d2b48f8p-2, -0x1.141679ab9f8p-2,
    -0x1.0edd094ef98p-2, -0x1.09aa518db1p-2, -0x1.047e65263b8p-2, -0x1.feb224586fp-3,
    -0x1.f474a7517bp-3, -0x1.ea4443d103p-3, -0x1.e020d44e9bp-3, -0x1.d60a22977fp-3,
    -0x1.cc00104959p-3, -0x1.c202956891p-3, -0x1.b81178d811p-3, -0x1.ae2c9ccd3dp-3,
    -0x1.a45402e129p-3, -0x1.9a877681dfp-3, -0x1.90c6d69483p-3, -0x1.87120a645cp-3,
    -0x1.7d68fb4143p-3, -0x1.73cb83c627p-3, -0x1.6a39a9b376p-3, -0x1.60b3154b7ap-3,
    -0x1.5737d76243p-3, -0x1.4dc7b8fc23p-3, -0x1.4462c51d2p-3, -0x1.3b08abc83p-3,
    -0x1.31b996b49p-3, -0x1.2875490a44p-3, -0x1.1f3b9f879ap-3, -0x1.160c8252cap-3,
    -0x1.0ce7f57f72p-3, -0x1.03cdc49feap-3, -0x1.f57bdbc4b8p-4, -0x1.e370896404p-4,
    -0x1.d17983ef94p-4, -0x1.bf9674ed8ap-4, -0x1.adc79202f6p-4, -0x1.9c0c3e7288p-4,
    -0x1.8a646b372cp-4, -0x1.78d01b3acp-4, -0x1.674f14538p-4, -0x1.55e0e6d878p-4,
    -0x1.4485cdea1ep-4, -0x1.333d94d6aap-4, -0x1.22079f8c56p-4, -0x1.10e4698622p-4,
    -0x1.ffa6c6ad2p-5, -0x1.dda8d4a774p-5, -0x1.bbcece485p-5, -0x1.9a1894012cp-5,
    -0x1.788583302cp-5, -0x1.5715e67d68p-5, -0x1.35c8a49658p-5, -0x1.149e364154p-5,
    -0x1.e72c082eb8p-6, -0x1.a55f152528p-6, -0x1.63d62cf818p-6, -0x1.228fb8caap-6,
    -0x1.c317b20f9p-7, -0x1.419355daap-7, -0x1.81203c2ecp-8, -0x1.004097924p-9,
    0x1.feff3849p-9, 0x1.7dc41353dp-7, 0x1.3cea3c4c28p-6, 0x1.b9fc11489p-6,
    0x1.1b0d8ce11p-5, 0x1.58a5bd001cp-5, 0x1.95c8340d88p-5, 0x1.d276aef578p-5,
    0x1.07598e598cp-4, 0x1.253f5e30d2p-4, 0x1.42edd8b38p-4, 0x1.606598757cp-4,
    0x1.7da76356ap-4, 0x1.9ab434e1c6p-4, 0x1.b78c7bb0d6p-4, 0x1.d431332e72p-4,
    0x1.f0a3171de6p-4, 0x1.067152b914p-3, 0x1.147858292bp-3, 0x1.2266ecdca3p-3,
    0x1.303d7a6c55p-3, 0x1.3dfc33c331p-3, 0x1.4ba366b7a8p-3, 0x1.5933928d1fp-3,
    0x1.66acd2418fp-3, 0x1.740f8ec669p-3, 0x1.815c0f51afp-3, 0x1.8e92954f68p-3,
    0x1.9bb3602f84p-3, 0x1.a8bed1c2cp-3, 0x1.b5b515c01dp-3, 0x1.c2967ccbccp-3,
    0x1.cf635d5486p-3, 0x1.dc1bd3446cp-3, 0x1.e8c01b8cfep-3, 0x1.f5509c0179p-3,
    0x1.00e6c121fb8p-2, 0x1.071b80e93dp-2, 0x1.0d46b9e867p-2, 0x1.13687334bdp-2,
    0x1.1980d672348p-2, 0x1.1f8ffe0cc8p-2, 0x1.2595fd76368p-2, 0x1.2b9300914a8p-2,
    0x1.3187210436p-2, 0x1.377266dec18p-2, 0x1.3d54ffbaf3p-2, 0x1.432eee32fep-2};
// Values are taken in blocks, each by a loop without a call (the constants stay in registers);
// a block with a special value has those values taken again through std::log after it.
constexpr std::size_t kBlock = 128;

#define EVSTAT_AVX2 __attribute__((target("avx2,fma")))
#define EVSTAT_AVX512 __attribute__((target("avx512f")))

// Four values a time.
namespace avx2 {

constexpr std::size_t kWidth = 4;
constexpr int kAllLanes = (1 << kWidth) - 1;
static_assert(kBlock % kWidth == 0);

EVSTAT_AVX2 inline __m256d fill(double v) { return _mm256_set1_pd(v); }
EVSTAT_AVX2 inline __m256i fill(std::int64_t v) { return _mm256_set1_epi64x(v); }

// The logarithm of normal positive x through the table of centres.
EVSTAT_AVX2 inline __m256d log_by_table(__m256i ix) {
    const __m256i tmp = _mm256_sub_epi64(ix, fill(kTableOffset));
    const __m256i index = _mm256_and_si256(_mm256_srli_epi64(tmp, 52 - kTableBits), fill(kTableSize - 1));
    const __m256d z = _mm256_castsi256_pd(_mm256_sub_epi64(ix, _mm256_and_si256(tmp, fill(kExponentField))));
    const __m256d invc = _mm256_i64gather_pd(kInverseCentre.data(), index, 8);
    const __m256d logc = _mm256_i64gather_pd(kLogCentre.data(), index, 8);
    const __m256d kd = _mm256_sub_pd(
        _mm256_castsi256_pd(_mm256_xor_si256(_mm256_srli_epi64(tmp, 52), fill(kExponentToDouble))),
        fill(kExponentBias));

    const __m256d r = _mm256_fmadd_pd(z, invc, fill(-1.0));
    const __m256d w = _mm256_fmadd_pd(kd, fill(kLn2Hi), logc);
    const __m256d hi = _mm256_add_pd(r, w);
    const __m256d lo = _mm256_fmadd_pd(kd, fill(kLn2Lo), _mm256_add_pd(_mm256_sub_pd(w, hi), r));
    const __m256d r2 = _mm256_mul_pd(r, r);
    const __m256d r3 = _mm256_mul_pd(r, r2);
    const __m256d p1 = _mm256_fmadd_pd(r, fill(kPoly[2]), fill(kPoly[1]));
    const __m256d p2 = _mm256_fmadd_pd(r, fill(kPoly[4]), fill(kPoly[3]));
    const __m256d s = _mm256_fmadd_pd(r2, fill(kPoly[0]), lo);
    return _mm256_add_pd(_mm256_fmadd_pd(r3, _mm256_fmadd_pd(p2, r2, p1), s), hi);
}

// The logarithm of x in [1 - 0x1p-4, 1 + 0x1.09p-4); log(1) is +0 in every rounding mode.
EVSTAT_AVX2 inline __m256d log_near_one(__m256d x) {
    const auto& b = kPolyNearOne;
    const __m256d r = _mm256_sub_pd(x, fill(1.0));
    const __m256d r2 = _mm256_mul_pd(r, r);
    const __m256d r3 = _mm256_mul_pd(r, r2);
    const __m256d a = _mm256_fmadd_pd(r2, fill(b[3]), _mm256_fmadd_pd(r, fill(b[2]), fill(b[1])));
    const __m256d c = _mm256_fmadd_pd(r2, fill(b[6]), _mm256_fmadd_pd(r, fill(b[5]), fill(b[4])));
    __m256d e = _mm256_fmadd_pd(r2, fill(b[9]), _mm256_fmadd_pd(r, fill(b[8]), fill(b[7])));
    e = _mm256_fmadd_pd(r3, fill(b[10]), e);
    e = _mm256_fmadd_pd(_mm256_fmadd_pd(e, r3, c), r3, a);
    // r - rhi^2/2 as hi + lo, with the rounding of rhi^2 and the part of rlo added to lo.
    const __m256d rhi = _mm256_fnmadd_pd(fill(kSplit), r, _mm256_fmadd_pd(r, fill(kSplit), r));
    const __m256d rlo = _mm256_sub_pd(r, rhi);
    const __m256d rhi2 = _mm256_mul_pd(rhi, rhi);
    const __m256d hi = _mm256_fmadd_pd(rhi2, fill(b[0]), r);
    __m256d lo = _mm256_fmadd_pd(rhi2, fill(b[0]), _mm256_sub_pd(r, hi));
    lo = _mm256_fmadd_pd(_mm256_mul_pd(fill(b[0]), rlo), _mm256_add_pd(r, rhi), lo);
    const __m256d y = _mm256_add_pd(hi, _mm256_fmadd_pd(e, r3, lo));
    return _mm256_andnot_pd(_mm256_cmp_pd(x, fill(1.0), _CMP_EQ_OQ), y);
}

EVSTAT_AVX2 inline __m256d log_four(__m256d v, __m256i& special) {
    const __m256i ix = _mm256_castpd_si256(v);
    const __m256i nearOne = _mm256_cmpgt_epi64(fill(kNearOneLimit), _mm256_add_epi64(ix, fill(kNearOneShift)));
    special = _mm256_or_si256(special, _mm256_cmpgt_epi64(_mm256_add_epi64(ix, fill(kNormalShift)), fill(kNormalLimit)));
    const int lanes = _mm256_movemask_pd(_mm256_castsi256_pd(nearOne));
    if (lanes == 0) [[likely]]
        return log_by_table(ix);
    if (lanes == kAllLanes) return log_near_one(v);
    return _mm256_blendv_pd(log_by_table(ix), log_near_one(v), _mm256_castsi256_pd(nearOne));
}

EVSTAT_AVX2 bool log_block(const double* x, double* out, std::size_t count) {
    __m256i special = _mm256_setzero_si256();
    for (std::size_t i = 0; i < count; i += kWidth) _mm256_storeu_pd(out + i, log_four(_mm256_loadu_pd(x + i), special));
    return !_mm256_testz_si256(special, special);
}

}  // namespace avx2

// The same operations eight values a time.
namespace avx512 {

constexpr std::size_t kWidth = 8;
constexpr int kAllLanes = (1 << kWidth) - 1;
static_assert(kBlock % kWidth == 0);

EVSTAT_AVX512 inline __m512d fill(double v) { return _mm512_set1_pd(v); }
EVSTAT_AVX512 inline __m512i fill(std::int64_t v) { return _mm512_set1_epi64(v); }

EVSTAT_AVX512 inline __m512d log_by_table(__m512i ix) {
    const __m512i tmp = _mm512_sub_epi64(ix, fill(kTableOffset));
    const __m512i index = _mm512_and_si512(_mm512_srli_epi64(tmp, 52 - kTableBits), fill(kTableSize - 1));
    const __m512d z = _mm512_castsi512_pd(_mm512_sub_epi64(ix, _mm512_and_si512(tmp, fill(kExponentField))));
    const __m512d invc = _mm512_i64gather_pd(index, kInverseCentre.data(), 8);
    const __m512d logc = _mm512_i64gather_pd(index, kLogCentre.data(), 8);
    const __m512d kd = _mm512_sub_pd(
        _mm512_castsi512_pd(_mm512_xor_si512(_mm512_srli_epi64(tmp, 52), fill(kExponentToDouble))),
        fill(kExponentBias));

    const __m512d r = _mm512_fmadd_pd(z, invc, fill(-1.0));
    const __m512d w = _mm512_fmadd_pd(kd, fill(kLn2Hi), logc);
    const __m512d hi = _mm512_add_pd(r, w);
    const __m512d lo = _mm512_fmadd_pd(kd, fill(kLn2Lo), _mm512_add_pd(_mm512_sub_pd(w, hi), r));
    const __m512d r2 = _mm512_mul_pd(r, r);
    const __m512d r3 = _mm512_mul_pd(r, r2);
    const __m512d p1 = _mm512_fmadd_pd(r, fill(kPoly[2]), fill(kPoly[1]));
    const __m512d p2 = _mm512_fmadd_pd(r, fill(kPoly[4]), fill(kPoly[3]));
    const __m512d s = _mm512_fmadd_pd(r2, fill(kPoly[0]), lo);
    return _mm512_add_pd(_mm512_fmadd_pd(r3, _mm512_fmadd_pd(p2, r2, p1), s), hi);
}

EVSTAT_AVX512 inline __m512d log_near_one(__m512d x) {
    const auto& b = kPolyNearOne;
    const __m512d r = _mm512_sub_pd(x, fill(1.0));
    const __m512d r2 = _mm512_mul_pd(r, r);
    const __m512d r3 = _mm512_mul_pd(r, r2);
    const __m512d a = _mm512_fmadd_pd(r2, fill(b[3]), _mm512_fmadd_pd(r, fill(b[2]), fill(b[1])));
    const __m512d c = _mm512_fmadd_pd(r2, fill(b[6]), _mm512_fmadd_pd(r, fill(b[5]), fill(b[4])));
    __m512d e = _mm512_fmadd_pd(r2, fill(b[9]), _mm512_fmadd_pd(r, fill(b[8]), fill(b[7])));
    e = _mm512_fmadd_pd(r3, fill(b[10]), e);
    e = _mm512_fmadd_pd(_mm512_fmadd_pd(e, r3, c), r3, a);
    const __m512d rhi = _mm512_fnmadd_pd(fill(kSplit), r, _mm512_fmadd_pd(r, fill(kSplit), r));
    const __m512d rlo = _mm512_sub_pd(r, rhi);
    const __m512d rhi2 = _mm512_mul_pd(rhi, rhi);
    const __m512d hi = _mm512_fmadd_pd(rhi2, fill(b[0]), r);
    __m512d lo = _mm512_fmadd_pd(rhi2, fill(b[0]), _mm512_sub_pd(r, hi));
    lo = _mm512_fmadd_pd(_mm512_mul_pd(fill(b[0]), rlo), _mm512_add_pd(r, rhi), lo);
    const __m512d y = _mm512_add_pd(hi, _mm512_fmadd_pd(e, r3, lo));
    return _mm512_mask_blend_pd(_mm512_cmp_pd_mask(x, fill(1.0), _CMP_EQ_OQ), y, _mm512_setzero_pd());
}

EVSTAT_AVX512 inline __m512d log_eight(__m512d v, __mmask8& special) {
    const __m512i ix = _mm512_castpd_si512(v);
    const __mmask8 nearOne = _mm512_cmplt_epu64_mask(_mm512_sub_epi64(ix, fill(kNearOneLow)), fill(kNearOneWidth));
    special |= _mm512_cmpge_epu64_mask(_mm512_sub_epi64(ix, fill(kLowestNormal)), fill(kInfinity - kLowestNormal));
    if (nearOne == 0) [[likely]]
        return log_by_table(ix);
    if (nearOne == kAllLanes) return log_near_one(v);
    return _mm512_mask_blend_pd(nearOne, log_by_table(ix), log_near_one(v));
}

EVSTAT_AVX512 bool log_block(const double* x, double* out, std::size_t count) {
    __mmask8 special = 0;
    for (std::size_t i = 0; i < count; i += kWidth) _mm512_storeu_pd(out + i, log_eight(_mm512_loadu_pd(x + i), special));
    return special != 0;
}

}  // namespace avx512

// Takes the logarithms of `count` values, a multiple of the width, other than the special
// ones, and returns whether there was a special value.
struct Kernel {
    bool (*block)(const double* x, double* out, std::size_t count);
    std::size_t width;
};

Kernel kernel_of(LogKernel kernel) {
    if (kernel == LogKernel::avx512) return {avx512::log_block, avx512::kWidth};
    return {avx2::log_block, avx2::kWidth};
}

bool is_special(double x) {
    return !(x >= std::numeric_limits<double>::min() && x <= std::numeric_limits<double>::max());
}

void log_each_with(Kernel kernel, const double* x, double* out, std::size_t n) {
    double buffer[kBlock];  // in place, a block is written here until its special values are taken
    std::size_t i = 0;
    while (n - i >= kernel.width) {
        const std::size_t count = std::min(kBlock, n - i) / kernel.width * kernel.width;
        double* to = x == out ? buffer : out + i;
        if (kernel.block(x + i, to, count))
            for (std::size_t j = 0; j < count; ++j)
                if (is_special(x[i + j])) to[j] = std::log(x[i + j]);
        if (to == buffer) std::copy_n(buffer, count, out + i);
        i += count;
    }
    for (; i < n; ++i) out[i] = std::log(x[i]);
}

// Values on which a kernel must give std::log's bits before it is used: three points of
// every interval of the table at several scales, each end of the range near 1 and its
// neighbours, a grid through that range, 1 +- 2^-e, the special values and pseudo-random
// doubles of every sign and exponent.
std::vector<double> check_values() {
    constexpr int kScales[] = {-1021, -300, -1, 0, 1, 17, 700, 1023};
    constexpr int kGridNearOne = 1024;
    constexpr int kRandomValues = 1024;
    constexpr std::int64_t kIntervalWidth = std::int64_t{1} << (52 - kTableBits);
    constexpr double kInf = std::numeric_limits<double>::infinity();
    std::vector<double> p;
    for (const int scale : kScales)
        for (std::int64_t i = 0; i < kTableSize; ++i) {
            const std::int64_t first = kTableOffset + i * kIntervalWidth;
            for (const std::int64_t bits : {first, first + kIntervalWidth / 2, first + kIntervalWidth - 1})
                p.push_back(std::ldexp(std::bit_cast<double>(bits), scale));
        }
    for (const std::int64_t end : {kNearOneLow, kNearOneLow + kNearOneWidth})
        for (std::int64_t d = -3; d <= 3; ++d) p.push_back(std::bit_cast<double>(end + d));
    for (int j = 0; j <= kGridNearOne; ++j)
        p.push_back(std::bit_cast<double>(kNearOneLow + kNearOneWidth / kGridNearOne * j));
    for (int e = 1; e <= 53; ++e) {
        p.push_back(1.0 + std::ldexp(1.0, -e));
        p.push_back(1.0 - std::ldexp(1.0, -e));
    }
    for (const double s : {0.0, -0.0, 1.0, -1.0, kInf, -kInf, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::min(),
                           std::numeric_limits<double>::max()})
        p.push_back(s);
    std::uint64_t state = 0;  // splitmix64
    for (int j = 0; j < kRandomValues; ++j) {
        std::uint64_t bits = state += 0x9e3779b97f4a7c15;
        bits = (bits ^ (bits >> 30)) * 0xbf58476d1ce4e5b9;
        bits = (bits ^ (bits >> 27)) * 0x94d049bb133111eb;
        p.push_back(std::bit_cast<double>(bits ^ (bits >> 31)));
    }
    return p;
}

bool gives_library_bits(Kernel kernel) {
    const std::vector<double> values = check_values();
    std::vector<double> logs(values.size());
    log_each_with(kernel, values.data(), logs.data(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        if (std::bit_cast<std::uint64_t>(logs[i]) != std::bit_cast<std::uint64_t>(std::log(values[i])))
            return false;
    return true;
}

}  // namespace

bool log_kernel_usable(LogKernel kernel) {
    // The C library takes its own routine with FMA and AVX2 only where both are usable.
    static const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") &&
                             gives_library_bits(kernel_of(LogKernel::avx2));
    static const bool avx512 = avx2 && __builtin_cpu_supports("avx512f") &&
                               gives_library_bits(kernel_of(LogKernel::avx512));
    return kernel == LogKernel::avx512 ? avx512 : avx2;
}

void log_each_by(LogKernel kernel, std::span<const double> x, std::span<double> out) {
    log_each_with(kernel_of(kernel), x.data(), out.data(), x.size());
}

bool log_each_vector(std::span<const double> x, std::span<double> out) {
    if (log_kernel_usable(LogKernel::avx512))
        log_each_by(LogKernel::avx512, x, out);
    else if (log_kernel_usable(LogKernel::avx2))
        log_each_by(LogKernel::avx2, x, out);
    else
        return false;
    return true;
}

}  // namespace evstat

#else

namespace evstat {

bool log_kernel_usable(LogKernel) { return false; }

void log_each_by(LogKernel, std::span<const double>, std::span<double>) {}

bool log_each_vector(std::span<const double>, std::span<double>) { return false; }

}  // namespace evstat

#endif
