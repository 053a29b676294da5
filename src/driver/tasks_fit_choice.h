// Tasks of LoadType 2 that choose a law for a series by tests of fit with critical
// values, and the extreme quantiles of fitted laws.
#pragma once

#include "driver/run.h"
#include "records/run_records.h"

namespace evstat {

// Candidate laws for one series: estimates, decision, statistic and critical value of
// each law, then the usable positions, the count of unusable laws and their curve pairs.
// Task 9: Anderson-Darling
void task_candidate_laws_ad(const LoadType2Parameters& p, RunContext& run);
// Task 10: Cramer-von Mises
void task_candidate_laws_cvm(const LoadType2Parameters& p, RunContext& run);

// Rejection and acceptance rates of the first law over the numbered data files.
// Task 11: Anderson-Darling
void task_rejection_rate_ad(const LoadType2Parameters& p, RunContext& run);
// Task 12: Cramer-von Mises
void task_rejection_rate_cvm(const LoadType2Parameters& p, RunContext& run);

// The quantile at 1 - quantileOrder of each candidate law fitted to one series.
// Task 36
void task_extreme_quantiles(const LoadType2Parameters& p, RunContext& run);
// The same quantile of the first law over the numbered data files, sorted, with the
// mean and variance of the available ones and the number of files.
// Task 37
void task_extreme_quantile_spread(const LoadType2Parameters& p, RunContext& run);

}  // namespace evstat
