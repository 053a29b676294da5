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
    {"Uniforme", LawCode::kUniform},
    {"UniformeContinue", LawCode::kUniform},
    {"Exponentielle", LawCode::kExponential},
    {"Gamma", LawCode::kGamma},
    {"Chi2", LawCode::kChiSquare},
    {"Normale", LawCode::kNormal},
    {"Student", LawCode::kStudent},
    {"Beta", LawCode::kBeta},
    {"Beta1espece", LawCode::kBeta},
    {"Weibull", LawCode::kWeibull},
    {"Lognormale", LawCode::kLognormal},
    {"Pareto", LawCode::kPareto},
    {"GPD", LawCode::kGpd},
    {"Import", LawCode::kImport},
    {"", LawCode::kUnknown},  // the empty name maps to nothing known
}};
}  // namespace

LawCode law_code_from_name(const std::string& name) {
    if (name.empty()) return LawCode::kUnknown;
    for (const NamedLaw& law : kLawNames)
        if (law.name == name) return law.code;
    return LawCode::kUnknown;
}

bool degrees_of_freedom(const ValueList& parameters, int& nu) {
    const double p1 = parameters.at(1);
    if (!(std::fabs(p1) <= kMaxDegreesOfFreedom)) return false;
    nu = static_cast<int>(p1);  // truncation toward zero
    return true;
}

}  // namespace evstat
