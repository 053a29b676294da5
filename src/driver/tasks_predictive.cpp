// Task 27 (LoadType 4): samples drawn from the Bayesian predictive law of a series,
// written as the simulation of task 1 writes its samples. The prior of the ParameterFile
// is a Gamma law (shape, rate) on the rate or the precision of the law, or, for
// "WeibullForme", a Beta law (a, b) of the Weibull shape rescaled to [priorLow, priorHigh];
// the law's own parameters are estimated from the series.
#include <algorithm>
#include <cmath>

#include "driver/files.h"
#include "driver/task_support.h"
#include "driver/tasks.h"
#include "driver/work_bounds.h"
#include "estimation/estimate.h"
#include "estimation/moments.h"
#include "records/errors.h"
#include "tail/bayes/posteriors.h"
#include "tail/bayes/predictive_sample.h"
#include "tail/bayes/predictive_sampler.h"

namespace evstat {

namespace {

// The laws with a conjugate prior and a predictive law.
bool has_predictive_law(LawCode code) {
    return code == LawCode::kExponential || code == LawCode::kGamma || code == LawCode::kNormal || code == LawCode::kWeibull ||
           code == LawCode::kLognormal;
}

bool needs_positive_values(LawCode code) { return code != LawCode::kNormal; }

bool finite_positive(double value) { return std::isfinite(value) && value > 0.0; }

// Both prior laws need two finite positive parameters; the Beta law of the shape also
// needs a support whose upper end lies above max(lower end, 0).
void require_drawable_prior(const LoadType4Parameters& p) {
    const ValueList& prior = p.priorParameters;
    if (prior.size() < 2 || !finite_positive(prior.at(1)) || !finite_positive(prior.at(2)))
        throw Erreur::InvalidLawParameters;
    if (p.weibullShape && !(p.priorHigh > std::max(p.priorLow, 0.0)))
        throw Erreur::InvalidLawParameters;
}

// One predictive sample of `size` values; a shape rejection at its bound (of one value, or
// of the whole run's proposals) fails with 65, a posterior or a prior the generator cannot
// draw from with 12.
void draw(Generator& generator, const PredictiveSampler& sampler, int size, Series& sample) {
    const PredictiveDraw outcome = predictive_sample(generator, sampler, size, sample);
    if (outcome == PredictiveDraw::RejectionBound) throw Erreur::MethodPreconditionFails;
    if (outcome == PredictiveDraw::NotDrawable) throw Erreur::InvalidLawParameters;
}

}  // namespace

void task_predictive_samples(const LoadType4Parameters& p, RunContext& run) {
    const LawCode code = p.law.code;
    if (!has_predictive_law(code)) throw Erreur::NoEstimator;
    Series series;
    read_series(p.frame.dataFile, series);
    sort_ascending(series);
    if (needs_positive_values(code) && has_non_positive(series))
        throw Erreur::NegativeDataForLaw;
    require_drawable_prior(p);
    const double size = std::trunc(p.sampleSize);
    require_simulation_within_bounds(p.sampleSize, p.sampleCount);

    const int valuesEach = size > 0.0 ? static_cast<int>(size) : 0;
    const int n = size_of(series);
    ValueList estimates;  // the law's own parameters
    ValueList posterior;  // the Gamma posterior of the rate or precision
    estimate_law(series, code, n, estimates);
    posterior_parameters(series, code, p.priorParameters, estimates, n, p.weibullShape, posterior);
    // One sampler for the whole run: its bound on shape proposals is the run's.
    const PredictiveSampler sampler(series, code, p.priorParameters, posterior, estimates,
                                    p.priorLow, p.priorHigh, p.weibullShape,
                                    run.bounds.shapeProposals);

    Series sample;
    draw(run.generator, sampler, valuesEach, sample);
    sort_ascending(sample);
    {
        OutputFile out(run.files, p.frame.resultFile, "a");
        if (out.is_open()) {
            const std::string none = formatted(kNoMoment);  // no theoretical moments
            write_summary(out, none, mean(sample), none, variance(sample), sample, valuesEach);
        }
    }
    write_numbered_samples(run.files, p.frame.directory, p.sampleCount, sample,
                           [&](Series& again) { draw(run.generator, sampler, valuesEach, again); });
}

}  // namespace evstat
