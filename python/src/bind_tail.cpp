// The tail of a series: the five tail methods' fit of the excesses over the (n - k)-th
// value, its return levels, and the fits over a range of numbers of excesses.
#include <cmath>
#include <limits>

#include "binding.h"
#include "tail_adapter.h"

namespace evstat::binding {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

int checked_method(int method) {
    if (method < kFirstTailMethod || method > kLastTailMethod)
        throw py::value_error("no such tail method");
    return method;
}

// k as the core takes it: any k outside 1 .. n fails the fit as it does in the tasks.
int excess_count(long long k, std::size_t n) {
    if (k < 1) return 0;
    if (k > static_cast<long long>(n)) return static_cast<int>(n) + 1;
    return static_cast<int>(k);
}

double nan_for_failure(double value) { return value == kEngineNotAvailable ? kNaN : value; }

// (xi, sigma, threshold, n, fitted, largest usable k or None): the caller raises, knowing
// the method's name, when the fit failed or the guard against values not above 0 applies.
py::tuple fit(int method, const DoubleArray& data, long long k) {
    checked_method(method);
    const std::vector<double> sorted = sorted_series(data);
    bool limited = false;
    const int usable = positive_excess_count(sorted, limited);
    const bool guarded = limited && tail_method_takes_logarithms(method) && k > usable;
    TailEstimate estimate;
    if (!guarded) {
        py::gil_scoped_release unlocked;
        estimate = tail_estimate(sorted, excess_count(k, sorted.size()), method);
    }
    return py::make_tuple(estimate.xi, estimate.sigma, estimate.threshold, sorted.size(),
                          !guarded && !estimate.failed,
                          guarded ? py::object(py::int_(usable)) : py::none());
}

// The return levels at exceedance probabilities p of a fit; NaN for p outside (0, 1).
DoubleArray return_levels(double threshold, double xi, double sigma, int k, int n,
                          const DoubleArray& p) {
    DoubleArray out(p.request().shape);
    const double* in = p.data();
    double* levels = out.mutable_data();
    const py::ssize_t count = p.size();
    py::gil_scoped_release unlocked;
    for (py::ssize_t i = 0; i < count; ++i)
        levels[i] = in[i] > 0.0 && in[i] < 1.0
                        ? nan_for_failure(tail_return_level(threshold, xi, sigma, k, in[i], n))
                        : kNaN;
    return out;
}

// The fits at every k of ks: (xi, sigma), NaN where the fit fails.
py::tuple path(int method, const DoubleArray& data, const py::array_t<long long>& ks) {
    checked_method(method);
    const std::vector<double> sorted = sorted_series(data);
    const py::ssize_t count = ks.size();
    DoubleArray xi(count);
    DoubleArray sigma(count);
    const long long* k = ks.data();
    double* x = xi.mutable_data();
    double* s = sigma.mutable_data();
    {
        py::gil_scoped_release unlocked;
        for (py::ssize_t i = 0; i < count; ++i) {
            const TailEstimate e = tail_estimate(sorted, excess_count(k[i], sorted.size()), method);
            x[i] = e.failed ? kNaN : e.xi;
            s[i] = e.failed ? kNaN : e.sigma;
        }
    }
    return py::make_tuple(xi, sigma);
}

py::str decoded(std::string_view bytes) {
    PyObject* text = PyUnicode_Decode(bytes.data(), static_cast<Py_ssize_t>(bytes.size()),
                                      "cp1252", "strict");
    if (text == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::str>(text);
}

}  // namespace

void bind_tail(py::module_& m) {
    m.def("tail_fit", &fit, py::arg("method"), py::arg("x"), py::arg("k"),
          "The tail fit of method 1..5 for k excesses: (xi, sigma, threshold, n, fitted, "
          "largest usable k when values not above 0 forbid k, else None).");
    m.def("tail_return_levels", &return_levels, py::arg("threshold"), py::arg("xi"),
          py::arg("sigma"), py::arg("k"), py::arg("n"), py::arg("p"),
          "Return levels of a tail fit at exceedance probabilities p.");
    m.def("tail_path", &path, py::arg("method"), py::arg("x"), py::arg("ks"),
          "The tail fits at every number of excesses of ks: (xi, sigma), NaN where one fails.");
    m.def("negative_data_sentence", [] { return decoded(negative_data_sentence()); },
          "The sentence the tail tasks write before the largest usable number of excesses.");
}

}  // namespace evstat::binding
