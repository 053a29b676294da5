"""The tail of a series: the five tail methods' generalized Pareto fit of the excesses over a
high threshold, their return levels, and the fits over a range of numbers of excesses."""

from __future__ import annotations

from dataclasses import dataclass, field

import numpy as np

from . import _core
from ._errors import EvstatError
from ._fits import _integer
from ._laws import as_float_array

# The methods by the engine's keyword, with their codes.
TAIL_METHODS = {"HW": 1, "EMV": 2, "Hill": 3, "HillG": 4, "Zipf": 5}
_DESCRIPTIONS = {
    "HW": "probability-weighted moments",
    "EMV": "maximum likelihood started from the probability-weighted moments",
    "Hill": "Hill estimator",
    "HillG": "moment (generalized Hill) estimator",
    "Zipf": "slope of the Zipf plot",
}


def method_code(method) -> int:
    """The engine's code of a tail method keyword; 60 (the engine's refusal) otherwise."""
    code = TAIL_METHODS.get(method) if isinstance(method, str) else None
    if code is None:
        raise EvstatError(60, f"{method!r} is not a tail method (one of "
                              + ", ".join(TAIL_METHODS) + ")")
    return code


def negative_data_error(k: int, usable: int) -> EvstatError:
    """61 for k excesses where only `usable` keep the threshold above 0, with the sentence
    the tail tasks write and that number as its message."""
    if usable < 0:
        return EvstatError(61, "no value of the series is above 0: the method takes logarithms")
    error = EvstatError(61, f"k = {k} excesses: the method takes logarithms and the series "
                            f"has values not above 0, so k may be at most {usable}")
    error.message = _core.negative_data_sentence() + str(usable)
    return error


@dataclass(frozen=True)
class TailFit:
    """The generalized Pareto tail of a series fitted from its k largest values.

    xi: the shape (above 0 a heavy tail); sigma: the scale; threshold: the (n - k)-th value,
    which the excesses exceed; k: the number of excesses; n: the number of values; method:
    the method's keyword ("HW", "EMV", "Hill", "HillG", "Zipf").
    """

    xi: float
    sigma: float
    threshold: float
    k: int
    n: int
    method: str
    description: str = field(repr=False, default="")

    def return_level(self, p):
        """The level exceeded with probability p by one value of the series:
        u + (sigma/xi) ((n p / k)^(-xi) - 1), u + sigma ln(k / (n p)) at xi = 0. Vectorised
        over p; NaN for p outside (0, 1)."""
        probabilities = as_float_array(p, "p")
        out = _core.tail_return_levels(self.threshold, self.xi, self.sigma, self.k, self.n,
                                       probabilities)
        return float(out) if out.ndim == 0 else out


def fit_tail(x, k, method="HW") -> TailFit:
    """The tail of x fitted by a tail method from its k largest values, as the tail tasks fit it.

    method: "HW" (probability-weighted moments), "EMV" (maximum likelihood), "Hill", "HillG"
    (the moment estimator) or "Zipf" (60 for any other). Raises EvstatError 65 when the fit
    cannot be made (k outside 1..n, or n - 1 for Zipf; an estimate that is not finite), 61
    when a method taking logarithms ("Hill", "HillG", "Zipf") is asked for more excesses than
    the values above 0 give (its message is the tail tasks' sentence with the largest usable
    k), 67 for data that are not finite numbers.
    """
    code = method_code(method)
    k = _integer(k, "k", 65)
    xi, sigma, threshold, n, fitted, usable = _core.tail_fit(code, as_float_array(x).ravel(), k)
    if usable is not None:
        raise negative_data_error(k, usable)
    if not fitted:
        raise EvstatError(65, f"the {method} method cannot fit the tail of {n} values from "
                              f"k = {k} excesses")
    return TailFit(xi=xi, sigma=sigma, threshold=threshold, k=k, n=int(n), method=method,
                   description=_DESCRIPTIONS[method])


@dataclass(frozen=True)
class TailPath:
    """Tail fits over a range of numbers of excesses: arrays k, xi, sigma (NaN where a fit
    cannot be made), with the method's keyword."""

    k: np.ndarray = field(repr=False)
    xi: np.ndarray = field(repr=False)
    sigma: np.ndarray = field(repr=False)
    method: str

    def __repr__(self) -> str:
        span = f"{self.k[0]}..{self.k[-1]}" if len(self.k) else "none"
        return f"TailPath(method={self.method!r}, k={span}, fits={int(np.isfinite(self.xi).sum())})"


def tail_path(x, ks, method="HW") -> TailPath:
    """The tail fits of x by one method at every number of excesses of ks (an int range or
    an array of whole numbers), as the task fitting over a range does: NaN where a fit cannot
    be made (a method taking logarithms above the values above 0 included)."""
    code = method_code(method)
    k = np.asarray(ks)
    if k.ndim != 1 or (k.size and not np.issubdtype(k.dtype, np.integer)):
        raise EvstatError(12, "ks must be a one-dimensional range or array of whole numbers")
    k = k.astype(np.int64)
    xi, sigma = _core.tail_path(code, as_float_array(x).ravel(), k)
    return TailPath(k=k, xi=xi, sigma=sigma, method=method)
