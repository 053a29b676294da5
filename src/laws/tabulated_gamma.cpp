// Joehnk's (1964) and Best's (1978) gamma samplers over tables of the source's outputs. The
// uniform u = r / 32767 takes 32,766 values, so every expression of one uniform is tabulated
// with the very expression random_value evaluates; what depends on two uniforms is computed as
// it is there, except Best's second test, ln z <= 2 (m ln(x/m) - y): exp of its right side
// is tabulated and the logarithm of z taken only when z lies too close to it to tell.
#include "laws/tabulated_gamma.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "laws/constants.h"
#include "laws/generator.h"

namespace evstat {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// The attempts of the plain samplers before they give NaN.
constexpr long kMaxRejectionAttempts = 1'000'000;
// Relative distance from exp(2 (m ln(x/m) - y)) beyond which z is decided without its
// logarithm: far above the rounding of exp and log (a few units in 1e-16 of ln z, which lies
// between -50 and 0 for every pair of outputs).
constexpr double kLogTestMargin = 1e-9;
// Below this the second test fails for every z (ln z > -50), above it exp may be subnormal.
constexpr double kSmallestLogSide = -100.0;

double uniform_of(int r) {
    return r / static_cast<double>(kRandomMax);
}

// The next output of the source that open_uniform keeps: neither 0 nor 32767.
int open_output(Generator& generator) {
    int r = 0;
    do {
        r = generator.next();
    } while (r == 0 || r == kRandomMax);
    return r;
}

// The last output s of 1 .. 32766 for which `holds` is true, 0 if none; `holds` must be true
// for a first run of outputs and false after it.
template <typename Predicate>
int last_output_where(const Predicate& holds) {
    int low = 0;            // holds up to low (0: nothing known)
    int high = kRandomMax;  // fails from high on
    while (high - low > 1) {
        const int middle = (low + high) / 2;
        if (holds(middle))
            low = middle;
        else
            high = middle;
    }
    return low;
}

}  // namespace

TabulatedGamma::TabulatedGamma(double shape) {
    if (shape == 1.0) {
        method_ = Method::Exponential;
        first_.resize(static_cast<std::size_t>(kRandomMax));
        for (int r = 1; r < kRandomMax; ++r) first_[r] = -std::log(uniform_of(r)) * 1.0;
    } else if (shape > 0.0 && shape < 1.0) {
        tabulate_joehnk(shape);
    } else if (shape > 1.0) {
        tabulate_best(shape);
    }  // otherwise no law: NaN
}

void TabulatedGamma::tabulate_joehnk(double shape) {
    const std::size_t size = static_cast<std::size_t>(kRandomMax);
    method_ = Method::Joehnk;
    first_.resize(size);
    second_.resize(size);
    logs_.resize(size);
    for (int r = 1; r < kRandomMax; ++r) {
        first_[r] = std::pow(uniform_of(r), 1.0 / shape);
        second_[r] = std::pow(uniform_of(r), 1.0 / (1.0 - shape));
        logs_[r] = std::log(uniform_of(r));
    }
}

void TabulatedGamma::tabulate_best(double shape) {
    const std::size_t size = static_cast<std::size_t>(kRandomMax);
    method_ = Method::Best;
    m_ = shape - 1.0;
    c_ = 3.0 * shape - 0.75;
    best_.resize(size);
    offsets_.resize(size);
    for (int r = 1; r < kRandomMax; ++r) best_[r] = best_entry(r);
}

TabulatedGamma::BestEntry TabulatedGamma::best_entry(int r) {
    const double u = uniform_of(r);
    const double w = u * (1.0 - u);
    const double y = std::sqrt(c_ / w) * (u - 0.5);
    const double power = 64.0 * std::pow(w, 3);
    const double x = m_ + y;
    offsets_[r] = x;
    if (!(x > 0.0)) return BestEntry{0, 1};  // x < 0 rejected, x = 0 drawn again: never returned
    const double first = 1.0 - 2.0 * y * y / x;
    const double side = 2.0 * (m_ * std::log(x / m_) - y);
    double low = -kInfinity;  // z at or below: ln z below side for certain
    double high = kInfinity;  // z at or above: ln z above side for certain
    if (std::isnan(side) || side < kSmallestLogSide) {
        high = -kInfinity;
    } else if (side == kInfinity) {
        low = kInfinity;
    } else {
        const double e = std::exp(side);
        low = e * (1.0 - kLogTestMargin);
        high = e * (1.0 + kLogTestMargin);
    }
    const double acceptBelow = std::isnan(first) ? low : std::max(first, low);
    const double rejectAbove = std::max(high, acceptBelow);
    // z = power v v rises with s (each product of positive doubles rounds monotonically):
    // the s it accepts for certain are a first run, those it rejects a last one.
    const auto z = [power](int s) { return power * uniform_of(s) * uniform_of(s); };
    BestEntry entry;
    entry.acceptTo = static_cast<short>(last_output_where([&](int s) { return z(s) <= acceptBelow; }));
    entry.rejectFrom =
        static_cast<short>(1 + last_output_where([&](int s) { return z(s) < rejectAbove; }));
    return entry;
}

// The second test as random_value makes it, for a z between the table's two ends.
bool TabulatedGamma::best_exact(int r, double v) const {
    const double u = uniform_of(r);
    const double w = u * (1.0 - u);
    const double y = std::sqrt(c_ / w) * (u - 0.5);
    const double x = m_ + y;
    const double z = 64.0 * std::pow(w, 3) * v * v;
    return 1.0 - 2.0 * y * y / x >= z || 2.0 * (m_ * std::log(x / m_) - y) >= std::log(z);
}

double TabulatedGamma::best(Generator& generator) const {
    const BestEntry* const table = best_.data();
    for (long attempt = 0; attempt < kMaxRejectionAttempts; ++attempt) {
        const int r = open_output(generator);
        const int s = open_output(generator);
        const BestEntry entry = table[r];
        if (s <= entry.acceptTo) return offsets_[r] * 1.0;
        if (s >= entry.rejectFrom) continue;
        if (best_exact(r, uniform_of(s))) return offsets_[r] * 1.0;
    }
    return kNaN;
}

double TabulatedGamma::joehnk(Generator& generator) const {
    for (long attempt = 0; attempt < kMaxRejectionAttempts; ++attempt) {
        const double x = first_[open_output(generator)];
        const double y = second_[open_output(generator)];
        if (x + y <= 1.0) {
            const double e = -x * logs_[open_output(generator)] / (x + y);
            if (e != 0.0) return 1.0 * e;
        }
    }
    return kNaN;
}

double TabulatedGamma::draw(Generator& generator) const {
    switch (method_) {
        case Method::Exponential:
            return first_[open_output(generator)];
        case Method::Joehnk:
            return joehnk(generator);
        case Method::Best:
            return best(generator);
        case Method::None:
            break;
    }
    return kNaN;
}

TabulatedBeta::TabulatedBeta(double a, double b) : x_(a), y_(b) {}

double TabulatedBeta::draw(Generator& generator) const {
    const double x = x_.draw(generator);
    double y = y_.draw(generator);
    for (long attempt = 1; y == 0.0; ++attempt) {
        if (attempt >= kMaxRejectionAttempts) return kNaN;
        y = y_.draw(generator);
    }
    return x / (x + y);
}

}  // namespace evstat
