// The scheme shared by the tests of fit with critical values: the probability sample,
// the refusals, the per-law corrections, the tables of critical values, the parametric
// resampling and the exponential transformation of a Pareto series.
#pragma once

#include "laws/catalogue.h"
#include "laws/generator.h"
#include "parallel/worker_pool.h"
#include "series/lists.h"
#include "series/series.h"

namespace evstat {

enum class FitStatistic { AndersonDarling, CramerVonMises };

// The whole test: refusals, statistic, critical value and decision (see fit_test.h).
void run_fit_test(Generator& generator, WorkerPool& pool, FitStatistic kind,
                  std::span<const double> data, LawCode code, const ValueList& parameters,
                  double level, int& accepted, double& statistic, double& criticalValue);

// The statistics over probabilities F_1 ... F_n, in order.
// A^2 = -n - S/n with S = sum of (2i - 1)(ln F_i + ln(1 - F_(n+1-i))).
double anderson_darling_statistic(std::span<const double> probabilities);
// W^2 = sum of (F_i - (2i - 1)/(2n))^2 + 1/(12n).
double cramer_von_mises_statistic(std::span<const double> probabilities);
double fit_statistic(FitStatistic kind, std::span<const double> probabilities);

// The modification of a statistic for the sample size n:
// (raw + shiftPerN/n + shiftPerN2/n^2) * (1 + perN/n + perN2/n^2 + perRootN/sqrt(n)).
struct Modification {
    double shiftPerN;
    double shiftPerN2;
    double perN;
    double perN2;
    double perRootN;
};
double modified_statistic(const Modification& modification, double raw, int n);

// The statistic as reported for a law decided with a table (codes 0, 1, 2, 4, 7, 8, 9),
// from the statistic over the probabilities and the sample size n; other codes unchanged.
double corrected_anderson_darling(LawCode code, double raw, int n);
double corrected_cramer_von_mises(LawCode code, double raw, int n);
double corrected_statistic(FitStatistic kind, LawCode code, double raw, int n);

// Tables of critical values. The level must equal one of the five tabulated doubles
// exactly; any other level, or a law without a table, gives 0.
double table_critical_value(FitStatistic kind, LawCode code, double gammaShape, double level);
// The gamma column: the tabulated shape (1, 2, 3, 4, 5, 6, 8, 10, 12, 15, 20 or 25)
// chosen for a gamma law of the given shape.
double gamma_table_shape(double shape);

// The probability sample: one point per observation, in order, x = the observation and
// y = the law's distribution function at it.
void probability_sample(std::span<const double> data, LawCode code, const ValueList& parameters,
                        Series& probabilities);
// True when every probability lies strictly between 0 and 1 (a NaN does not).
bool probabilities_inside_unit_interval(std::span<const double> probabilities);

// The Pareto series turned into an exponential one: probabilities 1 - exp(-z), sorted
// ascending, with z = (ln x - a)/b and a, b estimated from the logarithms of the data.
// False (and nothing appended) when the logarithms do not give a positive finite b.
bool pareto_exponential_probabilities(std::span<const double> data, Series& probabilities);

// Parametric resampling (codes 3, 5, 6, 10).
constexpr int kReplicates = 200;
// The resampled laws are refused unless the generator can draw from them
// (parameters_drawable, laws/validity.h).
// The 1-based position 200 - floor(200 level) of the critical value among the sorted
// replicate statistics, clamped to 1 .. 200; 0 for a NaN level.
int resampling_position(double level);
// The replicate statistic at the position, from 200 samples of n values drawn from the law
// with the given parameters, each refitted and tested against its own fit.
double resampled_critical_value(Generator& generator, WorkerPool& pool, FitStatistic kind,
                                LawCode code, const ValueList& parameters, int n, int position);

}  // namespace evstat
