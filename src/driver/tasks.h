// The task catalogue: one entry per task, each a readable sequence of calls in the
// order the front end sees its results appear. A task reads its record and never writes it.
#pragma once

#include "driver/run.h"
#include "laws/evaluate.h"
#include "records/run_records.h"

namespace evstat {

// Run the task of the record's TaskNumber; a number the layout does not serve runs nothing.
void run_task(const LoadType1Parameters& parameters, RunContext& run);
void run_task(const LoadType2Parameters& parameters, RunContext& run);
void run_task(const LoadType3Parameters& parameters, RunContext& run);
void run_task(const LoadType4Parameters& parameters, RunContext& run);
void run_task(const LoadType5Parameters& parameters, RunContext& run);

// Simulation, law curves, description, kernel estimate and fitting (LoadType 1).
void task_simulate(const LoadType1Parameters& p, RunContext& run);                  // 1
void task_law_curve(const LoadType1Parameters& p, RunContext& run, EvalMode mode);  // 2, 3, 4, 8
void task_describe_series(const LoadType1Parameters& p, RunContext& run);           // 5
void task_kernel_density(const LoadType1Parameters& p, RunContext& run);            // 6
void task_fit_law(const LoadType1Parameters& p, RunContext& run);                   // 7
void task_estimate_spread(const LoadType1Parameters& p, RunContext& run);           // 26

// Samples of the Bayesian predictive law of a series (LoadType 4).
void task_predictive_samples(const LoadType4Parameters& p, RunContext& run);  // 27

}  // namespace evstat
