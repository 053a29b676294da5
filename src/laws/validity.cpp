// The domains of the laws' parameters: as a ParameterFile states a law, and as the
// generator draws from one.
#include "laws/validity.h"

#include <cmath>

namespace evstat {

namespace {
bool finite(double value) {
    return std::isfinite(value);
}

bool degrees_of_freedom_drawable(double nu) {
    const double whole = std::trunc(nu);
    return whole >= 1.0 && whole <= kMaxResampledDegreesOfFreedom;  // false for a NaN
}
}  // namespace

int parameter_count(LawCode code) {
    switch (code) {
        case LawCode::kExponential:
        case LawCode::kChiSquare:
        case LawCode::kStudent:
            return 1;
        case LawCode::kStudentApprox:
        case LawCode::kStudentApproxLog:
        case LawCode::kGpdPower:
        case LawCode::kBetaPrime:
            return 3;
        case LawCode::kImport:
        case LawCode::kUnknown:
            return 0;
        default:
            return is_parent_law(code) ? 2 : 0;
    }
}

bool parameters_valid(LawCode code, const ValueList& parameters) {
    if (!is_parent_law(code) || parameters.size() < parameter_count(code)) return false;
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    switch (code) {
        case LawCode::kUniform:
            return p2 > p1;
        case LawCode::kExponential:
            return p1 > 0.0;
        case LawCode::kGamma:
            return p1 > 0.0 && p2 >= 0.0;
        case LawCode::kChiSquare:
            return p1 > 0.0 && p1 <= kMaxDegreesOfFreedom;
        case LawCode::kStudent:
            return p1 >= 1.0 && p1 <= kMaxDegreesOfFreedom;
        case LawCode::kBeta:
        case LawCode::kWeibull:
        case LawCode::kPareto:
            return p1 > 0.0 && p2 > 0.0;
        default:
            return p2 > 0.0;  // normal, lognormal, GPD
    }
}

bool parameters_drawable(LawCode code, const ValueList& parameters) {
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    switch (code) {
        case LawCode::kUniform:
            return finite(p1) && finite(p2);
        case LawCode::kExponential:
            return positive_finite(p1);
        case LawCode::kChiSquare:
        case LawCode::kStudent:
            return degrees_of_freedom_drawable(p1);
        case LawCode::kGamma:
        case LawCode::kBeta:
        case LawCode::kWeibull:
        case LawCode::kPareto:
            return positive_finite(p1) && positive_finite(p2);
        case LawCode::kNormal:
        case LawCode::kLognormal:
        case LawCode::kGpd:
            return finite(p1) && positive_finite(p2);
        default:
            return false;
    }
}

}  // namespace evstat
