// The catalogue of probability laws: codes, names and parameter order.
#pragma once

#include <string>

#include "series/lists.h"

namespace evstat {

// Integer code of a law; the parameters of a law are one ValueList in the order below.
using LawCode = int;

constexpr LawCode kUniform = 0;             // (a, b)
constexpr LawCode kExponential = 1;         // (mean theta)
constexpr LawCode kGamma = 2;               // (shape a, scale b)
constexpr LawCode kChiSquare = 3;           // (degrees of freedom, truncated)
constexpr LawCode kNormal = 4;              // (mu, sigma)
constexpr LawCode kStudent = 5;             // (degrees of freedom, truncated)
constexpr LawCode kBeta = 6;                // (a, b)
constexpr LawCode kWeibull = 7;             // (a, b): F(x) = 1 - exp(-x^b / a)
constexpr LawCode kLognormal = 8;           // (mu, sigma) of the logarithm
constexpr LawCode kPareto = 9;              // (threshold a, exponent b): F(x) = 1 - (a/x)^b
constexpr LawCode kGpd = 10;                // (shape k, scale sigma): F(x) = 1 - (1 + kx/sigma)^(-1/k)
constexpr LawCode kStudentApprox = 11;      // "StudentApprochee" (mu, alpha, beta)
constexpr LawCode kStudentApproxLog = 12;   // "StudentApprocheeTrans": code 11 for ln x
constexpr LawCode kGpdPower = 13;           // "GPDTrans" (c, sigma, k): x^c follows code 10
constexpr LawCode kBetaPrime = 14;          // "Beta2Prop" (a, b, s): x/(x+s) follows code 6
constexpr LawCode kImport = 15;             // "Import": no formula, every law function gives 0
constexpr LawCode kUnknownLaw = 16;

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
