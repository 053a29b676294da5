// Calls the engine's core directly: a law's distribution function, a fit and a test of
// fit, each checked against a figure worked out by hand.
#include <cmath>
#include <cstdio>

#include "estimation/estimate.h"
#include "fittests/fit_test.h"
#include "laws/catalogue.h"
#include "laws/distributions.h"
#include "laws/generator.h"
#include "parallel/worker_pool.h"
#include "series/lists.h"
#include "series/series.h"

int main() {
    using namespace evstat;
    int failures = 0;
    auto check = [&failures](const char* what, double value, double expected, double tolerance) {
        const bool close = std::fabs(value - expected) <= tolerance;
        std::printf("%-40s %.17g%s\n", what, value, close ? "" : "  (unexpected)");
        if (!close) ++failures;
    };

    // Weibull (theta = 2, k = 1.5): F(1) = 1 - exp(-1 / 2).
    ValueList weibull;
    weibull.push_back(2.0);
    weibull.push_back(1.5);
    check("Weibull F(1), theta 2, k 1.5", distribution(LawCode::kWeibull, weibull, 1.0),
          1.0 - std::exp(-0.5), 1e-15);

    // The normal fit of 1, 2, 3, 4 (sorted): mean 2.5, unbiased deviation sqrt(5/3).
    const Series series = {1.0, 2.0, 3.0, 4.0};
    ValueList estimates;
    estimate_law(series, LawCode::kNormal, size_of(series), estimates);
    check("normal fit: mean", estimates.at(1), 2.5, 1e-15);
    check("normal fit: standard deviation", estimates.at(2), std::sqrt(5.0 / 3.0), 1e-15);

    // Anderson-Darling at 0.05: the normal law fits its own four points, against the 0.752
    // of the table for estimated parameters (a law decided by its table draws nothing from
    // the generator). The laws whose critical value is resampled hand their refits to the
    // pool (one thread here).
    Generator generator(1);
    WorkerPool pool(1);
    int accepted = 0;
    double statistic = 0.0;
    double criticalValue = 0.0;
    anderson_darling_test(generator, pool, series, LawCode::kNormal, estimates, 0.05, accepted,
                          statistic, criticalValue);
    check("Anderson-Darling: accepted", accepted, 1, 0);
    check("Anderson-Darling: critical value", criticalValue, 0.752, 1e-15);
    std::printf("statistic %.17g\n", statistic);

    if (failures != 0) return 1;
    std::printf("the law, the fit and the test: all three agree\n");
    return 0;
}
