#pragma once
#include "laws/catalogue.h"
#include "series/lists.h"

namespace evstat {
double uniform_value(double a, double b);
// One value of the law; 0 for codes 4, 8 and 12 and above (normal and lognormal come in pairs).
double random_value(LawCode code, const ValueList& parameters);
void normal_pair(double mu, double sigma, double& first, double& second);
void lognormal_pair(double mu, double sigma, double& first, double& second);
}  // namespace evstat
