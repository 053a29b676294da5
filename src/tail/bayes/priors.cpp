// Expert-opinion priors: the statement's interval and the conjugate prior on it.
#include "tail/bayes/priors.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "laws/distributions.h"
#include "laws/quantiles.h"

namespace evstat {

namespace {
// The bracket of the gamma scale whose survival at c matches a stated probability.
constexpr double kGammaScaleLow = 0.05;
constexpr double kGammaScaleHigh = 2.0;
constexpr double kSurvivalTolerance = 1e-10;  // |F(x) - 1 + p| at both bracket ends

// Beta priors of a middling and of a weak confidence: the smaller parameter, and for the
// weak one the term from which the larger follows.
constexpr double kMediumSmaller = 5.0;
constexpr double kWeakSmaller = 1.2;
constexpr double kWeakTerm = 0.8;

double standard_normal_quantile(double probability) {
    ValueList standard;
    standard.push_back(0.0);
    standard.push_back(1.0);
    return quantile(LawCode::kNormal, standard, probability);
}

// The rate or precision for which P(X > c) = d.
double stated_value(LawCode code, const ValueList& parameters, double c, double d) {
    const double p1 = parameters.at(1);
    switch (code) {
        case LawCode::kExponential: return -std::log(d) / c;
        case LawCode::kGamma: {
            ValueList shape;
            shape.push_back(p1);
            return 1.0 / solve_for_survival(LawCode::kGamma, shape, c, kGammaScaleLow, kGammaScaleHigh, d);
        }
        case LawCode::kNormal: {
            const double z = standard_normal_quantile(1.0 - d);
            return (z / (c - p1)) * (z / (c - p1));
        }
        case LawCode::kWeibull: return -std::log(d) / std::pow(c, parameters.at(2));
        case LawCode::kLognormal: {
            const double z = standard_normal_quantile(1.0 - d);
            return (z / (std::log(c) - p1)) * (z / (std::log(c) - p1));
        }
        default: return 0.0;
    }
}

// Lowers `low` and raises `high` by whole units, one step each per round, until
// [low, high] holds [s1, s2].
void widen_support(double s1, double s2, double& low, double& high) {
    for (int round = 0; round < kMaxSupportWideningRounds && (s1 < low || s2 > high); ++round) {
        if (s1 < low) low -= 1.0;
        if (s2 > high) high += 1.0;
    }
}

ExpertInterval shape_interval(const ExpertStatement& statement) {
    const ValueList& parameters = statement.parameters;
    const double c = statement.value;
    const double d1 = statement.riskP1;
    const double d2 = statement.riskP2;
    double s1 = 0.0;
    double s2 = 0.0;
    double low = statement.low;
    double high = statement.high;
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    if (statement.stated) {
        const double scale = std::pow(p1, 1.0 / p2);
        s1 = std::log(-std::log(d1)) / (std::log(c) - std::log(scale));
        s2 = std::log(-std::log(d2)) / (std::log(c) - std::log(scale));
    } else {
        s1 = p2;
        s2 = 1.0;
    }
    if (s1 > s2) std::swap(s1, s2);
    if (low == kShapeBoundAbsent && std::isfinite(s1)) low = std::max(0.0, std::floor(s1));
    if (high == kShapeBoundAbsent && std::isfinite(s2))
        high = std::max(std::ceil(s2), low + 1.0);
    widen_support(s1, s2, low, high);
    return {.s1 = s1,
            .s2 = s2,
            .t1 = (s1 - low) / (high - low),
            .t2 = (s2 - low) / (high - low),
            .low = low,
            .high = high};
}
}  // namespace

ExpertInterval expert_interval(const ExpertStatement& statement) {
    const LawCode code = statement.code;
    const ValueList& parameters = statement.parameters;
    if (code == LawCode::kWeibull && statement.weibullShape) return shape_interval(statement);
    ExpertInterval interval{.low = statement.low, .high = statement.high};
    if (statement.stated) {
        if (code != LawCode::kExponential && code != LawCode::kGamma && code != LawCode::kNormal && code != LawCode::kWeibull &&
            code != LawCode::kLognormal)
            return interval;
        interval.s1 = stated_value(code, parameters, statement.value, statement.riskP1);
        interval.s2 = stated_value(code, parameters, statement.value, statement.riskP2);
        return interval;
    }
    const double f = statement.meanExcess;
    const double g = statement.transformedMeanExcess;
    switch (code) {
        case LawCode::kExponential:
            interval.s1 = 1.0 / parameters.at(1);
            interval.s2 = 1.0 / f;
            break;
        case LawCode::kGamma:
            interval.s1 = 1.0 / parameters.at(2);
            interval.s2 = 1.0 / f;
            break;
        case LawCode::kNormal:
        case LawCode::kLognormal:
            interval.s1 = 1.0 / (parameters.at(2) * parameters.at(2));
            interval.s2 = 0.0;
            break;
        case LawCode::kWeibull:
            interval.s1 = statement.weibullRate;
            interval.s2 = 1.0 / g;
            break;
        default: break;
    }
    return interval;
}

void expert_prior(const ExpertInterval& interval, bool weibullShape, ExpertConfidence confidence,
                  double alpha, ValueList& prior) {
    const double s1 = interval.s1;
    const double s2 = interval.s2;
    const double t1 = interval.t1;
    const double t2 = interval.t2;
    const double z = standard_normal_quantile(1.0 - alpha / 2.0);
    if (!weibullShape) {
        const double width2 = (s1 - s2) * (s1 - s2);
        prior.push_back(z * z * (s1 + s2) * (s1 + s2) / width2);
        prior.push_back(2.0 * z * z * (s1 + s2) / width2);
        return;
    }
    const double m = (t1 + t2) / 2.0;
    double a = 0.0;
    double b = 0.0;
    if (confidence == ExpertConfidence::kStrong) {
        const double u = 4.0 * m * (1.0 - m) * z * z / ((t2 - t1) * (t2 - t1)) - 1.0;
        a = u * m;
        b = u * (1.0 - m);
    } else if (confidence == ExpertConfidence::kMedium) {
        if (m >= 0.5) {
            a = kMediumSmaller;
            b = 4.0 / m - 3.0;
        } else {
            b = kMediumSmaller;
            a = (3.0 * m + 1.0) / (1.0 - m);
        }
    } else {  // weak, or not given
        if (m >= 0.5) {
            a = kWeakSmaller;
            b = kWeakTerm + (1.0 - kWeakTerm) / m;
        } else {
            b = kWeakSmaller;
            a = (1.0 - kWeakTerm * m) / (1.0 - m);
        }
    }
    prior.push_back(a);
    prior.push_back(b);
}

double solve_for_survival(LawCode code, const ValueList& parameters, double x, double lo,
                          double hi, double p) {
    auto h = [&](double theta) {
        ValueList completed = parameters;
        completed.push_back(theta);
        return distribution(code, completed, x) - 1.0 + p;
    };
    double hLow = h(lo);
    double hHigh = h(hi);
    if (hLow * hHigh > 0.0) return 0.0;
    if (hLow == 0.0) return lo;
    if (hHigh == 0.0) return hi;
    while (std::fabs(hLow) > kSurvivalTolerance || std::fabs(hHigh) > kSurvivalTolerance) {
        const double mid = (lo + hi) / 2.0;
        if (mid == lo || mid == hi) break;  // the bracket no longer shrinks
        const double hMid = h(mid);
        if (hMid == 0.0) return mid;
        if (hMid * hLow > 0.0) {
            lo = mid;
            hLow = hMid;
        } else {
            hi = mid;
            hHigh = hMid;
        }
    }
    return hi;
}

}  // namespace evstat
