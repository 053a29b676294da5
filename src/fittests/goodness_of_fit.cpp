// The fit of the parent and of the predictive law to a series, by the statistics of the
// tests of fit (fittests/fit_scheme.h) without their corrections, and the critical value
// divided by the law's correction factor of the selected test.
#include "fittests/goodness_of_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fittests/fit_scheme.h"
#include "laws/distributions.h"
#include "laws/romberg.h"

namespace evstat {

namespace {
// Law 11 is integrated from here: its distribution function at this point, then its
// density up to 0 once, then from 0 to each value.
constexpr double kLaw11Start = -10.0;

ValueList lomax(const ValueList& predictive) {
    ValueList shapeScale;
    shapeScale.push_back(-predictive.at(2));
    shapeScale.push_back(predictive.at(1));
    return shapeScale;
}

ValueList power_lomax(const ValueList& predictive) {
    ValueList parameters;
    parameters.push_back(predictive.at(1));
    parameters.push_back(predictive.at(2));
    parameters.push_back(-predictive.at(3));
    return parameters;
}
}  // namespace

PredictiveDistribution::PredictiveDistribution(LawCode code, const ValueList& predictive,
                                               const Sample& table, int weibullShapeFlag)
    : code_(code), weibullShapeFlag_(weibullShapeFlag) {
    switch (code) {
        case LawCode::kExponential:
            parameters_ = lomax(predictive);
            break;
        case LawCode::kGamma:
            parameters_ = predictive;
            break;
        case LawCode::kNormal:
        case LawCode::kLognormal: {
            parameters_ = predictive;
            const LawIntegrand f{LawCode::kStudentApprox, parameters_, LawIntegrandMode::Density};
            belowZero_ = distribution(LawCode::kStudentApprox, parameters_, kLaw11Start);
            belowZero_ += romberg_integrate(f, kLaw11Start, 0.0);
            break;
        }
        case LawCode::kWeibull:
            if (weibullShapeFlag == 1) {
                for (const Point& p : table) {
                    tableX_.push_back(p.x);
                    tableF_.push_back(p.y);
                }
                exists_ = !tableX_.empty();
                return;
            }
            parameters_ = power_lomax(predictive);
            break;
        default: return;
    }
    exists_ = true;
}

double PredictiveDistribution::operator()(double x) const {
    if (!exists_) return std::numeric_limits<double>::quiet_NaN();
    switch (code_) {
        case LawCode::kExponential:
            return distribution(LawCode::kGpd, parameters_, x);
        case LawCode::kGamma:
            return distribution(LawCode::kBetaPrime, parameters_, x);
        case LawCode::kNormal:
        case LawCode::kLognormal: {
            const double at = code_ == LawCode::kLognormal ? std::log(x) : x;
            const LawIntegrand f{LawCode::kStudentApprox, parameters_, LawIntegrandMode::Density};
            return belowZero_ + romberg_integrate(f, 0.0, at);
        }
        case LawCode::kWeibull: {
            if (weibullShapeFlag_ != 1) return distribution(LawCode::kGpdPower, parameters_, x);
            // The nearest tabulated abscissa; of two equally near ones, the first.
            const auto after = std::lower_bound(tableX_.begin(), tableX_.end(), x);
            std::size_t nearest = static_cast<std::size_t>(after - tableX_.begin());
            if (nearest == tableX_.size() || (nearest > 0 && x - tableX_[nearest - 1] <= *after - x))
                --nearest;
            while (nearest > 0 && tableX_[nearest - 1] == tableX_[nearest]) --nearest;
            return tableF_[nearest];
        }
        default: return std::numeric_limits<double>::quiet_NaN();
    }
}

void goodness_of_fit(std::span<const double> data, LawCode code, const Sample& predictiveTable,
                     int weibullShapeFlag, int testSelector, const ValueList& parameters,
                     const ValueList& predictive, double criticalValue,
                     double& predictiveStatistic, double& parentStatistic,
                     double& adjustedCriticalValue) {
    const FitStatistic kind = testSelector == kSelectAndersonDarling
                                  ? FitStatistic::AndersonDarling
                                  : FitStatistic::CramerVonMises;
    const PredictiveDistribution predictiveF(code, predictive, predictiveTable, weibullShapeFlag);
    Series predictiveValues;
    Series parentValues;
    if (predictiveF.exists()) {
        for (const double x : data) {
            predictiveValues.push_back(predictiveF(x));
            parentValues.push_back(distribution(code, parameters, x));
        }
    }
    // Over no values the sums are empty: the statistics keep their n terms alone.
    const double n = static_cast<double>(data.size());
    const double emptySum = kind == FitStatistic::AndersonDarling ? -n : 1.0 / (12.0 * n);
    if (!predictiveF.exists()) {
        predictiveStatistic = emptySum;
        parentStatistic = emptySum;
        return;
    }
    predictiveStatistic = fit_statistic(kind, predictiveValues);
    parentStatistic = fit_statistic(kind, parentValues);
    adjustedCriticalValue = criticalValue / corrected_statistic(kind, code, 1.0, size_of(data));
}

}  // namespace evstat
