// The Bayesian quantile table: per exceedance level p the parent quantile, the exponential-tail
// value and the quantile of the predictive law (closed forms for the exponential, gamma and
// Weibull with known shape; lookups in a tabulated distribution for the normal, lognormal and the
// Weibull with a prior on its shape).
#include "tail/bayes_table/bayes_table.h"

#include <cmath>
#include <limits>
#include <vector>

#include "laws/constants.h"
#include "laws/quantiles.h"
#include "tail/bayes_table/law11_table.h"

namespace evstat {

namespace {

// The Lomax quantile of the exponential and Weibull-with-known-shape cases: (q1 / q2)(1 - p^q2)
// with q2 = -1/(alpha + n).
double lomax_quantile(double scale, double shape, double p) {
    return (scale / shape) * (1.0 - std::pow(p, shape));
}

// X / (X + q3) follows the beta law (q1, q2).
double beta_prime_quantile(const ValueList& q, double p) {
    ValueList beta;
    beta.push_back(q.at(1));
    beta.push_back(q.at(2));
    const double z = quantile(LawCode::kBeta, beta, 1.0 - p);
    return q.at(3) * z / (1.0 - z);
}

double predictive_quantile(const BayesTableInput& in, const Sample& table, double p) {
    const ValueList& q = in.predictive;
    switch (in.code) {
        case LawCode::kExponential:
            return lomax_quantile(q.at(1), q.at(2), p);
        case LawCode::kGamma:
            return beta_prime_quantile(q, p);
        case LawCode::kNormal:
        case LawCode::kLognormal:
            return lookup_distribution(table, 1.0 - p);
        case LawCode::kWeibull:
            if (in.weibullShapeFlag == 1) return lookup_distribution(table, 1.0 - p);
            return std::pow(lomax_quantile(q.at(2), q.at(3), p), 1.0 / in.parameters.at(2));
        default:
            return kNaN;  // no predictive law
    }
}

// The Weibull-shape case: the grid, its density table and the distribution cumulated from it.
bool shape_tables(const BayesTableInput& in, Sample& distributionTable, Sample& densityTable) {
    Sample grid;
    GridLayout layout;
    predictive_grid(in.data, in.parameters, in.s1, in.s2, in.expertMaxQuantile, grid, layout);
    const ShapeModel model = make_shape_model(in.data, in.predictive, in.low, in.high);
    densityTable = grid;
    double Z = 0.0;
    if (!predictive_density_table(model, in.bounds.shapeKernelEvaluations, densityTable, Z))
        return false;
    distributionTable = densityTable;
    predictive_cdf_table(model, layout, Z, distributionTable);
    return true;
}

void append(const Sample& from, Sample& to) {
    for (const Point& point : from) to.push_back(point.x, point.y);
}

}  // namespace

TableBound bayes_quantile_table(const BayesTableInput& input, Sample& parentQuantiles,
                          Sample& tailQuantiles, Sample& predictiveQuantiles,
                          Sample& comparisonGiven, Sample& comparisonFitted,
                          Sample& predictiveDistribution, Sample& predictiveDensity) {
    std::vector<double> levels;
    for (const Point& point : input.levels)
        if (point.x != 0.0) levels.push_back(point.x);

    Sample law11Table;
    Sample shapeTable;
    const Sample* table = &law11Table;
    if (input.code == LawCode::kNormal || input.code == LawCode::kLognormal) {
        double lo = 0.0;
        double hi = 0.0;
        law11_table_range(input.code, input.parameters, input.s1, input.s2, levels, lo, hi);
        if (!tabulate_law11_to_levels(input.code, input.predictive, lo, hi, levels,
                                      input.bounds.law11TablePoints, law11Table))
            return TableBound::Law11Points;
    } else if (input.code == LawCode::kWeibull && input.weibullShapeFlag == 1) {
        Sample density;
        if (!shape_tables(input, shapeTable, density)) return TableBound::ShapeEvaluations;
        append(shapeTable, predictiveDistribution);
        append(density, predictiveDensity);
        table = &shapeTable;
    }

    const double N = input.n;
    const double k = input.excessCount;
    double row = 0.0;
    for (const double p : levels) {
        row += 1.0;
        if (input.comparisonFlag == 1) {
            comparisonGiven.push_back(
                row, quantile(input.comparisonCode, input.comparisonGiven, 1.0 - p));
            comparisonFitted.push_back(
                row, quantile(input.comparisonCode, input.comparisonFitted, 1.0 - p));
        }
        parentQuantiles.push_back(row, quantile(input.code, input.parameters, 1.0 - p));
        tailQuantiles.push_back(row, input.threshold - input.meanExcess * std::log(N * p / k));
        predictiveQuantiles.push_back(row, predictive_quantile(input, *table, p));
    }
    return TableBound::Within;
}

}  // namespace evstat
