#include "driver/work_bounds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "records/errors.h"

namespace evstat {

namespace {
std::string as_text(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

[[noreturn]] void refuse(const std::string& what, double value, long long bound) {
    throw with_detail(Erreur::InvalidLawParameters,
                      what + " " + as_text(value) + " au-del\xc3\xa0 de la limite " +
                          std::to_string(bound));
}
}  // namespace

void refuse_table(TableBound bound, const WorkBounds& bounds) {
    const bool points = bound == TableBound::Law11Points;
    const long long most = points ? bounds.law11TablePoints : bounds.shapeKernelEvaluations;
    refuse(points ? "nombre de points de la table"
                  : "nombre d'\xc3\xa9valuations de la densit\xc3\xa9 pr\xc3\xa9" "dictive",
           static_cast<double>(most) + 1.0, most);
}

void require_grid_within_bounds(long long steps) {
    if (steps < 0 || steps > kMostGridPoints - 1)
        refuse("nombre de pas", static_cast<double>(steps), kMostGridPoints - 1);
}

void require_simulation_within_bounds(double sampleSize, double sampleCount) {
    const double size = std::trunc(sampleSize);
    if (!(size <= static_cast<double>(kMostSampleValues)))
        refuse("taille d'\xc3\xa9" "chantillon", sampleSize, kMostSampleValues);
    const double count = std::trunc(sampleCount);
    if (!(count <= static_cast<double>(kMostNumberedFiles)))
        refuse("nombre d'\xc3\xa9" "chantillons", sampleCount, kMostNumberedFiles);
    const double files = count < 1.0 ? 1.0 : count;
    const double values = (size > 0.0 ? size : 0.0) * files;
    if (values > static_cast<double>(kMostValuesWritten))
        refuse("nombre de valeurs \xc3\xa9" "crites", values, kMostValuesWritten);
}

void require_resampling_within_bounds(long long resamples, long long seriesSize, long long tests) {
    const double values = static_cast<double>(std::max(resamples, 0LL)) *
                          static_cast<double>(std::max(seriesSize, 0LL)) *
                          static_cast<double>(std::max(tests, 0LL));
    if (values > static_cast<double>(kMostResampledValues))
        refuse("nombre de valeurs r\xc3\xa9" "\xc3\xa9" "chantillonn\xc3\xa9" "es", values, kMostResampledValues);
}

}  // namespace evstat
