#include "driver/tasks.h"

#include "driver/tasks_tail.h"

namespace evstat {

void run_task(RunContext& context) {
    switch (context.parameters.taskNumber) {
        case 5: task_describe_series(context); break;
        case 13: task_excess_test(context); break;
        case 14: task_excess_rejection_rate(context); break;
        case 15: task_excess_decisions(context); break;
        case 28: task_tail_fit_plots(context); break;
        case 29: task_tail_fit_methods(context); break;
        case 30: task_tail_fit_range(context); break;
        case 31: task_tail_fit_spread(context); break;
        case 32: task_return_level(context); break;
        case 33: task_return_level_methods(context); break;
        case 34: task_return_level_range(context); break;
        case 35: task_return_level_spread(context); break;
        default: break;  // tasks whose code has not landed run nothing
    }
}

}  // namespace evstat
