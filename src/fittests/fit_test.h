// The tests of fit with critical values: does a law, with given parameters, fit a data
// series at a level? Both tests share one scheme (fittests/fit_scheme.h) and differ only
// in the statistic, its corrections and its critical values.
//
// Every test takes the caller's generator (the laws without tables draw replicates from
// it), the data sorted ascending, the LawCode, the law's parameters and the
// level, and sets three out-parameters, in this order:
//   accepted       1 when the law is not rejected at the level, else 0;
//   statistic      the statistic as corrected for the law;
//   criticalValue  the value it was compared with.
// All three are 0 on entry; a test that cannot be made (refused) leaves them at 0.
// Nothing is raised. The laws whose critical value is resampled draw their replicates
// and hand their refits to the pool.
#pragma once

#include "laws/catalogue.h"
#include "laws/generator.h"
#include "parallel/worker_pool.h"
#include "series/lists.h"
#include "series/series.h"

namespace evstat {

void anderson_darling_test(Generator& generator, WorkerPool& pool, std::span<const double> data,
                           LawCode code, const ValueList& parameters, double level, int& accepted,
                           double& statistic, double& criticalValue);

// The entry point of the Anderson-Darling test used over the excesses of a series:
// the same arguments and the same behaviour as anderson_darling_test.
void anderson_darling_excess_test(Generator& generator, WorkerPool& pool,
                                  std::span<const double> excesses, LawCode code,
                                  const ValueList& parameters, double level, int& accepted,
                                  double& statistic, double& criticalValue);

void cramer_von_mises_test(Generator& generator, WorkerPool& pool, std::span<const double> data,
                           LawCode code, const ValueList& parameters, double level, int& accepted,
                           double& statistic, double& criticalValue);

// True when the test of the law resamples its critical value (it then draws).
bool fit_test_resamples(LawCode code);

}  // namespace evstat
