// Tail method codes, the ParameterFile keywords that select them, and the failure
// pair that every tail method appends when it cannot produce an estimate.
#include <array>
#include <string_view>

#include "tail/methods/tail.h"

namespace evstat {

namespace {
struct MethodName {
    std::string_view keyword;
    TailMethod code;
};

constexpr std::array<MethodName, 5> kMethodNames{{
    {"HW", kTailWeightedMoments},
    {"EMV", kTailMaximumLikelihood},
    {"Hill", kTailHill},
    {"HillG", kTailMoment},
    {"Zipf", kTailZipf},
}};
}  // namespace

TailMethod tail_method_from_name(const std::string& name) {
    for (const MethodName& entry : kMethodNames)
        if (name == entry.keyword) return entry.code;
    return kUnknownTailMethod;
}

TailMethod tail_method_from_value(double value) {
    for (const MethodName& entry : kMethodNames)
        if (value == static_cast<double>(entry.code)) return entry.code;
    return kUnknownTailMethod;
}

void append_tail_failure(ValueList& fit, bool& failure) {
    failure = true;
    fit.push_back(kTailFailure);
    fit.push_back(kTailFailure);
}

}  // namespace evstat
