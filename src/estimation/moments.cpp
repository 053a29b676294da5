// Theoretical mean and standard deviation of the laws 0 to 10; kNoMoment where a moment is not
// finite or not defined.
#include "estimation/moments.h"

#include <cmath>
#include <limits>

#include "laws/constants.h"
#include "laws/gamma_error_functions.h"

namespace evstat {

namespace {

void weibull_moments(double theta, double k, double& mean, double& deviation) {
    const double g1 = gamma_function(1.0 / k + 1.0);
    mean = g1 * std::pow(1.0 / theta, -1.0 / k);
    deviation =
        std::sqrt((gamma_function(2.0 / k + 1.0) - g1 * g1) * std::pow(1.0 / theta, -2.0 / k));
}

// Student: the mean exists for nu > 1 and the variance for nu > 2 (otherwise kNoMoment).
void student_moments(double nu, double& mean, double& deviation) {
    mean = nu > 1.0 ? 0.0 : (nu <= 1.0 ? kNoMoment : kNaN);
    deviation = nu > 2.0 ? std::sqrt(nu / (nu - 2.0)) : (nu <= 2.0 ? kNoMoment : kNaN);
}

// Threshold xm, exponent alpha: the mean exists for alpha > 1, the variance for alpha > 2.
void pareto_moments(double xm, double alpha, double& mean, double& deviation) {
    if (alpha > 1.0) {
        mean = xm * alpha / (alpha - 1.0);
        deviation =
            alpha > 2.0
                ? std::sqrt(xm * xm * alpha / ((alpha - 2.0) * (alpha - 1.0) * (alpha - 1.0)))
                : kNoMoment;
        return;
    }
    mean = deviation = alpha <= 1.0 ? kNoMoment : kNaN;
}

// Shape xi, scale sigma. A shape of 1 or more gives the mean 0.0 (not kNoMoment), as the
// simulation summary has always shown it.
void gpd_moments(double xi, double sigma, double& mean, double& deviation) {
    if (xi == 0.0) {
        mean = deviation = sigma;
        return;
    }
    mean = xi < 1.0 ? sigma / (1.0 - xi) : (xi >= 1.0 ? 0.0 : kNaN);
    deviation = xi < 0.5 ? std::sqrt(sigma * sigma / ((1.0 - 2.0 * xi) * (1.0 - xi) * (1.0 - xi)))
                         : (xi >= 0.5 ? kNoMoment : kNaN);
}

}  // namespace

void law_moments(LawCode code, const ValueList& parameters, double& mean, double& deviation) {
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    switch (code) {
        case LawCode::kUniform:
            mean = (p1 + p2) / 2.0;
            deviation = (p2 - p1) / std::sqrt(12.0);
            return;
        case LawCode::kExponential:
            mean = deviation = p1;
            return;
        case LawCode::kGamma:
            mean = p1 * p2;
            deviation = p2 * std::sqrt(p1);
            return;
        case LawCode::kChiSquare:
            mean = p1;
            deviation = std::sqrt(2.0 * p1);
            return;
        case LawCode::kNormal:
            mean = p1;
            deviation = p2;
            return;
        case LawCode::kStudent:
            student_moments(p1, mean, deviation);
            return;
        case LawCode::kBeta:
            mean = p1 / (p1 + p2);
            deviation = std::sqrt(p1 * p2 / ((p1 + p2 + 1.0) * (p1 + p2) * (p1 + p2)));
            return;
        case LawCode::kWeibull:
            weibull_moments(p1, p2, mean, deviation);
            return;
        case LawCode::kLognormal:
            mean = std::exp(p1 + p2 * p2 / 2.0);
            deviation =
                std::sqrt(std::exp(2.0 * p2 * p2 + 2.0 * p1) - std::exp(p2 * p2 + 2.0 * p1));
            return;
        case LawCode::kPareto:
            pareto_moments(p1, p2, mean, deviation);
            return;
        case LawCode::kGpd:
            gpd_moments(p1, p2, mean, deviation);
            return;
        default:
            return;  // no moments for the other codes: outputs untouched
    }
}

}  // namespace evstat
