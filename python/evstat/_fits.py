"""Fits and tests of fit with critical values; their results are frozen dataclasses."""

from __future__ import annotations

import operator
from dataclasses import dataclass
from typing import Optional

from . import _core
from ._errors import EvstatError
from ._laws import LAWS, Law, as_float_array, generator_of, law_class

# The engine's estimator of each law, by code.
_METHODS = (
    "bounds corrected for the sample size",
    "mean",
    "Greenwood-Durand approximation to the maximum-likelihood shape",
    "rounded mean",
    "mean and unbiased standard deviation",
    "degrees of freedom matched to the variance, else to the mean absolute value",
    "method of moments",
    "maximum likelihood",
    "mean and unbiased standard deviation of the logarithms",
    "bias-corrected maximum likelihood",
    "probability-weighted moments",
)

_ANDERSON_DARLING, _CRAMER_VON_MISES = 0, 1


@dataclass(frozen=True)
class Fit:
    """A law fitted to a series by the engine's estimator.

    law: the fitted law; n: the number of values; method: the estimator, in words;
    engine_parameters: the estimates as the fitting task writes them (p1, p2).
    """

    law: Law
    n: int
    method: str
    engine_parameters: tuple


@dataclass(frozen=True)
class FitTestResult:
    """A test of fit with critical values of a law fitted to a series.

    statistic: the statistic as corrected for the law; critical_value: its critical value at
    the level; rejected: whether the law is rejected; level; fit: the fitted law;
    pvalue: with n_resamples > 0, the share of series drawn from the fitted law and refitted
    whose statistic is at least the data's, else None; threshold: for a test over excesses,
    the value they exceed, else None.
    """

    statistic: float
    critical_value: float
    rejected: bool
    level: float
    fit: Fit
    pvalue: Optional[float] = None
    threshold: Optional[float] = None


def _make_fit(code: int, n: int, parameters) -> Fit:
    law = LAWS[code]._from_engine(parameters)
    return Fit(law=law, n=int(n), method=_METHODS[code], engine_parameters=tuple(parameters))


def _integer(value, what: str, error: int) -> int:
    if isinstance(value, bool):
        raise EvstatError(error, f"{what} = {value!r} is not a whole number")
    try:
        return operator.index(value)
    except TypeError:
        raise EvstatError(error, f"{what} = {value!r} is not a whole number") from None


def _level(level) -> float:
    try:
        return float(level)
    except (TypeError, ValueError):
        raise EvstatError(27, f"the level {level!r} is not a number") from None


def fit(x, law) -> Fit:
    """The law fitted to the values of x by the engine's estimator (that of the fitting task).

    law: a law class (evstat.Weibull), or a name: the class name in any case ("weibull") or
    the engine's name ("Weibull", "Normale"). Raises EvstatError 61 for a value not above 0
    where the law needs positive data, 62 for a beta series above 1, 63 when the estimator
    cannot fit the series, 67 for an empty series or one that is not all finite numbers.
    """
    code = law_class(law).code
    n, parameters = _core.fit(code, as_float_array(x).ravel())
    return _make_fit(code, n, parameters)


def _fit_test(kind: int, x, law, level, n_resamples, rng) -> FitTestResult:
    code = law_class(law).code
    level = _level(level)
    resamples = _integer(n_resamples, "n_resamples", 12)
    if resamples < 0:
        raise EvstatError(12, f"n_resamples = {resamples} is negative")
    data = as_float_array(x).ravel()
    statistic, critical, accepted, n, parameters, pvalue = _core.fit_test(
        kind, code, data, level, resamples, generator_of(rng))
    return FitTestResult(statistic=statistic, critical_value=critical, rejected=not accepted,
                         level=level, fit=_make_fit(code, n, parameters), pvalue=pvalue)


def anderson_darling(x, law, level=0.05, n_resamples=0, rng=None) -> FitTestResult:
    """The Anderson-Darling test of the law fitted to x, as the task choosing a law by this
    test makes it for one law.

    The statistic is corrected for the law and compared with the critical value at the
    level, one of 0.25, 0.1, 0.05, 0.025, 0.01 (27 otherwise): from a table for the
    uniform, exponential, gamma, normal, Weibull, lognormal and Pareto laws; for the
    chi-square, Student, beta and generalized Pareto laws from 200 series drawn from the
    fitted law (with rng: an int seed, an evstat.Generator or None). With n_resamples > 0,
    pvalue is the share of n_resamples series drawn from the fitted law and refitted whose
    statistic is at least the data's. Raises EvstatError 64 for a series the law cannot
    take, 62 for a beta series above 1, 63 when the law cannot be fitted.
    """
    return _fit_test(_ANDERSON_DARLING, x, law, level, n_resamples, rng)


def cramer_von_mises(x, law, level=0.05, n_resamples=0, rng=None) -> FitTestResult:
    """The Cramer-von Mises test of the law fitted to x: as anderson_darling, with the
    Cramer-von Mises statistic, its corrections and its critical values."""
    return _fit_test(_CRAMER_VON_MISES, x, law, level, n_resamples, rng)


def anderson_darling_excesses(x, law, k, level=0.05, rng=None) -> FitTestResult:
    """The Anderson-Darling test of the law fitted to the excesses of x over its (n - k)-th
    value, as the task testing a law over excesses makes it.

    fit is the law fitted to the excesses (ties at the threshold leave fewer than k),
    threshold the value they exceed. k is a whole number from 2 (25 below) to n - 1 (12
    above); rng serves the laws whose critical value is drawn.
    """
    code = law_class(law).code
    level = _level(level)
    k = _integer(k, "k", 25)
    data = as_float_array(x).ravel()
    statistic, critical, accepted, count, parameters, threshold = _core.excess_test(
        code, data, k, level, generator_of(rng))
    return FitTestResult(statistic=statistic, critical_value=critical, rejected=not accepted,
                         level=level, fit=_make_fit(code, count, parameters), threshold=threshold)
