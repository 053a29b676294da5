// A law applied to every point of a Sample, or a random sample of the law.
#include "laws/evaluate.h"

#include <vector>

#include "laws/densities.h"
#include "laws/distributions.h"
#include "laws/quantiles.h"
#include "laws/random_values.h"

namespace evstat {

namespace {

// The values of draw_random_values, numbered 1..count.
void append_random_sample(Sample& output, LawCode code, const ValueList& parameters, int count) {
    std::vector<double> values;
    draw_random_values(code, parameters, count, values);
    double rank = 0.0;
    for (const double value : values) output.push_back(rank += 1.0, value);
}

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
        case EvalMode::RandomSample:
            break;
    }
    return 0.0;
}

}  // namespace

void evaluate_law(Sample& output, LawCode code, const Sample& input, const ValueList& parameters,
                  EvalMode mode, int count) {
    switch (mode) {
        case EvalMode::RandomSample:
            append_random_sample(output, code, parameters, count);
            return;
        case EvalMode::Density:
        case EvalMode::Distribution:
        case EvalMode::Quantile:
        case EvalMode::Survival:
            for (const Point& point : input)
                output.push_back(point.x, value_at(code, parameters, mode, point.x));
            return;
    }
}

}  // namespace evstat
