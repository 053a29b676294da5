// Steps over the tail of a sorted series shared by the tail tasks and the tests of an
// extreme quantile: the threshold for j excesses, a tail fit whose failure the task may
// turn into a code, and the guard against non-positive data.
#pragma once

#include "driver/files.h"
#include "records/run_records.h"
#include "series/lists.h"
#include "series/series.h"
#include "tail/methods/tail.h"

namespace evstat {

// The threshold for j excesses: the value at position n - j (the first value below 1).
double threshold_for(std::span<const double> series, int n, int j);

struct TailFit {
    double xi = kTailFailure;
    double sigma = kTailFailure;
    bool failed = true;
};

// The tail fit for j excesses over the threshold u. More excesses than the method takes
// over n values, or none, cannot be fitted: the fit then fails with the failure pair, as
// the methods themselves do when their estimate is not finite (a threshold not above 0
// under the logarithms of methods 3 to 5, a likelihood iterate out of range).
TailFit fit_at(std::span<const double> series, int j, int n, double u, TailMethod method);

// As fit_at, for the tasks that turn a failed fit into Erreur 65.
TailFit fit_or_fail(std::span<const double> series, int j, int n, double u, TailMethod method);

// Methods 1 "HW" and 2 "EMV" take no logarithm of the values.
bool fits_without_logarithms(TailMethod method);

// The guard against non-positive data. With c the non-positive values at the start of
// the series, m = n - c - 1 excesses at most keep the threshold above 0. When the series
// has such values, the task needs more than m excesses and its methods take logarithms
// (`concerned`), the error file gets the sentence and m, and the task ends normally
// (true); with no positive value at all the task fails with 61, whose message then
// fills the same file.
bool guard_stops_task(const RunFiles& files, const CommonFrame& frame,
                      std::span<const double> series, int n, long long needed, bool concerned);

}  // namespace evstat
