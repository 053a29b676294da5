// Tasks over the excesses of a series above a threshold: tests of a law fitted to the
// excesses (LoadType 2), and the tail estimation by the methods "HW", "EMV", "Hill",
// "HillG" and "Zipf" with its plots and return levels (LoadType 5).
#pragma once

#include "driver/run.h"
#include "records/run_records.h"

namespace evstat {

// A law fitted to the excesses and tested by Anderson-Darling.
// Task 13: one series, quantile pairs
void task_excess_test(const LoadType2Parameters& p, RunContext& run);
// Task 14: over the numbered data files
void task_excess_rejection_rate(const LoadType2Parameters& p, RunContext& run);
// Task 15: for 2 to n - 1 excesses
void task_excess_decisions(const LoadType2Parameters& p, RunContext& run);

// Tail parameters (xi, sigma) over a threshold.
// Task 28: first method, with its plots
void task_tail_fit_plots(const LoadType5Parameters& p, RunContext& run);
// Task 29: every method
void task_tail_fit_methods(const LoadType5Parameters& p, RunContext& run);
// Task 30: every method, k to K excesses
void task_tail_fit_range(const LoadType5Parameters& p, RunContext& run);
// Task 31: first method, numbered data files
void task_tail_fit_spread(const LoadType5Parameters& p, RunContext& run);

// Return levels at the quantile order of the ParameterFile.
// Task 32: first method
void task_return_level(const LoadType5Parameters& p, RunContext& run);
// Task 33: every method
void task_return_level_methods(const LoadType5Parameters& p, RunContext& run);
// Task 34: every method, k to K excesses
void task_return_level_range(const LoadType5Parameters& p, RunContext& run);
// Task 35: first method, numbered data files
void task_return_level_spread(const LoadType5Parameters& p, RunContext& run);

}  // namespace evstat
