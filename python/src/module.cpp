// evstat._core: the compiled half of the evstat package (the Python half shapes arguments
// and results around it).
#include "binding.h"

PYBIND11_MODULE(_core, m) {
    m.doc() = "The evstat engine's core: laws, fits and tests of fit over numpy arrays.";
    evstat::binding::bind_errors(m);
    evstat::binding::bind_laws(m);
    evstat::binding::bind_fits(m);
    evstat::binding::bind_tests(m);
}
