// The run: command line, loading, seeding, the task, the single catch.
#pragma once

#include <cstdint>
#include <optional>

#include "driver/files.h"
#include "laws/catalogue.h"
#include "laws/generator.h"
#include "parallel/worker_pool.h"
#include "series/lists.h"
#include "tail/work_bounds.h"

namespace evstat {

// What the run owns and lends to its task, beside the task's record.
struct RunContext {
    RunFiles files;       // the ParameterFile no output may replace
    Generator generator;  // the run's draws, seeded once before the task
    WorkBounds bounds;    // the most work of the predictive tables and draws
    WorkerPool* pool = nullptr;  // the run's threads, owned by the driver
};

// Runs the engine on a command line; returns the process exit status. The generator is
// seeded from the clock, or with `seed` when one is given (tests that fix the draws); the
// predictive tables and draws stay within `bounds` (lower ones keep a harness's runs short).
// The run's studies use as many threads as the machine has, or EVSTAT_THREADS when it is set
// (read once, at the start); their files are the same bytes whatever the number.
int run(int argc, char** argv, std::optional<std::uint32_t> seed = std::nullopt,
        const WorkBounds& bounds = WorkBounds{});

}  // namespace evstat
