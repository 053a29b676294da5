#include "driver/tasks.h"

namespace evstat {

void run_task(RunContext& context) {
    switch (context.parameters.taskNumber) {
        case 5: task_describe_series(context); break;
        default: break;  // tasks whose code has not landed run nothing
    }
}

}  // namespace evstat
