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
        case LawCode::kExponential:
            return -std::log(d) / c;
        case LawCode::kGamma: {
            ValueList shape;
            shape.push_back(p1);
            return 1.0 / solve_for_survival(LawCode::kGamma, shape, c, kGammaScaleLow,
                                            kGammaScaleHigh, d);
        }
        case LawCode::kNormal: {
            const double z = standard_normal_quantile(1.0 - d);
            return (z / (c - p1)) * (z / (c - p1));
        }
        case LawCode::kWeibull:
            return -std::log(d) / std::pow(c, parameters.at(2));
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

void shape_interval(const ValueList& parameters, int mode, double c, double d1, double d2,
                    double& low, double& high, double& s1, double& s2, double& t1, double& t2) {
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    if (mode == kExpertStatement) {
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
    t1 = (s1 - low) / (high - low);
    t2 = (s2 - low) / (high - low);
}
}  // namespace

void expert_interval(LawCode code, const ValueList& parameters, double weibullRate, int mode,
                     double c, double d1, double d2, double f, double g, double& low,
                     double& high, int weibullShapeFlag, double& s1, double& s2, double& t1,
                     double& t2) {
    if (code == LawCode::kWeibull && weibullShapeFlag == 1) {
        shape_interval(parameters, mode, c, d1, d2, low, high, s1, s2, t1, t2);
        return;
    }
    t1 = 0.0;
    t2 = 0.0;
    if (mode == kExpertStatement) {
        if (code != LawCode::kExponential && code != LawCode::kGamma && code != LawCode::kNormal &&
            code != LawCode::kWeibull && code != LawCode::kLognormal)
            return;
        s1 = stated_value(code, parameters, c, d1);
        s2 = stated_value(code, parameters, c, d2);
        return;
    }
    switch (code) {
        case LawCode::kExponential:
            s1 = 1.0 / parameters.at(1);
            s2 = 1.0 / f;
            break;
        case LawCode::kGamma:
            s1 = 1.0 / parameters.at(2);
            s2 = 1.0 / f;
            break;
        case LawCode::kNormal:
        case LawCode::kLognormal:
            s1 = 1.0 / (parameters.at(2) * parameters.at(2));
            s2 = 0.0;
            break;
        case LawCode::kWeibull:
            s1 = weibullRate;
            s2 = 1.0 / g;
            break;
        default: break;
    }
}

void expert_prior(double s1, double s2, double t1, double t2, int weibullShapeFlag,
                  const std::string& confidence, double alpha, ValueList& prior) {
    const double z = standard_normal_quantile(1.0 - alpha / 2.0);
    if (weibullShapeFlag != 1) {
        const double width2 = (s1 - s2) * (s1 - s2);
        prior.push_back(z * z * (s1 + s2) * (s1 + s2) / width2);
        prior.push_back(2.0 * z * z * (s1 + s2) / width2);
        return;
    }
    const double m = (t1 + t2) / 2.0;
    double a = 0.0;
    double b = 0.0;
    if (confidence == "Forte") {
        const double u = 4.0 * m * (1.0 - m) * z * z / ((t2 - t1) * (t2 - t1)) - 1.0;
        a = u * m;
        b = u * (1.0 - m);
    } else if (confidence == "Moyenne") {
        if (m >= 0.5) {
            a = kMediumSmaller;
            b = 4.0 / m - 3.0;
        } else {
            b = kMediumSmaller;
            a = (3.0 * m + 1.0) / (1.0 - m);
        }
    } else if (confidence == "Faible" || confidence == "*") {
        if (m >= 0.5) {
            a = kWeakSmaller;
            b = kWeakTerm + (1.0 - kWeakTerm) / m;
        } else {
            b = kWeakSmaller;
            a = (1.0 - kWeakTerm * m) / (1.0 - m);
        }
    } else {
        return;
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
