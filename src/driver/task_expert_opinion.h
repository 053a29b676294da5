// Task 25: a law fitted to a series and combined with an expert's opinion through a
// prior, a posterior and a Bayesian predictive law, with tests, quantile tables and curves.
#pragma once

#include "driver/run.h"
#include "records/run_records.h"

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
PredictiveCurveLaw predictive_curve_law(LawCode code, bool weibullShape, const ValueList& Z);

// What the study computes before its curves: the law's fitted parameters, the predictive
// parameters (q1, q2, q3), the Weibull-shape predictive tables (distribution and density,
// empty for the other laws) and the result column in the order task 25 writes it.
struct ExpertStudyOutcome {
    ValueList fitted;
    ValueList predictive;
    Sample predictiveDistribution;
    Sample predictiveDensity;
    Series column;
};

// The study of a series as read for a law with a predictive law: 3 for an empty series,
// 64 for values not above 0 but for the normal law, then the fit, the expert's prior, the
// predictive law, the tables and the tests, drawing the tests' series from the generator.
ExpertStudyOutcome study_with_expert(Generator& generator, WorkerPool& pool,
                                     const LoadType3Parameters& p, const WorkBounds& bounds,
                                     Series series);

void task_expert_opinion(const LoadType3Parameters& p, RunContext& run);  // 25

}  // namespace evstat
