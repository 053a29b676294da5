// The laws: their names and parameters, the law functions over arrays, the moments, the
// engine's generator and the draws.
#include <array>
#include <cmath>
#include <ctime>
#include <limits>
#include <memory>

#include "binding.h"

namespace evstat::binding {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Degrees of freedom above this are refused: the engine's chi-square and Student functions
// take about nu / 2 steps a value.
constexpr double kMostDegreesOfFreedom = 1e7;
constexpr long long kSeedLimit = 1LL << 32;

constexpr int kUniform = 0, kExponential = 1, kGamma = 2, kChiSquare = 3, kNormal = 4, kStudent = 5,
              kBeta = 6, kWeibull = 7, kLognormal = 8, kPareto = 9, kGpd = 10;

struct LawNames {
    const char* engine;
    const char* english;
    std::array<const char*, 2> parameters;  // in the conventional parametrisation
    std::size_t count;
};

constexpr std::array<LawNames, kLastLaw + 1> kLaws = {{
    {"Uniforme", "uniform", {"lower", "upper"}, 2},
    {"Exponentielle", "exponential", {"mean", ""}, 1},
    {"Gamma", "gamma", {"shape", "scale"}, 2},
    {"Chi2", "chi-square", {"df", ""}, 1},
    {"Normale", "normal", {"mean", "sd"}, 2},
    {"Student", "Student", {"df", ""}, 1},
    {"Beta", "beta", {"a", "b"}, 2},
    {"Weibull", "Weibull", {"scale", "shape"}, 2},
    {"Lognormale", "lognormal", {"meanlog", "sdlog"}, 2},
    {"Pareto", "Pareto", {"threshold", "exponent"}, 2},
    {"GPD", "generalized Pareto", {"shape", "scale"}, 2},
}};

const LawNames& names_of(int code) {
    return kLaws[static_cast<std::size_t>(code)];
}

[[noreturn]] void refuse(int code, const std::string& what) {
    throw Failure{kInvalidParameters,
                  "invalid parameters of the " + english_name(code) + " law: " + what};
}

std::string named(int code, std::size_t i, double value) {
    return std::string(names_of(code).parameters[i]) + " = " + shown(value);
}

// The conventional parameters of a law, checked: finite, in the law's domain.
void check_conventional(int code, const std::vector<double>& p) {
    const LawNames& law = names_of(code);
    if (p.size() != law.count)
        refuse(code, "it takes " + std::to_string(law.count) + " parameter(s), not " +
                         std::to_string(p.size()));
    for (std::size_t i = 0; i < p.size(); ++i)
        if (!std::isfinite(p[i])) refuse(code, named(code, i, p[i]) + " is not a finite number");
    auto positive = [&](std::size_t i) {
        if (!(p[i] > 0.0)) refuse(code, named(code, i, p[i]) + " must be above 0");
    };
    switch (code) {
        case kUniform:
            if (!(p[1] > p[0]))
                refuse(code, "upper = " + shown(p[1]) + " must be above lower = " + shown(p[0]));
            return;
        case kChiSquare:
        case kStudent:
            if (!(p[0] >= 1.0) || std::trunc(p[0]) != p[0] || p[0] > kMostDegreesOfFreedom)
                refuse(code, named(code, 0, p[0]) + " must be a whole number from 1 to 1e7");
            return;
        case kNormal:
        case kLognormal:
        case kGpd:
            positive(1);
            return;
        case kExponential:
            positive(0);
            return;
        default:  // gamma, beta, Weibull, Pareto
            positive(0);
            positive(1);
            return;
    }
}

// The Weibull law's engine parameters are (scale^shape, shape): F(x) = 1 - exp(-x^shape / a).
std::vector<double> to_engine(int code, const std::vector<double>& conventional) {
    check_conventional(code, conventional);
    std::vector<double> engine = conventional;
    if (code == kWeibull) {
        engine[0] = std::pow(conventional[0], conventional[1]);
        if (!(engine[0] > 0.0) || !std::isfinite(engine[0]))
            refuse(code,
                   "scale ** shape = " + shown(engine[0]) + " must be a positive finite number");
    }
    if (!parameters_valid(code, engine)) refuse(code, "the engine refuses them");
    return engine;
}

std::vector<double> to_conventional(int code, const std::vector<double>& engine) {
    if (engine.size() != names_of(code).count)
        refuse(code, "it takes " + std::to_string(names_of(code).count) + " parameter(s), not " +
                         std::to_string(engine.size()));
    std::vector<double> conventional = engine;
    if (code == kWeibull) {
        if (!(engine[0] > 0.0 && engine[1] > 0.0 && std::isfinite(engine[0]) &&
              std::isfinite(engine[1])))
            refuse(code, "a = " + shown(engine[0]) + " and b = " + shown(engine[1]) +
                             " must be positive finite numbers");
        conventional[0] = std::pow(engine[0], 1.0 / engine[1]);
    }
    check_conventional(code, conventional);
    if (!parameters_valid(code, engine)) refuse(code, "the engine refuses them");
    return conventional;
}

// Infinite moments read inf, moments that do not exist nan (the engine writes -1 for both).
py::tuple law_moments(int code, const std::vector<double>& engine) {
    double mean = 0.0;
    double deviation = 0.0;
    moments(code, engine, mean, deviation);
    if (code == kPareto) {
        if (mean == kNoMoment) mean = kInfinity;
        if (deviation == kNoMoment) deviation = kInfinity;
    } else if (code == kGpd) {
        if (engine[0] >= 1.0) mean = kInfinity;
        if (deviation == kNoMoment) deviation = kInfinity;
    } else if (code == kStudent) {
        if (engine[0] <= 1.0) mean = kNaN;
        if (engine[0] <= 1.0)
            deviation = kNaN;
        else if (engine[0] <= 2.0)
            deviation = kInfinity;
    }
    return py::make_tuple(mean, deviation);
}

py::array_t<double> evaluate_array(int function, int code, const std::vector<double>& parameters,
                                   const DoubleArray& x) {
    const std::vector<double> engine = checked_engine_parameters(code, parameters);
    if (function < 0 || function > static_cast<int>(LawFunction::kUpperQuantile))
        throw py::value_error("no such law function");
    const py::buffer_info input = x.request();
    py::array_t<double> out(input.shape);
    const std::span<const double> in = span_of(x);
    const std::span<double> values(out.mutable_data(), in.size());
    {
        py::gil_scoped_release unlocked;
        evaluate(static_cast<LawFunction>(function), code, engine, in, values);
    }
    return out;
}

py::array_t<double> draw_array(int code, const std::vector<double>& parameters, long long size,
                               Generator& generator) {
    const std::vector<double> engine = checked_engine_parameters(code, parameters);
    if (size < 0 || size > kMostSampleValues)
        throw Failure{kInvalidParameters, "a sample of " + std::to_string(size) +
                                              " values: the size must be from 0 to " +
                                              std::to_string(kMostSampleValues)};
    std::vector<double> values;
    {
        py::gil_scoped_release unlocked;
        draw(generator, code, engine, static_cast<std::size_t>(size), values);
    }
    py::array_t<double> out(static_cast<py::ssize_t>(values.size()));
    std::copy(values.begin(), values.end(), out.mutable_data());
    return out;
}

}  // namespace

std::string engine_name(int code) {
    return names_of(code).engine;
}
std::string english_name(int code) {
    return names_of(code).english;
}

int checked_code(int code) {
    if (code < kFirstLaw || code > kLastLaw)
        throw Failure{kUnknownLaw, "no law of the catalogue has the code " + std::to_string(code)};
    return code;
}

std::vector<double> checked_engine_parameters(int code, const std::vector<double>& parameters) {
    checked_code(code);
    to_conventional(code, parameters);
    return parameters;
}

void bind_laws(py::module_& m) {
    m.def("law_code", &law_code, py::arg("name"),
          "The engine's code of a law name (exact, case-sensitive); 16 for an unknown name.");
    m.def(
        "engine_name", [](int code) { return engine_name(checked_code(code)); }, py::arg("code"));
    m.def(
        "engine_parameters",
        [](int code, const std::vector<double>& conventional) {
            return to_engine(checked_code(code), conventional);
        },
        py::arg("code"), py::arg("conventional"),
        "The engine's parameters of a law from its conventional ones, checked (12).");
    m.def(
        "conventional_parameters",
        [](int code, const std::vector<double>& engine) {
            return to_conventional(checked_code(code), engine);
        },
        py::arg("code"), py::arg("engine"),
        "The conventional parameters of a law from the engine's, checked (12).");
    m.def("evaluate", &evaluate_array, py::arg("function"), py::arg("code"), py::arg("parameters"),
          py::arg("x"),
          "A law function (0 pdf, 1 cdf, 2 sf, 3 ppf, 4 isf) at every point of x, same shape.");
    m.def(
        "moments",
        [](int code, const std::vector<double>& parameters) {
            return law_moments(code, checked_engine_parameters(code, parameters));
        },
        py::arg("code"), py::arg("parameters"), "Mean and standard deviation (inf, nan where so).");
    m.def("draw", &draw_array, py::arg("code"), py::arg("parameters"), py::arg("size"),
          py::arg("generator"), "size values of the law in the generator's order.");
    m.def(
        "clock_seed", [] { return static_cast<std::uint32_t>(std::time(nullptr)); },
        "A seed from the clock, in seconds, as the engine seeds a run.");

    py::class_<Generator>(m, "Generator", R"(The engine's own pseudo-random generator.

Generator(seed) starts where a run of the engine seeded with `seed` starts; every draw
made with it carries its state on, so two calls draw what one task drawing both would.
The seed is an integer from 0 to 2**32 - 1.)")
        .def(py::init([](const py::int_& seed) {
                 int overflow = 0;
                 const long long value = PyLong_AsLongLongAndOverflow(seed.ptr(), &overflow);
                 if (overflow != 0 || value < 0 || value >= kSeedLimit)
                     throw Failure{kInvalidParameters, "the seed " +
                                                           py::repr(seed).cast<std::string>() +
                                                           " is not from 0 to 2**32 - 1"};
                 return std::make_unique<Generator>(static_cast<std::uint32_t>(value));
             }),
             py::arg("seed"))
        .def_property_readonly("state", &Generator::state, "The generator's state (32 bits).")
        .def("next", &Generator::next, "The source's next integer, 0 to 32767.")
        .def("__repr__", [](const Generator& g) {
            return "Generator(state=" + std::to_string(g.state()) + ")";
        });
}

}  // namespace evstat::binding
