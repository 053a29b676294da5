// Tasks of LoadType 2 that test the extreme quantile of a parent law fitted to a series
// against a tail approximation over the excesses above a threshold: the exponential tail
// (ET, tasks 16 to 24) or the generalized Pareto tail (tasks 38 to 46). Each family has
// three forms: the acceptance rate over the numbered data files, the detailed outcome
// per candidate law for one number of excesses, and the verdict per candidate law over
// a range of numbers of excesses. `etVersion` chooses the test.
#pragma once

#include "driver/run.h"
#include "records/run_records.h"

namespace evstat {

void task_et_acceptance_rate(const LoadType2Parameters& p, RunContext& run);   // 16 to 18
void task_et_outcomes(const LoadType2Parameters& p, RunContext& run);          // 19 to 21
void task_et_verdicts(const LoadType2Parameters& p, RunContext& run);          // 22 to 24
void task_gpd_acceptance_rate(const LoadType2Parameters& p, RunContext& run);  // 38 to 40
void task_gpd_outcomes(const LoadType2Parameters& p, RunContext& run);         // 41 to 43
void task_gpd_verdicts(const LoadType2Parameters& p, RunContext& run);         // 44 to 46

}  // namespace evstat
