#include "driver/tasks.h"

#include "driver/tasks_fit_choice.h"

namespace evstat {

void run_task(RunContext& context) {
    switch (context.parameters.taskNumber) {
        case 5: task_describe_series(context); break;
        case 9: task_candidate_laws_ad(context); break;
        case 10: task_candidate_laws_cvm(context); break;
        case 11: task_rejection_rate_ad(context); break;
        case 12: task_rejection_rate_cvm(context); break;
        case 36: task_extreme_quantiles(context); break;
        case 37: task_extreme_quantile_spread(context); break;
        default: break;  // tasks whose code has not landed run nothing
    }
}

}  // namespace evstat
