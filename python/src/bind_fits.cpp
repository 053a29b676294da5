// Fitting a law to a series: the series' checks and the engine's estimator of the fitting task.
#include <algorithm>
#include <cmath>

#include "binding.h"
#include "series/series.h"

namespace evstat::binding {

namespace {
constexpr int kUniform = 0, kNormal = 4, kStudent = 5, kBeta = 6;
}  // namespace

bool positive_law(int code) {
    return code != kUniform && code != kNormal && code != kStudent;
}

std::span<const double> checked_series(const DoubleArray& data) {
    const std::span<const double> values = span_of(data);
    if (values.empty()) throw Failure{kDataNotNumeric, "the series is empty"};
    if (static_cast<long long>(values.size()) > kMostSampleValues)
        throw Failure{kInvalidParameters, "a series of " + std::to_string(values.size()) +
                                              " values: the engine takes at most " +
                                              std::to_string(kMostSampleValues)};
    std::size_t bad = values.size();
    {
        py::gil_scoped_release unlocked;
        const auto found =
            std::find_if(values.begin(), values.end(), [](double v) { return !std::isfinite(v); });
        bad = static_cast<std::size_t>(found - values.begin());
    }
    if (bad != values.size())
        throw Failure{kDataNotNumeric, "the series holds " + shown(values[bad]) + " at position " +
                                           std::to_string(bad) + "; every value must be finite"};
    return values;
}

std::vector<double> sorted_series(const DoubleArray& data) {
    const std::span<const double> values = checked_series(data);
    Series sorted(values.begin(), values.end());
    {
        py::gil_scoped_release unlocked;
        sort_ascending(sorted);  // the engine's own order, as a task sorts the file it reads
    }
    return sorted;
}

std::vector<double> estimates_or_fail(int code, std::span<const double> sorted, const char* over) {
    const std::vector<double> estimates = estimate(code, sorted);
    bool usable =
        std::any_of(estimates.begin(), estimates.end(), [](double v) { return v != 0.0; });
    if (usable) {
        try {
            checked_engine_parameters(code, estimates);
        } catch (const Failure&) {
            usable = false;
        }
    }
    if (!usable)
        throw Failure{kNoEstimate, "the engine's estimator cannot fit the " + english_name(code) +
                                       " law to " + over + " of " + std::to_string(sorted.size()) +
                                       " values (estimates " + shown(estimates) + ")"};
    return estimates;
}

std::vector<double> fitted_parameters(int code, std::span<const double> sorted) {
    if (positive_law(code) && !(sorted.front() > 0.0))
        throw Failure{kNegativeData,
                      "the " + english_name(code) +
                          " law is fitted to values above 0 only; the series holds " +
                          shown(sorted.front())};
    if (code == kBeta && sorted.back() > 1.0)
        throw Failure{
            kOutsideSupport,
            "the beta law is fitted to values in (0, 1]; the series holds " + shown(sorted.back())};
    py::gil_scoped_release unlocked;
    return estimates_or_fail(code, sorted, "this series");
}

void bind_fits(py::module_& m) {
    m.def(
        "fit",
        [](int code, const DoubleArray& data) {
            checked_code(code);
            const std::vector<double> sorted = sorted_series(data);
            return py::make_tuple(sorted.size(), fitted_parameters(code, sorted));
        },
        py::arg("code"), py::arg("x"),
        "The engine's estimates of a law over a series: (n, engine parameters).");
}

}  // namespace evstat::binding
