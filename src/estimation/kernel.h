#pragma once
#include "laws/catalogue.h"
#include "series/lists.h"
#include "series/series.h"

namespace evstat {
constexpr int kGaussianKernel = 1;
constexpr int kEpanechnikovKernel = 2;
double kernel_density(std::span<const double> series, int n, double bandwidth, double x,
                      int kernel);
// Appends (quantile at (i - 1)/k, i-th observed value) for the observed values in order.
void quantile_pairs(std::span<const double> observed, int k, const ValueList& parameters,
                    LawCode code,
                    Sample& pairs);
}  // namespace evstat
