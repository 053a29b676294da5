// A law applied to every point of a Sample, or a random sample of the law.
#pragma once
#include "laws/catalogue.h"
#include "laws/generator.h"
#include "series/lists.h"

namespace evstat {

enum class EvalMode { Density = 0, Distribution = 1, Quantile = 3, Survival = 4 };

// Appends to output one point (x, value) per input point, x read from the input.
void evaluate_law(LawCode code, const ValueList& parameters, const Sample& input, EvalMode mode,
                  Sample& output);

// Appends to output count random values of the law numbered 1..count: the values of
// draw_random_values, in the generator's order. A count below 1 appends nothing.
void random_sample(Generator& generator, LawCode code, const ValueList& parameters, int count,
                   Sample& output);

}  // namespace evstat
