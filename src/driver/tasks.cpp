#include "driver/tasks.h"

#include "driver/tasks_fit_choice.h"

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
        case 26: task_estimate_spread(context); break;
        case 36: task_extreme_quantiles(context); break;
        case 37: task_extreme_quantile_spread(context); break;
        default: break;  // tasks whose code has not landed run nothing
    }
}

}  // namespace evstat
