// Tasks over the excesses of a series above a threshold: tests of a law fitted to the
// excesses (LoadType 2), and the tail estimation by the methods "HW", "EMV", "Hill",
// "HillG" and "Zipf" with its plots and return levels (LoadType 5).
#pragma once

#include "driver/run.h"

namespace evstat {

// A law fitted to the excesses and tested by Anderson-Darling.
void task_excess_test(RunContext& context);            // 13: one series, quantile pairs
void task_excess_rejection_rate(RunContext& context);  // 14: over the numbered data files
void task_excess_decisions(RunContext& context);       // 15: for 2 to n - 1 excesses

// Tail parameters (xi, sigma) over a threshold.
void task_tail_fit_plots(RunContext& context);    // 28: first method, with its plots
void task_tail_fit_methods(RunContext& context);  // 29: every method
void task_tail_fit_range(RunContext& context);    // 30: every method, k to K excesses
void task_tail_fit_spread(RunContext& context);   // 31: first method, numbered data files

// Return levels at the quantile order of the ParameterFile.
void task_return_level(RunContext& context);          // 32: first method
void task_return_level_methods(RunContext& context);  // 33: every method
void task_return_level_range(RunContext& context);    // 34: every method, k to K excesses
void task_return_level_spread(RunContext& context);   // 35: first method, numbered data files

}  // namespace evstat
