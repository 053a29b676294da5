#include "driver/tasks.h"

#include "driver/task_expert_opinion.h"
#include "driver/tasks_fit_choice.h"
#include "driver/tasks_quantile_tests.h"
#include "driver/tasks_tail.h"

namespace evstat {

void run_task(RunContext& context) {
    switch (context.parameters.taskNumber) {
        case 1: task_simulate(context); break;
        case 2: task_law_curve(context, EvalMode::Density); break;
        case 3: task_law_curve(context, EvalMode::Distribution); break;
        case 4: task_law_curve(context, EvalMode::Quantile); break;
        case 5: task_describe_series(context); break;
        case 6: task_kernel_density(context); break;
        case 7: task_fit_law(context); break;
        case 8: task_law_curve(context, EvalMode::Survival); break;
        case 9: task_candidate_laws_ad(context); break;
        case 10: task_candidate_laws_cvm(context); break;
        case 11: task_rejection_rate_ad(context); break;
        case 12: task_rejection_rate_cvm(context); break;
        case 13: task_excess_test(context); break;
        case 14: task_excess_rejection_rate(context); break;
        case 15: task_excess_decisions(context); break;
        case 16:
        case 17:
        case 18: task_et_acceptance_rate(context); break;
        case 19:
        case 20:
        case 21: task_et_outcomes(context); break;
        case 22:
        case 23:
        case 24: task_et_verdicts(context); break;
        case 25: task_expert_opinion(context); break;
        case 26: task_estimate_spread(context); break;
        case 27: task_predictive_samples(context); break;
        case 28: task_tail_fit_plots(context); break;
        case 29: task_tail_fit_methods(context); break;
        case 30: task_tail_fit_range(context); break;
        case 31: task_tail_fit_spread(context); break;
        case 32: task_return_level(context); break;
        case 33: task_return_level_methods(context); break;
        case 34: task_return_level_range(context); break;
        case 35: task_return_level_spread(context); break;
        case 36: task_extreme_quantiles(context); break;
        case 37: task_extreme_quantile_spread(context); break;
        case 38:
        case 39:
        case 40: task_gpd_acceptance_rate(context); break;
        case 41:
        case 42:
        case 43: task_gpd_outcomes(context); break;
        case 44:
        case 45:
        case 46: task_gpd_verdicts(context); break;
        default: break;  // tasks whose code has not landed run nothing
    }
}

}  // namespace evstat
