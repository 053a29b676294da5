// The task catalogue: one entry per task, each a readable sequence of calls in the
// order the front end sees its results appear.
#pragma once

#include "driver/run.h"
#include "laws/evaluate.h"

namespace evstat {

// Runs the task of the TaskNumber; numbers outside 1 to 46 run nothing.
void run_task(RunContext& context);

// Simulation, law curves, description, kernel estimate and fitting (LoadType 1).
void task_describe_series(RunContext& context);  // 5

}  // namespace evstat
