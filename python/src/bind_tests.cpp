// The tests of fit with critical values, for one law: the law fitted to the series (or to
// its excesses), its statistic and critical value at a tabulated level, and on request a
// p-value from series drawn from the fitted law and refitted.
#include <algorithm>
#include <array>
#include <cmath>

#include "binding.h"

namespace evstat::binding {

namespace {

constexpr std::array<double, 5> kTabulatedLevels = {0.25, 0.1, 0.05, 0.025, 0.01};
constexpr int kChiSquare = 3, kStudent = 5, kBeta = 6, kGpd = 10;
constexpr long long kDrawnCriticalSeries =
    200;  // the engine's replicates of a drawn critical value
// A statistic needs two values (its modifications divide by n, the Pareto transformation by n - 1).
constexpr std::size_t kFewestValues = 2;

bool critical_value_drawn(int code) {
    return code == kChiSquare || code == kStudent || code == kBeta || code == kGpd;
}

double checked_level(double level) {
    if (std::find(kTabulatedLevels.begin(), kTabulatedLevels.end(), level) ==
        kTabulatedLevels.end())
        throw Failure{kLevelNotTabulated,
                      "the level " + shown(level) + " is not one of 0.25, 0.1, 0.05, 0.025, 0.01"};
    return level;
}

void require_two_values(std::size_t n, const char* what) {
    if (n < kFewestValues)
        throw Failure{kInvalidParameters, std::string("a test of fit needs at least 2 ") + what +
                                              ", not " + std::to_string(n)};
}

[[noreturn]] void refused(int code, const std::vector<double>& parameters, const char* over) {
    throw Failure{kNegativeDataForLaw,
                  "the " + english_name(code) + " law fitted to " + over + ", with parameters " +
                      shown(parameters) +
                      ", cannot be tested: it gives a value a probability of 0 or 1, or leaves "
                      "it outside its support"};
}

// The data's statistic against those of `resamples` series of n values drawn from the
// fitted law, each refitted: the share at least as large. Series whose law cannot be
// refitted or tested are left out of the share.
double resampled_pvalue(TestKind kind, Generator& generator, int code,
                        const std::vector<double>& parameters, std::size_t n, double statistic,
                        double level, long long resamples) {
    std::vector<double> replicate;
    long long counted = 0;
    long long above = 0;
    for (long long r = 0; r < resamples; ++r) {
        draw(generator, code, parameters, n, replicate);
        std::sort(replicate.begin(), replicate.end());
        if (positive_law(code) && !(replicate.front() > 0.0)) continue;
        const std::vector<double> refit = estimate(code, replicate);
        const double s = test_statistic(kind, replicate, code, refit, level);
        if (std::isnan(s)) continue;
        ++counted;
        if (s >= statistic) ++above;
    }
    if (counted == 0) return std::numeric_limits<double>::quiet_NaN();
    return static_cast<double>(above) / static_cast<double>(counted);
}

py::tuple fit_and_test(int kind, int code, const DoubleArray& data, double level,
                       long long resamples, Generator& generator) {
    checked_code(code);
    checked_level(level);
    if (kind != 0 && kind != 1) throw py::value_error("no such test");
    const TestKind test = kind == 0 ? TestKind::kAndersonDarling : TestKind::kCramerVonMises;
    const std::vector<double> sorted = sorted_series(data);
    const std::size_t n = sorted.size();
    require_two_values(n, "values");
    // The laws without a table draw their critical value from 200 series of n values.
    const long long series = resamples + (critical_value_drawn(code) ? kDrawnCriticalSeries : 0);
    if (resamples < 0 || series > kMostResampledValues / static_cast<long long>(n))
        throw Failure{kInvalidParameters, std::to_string(series) + " series of " +
                                              std::to_string(n) + " values to draw: at most " +
                                              std::to_string(kMostResampledValues) +
                                              " values may be drawn"};
    if (positive_law(code) && !(sorted.front() > 0.0))
        throw Failure{kNegativeDataForLaw, "the " + english_name(code) +
                                               " law takes values above 0 only; the series holds " +
                                               shown(sorted.front())};
    if (code == kBeta && sorted.back() > 1.0)
        throw Failure{kOutsideSupport, "the beta law takes values in (0, 1]; the series holds " +
                                           shown(sorted.back())};

    // A failure raised while the GIL is released reaches Python once the block has taken it back.
    TestOutcome outcome;
    std::vector<double> parameters;
    double pvalue = 0.0;
    {
        py::gil_scoped_release unlocked;
        parameters = estimates_or_fail(code, sorted, "this series");
        outcome = fit_test(test, generator, sorted, code, parameters, level);
        if (outcome.made && resamples > 0)
            pvalue = resampled_pvalue(test, generator, code, parameters, n, outcome.statistic,
                                      level, resamples);
    }
    if (!outcome.made) refused(code, parameters, "this series");
    if (std::isnan(pvalue))
        throw Failure{kNoEstimate, "no series drawn from the fitted " + english_name(code) +
                                       " law could be refitted and tested"};
    const py::object p = resamples > 0 ? py::object(py::float_(pvalue)) : py::none();
    return py::make_tuple(outcome.statistic, outcome.criticalValue, outcome.accepted, n, parameters,
                          p);
}

py::tuple test_excesses(int code, const DoubleArray& data, long long k, double level,
                        Generator& generator) {
    checked_code(code);
    checked_level(level);
    const std::vector<double> sorted = sorted_series(data);
    const long long n = static_cast<long long>(sorted.size());
    if (k < 2)
        throw Failure{kExcessCountTooSmall, "k = " + std::to_string(k) + " excesses: at least 2"};
    if (k > n - 1)
        throw Failure{kInvalidParameters, "k = " + std::to_string(k) +
                                              " excesses over a series of " + std::to_string(n) +
                                              " values: at most n - 1"};
    double threshold = 0.0;
    const std::vector<double> above = excesses(sorted, static_cast<int>(k), threshold);
    require_two_values(above.size(), "excesses above the threshold");
    const std::vector<double> parameters = estimates_or_fail(code, above, "the excesses");
    TestOutcome outcome;
    {
        py::gil_scoped_release unlocked;
        outcome =
            fit_test(TestKind::kAndersonDarlingExcesses, generator, above, code, parameters, level);
    }
    if (!outcome.made) refused(code, parameters, "the excesses");
    return py::make_tuple(outcome.statistic, outcome.criticalValue, outcome.accepted, above.size(),
                          parameters, threshold);
}

}  // namespace

void bind_tests(py::module_& m) {
    m.def("fit_test", &fit_and_test, py::arg("kind"), py::arg("code"), py::arg("x"),
          py::arg("level"), py::arg("n_resamples"), py::arg("generator"),
          "Test 0 (Anderson-Darling) or 1 (Cramer-von Mises) of the law fitted to x: (statistic, "
          "critical value, accepted, n, engine parameters, p-value or None).");
    m.def("excess_test", &test_excesses, py::arg("code"), py::arg("x"), py::arg("k"),
          py::arg("level"), py::arg("generator"),
          "Anderson-Darling test of the law fitted to the excesses over the (n - k)-th value: "
          "(statistic, critical value, accepted, excess count, engine parameters, threshold).");
}

}  // namespace evstat::binding
