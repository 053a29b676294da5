// Failures: a refused request becomes evstat.EvstatError (a ValueError) with the engine's
// code, its French message and an English reason, translated here once for every binding.
#include <Python.h>

#include <cstdio>
#include <exception>

#include "binding.h"

namespace evstat::binding {

std::string shown(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string shown(const std::vector<double>& values) {
    std::string text;
    for (double v : values) text += (text.empty() ? "" : ", ") + shown(v);
    return "(" + text + ")";
}

namespace {
// The French message of a code, decoded from its Windows-1252 bytes.
py::str french_message(int code) {
    const std::string_view bytes = error_message(code);
    PyObject* text =
        PyUnicode_Decode(bytes.data(), static_cast<Py_ssize_t>(bytes.size()), "cp1252", "strict");
    if (text == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::str>(text);
}
}  // namespace

void bind_errors(py::module_& m) {
    m.def(
        "error_message",
        [](int code) -> py::str {
            if (code < 0 || code >= kErrorCodeCount) throw py::value_error("no such error code");
            return french_message(code);
        },
        py::arg("code"), "The French message of an engine error code, as Erreur.txt holds it.");

    py::register_exception_translator([](std::exception_ptr pointer) {
        try {
            if (pointer) std::rethrow_exception(pointer);
        } catch (const Failure& failure) {
            const py::object type = py::module_::import("evstat._errors").attr("EvstatError");
            const py::object error = type(failure.code, failure.reason);
            PyErr_SetObject(type.ptr(), error.ptr());
        }
    });
}

}  // namespace evstat::binding
