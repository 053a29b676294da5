// Draws from the Bayesian predictive law: per observation a rate or precision from its
// Gamma posterior and one value of the law with it, or for the Weibull shape a shape
// accepted by rejection under the likelihood of the data and one Weibull value with it.
#include "tail/bayes/predictive_sample.h"

#include <cmath>
#include <cstddef>

#include "laws/random_values.h"
#include "laws/validity.h"
#include "tail/bayes/predictive_sampler.h"

namespace evstat {

namespace {
ValueList first_two(const ValueList& list) {
    ValueList copy;
    copy.push_back(list.at(1));
    copy.push_back(list.at(2));
    return copy;
}

void set_law(ValueList& law, double p1, double p2) {
    law.clear();
    law.push_back(p1);
    law.push_back(p2);
}
}  // namespace

PredictiveSampler::PredictiveSampler(std::span<const double> data, LawCode code, const ValueList& prior,
                                     const ValueList& posterior, const ValueList& parameters,
                                     double low, double high, int weibullShapeFlag,
                                     long long proposalsInAll)
    : code_(code),
      shapeCase_(code == LawCode::kWeibull && weibullShapeFlag != 0),
      prior_(first_two(prior)),
      posterior_(first_two(posterior)),
      p1_(parameters.at(1)),
      p2_(parameters.at(2)),
      low_(low),
      high_(high),
      rejection_(shapeCase_ ? data : std::span<const double>{}, p1_, p2_, low, high),
      proposalsLeft_(proposalsInAll) {
    if (shapeCase_) {
        drawable_ = positive_finite(prior_.at(1)) && positive_finite(prior_.at(2)) &&
                    rejection_.usable();
        if (drawable_) proposals_ = TabulatedBeta(prior_.at(1), prior_.at(2));
        return;
    }
    const bool gammaPosterior = parameters_drawable(LawCode::kGamma, posterior_);
    switch (code) {
        case LawCode::kExponential:
            drawable_ = gammaPosterior;
            return;
        case LawCode::kGamma:
            drawable_ = gammaPosterior && positive_finite(p1_);
            return;
        case LawCode::kNormal:
        case LawCode::kLognormal:
            drawable_ = gammaPosterior && std::isfinite(p1_);
            return;
        case LawCode::kWeibull:
            drawable_ = gammaPosterior && positive_finite(p2_);
            return;
        default:
            drawable_ = false;
            return;
    }
}

// One value of the law given the parameter drawn from the posterior.
double PredictiveSampler::observation(Generator& generator, double parameter,
                                      ValueList& law) const {
    switch (code_) {
        case LawCode::kExponential:
            law.clear();
            law.push_back(1.0 / parameter);
            return random_value(generator, LawCode::kExponential, law);
        case LawCode::kGamma:
            set_law(law, p1_, 1.0 / parameter);
            return random_value(generator, LawCode::kGamma, law);
        case LawCode::kWeibull:
            set_law(law, 1.0 / parameter, p2_);
            return random_value(generator, LawCode::kWeibull, law);
        default: {  // normal, and lognormal as its exponential
            double first = 0.0;
            double second = 0.0;
            normal_pair(generator, p1_, std::sqrt(1.0 / parameter), first, second);
            return code_ == LawCode::kLognormal ? std::exp(first) : first;
        }
    }
}

// Proposals k = low + (high - low) w, w from the Beta prior, each with its uniform b, until
// one is accepted; false at the bound of one observation or of the sampler in all.
bool PredictiveSampler::shape_value(Generator& generator, double& value, ValueList& law) const {
    for (long proposal = 0; proposal < kMaxShapeProposals && proposalsLeft_ > 0; ++proposal) {
        --proposalsLeft_;
        const double w = proposals_.draw(generator);
        const double k = low_ + (high_ - low_) * w;
        const double b = uniform_value(generator, 0.0, 1.0);
        if (rejection_.accepts(k, b)) {
            set_law(law, p1_, k);
            value = random_value(generator, LawCode::kWeibull, law);
            return true;
        }
    }
    return false;
}

PredictiveDraw PredictiveSampler::draw(Generator& generator, int N,
                                       std::vector<double>& values) const {
    if (!drawable_) return PredictiveDraw::NotDrawable;
    values.resize(N > 0 ? static_cast<std::size_t>(N) : 0);
    ValueList law;
    for (double& value : values) {
        if (shapeCase_) {
            if (!shape_value(generator, value, law)) return PredictiveDraw::RejectionBound;
            continue;
        }
        const double parameter = random_value(generator, LawCode::kGamma, posterior_);
        value = observation(generator, parameter, law);
    }
    return PredictiveDraw::Drawn;
}

PredictiveDraw predictive_sample(Generator& generator, const PredictiveSampler& sampler, int N,
                                 Series& output) {
    std::vector<double> values;
    const PredictiveDraw outcome = sampler.draw(generator, N, values);
    if (outcome != PredictiveDraw::Drawn) return outcome;
    output.insert(output.end(), values.begin(), values.end());
    return outcome;
}

PredictiveDraw predictive_sample(Generator& generator, std::span<const double> data, LawCode code,
                                 const ValueList& prior, const ValueList& posterior,
                                 const ValueList& parameters, int N, double low, double high,
                                 int weibullShapeFlag, Series& output) {
    const PredictiveSampler sampler(data, code, prior, posterior, parameters, low, high,
                                    weibullShapeFlag);
    return predictive_sample(generator, sampler, N, output);
}

}  // namespace evstat
