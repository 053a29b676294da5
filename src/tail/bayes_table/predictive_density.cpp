// The predictive density of the Weibull-shape case over its grid.
#include "laws/romberg.h"
#include "tail/bayes_table/shape_integrands.h"

namespace evstat {

bool predictive_density_table(const ShapeModel& model, long long mostEvaluations, Sample& grid,
                              double& Z) {
    const ShapeIntegrand posterior{ShapeKernel::Posterior, model};
    Z = romberg_integrate(posterior, model.low, model.high);
    ShapeNodeCache cache;
    bool first = true;
    for (Point& point : grid) {
        if (first) {
            first = false;
            continue;
        }
        if (cache.evaluations > mostEvaluations) return false;
        point.y = predictive_density_cached(model, cache, point.x, Z);
    }
    return cache.evaluations <= mostEvaluations;
}

}  // namespace evstat
