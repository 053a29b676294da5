"""Tests of an extreme quantile: the exponential-tail (ET) test and the generalized Pareto
tail (GPD) test of the quantile at exceedance probability p, and the quantiles of several
fitted laws."""

from __future__ import annotations

import math
from dataclasses import dataclass

import numpy as np

from . import _core
from ._errors import EvstatError
from ._fits import _integer, _level
from ._laws import LAWS, Law, as_float_array, generator_of, law_class
from ._tail import method_code, negative_data_error

_ET_VERSIONS = {"asymptotic": 1, "difference": 2, "percentile": 3}
_GPD_VERSIONS = {"difference": 2, "percentile": 3}
_NOT_AVAILABLE = -10.0  # what the engine writes for a value it cannot give


def _value(v: float) -> float:
    return math.nan if v == _NOT_AVAILABLE else float(v)


@dataclass(frozen=True)
class QuantileTestResult:
    """A test of the quantile at exceedance probability p of a law fitted to a series.

    accepted: whether the compared value lies in the interval; tail_quantile: q, the quantile
    estimated from the tail; law_quantile: Q0, the fitted law's quantile at 1 - p; interval:
    (lower, upper), of q - Q0 for the "difference" tests, of q otherwise (NaN ends where no
    resampled value could be compared); law: the fitted law; test: the test's name.
    """

    accepted: bool
    tail_quantile: float
    law_quantile: float
    interval: tuple
    law: Law
    test: str


def _result(outcome, code: int, test: str) -> QuantileTestResult:
    accepted, q, q0, lower, upper, estimates = outcome
    return QuantileTestResult(accepted=bool(accepted), tail_quantile=_value(q),
                              law_quantile=_value(q0), interval=(_value(lower), _value(upper)),
                              law=LAWS[code]._from_engine(estimates), test=test)


def _order(p) -> float:
    try:
        return float(p)
    except (TypeError, ValueError):
        raise EvstatError(37, f"p = {p!r} is not a number") from None


def _version(test, versions: dict) -> int:
    version = versions.get(test) if isinstance(test, str) else None
    if version is None:
        raise EvstatError(12, f"test = {test!r}: one of " + ", ".join(map(repr, versions)))
    return version


def et_test(x, law, k, p, test="asymptotic", level=0.05, n_resamples=1000,
            rng=None) -> QuantileTestResult:
    """The exponential-tail test of the quantile at exceedance probability p of law fitted to x.

    q = u + m ln(k / (n p)) from the k excesses over u, the (n - k)-th value (m their mean,
    the fitted mean for the exponential law), against Q0, the fitted law's quantile:
    test "asymptotic" by the normal approximation, "difference" by n_resamples series drawn
    from the fitted law (q - Q0 against the resampled differences), "percentile" (q against
    the resampled q). level: 0.25, 0.1, 0.05, 0.025, 0.01, or 0 for an unbounded interval
    (27 otherwise); k from 2 (25 below) to n - 1 (12 above); p in (0, 1) (38 otherwise);
    rng an int seed, an evstat.Generator or None. Raises 63 when the law cannot be fitted.
    """
    code = law_class(law).code
    version = _version(test, _ET_VERSIONS)
    outcome = _core.et_test(code, as_float_array(x).ravel(), _integer(k, "k", 25), _order(p),
                            version, _level(level), _integer(n_resamples, "n_resamples", 12),
                            generator_of(rng))
    return _result(outcome, code, test)


def gpd_test(x, law, k, p, method="EMV", test="difference", level=0.05, n_resamples=1000,
             rng=None) -> QuantileTestResult:
    """The generalized Pareto tail test of the quantile at exceedance probability p of law
    fitted to x.

    q is the return level of the tail method's fit of the k largest values, against Q0, the
    fitted law's quantile, by n_resamples series drawn from the fitted law, each refitted by
    the method: test "difference" (q - Q0 against the resampled differences) or "percentile"
    (q against the resampled q). Raises 65 when the method cannot fit the data, 61 when a
    method taking logarithms asks for more excesses than the values above 0 give, 63 when the
    law cannot be fitted; the other arguments as et_test.
    """
    code = law_class(law).code
    tail = method_code(method)
    version = _version(test, _GPD_VERSIONS)
    k = _integer(k, "k", 25)
    outcome, usable = _core.gpd_test(code, as_float_array(x).ravel(), k, _order(p), tail, version,
                                     _level(level), _integer(n_resamples, "n_resamples", 12),
                                     generator_of(rng))
    if outcome is None:
        raise negative_data_error(k, usable)
    return _result(outcome, code, test)


def extreme_quantiles(x, laws, p) -> np.ndarray:
    """The quantile at 1 - p of each law of `laws` (classes or names) fitted to x by the
    estimators of the tests of fit, in the order of laws; NaN where a law could not be fitted.
    """
    codes = [law_class(law).code for law in laws]
    out = _core.extreme_quantiles(codes, as_float_array(x).ravel(), _order(p))
    out[out == _NOT_AVAILABLE] = np.nan
    return out
