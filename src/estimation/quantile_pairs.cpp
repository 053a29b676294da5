// Pairs (theoretical quantile, observed value) of a quantile plot: the i-th observed
// value against the law's quantile at probability (i - 1)/k, so the first pair is at 0.
#include "estimation/kernel.h"
#include "laws/quantiles.h"

namespace evstat {

// A count k <= 0 has no probabilities to offer and appends nothing.
void quantile_pairs(std::span<const double> observed, int k, const ValueList& parameters,
                    LawCode code,
                    Sample& pairs) {
    if (k <= 0) return;
    const double count = static_cast<double>(k);
    int i = 0;
    for (const double value : observed) {
        const double probability = static_cast<double>(i++) / count;
        pairs.push_back(quantile(code, parameters, probability), value);
    }
}

}  // namespace evstat
