// The predictive density of the Weibull-shape case over its grid.
#include "laws/romberg.h"
#include "tail/bayes_table/shape_integrands.h"

namespace evstat {

double predictive_density_table(const ShapeModel& model, Sample& grid) {
    const ShapeIntegrand posterior{ShapeKernel::Posterior, model};
    const double Z = romberg_integrate(posterior, model.low, model.high);
    ShapeNodeCache cache;
    bool first = true;
    for (Point& point : grid) {
        if (first) {
            first = false;
            continue;
        }
        point.y = predictive_density_cached(model, cache, point.x, Z);
    }
    return Z;
}

}  // namespace evstat
