#include "series/elementwise.h"

#include <cmath>
#include <cstddef>

#include "series/exp_vector.h"
#include "series/log_vector.h"

namespace evstat {

void exp_each(std::span<const double> x, std::span<double> out) {
    if (const int width = exp_vector_width(); width != 0) return exp_each_vector(x, out, width);
    for (std::size_t i = 0; i < x.size(); ++i) out[i] = std::exp(x[i]);
}

void log_each(std::span<const double> x, std::span<double> out) {
    if (log_each_vector(x, out)) return;
    for (std::size_t i = 0; i < x.size(); ++i) out[i] = std::log(x[i]);
}

}  // namespace evstat
