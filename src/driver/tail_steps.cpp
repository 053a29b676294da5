#include "driver/tail_steps.h"

#include <cstdio>

#include "driver/files.h"
#include "records/errors.h"

namespace evstat {

namespace {
// The largest number of excesses a method takes over n values: Zipf starts from the
// value before the largest and needs one more value below its k.
int largest_excess_count(TailMethod method, int n) { return method == kTailZipf ? n - 1 : n; }
}  // namespace

double threshold_for(std::span<const double> series, int n, int j) {
    return value_at(series, n - j);
}

TailFit fit_at(std::span<const double> series, int j, int n, double u, TailMethod method) {
    TailFit fit;
    if (j < 1 || j > largest_excess_count(method, n)) return fit;
    ValueList result;
    bool warning = false;
    bool failure = false;
    fit_tail(series, j, n, u, method, result, warning, failure);
    fit.xi = result.at(1);
    fit.sigma = result.at(2);
    fit.failed = failure;
    return fit;
}

TailFit fit_or_fail(std::span<const double> series, int j, int n, double u, TailMethod method) {
    const TailFit fit = fit_at(series, j, n, u, method);
    if (fit.failed) throw Erreur::MethodPreconditionFails;
    return fit;
}

bool fits_without_logarithms(TailMethod method) {
    return method == kTailWeightedMoments || method == kTailMaximumLikelihood;
}

bool guard_stops_task(const RunFiles& files, const CommonFrame& frame,
                      std::span<const double> series, int n, long long needed, bool concerned) {
    const int c = leading_non_positive_count(series);
    const int m = n - c - 1;
    if (c == 0 || needed <= m || !concerned) return false;
    OutputFile error(files, error_file_name(frame.directory), "w");
    if (m < 0) throw Erreur::NegativeData;
    print_bytes(error, kNegativeDataSentence);
    print_bytes(error, std::to_string(m));
    return true;
}

}  // namespace evstat
