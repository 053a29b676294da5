// Gamma and beta values of fixed parameters drawn many times: the same uniforms and the same
// doubles as random_value, with every quantity that depends on one uniform alone read from a
// table over the source's outputs instead of computed at each attempt.
#pragma once

#include <vector>

#include "laws/generator.h"

namespace evstat {

// Gamma values of one shape a and scale 1, equal draw for draw to random_value of the gamma
// law with (a, 1): the exponential law at a = 1, Joehnk's method below, Best's above; NaN for
// a shape that is not positive, and after the attempts bound of the plain samplers.
class TabulatedGamma {
public:
    explicit TabulatedGamma(double shape = 1.0);
    double draw(Generator& generator) const;

    // One output r of the source (1 .. 32766) as the first uniform of Best's method: the
    // attempt with the second output s is accepted for s <= acceptTo, rejected for
    // s >= rejectFrom, and decided by the logarithm of z = 64 w^3 v^2 in between.
    struct BestEntry {
        short acceptTo = 0;
        short rejectFrom = 0;
    };

private:
    enum class Method { None, Exponential, Joehnk, Best };
    double best(Generator& generator) const;
    double joehnk(Generator& generator) const;
    bool best_exact(int r, double v) const;
    // The tables of each method, over every output r of the source but 0.
    void tabulate_joehnk(double shape);
    void tabulate_best(double shape);
    BestEntry best_entry(int r);  // also keeps the offset x of r

    Method method_ = Method::None;
    double m_ = 0.0;  // Best's a - 1 and 3 a - 0.75
    double c_ = 0.0;
    std::vector<BestEntry> best_;
    std::vector<double> offsets_;  // Best's x = m + y
    std::vector<double> first_;    // Joehnk's u^(1/a), or -ln u for the exponential law
    std::vector<double> second_;   // Joehnk's u^(1/(1 - a))
    std::vector<double> logs_;     // ln u
};

// Beta values (a, b), equal draw for draw to random_value of the beta law with (a, b): the
// ratio X / (X + Y) of two gamma values, Y drawn again while it is 0.
class TabulatedBeta {
public:
    TabulatedBeta() = default;
    TabulatedBeta(double a, double b);
    double draw(Generator& generator) const;

private:
    TabulatedGamma x_;
    TabulatedGamma y_;
};

}  // namespace evstat
