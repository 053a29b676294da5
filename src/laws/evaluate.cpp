// A law applied to every point of a Sample, or a random sample of the law.
#include "laws/evaluate.h"

#include <vector>

#include "laws/densities.h"
#include "laws/distributions.h"
#include "laws/quantiles.h"
#include "laws/random_values.h"

namespace evstat {

namespace {

double value_at(LawCode code, const ValueList& parameters, EvalMode mode, double x) {
    switch (mode) {
        case EvalMode::Density:
            return density(code, parameters, x);
        case EvalMode::Distribution:
            return distribution(code, parameters, x);
        case EvalMode::Quantile:
            return quantile(code, parameters, x);
        case EvalMode::Survival:
            return 1.0 - distribution(code, parameters, x);
    }
    return 0.0;
}

}  // namespace

void evaluate_law(LawCode code, const ValueList& parameters, const Sample& input, EvalMode mode,
                  Sample& output) {
    for (const Point& point : input)
        output.push_back(point.x, value_at(code, parameters, mode, point.x));
}

void random_sample(Generator& generator, LawCode code, const ValueList& parameters, int count,
                   Sample& output) {
    std::vector<double> values;
    draw_random_values(generator, code, parameters, count, values);
    double rank = 0.0;
    for (const double value : values) output.push_back(rank += 1.0, value);
}

}  // namespace evstat
