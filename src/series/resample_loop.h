// The loop every resampling study shares: B series drawn one after the other, each
// sorted ascending and handed to the study's own step (a refit, a statistic), the
// step's values collected in the order of the draws and sorted, so that the study reads
// the order statistics it needs.
//
// The draws are made in batches, in their order, on the calling thread; then each
// resample of the batch is sorted and stepped on its own (it reads nothing but its own
// values), and the values are gathered in draw order. The step may keep scratch state
// from one call to the next, but what it returns depends on the resample alone.
#pragma once

#include <functional>
#include <span>

#include "series/series.h"

namespace evstat {

// Fills the series with the next resample; false when it cannot (the loop then stops).
using SeriesDraw = std::function<bool(Series& values)>;
// The value of one sorted resample; NaN leaves the resample out.
using ResampleStep = std::function<double(std::span<const double> sorted)>;

// B resamples in order; `values` receives, sorted ascending, the step's values that are
// numbers. False when B < 1 or a draw fails (the values are then of no use).
bool resampled_values(int B, const SeriesDraw& draw, const ResampleStep& step, Series& values);

}  // namespace evstat
