"""evstat: the statistics engine for extreme values, from Python.

Laws of the catalogue (pdf, cdf, sf, ppf, isf, rvs, mean, std), the engine's estimators
(fit) and its tests of fit with critical values (anderson_darling, cramer_von_mises,
anderson_darling_excesses), with the engine's own generator (Generator) and its error codes
(EvstatError). Every number is computed by the engine's compiled core.
"""

from ._core import Generator
from ._errors import EvstatError
from ._fits import (Fit, FitTestResult, anderson_darling, anderson_darling_excesses,
                    cramer_von_mises, fit)
from ._laws import (GPD, Beta, ChiSquare, Exponential, Gamma, Law, Lognormal, Normal, Pareto,
                    Student, Uniform, Weibull, law_from_engine)

__all__ = [
    "Beta", "ChiSquare", "EvstatError", "Exponential", "Fit", "FitTestResult", "GPD", "Gamma",
    "Generator", "Law", "Lognormal", "Normal", "Pareto", "Student", "Uniform", "Weibull",
    "anderson_darling", "anderson_darling_excesses", "cramer_von_mises", "fit", "law_from_engine",
]
