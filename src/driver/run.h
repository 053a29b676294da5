// The run: command line, loading, seeding, the task, the single catch.
#pragma once

#include <cstdint>
#include <optional>

#include "driver/files.h"
#include "laws/catalogue.h"
#include "series/lists.h"

namespace evstat {

// What the run owns and lends to its task, beside the task's record: the run's files.
struct RunContext {
    RunFiles files;
};

// Runs the engine on a command line; returns the process exit status. The generator is
// seeded from the clock, or with `seed` when one is given (tests that fix the draws).
int run(int argc, char** argv, std::optional<std::uint32_t> seed = std::nullopt);

// The law-parameter check of the law-curve and simulation tasks: true when the
// parameters are usable for the law (a missing parameter is not).
bool law_parameters_valid(LawCode code, const ValueList& parameters);

}  // namespace evstat
