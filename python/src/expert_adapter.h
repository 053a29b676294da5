// The core's expert-opinion study as the module calls it: the study's settings as plain
// values, its result column and predictive law back. Like core_adapter.h, the one place
// where this binding meets the core's signatures.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "core_adapter.h"

namespace evstat::binding {

constexpr double kNoPriorBound = -999.0;  // a support bound of the Weibull shape left out

struct ExpertRequest {
    int code = 0;              // 1 exponential, 2 gamma, 4 normal, 7 Weibull, 8 lognormal
    bool weibullShape = false;  // the prior is on the Weibull shape, else on its scale
    double priorLow = kNoPriorBound;
    double priorHigh = kNoPriorBound;
    bool simulated = false;
    int simulationCode = 0;
    std::vector<double> simulationParameters;
    bool expert = false;       // the expert states P(X > c) between riskP2 and riskP1
    double c = 0.0;
    double riskP1 = 0.0;
    double riskP2 = 0.0;
    double defiance = 0.0;
    std::string confidence;    // "Forte", "Moyenne", "Faible"
    bool andersonDarling = false;
    double testLevel = 0.0;
    double quantileTestLevel = 0.0;
    int k = 0;
    double p = 0.0;
    std::vector<double> orders;  // the quantile table's orders, none 0
};

struct ExpertOutcome {
    int refused = 0;                // the engine's error code when the core refused the study
    std::vector<double> column;     // as task 25 writes it
    std::vector<double> fitted;     // the law's fitted engine parameters
    std::vector<double> predictive; // the predictive list (q1, q2[, q3])
    std::string predictiveName;     // the predictive law's engine name, code and parameters
    int predictiveCode = 0;
    std::vector<double> predictiveParameters;
    std::vector<double> tableX;     // the Weibull-shape predictive tables: x, F(x), f(x)
    std::vector<double> tableDistribution;
    std::vector<double> tableDensity;
};

// The study of a series (as given, at least one value) with the generator drawing its tests'
// series; a refusal of the core leaves its code in `refused`.
ExpertOutcome expert_study(Generator& generator, std::span<const double> series,
                           const ExpertRequest& request);

// The predictive law's density, distribution and survival functions at x (codes above the
// catalogue's laws included); the survival is 1 - the distribution.
void predictive_values(int code, std::span<const double> parameters, std::span<const double> x,
                       std::span<double> density, std::span<double> distribution,
                       std::span<double> survival);

// The predictive law of the Weibull shape, a table of points (grid ascending, the
// distribution and the density at each), read linearly between its points: at each x the
// density (0 outside the grid), the distribution (0 below it, 1 above it) and the survival
// 1 - the distribution; NaN at a NaN x or for an empty table.
void table_values(std::span<const double> grid, std::span<const double> distributionTable,
                  std::span<const double> densityTable, std::span<const double> x,
                  std::span<double> density, std::span<double> distribution,
                  std::span<double> survival);

// `samples` rows of `size` values drawn from the predictive law of a series under a prior
// (Gamma (shape, rate), or for the Weibull shape Beta (a, b) over [low, high]), each row
// sorted, in the order the predictive-sample task draws them; 0 or the engine's error code.
int predictive_samples(Generator& generator, std::span<const double> series, int code,
                       bool weibullShape, std::span<const double> prior, double low, double high,
                       double size, double samples, std::vector<double>& rows);

}  // namespace evstat::binding
