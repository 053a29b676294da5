#pragma once
#include "laws/catalogue.h"
#include "series/lists.h"
#include "series/series.h"

namespace evstat {
// Appends the estimates of the law's parameters over a sorted series of n values;
// LawCode 10 and codes outside 0..9 append nothing. Never changes the series.
void estimate_parameters(std::span<const double> series, LawCode code, int n, ValueList& estimates);
// Probability-weighted moments of the generalized Pareto law: appends shape xi, then scale sigma.
void estimate_gpd_parameters(std::span<const double> series, int n, ValueList& estimates);
// The estimator of any law that has one: the generalized Pareto law by its own, every
// other law by estimate_parameters.
void estimate_law(std::span<const double> series, LawCode code, int n, ValueList& estimates);
}  // namespace evstat
