#include "laws/catalogue.h"

#include <array>
#include <cmath>
#include <string_view>

namespace evstat {

namespace {
struct NamedLaw {
    std::string_view name;
    LawCode code;
};

constexpr std::array<NamedLaw, 15> kLawNames = {{
    {"Uniforme", kUniform},
    {"UniformeContinue", kUniform},
    {"Exponentielle", kExponential},
    {"Gamma", kGamma},
    {"Chi2", kChiSquare},
    {"Normale", kNormal},
    {"Student", kStudent},
    {"Beta", kBeta},
    {"Beta1espece", kBeta},
    {"Weibull", kWeibull},
    {"Lognormale", kLognormal},
    {"Pareto", kPareto},
    {"GPD", kGpd},
    {"Import", kImport},
    {"", kUnknownLaw},  // the empty name maps to nothing known
}};
}  // namespace

LawCode law_code_from_name(const std::string& name) {
    if (name.empty()) return kUnknownLaw;
    for (const NamedLaw& law : kLawNames)
        if (law.name == name) return law.code;
    return kUnknownLaw;
}

bool degrees_of_freedom(const ValueList& parameters, int& nu) {
    const double p1 = parameters.at(1);
    if (!(std::fabs(p1) <= kMaxDegreesOfFreedom)) return false;
    nu = static_cast<int>(p1);  // truncation toward zero
    return true;
}

}  // namespace evstat
