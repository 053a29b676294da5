// Priors from an expert's statement: the interval the statement gives for the parameter a
// prior describes (a rate, a precision, or the Weibull shape), then the parameters of a
// conjugate Gamma prior on that interval, or of a Beta prior on the rescaled shape whose
// spread follows the confidence granted to the expert.
#pragma once

#include <string>

#include "laws/catalogue.h"
#include "series/lists.h"

namespace evstat {

// Statement modes of expert_interval.
constexpr int kExpertStatement = 1;  // P(X > c) lies between d1 and d2
// Any other mode: the interval follows from the current parameters and f, g.

// A bound of the shape's support that the ParameterFile leaves out. Widening from it
// would give a support reaching down to -999, shapes that are no Weibull law: an absent
// lower bound starts instead at the whole unit at or below s1 (not below 0), an absent
// upper bound at the whole unit at or above s2 (at least one unit above the lower bound).
constexpr double kShapeBoundAbsent = -999.0;

// The widening of the Weibull shape's support stops after this many rounds (each moves
// an end by one unit); only a non-finite interval end gets that far.
constexpr int kMaxSupportWideningRounds = 1'000'000;

// The interval [s1, s2] for the exponential (1), gamma (2, shape p1 known), normal (4,
// mean p1 known), Weibull (7) and lognormal (8) laws, and with weibullShapeFlag 1 the
// shape interval, ordered, with [low, high] (absent bounds first set from the interval)
// widened by whole units until it holds it and
// the interval's positions t1, t2 in it (0 and 0 with the flag 0). `weibullRate` is s1
// of the Weibull rate in the derived mode. Other laws leave s1, s2 as they are.
void expert_interval(LawCode code, const ValueList& parameters, double weibullRate, int mode,
                     double c, double d1, double d2, double f, double g, double& low,
                     double& high, int weibullShapeFlag, double& s1, double& s2, double& t1,
                     double& t2);

// Appends two prior parameters at risk level alpha (z the standard normal quantile at
// 1 - alpha/2): with weibullShapeFlag 0 the Gamma (shape, rate) whose mean +- z standard
// deviations is [s1, s2]; with the flag 1 the Beta (a, b) on [t1, t2] by the confidence
// word: "Forte" puts the interval at the mean +- z standard deviations, "Moyenne" and
// "Faible" put the mode at the middle with the smaller parameter 5 or 1.2; "*" (no word
// given) is read as "Faible", and any other word appends nothing.
void expert_prior(double s1, double s2, double t1, double t2, int weibullShapeFlag,
                  const std::string& confidence, double alpha, ValueList& prior);

// The theta in [lo, hi], appended as the last parameter, for which the law's survival at
// x is p, by bisection; 0 when the bracket holds no sign change. The bisection stops at
// the tolerance, or when the bracket no longer shrinks, and then returns hi.
double solve_for_survival(LawCode code, const ValueList& parameters, double x, double lo,
                          double hi, double p);

}  // namespace evstat
