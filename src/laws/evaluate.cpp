// A law applied to every point of a Sample, or a random sample of the law.
#include "laws/evaluate.h"

#include "laws/densities.h"
#include "laws/distributions.h"
#include "laws/quantiles.h"
#include "laws/random_values.h"

namespace evstat {

namespace {

// Normal and lognormal values come in pairs: the first value of a pair takes position k, the
// second k + 1 when that is still within count (an odd count drops the last second value).
void append_pairs(Sample& output, LawCode code, const ValueList& parameters, int count) {
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    for (long k = 1; k <= count; k += 2) {
        double first = 0.0;
        double second = 0.0;
        if (code == kNormal)
            normal_pair(p1, p2, first, second);
        else
            lognormal_pair(p1, p2, first, second);
        output.push_back(static_cast<double>(k), first);
        if (k + 1 <= count) output.push_back(static_cast<double>(k + 1), second);
    }
}

void append_random_sample(Sample& output, LawCode code, const ValueList& parameters, int count) {
    if (code == kNormal || code == kLognormal) {
        append_pairs(output, code, parameters, count);
        return;
    }
    for (long k = 1; k <= count; ++k)
        output.push_back(static_cast<double>(k), random_value(code, parameters));
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
