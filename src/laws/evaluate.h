#pragma once
#include "laws/catalogue.h"
#include "series/lists.h"

namespace evstat {

enum class EvalMode { Density = 0, Distribution = 1, RandomSample = 2, Quantile = 3, Survival = 4 };

// Appends to output one point (x, value) per input point (modes other than RandomSample,
// x read from the input), or count random values numbered 1..count (RandomSample).
void evaluate_law(Sample& output, LawCode code, const Sample& input, const ValueList& parameters,
                  EvalMode mode, int count);

}  // namespace evstat
