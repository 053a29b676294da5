// The one place where the Python module meets the core's interface: series as spans of
// doubles, law parameters as spans, a generator object the caller owns. Everything the
// bindings compute goes through these functions, so a change of the core's signatures
// touches this file and its .cpp alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "laws/generator.h"

namespace evstat::binding {

// The engine's pseudo-random source as the caller's object: its state travels from call to
// call, one call at a time (two threads drawing from one generator take turns).
class Generator {
  public:
    explicit Generator(std::uint32_t seed) : source_(seed) {}
    std::uint32_t state() const;
    int next();  // 0 .. 32767, the source's next integer

  private:
    friend class GeneratorLease;
    evstat::Generator source_;
    mutable std::mutex mutex_;
};

// The laws of the catalogue with a formula, by their engine code (0 Uniforme .. 10 GPD).
constexpr int kFirstLaw = 0;
constexpr int kLastLaw = 10;
constexpr int kUnknownLawCode = 16;

// The engine's code of a law name (exact, case-sensitive); 16 for a name it does not know.
int law_code(const std::string& name);

enum class LawFunction { kDensity, kDistribution, kSurvival, kQuantile, kUpperQuantile };

// out[i] = the law function at x[i], by the core's accurate routines (full precision in
// both tails, not the tasks' approximations fixed for the front end's files); NaN where the
// argument is outside its domain (a probability outside [0, 1]) or is NaN.
void evaluate(LawFunction function, int code, std::span<const double> parameters,
              std::span<const double> x, std::span<double> out);

// The task-level check of a law's engine parameters (as the simulation and curve tasks make it).
bool parameters_valid(int code, std::span<const double> parameters);

// Theoretical mean and standard deviation; -1 where the engine has none.
constexpr double kNoMoment = -1.0;
void moments(int code, std::span<const double> parameters, double& mean, double& deviation);

// count values of the law in the generator's order, as the simulation task draws them.
void draw(Generator& generator, int code, std::span<const double> parameters, std::size_t count,
          std::vector<double>& values);

// The estimator of the law over a series sorted ascending (the GPD by probability-weighted
// moments): the engine's estimates, possibly zeros or none when it cannot estimate.
std::vector<double> estimate(int code, std::span<const double> sorted);

// The excesses over the (n - k)-th value of a sorted series, and that threshold.
std::vector<double> excesses(std::span<const double> sorted, int k, double& threshold);

enum class TestKind { kAndersonDarling, kCramerVonMises, kAndersonDarlingExcesses };

struct TestOutcome {
    bool made = false;  // false when the engine refuses the test (its outputs all 0)
    bool accepted = false;
    double statistic = 0.0;
    double criticalValue = 0.0;
};

// The test of fit with critical values over a sorted series, the law's parameters and a
// tabulated level; the laws without a table draw their critical value from the generator.
TestOutcome fit_test(TestKind kind, Generator& generator, std::span<const double> sorted, int code,
                     std::span<const double> parameters, double level);

// The statistic the test reports for a sorted series and parameters, without drawing; NaN
// when the test would be refused.
double test_statistic(TestKind kind, std::span<const double> sorted, int code,
                      std::span<const double> parameters, double level);

// The French message of an error code, in Windows-1252 bytes.
std::string_view error_message(int code);
constexpr int kErrorCodeCount = 69;

// The engine's work bounds.
constexpr long long kMostSampleValues = 100'000'000;
constexpr long long kMostResampledValues = 1'000'000'000;

}  // namespace evstat::binding
