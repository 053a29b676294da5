// How well the parent law fitted to a series and the Bayesian predictive law fit it: the
// Anderson-Darling or Cramer-von Mises statistic of both, and a critical value adjusted
// for the sample size by the law's factor.
#pragma once

#include <vector>

#include "laws/catalogue.h"
#include "series/lists.h"
#include "series/series.h"

namespace evstat {

// Test selectors of the expert-opinion study.
constexpr int kSelectAndersonDarling = 1;  // "AD"; any other selector is Cramer-von Mises
constexpr int kSelectCramerVonMises = 2;   // "CVM"

// The predictive distribution function at x, by the parent's LawCode, from the
// predictive parameters (q1, q2, q3): the Lomax (GPD with shape -q2 and scale q1) for the
// exponential law, law 14 for the gamma law, law 11 for the normal law and for the
// logarithms of the lognormal law, law 13 with (q1, q2, -q3) for the Weibull law with
// flag 0, and the distribution value of the tabulated pair nearest to x (the first of
// equally near pairs) for the Weibull law with flag 1. NaN for other laws.
class PredictiveDistribution {
public:
    PredictiveDistribution(LawCode code, const ValueList& predictive, const Sample& table,
                           int weibullShapeFlag);
    bool exists() const { return exists_; }
    double operator()(double x) const;

private:
    LawCode code_;
    int weibullShapeFlag_;
    bool exists_ = false;
    ValueList parameters_;      // of the law evaluated
    double belowZero_ = 0.0;    // law 11: F(-10) + integral of the density from -10 to 0
    std::vector<double> tableX_;
    std::vector<double> tableF_;
};

// The data sorted ascending, the parent LawCode and parameters, the predictive table (used
// for the Weibull law with flag 1), the predictive parameters, and the critical value c of
// the selected test for the parent law. Sets the statistic of the predictive law, that of
// the parent law, and c divided by the law's sample-size factor (that of the selected
// test). A law without a predictive law adds nothing to either sum (both statistics are
// then -n or 1/(12n)) and leaves the adjusted critical value as it is.
void goodness_of_fit(std::span<const double> data, LawCode code, const Sample& predictiveTable,
                     int weibullShapeFlag, int testSelector, const ValueList& parameters,
                     const ValueList& predictive, double criticalValue,
                     double& predictiveStatistic, double& parentStatistic,
                     double& adjustedCriticalValue);

}  // namespace evstat
