// The loop every resampling study shares: B series drawn one after the other, each
// sorted ascending and handed to the study's own step (a refit, a statistic), the
// step's values collected in the order of the draws and sorted, so that the study reads
// the order statistics it needs.
//
// The draws are made in chunks of consecutive resamples, in their order, by one thread at a
// time and never two at once, while the other threads of the pool sort and step the chunks
// drawn before, each resample on its own (it reads nothing but its own values); the values
// are gathered in draw order. A step may keep scratch state from one call to the next, but
// what it returns depends on the resample alone: the loop makes one step for each of the
// pool's threads, so no two threads share one.
#pragma once

#include <functional>
#include <span>

#include "parallel/worker_pool.h"
#include "series/series.h"

namespace evstat {

// Fills the series with the next resample; false when it cannot (the loop then stops).
using SeriesDraw = std::function<bool(Series& values)>;
// Completes a drawn resample, drawing nothing (the logarithms that turn drawn points into
// values, say); run on the pool before the resample is sorted. May be empty.
using SeriesFinish = std::function<void(Series& values)>;
// The value of one sorted resample; NaN leaves the resample out.
using ResampleStep = std::function<double(std::span<const double> sorted)>;
// A new step with scratch state of its own.
using StepMaker = std::function<ResampleStep()>;

// B resamples in order; `values` receives, sorted ascending, the step's values that are
// numbers. False when B < 1 or a draw fails (the values are then of no use). The values
// and the draws are the same whatever the number of the pool's threads.
bool resampled_values(WorkerPool& pool, int B, const SeriesDraw& draw, const SeriesFinish& finish,
                      const StepMaker& makeStep, Series& values);

}  // namespace evstat
