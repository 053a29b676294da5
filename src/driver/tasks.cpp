#include "driver/tasks.h"

#include "driver/task_expert_opinion.h"
#include "driver/tasks_fit_choice.h"
#include "driver/tasks_quantile_tests.h"
#include "driver/tasks_tail.h"

namespace evstat {

void run_task(const LoadType1Parameters& p, RunContext& run) {
    switch (p.frame.taskNumber) {
        case 1: task_simulate(p, run); break;
        case 2: task_law_curve(p, run, EvalMode::Density); break;
        case 3: task_law_curve(p, run, EvalMode::Distribution); break;
        case 4: task_law_curve(p, run, EvalMode::Quantile); break;
        case 5: task_describe_series(p, run); break;
        case 6: task_kernel_density(p, run); break;
        case 7: task_fit_law(p, run); break;
        case 8: task_law_curve(p, run, EvalMode::Survival); break;
        case 26: task_estimate_spread(p, run); break;
        default: break;
    }
}

void run_task(const LoadType2Parameters& p, RunContext& run) {
    switch (p.frame.taskNumber) {
        case 9: task_candidate_laws_ad(p, run); break;
        case 10: task_candidate_laws_cvm(p, run); break;
        case 11: task_rejection_rate_ad(p, run); break;
        case 12: task_rejection_rate_cvm(p, run); break;
        case 13: task_excess_test(p, run); break;
        case 14: task_excess_rejection_rate(p, run); break;
        case 15: task_excess_decisions(p, run); break;
        case 16:
        case 17:
        case 18: task_et_acceptance_rate(p, run); break;
        case 19:
        case 20:
        case 21: task_et_outcomes(p, run); break;
        case 22:
        case 23:
        case 24: task_et_verdicts(p, run); break;
        case 36: task_extreme_quantiles(p, run); break;
        case 37: task_extreme_quantile_spread(p, run); break;
        case 38:
        case 39:
        case 40: task_gpd_acceptance_rate(p, run); break;
        case 41:
        case 42:
        case 43: task_gpd_outcomes(p, run); break;
        case 44:
        case 45:
        case 46: task_gpd_verdicts(p, run); break;
        default: break;
    }
}

void run_task(const LoadType3Parameters& p, RunContext& run) {
    if (p.frame.taskNumber == 25) task_expert_opinion(p, run);
}

void run_task(const LoadType4Parameters& p, RunContext& run) {
    if (p.frame.taskNumber == 27) task_predictive_samples(p, run);
}

void run_task(const LoadType5Parameters& p, RunContext& run) {
    switch (p.frame.taskNumber) {
        case 28: task_tail_fit_plots(p, run); break;
        case 29: task_tail_fit_methods(p, run); break;
        case 30: task_tail_fit_range(p, run); break;
        case 31: task_tail_fit_spread(p, run); break;
        case 32: task_return_level(p, run); break;
        case 33: task_return_level_methods(p, run); break;
        case 34: task_return_level_range(p, run); break;
        case 35: task_return_level_spread(p, run); break;
        default: break;
    }
}

}  // namespace evstat
