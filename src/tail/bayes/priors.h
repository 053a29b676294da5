// Priors from an expert's statement: the interval the statement gives for the parameter a
// prior describes (a rate, a precision, or the Weibull shape), then the parameters of a
// conjugate Gamma prior on that interval, or of a Beta prior on the rescaled shape whose
// spread follows the confidence granted to the expert.
#pragma once

#include <string>

#include "laws/catalogue.h"
#include "series/lists.h"

namespace evstat {

// A bound of the shape's support that the ParameterFile leaves out. Widening from it
// would give a support reaching down to -999, shapes that are no Weibull law: an absent
// lower bound starts instead at the whole unit at or below s1 (not below 0), an absent
// upper bound at the whole unit at or above s2 (at least one unit above the lower bound).
constexpr double kShapeBoundAbsent = -999.0;

// The widening of the Weibull shape's support stops after this many rounds (each moves
// an end by one unit); only a non-finite interval end gets that far.
constexpr int kMaxSupportWideningRounds = 1'000'000;

// What expert_interval reads: the law fitted to the series and the expert's statement.
struct ExpertStatement {
    LawCode code = LawCode::kUnknown;   // exponential, gamma, normal, Weibull or lognormal
    const ValueList& parameters;  // the law fitted to the series
    bool weibullShape = false;    // the prior is on the Weibull shape
    // The expert states that P(X > value) lies between riskP1 and riskP2; without a
    // statement the interval follows from the fitted parameters and the mean excesses.
    bool stated = false;
    double value = 0.0;
    double riskP1 = 0.0;
    double riskP2 = 0.0;
    double meanExcess = 0.0;             // of the series as read
    double transformedMeanExcess = 0.0;  // of the series raised to the Weibull shape
    double weibullRate = 0.0;            // 1 / mean of those powers
    double low = kShapeBoundAbsent;      // the shape's support as given
    double high = kShapeBoundAbsent;
};

// The interval [s1, s2] of the parameter the prior describes (a rate or a precision; the
// shape with weibullShape), and for the shape its support [low, high] and the interval's
// positions t1, t2 in it.
struct ExpertInterval {
    double s1 = 0.0;
    double s2 = 0.0;
    double t1 = 0.0;  // 0 unless weibullShape
    double t2 = 0.0;
    double low = kShapeBoundAbsent;  // as given unless weibullShape
    double high = kShapeBoundAbsent;
};

// The interval for the exponential (1), gamma (2, shape p1 known), normal (4, mean p1
// known), Weibull (7) and lognormal (8) laws: with a statement the rate or precision at
// which P(X > value) is each risk; without one, from the fitted parameters (exponential
// 1/p1 and 1/f, gamma 1/p2 and 1/f, normal and lognormal 1/p2^2 and 0, Weibull the rate
// and 1/g, f and g the mean excesses). With weibullShape the shape interval, ordered,
// with the support (absent bounds first set from the interval) widened by whole units
// until it holds it. Other laws give s1 = s2 = 0.
ExpertInterval expert_interval(const ExpertStatement& statement);

// The confidence granted to the expert: "Forte", "Moyenne", "Faible", or "*" (not given).
enum class ExpertConfidence { kStrong, kMedium, kWeak, kNotGiven };

// Appends two prior parameters at risk level alpha (z the standard normal quantile at
// 1 - alpha/2): without weibullShape the Gamma (shape, rate) whose mean +- z standard
// deviations is [s1, s2]; with it the Beta (a, b) on [t1, t2] by the confidence: strong
// puts the interval at the mean +- z standard deviations, medium and weak put the mode at
// the middle with the smaller parameter 5 or 1.2; a confidence not given reads as weak.
void expert_prior(const ExpertInterval& interval, bool weibullShape, ExpertConfidence confidence,
                  double alpha, ValueList& prior);

// The theta in [lo, hi], appended as the last parameter, for which the law's survival at
// x is p, by bisection; 0 when the bracket holds no sign change. The bisection stops at
// the tolerance, or when the bracket no longer shrinks, and then returns hi.
double solve_for_survival(LawCode code, const ValueList& parameters, double x, double lo,
                          double hi, double p);

}  // namespace evstat
