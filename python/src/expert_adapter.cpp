// The core's interface as it stands for the expert-opinion study: the driver's own study of
// task 25 over a context filled from the request, its refusals (Erreur values) caught here.
#include "expert_adapter.h"

#include <algorithm>
#include <cmath>

#include "driver/run.h"
#include "driver/task_expert_opinion.h"
#include "driver/work_bounds.h"
#include "estimation/estimate.h"
#include "input/errors.h"
#include "laws/densities.h"
#include "laws/distributions.h"
#include "tail/bayes/posteriors.h"
#include "tail/bayes/predictive_sampler.h"

namespace evstat::binding {

static_assert(kNoPriorBound == evstat::kPriorBoundAbsent);

namespace {

ValueList value_list(std::span<const double> values) {
    ValueList list;
    for (double v : values) list.push_back(v);
    return list;
}

std::vector<double> values_of(const ValueList& list) { return {list.begin(), list.end()}; }

RunContext context_of(const ExpertRequest& r) {
    RunContext context;
    RunParameters& p = context.parameters;
    context.loadType = 3;
    context.lawCode = r.code;
    context.weibullShapeFlag = r.weibullShape ? 1 : 0;
    context.testSelector = r.andersonDarling ? 1 : 2;
    context.simulationLawCode = r.simulated ? r.simulationCode : kUnknownLaw;
    p.taskNumber = 25;
    p.priorLow = r.priorLow;
    p.priorHigh = r.priorHigh;
    p.simulated = r.simulated ? 1 : 0;
    p.lawParameters = value_list(r.simulationParameters);
    p.expert = r.expert ? 1 : 0;
    p.expertMaxQuantile = r.c;
    p.riskP1 = r.riskP1;
    p.riskP2 = r.riskP2;
    p.defiance = r.defiance;
    p.confidence = r.confidence;
    p.testName = r.andersonDarling ? "AD" : "CVM";
    p.testLevel1 = r.testLevel;
    p.testLevel2 = r.quantileTestLevel;
    p.excessCount = r.k;
    p.quantileOrder = r.p;
    int position = 0;
    for (double order : r.orders) p.extraOrders.push_back(order, ++position);
    return context;
}

}  // namespace

ExpertOutcome expert_study(Generator& generator, std::span<const double> series,
                           const ExpertRequest& request) {
    const RunContext context = context_of(request);
    ExpertStudy study;
    double rank = 0.0;
    for (double v : series) study.prepared.S.push_back(++rank, v);
    ExpertOutcome outcome;
    int refused = 0;
    with_generator(generator, [&] {
        try {
            study_with_expert(context, study);
        } catch (Erreur code) {
            refused = static_cast<int>(code);
        }
    });
    if (refused != 0) {
        outcome.refused = refused;
        return outcome;
    }
    for (const Point& point : study.column) outcome.column.push_back(point.y);
    outcome.fitted = values_of(study.A);
    outcome.predictive = values_of(study.Z);
    const PredictiveCurveLaw law =
        predictive_curve_law(request.code, context.weibullShapeFlag, study.Z);
    outcome.predictiveName = law.name;
    outcome.predictiveCode = law.code;
    outcome.predictiveParameters = values_of(law.parameters);
    for (const Point& point : study.P1) {
        outcome.tableX.push_back(point.x);
        outcome.tableDistribution.push_back(point.y);
    }
    for (const Point& point : study.P2) outcome.tableDensity.push_back(point.y);
    return outcome;
}

void predictive_values(int code, std::span<const double> parameters, std::span<const double> x,
                       std::span<double> densities, std::span<double> distributions) {
    const ValueList list = value_list(parameters);
    for (std::size_t i = 0; i < x.size(); ++i) {
        densities[i] = density(code, list, x[i]);
        distributions[i] = distribution(code, list, x[i]);
    }
}

namespace {
bool finite_positive(double value) { return std::isfinite(value) && value > 0.0; }
}  // namespace

int predictive_samples(Generator& generator, std::span<const double> values, int code,
                       bool weibullShape, std::span<const double> priorValues, double low,
                       double high, double size, double samples, std::vector<double>& rows) {
    rows.clear();
    if (!has_predictive_law(code)) return static_cast<int>(Erreur::NoEstimator);
    Sample series;
    double rank = 0.0;
    for (double v : values) series.push_back(++rank, v);
    series.sort_ascending();
    if (code != kNormal && series.has_non_positive())
        return static_cast<int>(Erreur::NegativeDataForLaw);
    const ValueList prior = value_list(priorValues);
    const int w = weibullShape ? 1 : 0;
    if (prior.size() < 2 || !finite_positive(prior.at(1)) || !finite_positive(prior.at(2)) ||
        (w == 1 && !(high > std::max(low, 0.0))))
        return static_cast<int>(Erreur::InvalidLawParameters);
    int refused = 0;
    with_generator(generator, [&] {
        try {
            require_simulation_within_bounds(size, samples);
            const int each = size > 0.0 ? static_cast<int>(std::trunc(size)) : 0;
            const int n = series.size();
            ValueList estimates;
            ValueList posterior;
            estimate_law(series, code, n, estimates);
            posterior_parameters(series, code, prior, estimates, n, w, posterior);
            const PredictiveSampler sampler(series, code, prior, posterior, estimates, low, high, w);
            Sample sample;
            // The first row, then while i is not above the count, as the numbered files.
            for (int i = 1; i == 1 || i <= samples; ++i) {
                sample.clear();
                const PredictiveDraw outcome = predictive_sample(sample, sampler, each);
                if (outcome == PredictiveDraw::RejectionBound) throw Erreur::MethodPreconditionFails;
                if (outcome == PredictiveDraw::NotDrawable) throw Erreur::InvalidLawParameters;
                sample.sort_ascending();
                for (const Point& point : sample) rows.push_back(point.y);
            }
        } catch (Erreur failure) {
            refused = static_cast<int>(failure);
        }
    });
    return refused;
}

}  // namespace evstat::binding
