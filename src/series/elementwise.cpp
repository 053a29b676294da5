#include "series/elementwise.h"

#include "series/log_vector.h"

#include <cmath>
#include <cstddef>

namespace evstat {

void exp_each(std::span<const double> x, std::span<double> out) {
    for (std::size_t i = 0; i < x.size(); ++i) out[i] = std::exp(x[i]);
}

void log_each(std::span<const double> x, std::span<double> out) {
    if (log_each_vector(x, out)) return;
    for (std::size_t i = 0; i < x.size(); ++i) out[i] = std::log(x[i]);
}

}  // namespace evstat
