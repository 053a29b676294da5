// The core's interface as it stands for the expert-opinion study: the driver's own study of
// task 25 over parameters filled from the request, its refusals (Erreur values) caught here.
#include "expert_adapter.h"
#include "core_lists.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "driver/task_expert_opinion.h"
#include "parallel/worker_pool.h"
#include "driver/work_bounds.h"
#include "estimation/estimate.h"
#include "laws/catalogue.h"
#include "laws/densities.h"
#include "laws/distributions.h"
#include "records/errors.h"
#include "records/run_records.h"
#include "series/series.h"
#include "tail/bayes/posteriors.h"
#include "tail/bayes/predictive_sampler.h"

namespace evstat::binding {

static_assert(kNoPriorBound == evstat::kPriorBoundAbsent);

namespace {



ExpertConfidence confidence_of(const std::string& word) {
    if (word == "Forte") return ExpertConfidence::kStrong;
    if (word == "Moyenne") return ExpertConfidence::kMedium;
    if (word == "Faible") return ExpertConfidence::kWeak;
    return ExpertConfidence::kNotGiven;
}

Sample orders_of(const std::vector<double>& orders) {
    Sample table;
    int position = 0;
    for (double order : orders) table.push_back(order, ++position);
    return table;
}

LoadType3Parameters parameters_of(const ExpertRequest& r) {
    LoadType3Parameters p;
    p.frame.taskNumber = 25;
    p.law.code = law_code_of_number(r.code);
    p.weibullShape = r.weibullShape;
    p.priorLow = r.priorLow;
    p.priorHigh = r.priorHigh;
    p.simulated = r.simulated;
    if (r.simulated) p.simulationLaw.code = law_code_of_number(r.simulationCode);
    p.simulationParameters = value_list(r.simulationParameters);
    p.expert = r.expert;
    p.expertMaxQuantile = r.c;
    p.riskP1 = r.riskP1;
    p.riskP2 = r.riskP2;
    p.defiance = r.defiance;
    p.confidence = confidence_of(r.confidence);
    p.test = r.andersonDarling ? CentralTest::kAndersonDarling : CentralTest::kCramerVonMises;
    p.testLevel1 = r.testLevel;
    p.testLevel2 = r.quantileTestLevel;
    p.excessCount = r.k;
    p.quantileOrder = r.p;
    p.extraOrders = orders_of(r.orders);
    return p;
}

}  // namespace

ExpertOutcome expert_study(Generator& generator, std::span<const double> series,
                           const ExpertRequest& request) {
    const LoadType3Parameters parameters = parameters_of(request);
    ExpertStudyOutcome study;
    ExpertOutcome outcome;
    int refused = 0;
    with_generator(generator, [&](evstat::Generator& source) {
        try {
            WorkerPool pool(1);  // the study's resamples, on this thread
            study = study_with_expert(source, pool, parameters, WorkBounds{},
                                      Series(series.begin(), series.end()));
        } catch (Erreur code) {
            refused = static_cast<int>(code);
        }
    });
    if (refused != 0) {
        outcome.refused = refused;
        return outcome;
    }
    outcome.column = std::move(study.column);
    outcome.fitted = values_of(study.fitted);
    outcome.predictive = values_of(study.predictive);
    const PredictiveCurveLaw law =
        predictive_curve_law(parameters.law.code, parameters.weibullShape, study.predictive);
    outcome.predictiveName = law.name;
    outcome.predictiveCode = law_code_number(law.code);
    outcome.predictiveParameters = values_of(law.parameters);
    for (const Point& point : study.predictiveDistribution) {
        outcome.tableX.push_back(point.x);
        outcome.tableDistribution.push_back(point.y);
    }
    for (const Point& point : study.predictiveDensity) outcome.tableDensity.push_back(point.y);
    return outcome;
}

void predictive_values(int code, std::span<const double> parameters, std::span<const double> x,
                       std::span<double> densities, std::span<double> distributions,
                       std::span<double> survivals) {
    const ValueList list = value_list(parameters);
    const LawCode law = law_code_of_number(code);
    for (std::size_t i = 0; i < x.size(); ++i) {
        densities[i] = density(law, list, x[i]);
        distributions[i] = distribution(law, list, x[i]);
        survivals[i] = 1.0 - distributions[i];
    }
}

namespace {

// The value at x of the line through the points (grid, values) around it: `below` before
// the first point, `above` after the last, the value of the lower point where two share x.
double read_linearly(std::span<const double> grid, std::span<const double> values, double x,
                     double below, double above) {
    if (grid.empty() || std::isnan(x)) return std::numeric_limits<double>::quiet_NaN();
    if (x < grid.front()) return below;
    if (x > grid.back()) return above;
    const std::size_t upper =
        static_cast<std::size_t>(std::upper_bound(grid.begin(), grid.end(), x) - grid.begin());
    if (upper >= grid.size()) return values[grid.size() - 1];  // x is the last point
    const std::size_t lower = upper == 0 ? 0 : upper - 1;
    const double width = grid[upper] - grid[lower];
    if (!(width > 0.0)) return values[lower];
    return values[lower] + (x - grid[lower]) * (values[upper] - values[lower]) / width;
}

}  // namespace

void table_values(std::span<const double> grid, std::span<const double> distributionTable,
                  std::span<const double> densityTable, std::span<const double> x,
                  std::span<double> densities, std::span<double> distributions,
                  std::span<double> survivals) {
    const std::size_t points =
        std::min({grid.size(), distributionTable.size(), densityTable.size()});
    const std::span<const double> xs = grid.first(points);
    for (std::size_t i = 0; i < x.size(); ++i) {
        densities[i] = read_linearly(xs, densityTable.first(points), x[i], 0.0, 0.0);
        distributions[i] = read_linearly(xs, distributionTable.first(points), x[i], 0.0, 1.0);
        survivals[i] = 1.0 - distributions[i];
    }
}

namespace {
bool finite_positive(double value) { return std::isfinite(value) && value > 0.0; }
}  // namespace

int predictive_samples(Generator& generator, std::span<const double> values, int code,
                       bool weibullShape, std::span<const double> priorValues, double low,
                       double high, double size, double samples, std::vector<double>& rows) {
    rows.clear();
    const LawCode law = law_code_of_number(code);
    if (!has_predictive_law(law)) return static_cast<int>(Erreur::NoEstimator);
    Series series(values.begin(), values.end());
    sort_ascending(series);
    if (law != LawCode::kNormal && has_non_positive(series))
        return static_cast<int>(Erreur::NegativeDataForLaw);
    const ValueList prior = value_list(priorValues);
    const int w = weibullShape ? 1 : 0;
    if (prior.size() < 2 || !finite_positive(prior.at(1)) || !finite_positive(prior.at(2)) ||
        (w == 1 && !(high > std::max(low, 0.0))))
        return static_cast<int>(Erreur::InvalidLawParameters);
    int refused = 0;
    with_generator(generator, [&](evstat::Generator& source) {
        try {
            require_simulation_within_bounds(size, samples);
            const int each = size > 0.0 ? static_cast<int>(std::trunc(size)) : 0;
            const int n = size_of(series);
            ValueList estimates;
            ValueList posterior;
            estimate_law(series, law, n, estimates);
            posterior_parameters(series, law, prior, estimates, n, w, posterior);
            const PredictiveSampler sampler(series, law, prior, posterior, estimates, low, high, w,
                                            WorkBounds{}.shapeProposals);
            Series sample;
            // The first row, then while i is not above the count, as the numbered files.
            for (int i = 1; i == 1 || i <= samples; ++i) {
                sample.clear();
                const PredictiveDraw outcome = predictive_sample(source, sampler, each, sample);
                if (outcome == PredictiveDraw::RejectionBound)
                    throw Erreur::MethodPreconditionFails;
                if (outcome == PredictiveDraw::NotDrawable) throw Erreur::InvalidLawParameters;
                sort_ascending(sample);
                rows.insert(rows.end(), sample.begin(), sample.end());
            }
        } catch (Erreur failure) {
            refused = static_cast<int>(failure);
        }
    });
    return refused;
}

}  // namespace evstat::binding
