// Tasks of LoadType 2 that choose a law for a series by tests of fit with critical
// values, and the extreme quantiles of fitted laws.
#pragma once

#include "driver/run.h"

namespace evstat {

// Candidate laws for one series: estimates, decision, statistic and critical value of
// each law, then the usable positions, the count of unusable laws and their curve pairs.
void task_candidate_laws_ad(RunContext& context);   // 9: Anderson-Darling
void task_candidate_laws_cvm(RunContext& context);  // 10: Cramer-von Mises

// Rejection and acceptance rates of the first law over the numbered data files.
void task_rejection_rate_ad(RunContext& context);   // 11: Anderson-Darling
void task_rejection_rate_cvm(RunContext& context);  // 12: Cramer-von Mises

// The quantile at 1 - quantileOrder of each candidate law fitted to one series.
void task_extreme_quantiles(RunContext& context);  // 36
// The same quantile of the first law over the numbered data files, sorted, with the
// mean and variance of the available ones and the number of files.
void task_extreme_quantile_spread(RunContext& context);  // 37

}  // namespace evstat
