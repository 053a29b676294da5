// The bounds on the work of the predictive tables and draws of one run: the values a run
// uses unless its caller hands lower ones (the fuzz harness does, to keep its runs short).
// A table or a sampler stopped by its bound reports it; the task refuses the run (12).
#pragma once

namespace evstat {

// Most points of the normal and lognormal predictive table (16 bytes each): a series whose
// spread is some thousands of its units would otherwise ask for hundreds of millions of
// integrations at the table's step.
constexpr long long kMostLaw11TablePoints = 10'000'000;
// Most evaluations of the predictive kernel over the Weibull-shape grid: up to 200,000 points a
// region, each integration taking up to 2^18 of them where it does not converge, would
// otherwise run for hours.
constexpr long long kMostShapeKernelEvaluations = 500'000'000;
// The most proposals one predictive sampler makes in all, over every observation it draws: the
// acceptance rate is the same for every observation, so a rate that is low without reaching
// the bound of one observation would otherwise make a long run without end in sight.
constexpr long long kMaxShapeProposalsInAll = 100'000'000;

struct WorkBounds {
    long long law11TablePoints = kMostLaw11TablePoints;
    long long shapeKernelEvaluations = kMostShapeKernelEvaluations;
    long long shapeProposals = kMaxShapeProposalsInAll;
};

}  // namespace evstat
