// Estimators from the logarithmic excesses ln X - ln u of the k largest values:
// Hill (Annals of Statistics 3, 1975), the moment estimator of Dekkers, Einmahl and
// de Haan (Annals of Statistics 17, 1989), and the slope of the Zipf plot (the
// qq-estimator of Kratz and Resnick, Stochastic Models 12, 1996).
// Each needs u > 0 and k values to read; otherwise, and whenever the estimate is
// not finite, it appends the failure pair.
//
// Over a range of k the sums cannot run on from one k to the next: every term
// ln X - ln u holds the threshold of its own k, and a rounded sum of differences is
// not the difference of rounded sums; the terms ln((k + 1)/j) and ln(gamma X) of the
// Zipf plot hold k and gamma_k. The path computes each k's sums term by term in the
// order of the single fit, from logarithms of the values taken once, several k side
// by side in the lanes of a vector so that their independent sums fill the arithmetic
// units, and blocks of k on every thread, each block writing only its own estimates.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "series/elementwise.h"
#include "tail/methods/tail.h"

// The wide kernels: x86-64 processors with AVX-512, chosen at run time. Windows builds
// keep the plain kernels (their stacks do not keep the 64-byte alignment of spilled vectors).
#if defined(__x86_64__) && !defined(_WIN32)
#include <immintrin.h>
#define EVSTAT_WIDE_TAIL_PATH 1
#endif

namespace evstat {

namespace {
// First and second moments of ln X - ln u over the k largest values.
struct LogExcessMoments {
    double first;
    double second;
};

LogExcessMoments log_excess_moments(std::span<const double> series, int k, double u) {
    const double logThreshold = std::log(u);
    double sum = 0.0;
    double sumOfSquares = 0.0;
    auto value = series.rbegin();
    for (int i = 0; i < k; ++i, ++value) {
        const double d = std::log(*value) - logThreshold;
        sum += d;
        sumOfSquares += d * d;
    }
    const double scale = 1.0 / static_cast<double>(k);
    return {scale * sum, scale * sumOfSquares};
}

// The k largest values exist and the threshold has a logarithm.
bool readable(std::span<const double> series, int k, double u) {
    return k >= 1 && k <= size_of(series) && u > 0.0;
}

void append_if_finite(ValueList& fit, double xi, double sigma, bool& failure) {
    if (!std::isfinite(xi) || !std::isfinite(sigma)) {
        append_tail_failure(fit, failure);
        return;
    }
    fit.push_back(xi);
    fit.push_back(sigma);
}

// The sums of the Zipf plot over j = 1..k, in the order of j: e_j = ln((k + 1)/j),
// y_j = ln(gamma X_j).
struct ZipfSums {
    double e = 0.0;
    double y = 0.0;
    double ey = 0.0;
    double e2 = 0.0;

    void add(double ej, double yj) {
        e += ej;
        y += yj;
        ey += ej * yj;
        e2 += ej * ej;
    }
};

double zipf_slope_of_sums(const ZipfSums& s, int k) {
    const double count = static_cast<double>(k);
    const double meanE = s.e / count;
    const double meanY = s.y / count;
    return (s.ey / count - meanE * meanY) / (s.e2 / count - meanE * meanE);
}

// The term j of the plot of k.
double zipf_e(int k, int j) {
    return std::log((static_cast<double>(k) + 1.0) / static_cast<double>(j));
}

// Least-squares slope of y_j = ln(gamma X) against e_j = ln((k + 1)/j), j = 1..k, the
// values taken from the second largest downwards; `largest` walks down from the largest.
template <typename Descending>
double zipf_slope(Descending largest, int k, double gamma) {
    ZipfSums sums;
    auto value = largest;
    for (int j = 1; j <= k; ++j) {
        ++value;
        sums.add(zipf_e(k, j), std::log(gamma * *value));
    }
    return zipf_slope_of_sums(sums, k);
}

// The estimates of each method from the moments of the log excesses at u.
double moment_shape(const LogExcessMoments& m) {
    return m.first + 1.0 - 1.0 / (2.0 * (1.0 - m.first * m.first / m.second));
}
double moment_scale(const LogExcessMoments& m, double xi, double u) {
    return xi >= 0.0 ? u * m.first : u * m.first * (1.0 - xi);
}
double zipf_scale(double gamma, double xi, double u) {
    return xi >= 0.0 ? u * gamma : u * gamma / (1.0 - xi);
}

TailEstimate estimate_if_finite(double xi, double sigma) {
    if (!std::isfinite(xi) || !std::isfinite(sigma)) return {};
    return {xi, sigma, false};
}

// ---------------------------------------------------------------- the path's kernels

// The numbers of excesses of one piece of work, and of one vector of lanes.
constexpr int kBlock = 32;
constexpr int kLanes = 8;
// The terms j of the Zipf plot whose logarithms one call takes, for every lane.
constexpr int kLogChunk = 64;

#ifdef EVSTAT_WIDE_TAIL_PATH
// The Zipf plots side by side in the wide kernel, and the terms j of a chunk there.
constexpr int kZipfVectors = 2;
constexpr int kZipfLanes = kZipfVectors * kLanes;
constexpr int kZipfChunk = 32;
#endif

// The largest values and their logarithms, largest first, as every piece reads them; where
// the quotients (k + 1)/j of the Zipf plots are taken by reciprocals, inverses[j] = 1/j.
struct Largest {
    std::span<const double> values;
    std::span<const double> logs;
    std::span<const double> inverses;
};

// The moment sums of lane l, k = k0 + l, hold the terms i < k0 (ln u_k = logs[k0 + l]):
// adds the terms k0 <= i < k and takes the moments, for the `lanes` lanes that are used.
template <bool kSquares>
void finish_moments(const Largest& in, int k0, int lanes, const double* sum, const double* squares,
                    LogExcessMoments* out) {
    for (int l = 0; l < lanes; ++l) {
        const double t = in.logs[static_cast<std::size_t>(k0 + l)];
        double s = sum[l];
        double q = squares[l];
        for (int i = k0; i < k0 + l; ++i) {
            const double d = in.logs[static_cast<std::size_t>(i)] - t;
            s += d;
            if (kSquares) q += d * d;
        }
        const double scale = 1.0 / static_cast<double>(k0 + l);
        out[l] = {scale * s, scale * q};
    }
}

// The moments of the log excesses for k = k0, ..., k0 + kLanes - 1 (lanes past `lanes`
// are computed and dropped): each lane adds ln X - ln u_k for the k largest values,
// largest first, exactly as log_excess_moments does.
template <bool kSquares>
void lane_moments(const Largest& in, int k0, int lanes, LogExcessMoments* out) {
    double t[kLanes], sum[kLanes], squares[kLanes];
    for (int l = 0; l < kLanes; ++l) {
        t[l] = in.logs[static_cast<std::size_t>(k0 + (l < lanes ? l : 0))];
        sum[l] = 0.0;
        squares[l] = 0.0;
    }
    for (int i = 0; i < k0; ++i) {  // the terms every lane adds
        const double logValue = in.logs[static_cast<std::size_t>(i)];
        double d[kLanes];
        for (int l = 0; l < kLanes; ++l) d[l] = logValue - t[l];
        for (int l = 0; l < kLanes; ++l) sum[l] += d[l];
        if (kSquares)
            for (int l = 0; l < kLanes; ++l) squares[l] += d[l] * d[l];
    }
    finish_moments<kSquares>(in, k0, lanes, sum, squares, out);
}

template <bool kSquares>
void block_moments(const Largest& in, int k0, int count, LogExcessMoments* out) {
    for (int g = 0; g < count; g += kLanes)
        lane_moments<kSquares>(in, k0 + g, std::min(kLanes, count - g), out + g);
}

// The Zipf sums of lane l, k = k0 + l, hold the terms j <= k0: adds the terms
// k0 < j <= k and takes the slopes, for the `lanes` lanes that are used.
void finish_zipf(const Largest& in, int k0, int lanes, const double* gammas, ZipfSums* sums,
                 double* slopes) {
    for (int l = 0; l < lanes; ++l) {
        const int k = k0 + l;
        for (int j = k0 + 1; j <= k; ++j)
            sums[l].add(zipf_e(k, j), std::log(gammas[l] * in.values[static_cast<std::size_t>(j)]));
        slopes[l] = zipf_slope_of_sums(sums[l], k);
    }
}

// The slopes of the Zipf plots of k = k0, ..., k0 + kLanes - 1 over gamma_k = gammas[l]
// (lanes past `lanes` are computed and dropped): the terms j <= k0 of every lane side by
// side, their logarithms a chunk of j at a time, then the further terms of the larger k.
void lane_zipf(const Largest& in, int k0, int lanes, const double* gammas, double* slopes) {
    double next[kLanes], gamma[kLanes];  // k + 1 and gamma_k of each lane
    for (int l = 0; l < kLanes; ++l) {
        const int used = l < lanes ? l : 0;
        next[l] = static_cast<double>(k0 + used) + 1.0;
        gamma[l] = gammas[used];
    }
    ZipfSums sums[kLanes];
    // The arguments of the chunk's logarithms, the e then the y, and the logarithms.
    double arguments[2 * kLogChunk * kLanes], terms[2 * kLogChunk * kLanes];
    for (int j0 = 1; j0 <= k0; j0 += kLogChunk) {
        const int chunk = std::min(kLogChunk, k0 - j0 + 1);
        for (int c = 0; c < chunk; ++c) {
            const double j = static_cast<double>(j0 + c);
            const double x = in.values[static_cast<std::size_t>(j0 + c)];
            for (int l = 0; l < kLanes; ++l) {
                arguments[c * kLanes + l] = next[l] / j;
                arguments[(chunk + c) * kLanes + l] = gamma[l] * x;
            }
        }
        const std::size_t count = static_cast<std::size_t>(2 * chunk * kLanes);
        log_each({arguments, count}, {terms, count});
        const double* e = terms;
        const double* y = terms + chunk * kLanes;
        for (int c = 0; c < chunk; ++c)
            for (int l = 0; l < kLanes; ++l) sums[l].add(e[c * kLanes + l], y[c * kLanes + l]);
    }
    finish_zipf(in, k0, lanes, gammas, sums, slopes);
}

#ifdef EVSTAT_WIDE_TAIL_PATH
// The same sums, kBlock lanes as four AVX-512 vectors; each lane's operations and their
// order are those of lane_moments.
template <bool kSquares>
__attribute__((target("avx512f"))) void block_moments_avx512(const Largest& in, int k0, int count,
                                                             LogExcessMoments* out) {
    constexpr int kVectors = kBlock / kLanes;
    alignas(64) double lanes[kBlock];
    for (int l = 0; l < kBlock; ++l)
        lanes[l] = in.logs[static_cast<std::size_t>(k0 + (l < count ? l : 0))];
    __m512d t[kVectors], sum[kVectors], squares[kVectors];
    for (int v = 0; v < kVectors; ++v) {
        t[v] = _mm512_load_pd(lanes + kLanes * v);
        sum[v] = _mm512_setzero_pd();
        squares[v] = _mm512_setzero_pd();
    }
    const double* logs = in.logs.data();
    for (int i = 0; i < k0; ++i) {
        const __m512d logValue = _mm512_set1_pd(logs[i]);
        for (int v = 0; v < kVectors; ++v) {
            const __m512d d = _mm512_sub_pd(logValue, t[v]);
            sum[v] = _mm512_add_pd(sum[v], d);
            if (kSquares) squares[v] = _mm512_add_pd(squares[v], _mm512_mul_pd(d, d));
        }
    }
    alignas(64) double sums[kBlock], squareSums[kBlock];
    for (int v = 0; v < kVectors; ++v) {
        _mm512_store_pd(sums + kLanes * v, sum[v]);
        _mm512_store_pd(squareSums + kLanes * v, squares[v]);
    }
    finish_moments<kSquares>(in, k0, count, sums, squareSums, out);
}

// The rounded quotient m/j of whole numbers 1 <= j < m up to this bound is also, bit for
// bit, q0 + (m - q0 j) r with r = 1/j and q0 = m r, each rounded, the remainder m - q0 j
// and the corrected sum each taken in one fused rounding: Markstein's correction, as
// divide_each takes it (series/division.cpp), and every such pair has been checked
// (tools/check_quotients.cpp). A vector of quotients then costs a product and two fused
// steps instead of a division.
constexpr int kExactQuotientsUpTo = 262144;

// The quotients next/j of the lanes, by the reciprocal 1/j (kByInverse) or by division.
template <bool kByInverse>
__attribute__((target("avx512f"))) inline void quotients_avx512(const __m512d* next, int j,
                                                                const Largest& in, double* out) {
    const std::size_t at = static_cast<std::size_t>(j);
    const __m512d divisor = _mm512_set1_pd(static_cast<double>(j));
    for (int v = 0; v < kZipfVectors; ++v) {
        if (!kByInverse) {
            _mm512_store_pd(out + kLanes * v, _mm512_div_pd(next[v], divisor));
            continue;
        }
        const __m512d inverse = _mm512_set1_pd(in.inverses[at]);
        const __m512d q0 = _mm512_mul_pd(next[v], inverse);
        _mm512_store_pd(out + kLanes * v,
                        _mm512_fmadd_pd(_mm512_fnmadd_pd(q0, divisor, next[v]), inverse, q0));
    }
}

// lane_zipf with kZipfLanes lanes, kZipfVectors AVX-512 vectors side by side: twice the
// independent sums of one vector, and the broadcasts of j shared.
template <bool kByInverse>
__attribute__((target("avx512f"))) void lane_zipf_avx512(const Largest& in, int k0, int lanes,
                                                         const double* gammas, double* slopes) {
    alignas(64) double next[kZipfLanes], gamma[kZipfLanes];
    for (int l = 0; l < kZipfLanes; ++l) {
        const int used = l < lanes ? l : 0;
        next[l] = static_cast<double>(k0 + used) + 1.0;
        gamma[l] = gammas[used];
    }
    __m512d nextV[kZipfVectors], gammaV[kZipfVectors];
    __m512d sumE[kZipfVectors], sumY[kZipfVectors], sumEY[kZipfVectors], sumE2[kZipfVectors];
    for (int v = 0; v < kZipfVectors; ++v) {
        nextV[v] = _mm512_load_pd(next + kLanes * v);
        gammaV[v] = _mm512_load_pd(gamma + kLanes * v);
        sumE[v] = sumY[v] = sumEY[v] = sumE2[v] = _mm512_setzero_pd();
    }
    // The arguments of a chunk's logarithms, the e then the y, and the logarithms.
    alignas(64) double arguments[2 * kZipfChunk * kZipfLanes];
    alignas(64) double terms[2 * kZipfChunk * kZipfLanes];
    const double* values = in.values.data();
    for (int j0 = 1; j0 <= k0; j0 += kZipfChunk) {
        const int chunk = std::min(kZipfChunk, k0 - j0 + 1);
        const int half = chunk * kZipfLanes;  // where the y begin
        for (int c = 0; c < chunk; ++c) {
            quotients_avx512<kByInverse>(nextV, j0 + c, in, arguments + c * kZipfLanes);
            const __m512d x = _mm512_set1_pd(values[j0 + c]);
            for (int v = 0; v < kZipfVectors; ++v)
                _mm512_store_pd(arguments + half + c * kZipfLanes + kLanes * v,
                                _mm512_mul_pd(gammaV[v], x));
        }
        const std::size_t count = static_cast<std::size_t>(2 * half);
        log_each({arguments, count}, {terms, count});
        for (int c = 0; c < chunk; ++c) {
            for (int v = 0; v < kZipfVectors; ++v) {
                const __m512d ej = _mm512_load_pd(terms + c * kZipfLanes + kLanes * v);
                const __m512d yj = _mm512_load_pd(terms + half + c * kZipfLanes + kLanes * v);
                sumE[v] = _mm512_add_pd(sumE[v], ej);
                sumY[v] = _mm512_add_pd(sumY[v], yj);
                sumEY[v] = _mm512_add_pd(sumEY[v], _mm512_mul_pd(ej, yj));
                sumE2[v] = _mm512_add_pd(sumE2[v], _mm512_mul_pd(ej, ej));
            }
        }
    }
    alignas(64) double e[kZipfLanes], y[kZipfLanes], ey[kZipfLanes], e2[kZipfLanes];
    for (int v = 0; v < kZipfVectors; ++v) {
        _mm512_store_pd(e + kLanes * v, sumE[v]);
        _mm512_store_pd(y + kLanes * v, sumY[v]);
        _mm512_store_pd(ey + kLanes * v, sumEY[v]);
        _mm512_store_pd(e2 + kLanes * v, sumE2[v]);
    }
    ZipfSums sums[kZipfLanes];
    for (int l = 0; l < kZipfLanes; ++l) sums[l] = {e[l], y[l], ey[l], e2[l]};
    finish_zipf(in, k0, lanes, gammas, sums, slopes);
}

bool has_avx512() {
    static const bool has = __builtin_cpu_supports("avx512f");
    return has;
}
#endif

template <bool kSquares>
void moments_of_block(const Largest& in, int k0, int count, LogExcessMoments* out) {
#ifdef EVSTAT_WIDE_TAIL_PATH
    if (has_avx512()) return block_moments_avx512<kSquares>(in, k0, count, out);
#endif
    block_moments<kSquares>(in, k0, count, out);
}

// The slopes of the Zipf plots of k = k0, ..., k0 + count - 1 (count <= kBlock).
void zipf_of_block(const Largest& in, int k0, int count, const double* gammas, double* slopes) {
#ifdef EVSTAT_WIDE_TAIL_PATH
    if (has_avx512()) {
        for (int g = 0; g < count; g += kZipfLanes) {
            const int lanes = std::min(kZipfLanes, count - g);
            if (in.inverses.empty())
                lane_zipf_avx512<false>(in, k0 + g, lanes, gammas + g, slopes + g);
            else
                lane_zipf_avx512<true>(in, k0 + g, lanes, gammas + g, slopes + g);
        }
        return;
    }
#endif
    for (int g = 0; g < count; g += kLanes)
        lane_zipf(in, k0 + g, std::min(kLanes, count - g), gammas + g, slopes + g);
}

// The paths a pass computes, each from the first estimate of a block on (null where
// its method is not asked for).
struct PathsOut {
    TailEstimate* hill = nullptr;
    TailEstimate* moment = nullptr;
    TailEstimate* zipf = nullptr;
};

// The estimates of k = k0, ..., k0 + count - 1 (count <= kBlock) at out + offset. The
// first moment is the same sum with or without the second beside it, so Hill and the
// gamma of the Zipf plots take it from the moment estimator's sums when those are asked.
void path_block(const Largest& in, const PathsOut& out, int k0, int count, std::size_t offset) {
    LogExcessMoments moments[kBlock];
    if (out.moment != nullptr)
        moments_of_block<true>(in, k0, count, moments);
    else
        moments_of_block<false>(in, k0, count, moments);
    double slopes[kBlock];
    if (out.zipf != nullptr) {
        double gammas[kBlock];
        for (int l = 0; l < count; ++l) gammas[l] = moments[l].first;
        zipf_of_block(in, k0, count, gammas, slopes);
    }
    for (int l = 0; l < count; ++l) {
        const double u = in.values[static_cast<std::size_t>(k0 + l)];
        if (!(u > 0.0)) continue;  // no logarithm of the threshold: the failure pairs
        const LogExcessMoments& m = moments[l];
        const std::size_t at = offset + static_cast<std::size_t>(l);
        if (out.hill != nullptr) out.hill[at] = estimate_if_finite(m.first, u * m.first);
        if (out.moment != nullptr) {
            const double xi = moment_shape(m);
            out.moment[at] = estimate_if_finite(xi, moment_scale(m, xi, u));
        }
        if (out.zipf != nullptr)
            out.zipf[at] = estimate_if_finite(slopes[l], zipf_scale(m.first, slopes[l], u));
    }
}
}  // namespace

void hill_fit(std::span<const double> series, int k, double u, ValueList& fit, bool& failure) {
    if (!readable(series, k, u)) {
        append_tail_failure(fit, failure);
        return;
    }
    const double gamma = log_excess_moments(series, k, u).first;
    append_if_finite(fit, gamma, u * gamma, failure);
}

void moment_fit(std::span<const double> series, int k, double u, ValueList& fit, bool& failure) {
    if (!readable(series, k, u)) {
        append_tail_failure(fit, failure);
        return;
    }
    const LogExcessMoments m = log_excess_moments(series, k, u);
    const double xi = moment_shape(m);
    append_if_finite(fit, xi, moment_scale(m, xi, u), failure);
}

void zipf_fit(std::span<const double> series, int k, double u, ValueList& fit, bool& failure) {
    // The plot starts one value below the largest, so it needs k + 1 values.
    if (!readable(series, k, u) || k >= size_of(series)) {
        append_tail_failure(fit, failure);
        return;
    }
    const double gamma = log_excess_moments(series, k, u).first;
    const double xi = zipf_slope(series.rbegin(), k, gamma);
    append_if_finite(fit, xi, zipf_scale(gamma, xi, u), failure);
}

std::vector<std::vector<TailEstimate>> tail_fit_paths(WorkerPool& pool,
                                                      std::span<const double> series, int first,
                                                      int last,
                                                      std::span<const TailMethod> methods) {
    std::vector<std::vector<TailEstimate>> paths(methods.size());
    const int n = size_of(series);
    if (first < 1 || last < first || last >= n) return paths;
    const auto asked = [&](TailMethod method) {
        return std::find(methods.begin(), methods.end(), method) != methods.end();
    };
    const std::size_t length = static_cast<std::size_t>(last - first + 1);
    std::vector<TailEstimate> hill(asked(kTailHill) ? length : 0);
    std::vector<TailEstimate> moment(asked(kTailMoment) ? length : 0);
    std::vector<TailEstimate> zipf(asked(kTailZipf) ? length : 0);
    if (hill.empty() && moment.empty() && zipf.empty()) return paths;
    const auto data = [](std::vector<TailEstimate>& path) {
        return path.empty() ? nullptr : path.data();
    };
    const PathsOut out{data(hill), data(moment), data(zipf)};

    // Largest first: the last + 1 largest values (Zipf reads one below the k-th) and logs.
    std::vector<double> values(static_cast<std::size_t>(last) + 1);
    std::copy(series.rbegin(), series.rbegin() + (last + 1), values.begin());
    std::vector<double> logs(values.size());
    log_each(values, logs);
    std::vector<double> inverses;
#ifdef EVSTAT_WIDE_TAIL_PATH
    if (!zipf.empty() && last + 1 <= kExactQuotientsUpTo && has_avx512()) {
        inverses.resize(values.size());
        for (std::size_t j = 1; j < inverses.size(); ++j) inverses[j] = 1.0 / static_cast<double>(j);
    }
#endif
    const Largest in{values, logs, inverses};

    // A block's cost grows with its k: the pieces go out from the largest k down, so
    // that the last pieces handed out are the shortest.
    const int blocks = (last - first + 1 + kBlock - 1) / kBlock;
    pool.for_each(static_cast<std::size_t>(blocks), [&](std::size_t piece) {
        const int k0 = first + (blocks - 1 - static_cast<int>(piece)) * kBlock;
        const int count = std::min(kBlock, last - k0 + 1);
        path_block(in, out, k0, count, static_cast<std::size_t>(k0 - first));
    });

    // A method named again takes a copy; its last place takes the path itself.
    for (std::size_t i = 0; i < methods.size(); ++i) {
        std::vector<TailEstimate>* path = methods[i] == kTailHill     ? &hill
                                          : methods[i] == kTailMoment ? &moment
                                          : methods[i] == kTailZipf   ? &zipf
                                                                      : nullptr;
        if (path == nullptr) continue;
        const bool again = std::find(methods.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                     methods.end(), methods[i]) != methods.end();
        paths[i] = again ? *path : std::move(*path);
    }
    return paths;
}

}  // namespace evstat
