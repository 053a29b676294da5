// Random values of the catalogue's laws, drawn from the caller's generator.
#pragma once
#include <vector>

#include "laws/catalogue.h"
#include "laws/generator.h"
#include "series/lists.h"

namespace evstat {
double uniform_value(Generator& generator, double a, double b);
// One value of the law; 0 for codes 4, 8 and 12 and above (normal and lognormal come in pairs).
double random_value(Generator& generator, LawCode code, const ValueList& parameters);
void normal_pair(Generator& generator, double mu, double sigma, double& first, double& second);
void lognormal_pair(Generator& generator, double mu, double sigma, double& first, double& second);
// Replaces `values` by count values of the law, in the generator's order: normal and
// lognormal values in pairs (an odd count drops the last second value), every other law
// one random_value a position. random_sample (laws/evaluate.h) numbers exactly these values.
void draw_random_values(Generator& generator, LawCode code, const ValueList& parameters, int count,
                        std::vector<double>& values);
// draw_random_values in two steps, for the loops that draw on one thread and finish the
// values on others: draw_random_points makes every draw, in the same order, and
// finish_random_values, which draws nothing, turns what it left into the same values (the
// normal law's accepted points of the polar method become their values; the values of every
// other law are left as they were drawn).
void draw_random_points(Generator& generator, LawCode code, const ValueList& parameters, int count,
                        std::vector<double>& values);
void finish_random_values(LawCode code, const ValueList& parameters, std::vector<double>& values);
}  // namespace evstat
