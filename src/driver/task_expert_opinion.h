// Task 25: a law fitted to a series and combined with an expert's opinion through a
// prior, a posterior and a Bayesian predictive law, with tests, quantile tables and curves.
#pragma once

#include "driver/run.h"

namespace evstat {

// The laws with a conjugate prior and a predictive law: exponential, gamma, normal,
// Weibull and lognormal.
bool has_predictive_law(LawCode code);

// The predictive law of the curves: its name in the curve ParameterFiles, its LawCode
// and the parameters it is drawn with, in that law's order, from the predictive list Z.
// The exponential law and the Weibull law with a prior on its scale have the Lomax
// law: the GPD of shape -q2 and scale q1, of x^q1 for the Weibull law.
struct PredictiveCurveLaw {
    const char* name;
    LawCode code;
    ValueList parameters;
};
PredictiveCurveLaw predictive_curve_law(LawCode code, int weibullShapeFlag, const ValueList& Z);

// The series prepared by the study, with what the prior and the tables read from it.
struct PreparedSeries {
    Sample S;           // transformed in place for the lognormal law and the Weibull scale
    Sample C;           // the series as read, sorted
    Sample excesses;    // Q, over the threshold u of the series as read
    double u = 0.0;
    double e1 = 0.0;    // mean excess of the series as read
    double e2 = 0.0;    // mean excess of the transformed series
    double rho = 0.0;   // Weibull scale: 1 / mean of the powers
};

// What the study computes before its curves: the prepared series, the fitted parameters A,
// the predictive list Z, the Weibull-shape predictive tables P1 (distribution) and P2
// (density), and the result column in the order task 25 writes it.
struct ExpertStudy {
    PreparedSeries prepared;
    ValueList A;
    ValueList Z;
    Sample P1;
    Sample P2;
    Sample column;
};

// The study of the series in study.prepared.S (as read, not empty) for a law with a
// predictive law: 64 for values not above 0 but for the normal law, then the fit, the
// expert's prior, the predictive law, the tables and the tests, drawing the tests' series
// from the generator. The parameters and the context are those of task 25.
void study_with_expert(const RunContext& context, ExpertStudy& study);

void task_expert_opinion(RunContext& context);  // 25

}  // namespace evstat
