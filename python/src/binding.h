// What the binding files share: the failure they raise (turned into evstat.EvstatError
// once, in bind_errors.cpp), the arrays they read, and the checks of a series.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <span>
#include <string>
#include <vector>

#include "core_adapter.h"

namespace evstat::binding {

namespace py = pybind11;

// Read without a copy when already float64 and C-contiguous, converted otherwise.
using DoubleArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// A request the engine refuses: its error code and, in English, what was wrong.
struct Failure {
    int code;
    std::string reason;
};

// The engine's error codes raised here.
constexpr int kUnknownLaw = 9;
constexpr int kInvalidParameters = 12;  // also: sizes beyond the engine's work bounds
constexpr int kExcessCountTooSmall = 25;
constexpr int kLevelNotTabulated = 27;
constexpr int kNegativeData = 61;
constexpr int kOutsideSupport = 62;
constexpr int kNoEstimate = 63;
constexpr int kNegativeDataForLaw = 64;
constexpr int kDataNotNumeric = 67;

inline std::span<const double> span_of(const DoubleArray& array) {
    return {array.data(), static_cast<std::size_t>(array.size())};
}

// "1.5", "-2", "nan": a number as the English messages show it; "(1.5, 2)" a list.
std::string shown(double value);
std::string shown(const std::vector<double>& values);

// The laws whose values are above 0 (all but the uniform, normal and Student laws).
bool positive_law(int code);

// The engine's name of a law code and the law's English name.
std::string engine_name(int code);
std::string english_name(int code);

// A law code given by the Python layer; refused with 9 outside the catalogue's laws.
int checked_code(int code);

// The law's engine parameters, checked as the module's laws need them (finite, in the
// law's domain, integer degrees of freedom); refused with 12.
std::vector<double> checked_engine_parameters(int code, const std::vector<double>& parameters);

// A data series: at least one value, every value finite (67), at most the engine's bound
// on the values of one sample (12). checked_series gives the values in place, in their
// order; sorted_series a copy sorted ascending.
std::span<const double> checked_series(const DoubleArray& data);
std::vector<double> sorted_series(const DoubleArray& data);

// The engine's estimates of the law over a sorted series (`over` names it in a failure):
// 63 when the estimator gives no usable estimate (all zero, or parameters outside the
// law's domain). Needs no GIL.
std::vector<double> estimates_or_fail(int code, std::span<const double> sorted, const char* over);

// The law fitted to a sorted series as the fitting task fits it: 61 for a value not above
// 0 where the law needs positive data, 62 for a beta series above 1, then as estimates_or_fail.
std::vector<double> fitted_parameters(int code, std::span<const double> sorted);

void bind_errors(py::module_& m);
void bind_laws(py::module_& m);
void bind_fits(py::module_& m);
void bind_tests(py::module_& m);
void bind_tail(py::module_& m);
void bind_quantile_tests(py::module_& m);
void bind_expert(py::module_& m);

}  // namespace evstat::binding
