// Draws from the Bayesian predictive law of a series: per observation one parameter from
// its posterior, then one value of the law with that parameter; for the Weibull law with
// an expert prior on its shape, one shape by rejection under the likelihood of the data.
#pragma once

#include "laws/catalogue.h"
#include "laws/generator.h"
#include "series/lists.h"
#include "series/series.h"
#include "tail/work_bounds.h"

namespace evstat {

enum class PredictiveDraw {
    Drawn,          // N values appended
    NotDrawable,    // the posterior or the prior is not a law the generator can draw from;
                    // nothing is drawn and nothing appended
    RejectionBound  // the shape rejection reached its bound for one observation, or the
                    // bound on the proposals of one sampler in all
};

// The most proposals the shape rejection makes for one observation.
constexpr long kMaxShapeProposals = 1'000'000;
// The most proposals one sampler makes in all is its caller's (kMaxShapeProposalsInAll
// unless the caller lowers it, tail/work_bounds.h).

// Appends N values drawn from the predictive law of `code` (1, 2, 4, 7, 8):
// `posterior` is the (shape, scale) Gamma list of posterior_parameters, `parameters` the
// law's own parameters (the known shape of 2, mean of 4 and 8, shape of 7; theta and k0
// of 7 with the shape flag), `prior` the Beta prior (a, b) of the rescaled shape and
// [low, high] its support when weibullShapeFlag is not 0. Every draw has its parameters in
// the law's domain: a posterior shape or scale that is not positive and finite, a known
// parameter outside its domain, a prior or support of the shape that is not a law, or data
// that give no likelihood (a value not positive) are NotDrawable, before any draw. A
// proposed shape not above 0 is rejected. On NotDrawable and RejectionBound nothing is
// appended. The uniform value of the rejection is uniform_value(0, 1), never 0.
PredictiveDraw predictive_sample(Generator& generator, std::span<const double> data, LawCode code,
                                 const ValueList& prior, const ValueList& posterior,
                                 const ValueList& parameters, int N, double low, double high,
                                 int weibullShapeFlag, Series& output);

}  // namespace evstat
