// The task catalogue: one entry per task, each a readable sequence of calls in the
// order the front end sees its results appear.
#pragma once

#include "driver/run.h"
#include "laws/evaluate.h"

namespace evstat {

// Runs the task of the TaskNumber; numbers outside 1 to 46 run nothing.
void run_task(RunContext& context);

// Simulation, law curves, description, kernel estimate and fitting (LoadType 1).
void task_simulate(RunContext& context);                   // 1
void task_law_curve(RunContext& context, EvalMode mode);   // 2, 3, 4, 8
void task_describe_series(RunContext& context);            // 5
void task_kernel_density(RunContext& context);             // 6
void task_fit_law(RunContext& context);                    // 7
void task_estimate_spread(RunContext& context);            // 26

// Samples of the Bayesian predictive law of a series (LoadType 4).
void task_predictive_samples(RunContext& context);         // 27

}  // namespace evstat
