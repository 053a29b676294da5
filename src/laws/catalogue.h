// The catalogue of probability laws: codes, names and parameter order.
#pragma once

#include <string>

#include "series/lists.h"

namespace evstat {

// The laws of the catalogue; the parameters of a law are one ValueList in the order below.
// The numbers are the codes the front end and the result files know; a code is written or
// compared as a number only through law_code_number and law_code_of_number.
enum class LawCode {
    kUniform = 0,       // (a, b)
    kExponential,       // (mean theta)
    kGamma,             // (shape a, scale b)
    kChiSquare,         // (degrees of freedom, truncated)
    kNormal,            // (mu, sigma)
    kStudent,           // (degrees of freedom, truncated)
    kBeta,              // (a, b)
    kWeibull,           // (a, b): F(x) = 1 - exp(-x^b / a)
    kLognormal,         // (mu, sigma) of the logarithm
    kPareto,            // (threshold a, exponent b): F(x) = 1 - (a/x)^b
    kGpd,               // (shape k, scale sigma): F(x) = 1 - (1 + kx/sigma)^(-1/k)
    kStudentApprox,     // "StudentApprochee" (mu, alpha, beta)
    kStudentApproxLog,  // "StudentApprocheeTrans": code 11 for ln x
    kGpdPower,          // "GPDTrans" (c, sigma, k): x^c follows code 10
    kBetaPrime,         // "Beta2Prop" (a, b, s): x/(x+s) follows code 6
    kImport,            // "Import": no formula, every law function gives 0
    kUnknown            // 16: no law of the catalogue
};

// The number of a code (0 to 16), and the code of a number (kUnknown outside 0 to 15).
constexpr int law_code_number(LawCode code) {
    return static_cast<int>(code);
}
constexpr LawCode law_code_of_number(int number) {
    return number >= 0 && number <= law_code_number(LawCode::kImport) ? static_cast<LawCode>(number)
                                                                      : LawCode::kUnknown;
}

// The laws with an estimator, a test of fit and a sampler of their own: codes 0 to 10.
constexpr bool is_parent_law(LawCode code) {
    return law_code_number(code) >= 0 && law_code_number(code) <= law_code_number(LawCode::kGpd);
}

// Exact, case-sensitive match against the names a ParameterFile may give; 16 for any other.
LawCode law_code_from_name(const std::string& name);

// Largest |p1| read as degrees of freedom (codes 3 and 5) where the law needs an integer count:
// the finite chi-square and Student series and the chi-square sampler take about nu/2 steps, so
// a larger, infinite or NaN p1 is refused (the law function gives NaN) rather than run for
// billions of steps or converted to int out of range.
constexpr double kMaxDegreesOfFreedom = 1e7;
// nu = p1 truncated toward zero; false (nu untouched) when p1 is NaN or too large in size.
bool degrees_of_freedom(const ValueList& parameters, int& nu);

}  // namespace evstat
