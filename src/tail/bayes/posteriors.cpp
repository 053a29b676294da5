// Conjugate updates of a Gamma prior (shape alpha, rate beta) by n observations: the rate of
// the exponential, gamma (known shape) and Weibull (known shape) laws, the precision of the
// normal and lognormal laws with a known mean.
#include "tail/bayes/posteriors.h"

#include <cmath>

namespace evstat {

namespace {

double sum_of_powers(std::span<const double> data, double power) {
    double total = 0.0;
    for (const double x : data) total += std::pow(x, power);
    return total;
}

// Sum of (f(x) - mean)^2 / 2 with f the identity or the logarithm.
double half_squared_deviations(std::span<const double> data, double mean, bool logarithms) {
    double total = 0.0;
    for (const double x : data) {
        const double deviation = (logarithms ? std::log(x) : x) - mean;
        total += deviation * deviation;
    }
    return total / 2.0;
}

void append_pair(ValueList& list, double first, double second) {
    list.push_back(first);
    list.push_back(second);
}

}  // namespace

void posterior_parameters(std::span<const double> data, LawCode code, const ValueList& prior,
                          const ValueList& parameters, int n, int weibullShapeFlag,
                          ValueList& posterior) {
    const double alpha = prior.at(1);
    const double beta = prior.at(2);
    const double count = static_cast<double>(n);
    const double p1 = parameters.at(1);
    switch (code) {
        case LawCode::kExponential:
            append_pair(posterior, alpha + count, 1.0 / (beta + sum(data)));
            return;
        case LawCode::kGamma:
            append_pair(posterior, alpha + count * p1, 1.0 / (beta + sum(data)));
            return;
        case LawCode::kNormal:
            append_pair(posterior, alpha + count / 2.0,
                        1.0 / (beta + half_squared_deviations(data, p1, false)));
            return;
        case LawCode::kWeibull:
            if (weibullShapeFlag != 0) return;  // the shape has no conjugate update
            append_pair(posterior, alpha + count,
                        1.0 / (beta + sum_of_powers(data, parameters.at(2))));
            return;
        case LawCode::kLognormal:
            append_pair(posterior, alpha + count / 2.0,
                        1.0 / (beta + half_squared_deviations(data, p1, true)));
            return;
        default:
            return;
    }
}

void posterior_summary(std::span<const double> data, LawCode code, const ValueList& parameters,
                       const ValueList& prior, int weibullShapeFlag, ValueList& summary) {
    const double alpha = prior.at(1);
    const double beta = prior.at(2);
    const double count = static_cast<double>(size_of(data));
    const double p1 = parameters.at(1);
    const double p2 = parameters.at(2);
    // The exponential rate and its point estimate 1/r, r = (alpha + n)/(beta + n xbar).
    const auto append_rate = [&] {
        const double r = (alpha + count) / (beta + count * mean(data));
        append_pair(summary, 1.0 / r, -1.0 / (alpha + count));
    };
    switch (code) {
        case LawCode::kExponential:
            append_rate();
            return;
        case LawCode::kGamma:
            summary.push_back(p1);
            append_pair(summary, alpha + count * p1, beta + sum(data));
            return;
        case LawCode::kNormal:
        case LawCode::kLognormal:  // given the logarithms: no transformation here
            summary.push_back(p1);
            append_pair(summary, alpha + count / 2.0, beta + half_squared_deviations(data, p1, false));
            return;
        case LawCode::kWeibull:
            if (weibullShapeFlag != 0) {
                summary.push_back(std::pow(p1, 1.0 / p2));
                append_pair(summary, alpha, beta);
                return;
            }
            summary.push_back(p2);  // given the data raised to the power p2
            append_rate();
            return;
        default:
            return;
    }
}

}  // namespace evstat
