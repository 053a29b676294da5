"""The expert-opinion study: a law fitted to a series combined with an expert's statement
through a conjugate prior into a Bayesian predictive law, with its tests and quantile tables."""

from __future__ import annotations

import math
from dataclasses import dataclass, field
from typing import Optional

import numpy as np

from . import _core
from ._errors import EvstatError
from ._fits import _integer
from ._laws import LAWS, Law, as_float_array, generator_of, law_class

# The study's laws: the engine's words, then the English ones, as (code, prior on the shape).
_STUDY_LAWS = {
    "Exponentielle": (1, False), "Gamma": (2, False), "Normale": (4, False),
    "Lognormale": (8, False), "WeibullEchelle": (7, False), "WeibullForme": (7, True),
}
_ENGLISH = {"exponential": "Exponentielle", "gamma": "Gamma", "normal": "Normale",
            "lognormal": "Lognormale", "weibull_scale": "WeibullEchelle",
            "weibull_shape": "WeibullForme"}
_CONFIDENCE = {"Forte": "Forte", "Moyenne": "Moyenne", "Faible": "Faible",
               "strong": "Forte", "medium": "Moyenne", "weak": "Faible"}
_TABULATED = (0.25, 0.1, 0.05, 0.025, 0.01)
_MOST_ORDERS = 5
_NO_BOUND = -999.0  # a support bound left out
_MOST_EXCESSES = 2**31 - 1  # the engine's count of excesses is an int


def study_law(law) -> tuple:
    """(engine word, code, prior on the shape) of a study law; 9 for any other name."""
    word = _ENGLISH.get(law, law) if isinstance(law, str) else None
    if word not in _STUDY_LAWS:
        raise EvstatError(9, f"{law!r} is not a law of the study (one of "
                             + ", ".join(list(_STUDY_LAWS) + list(_ENGLISH)) + ")")
    return (word, *_STUDY_LAWS[word])


def _number(value, what: str, code: int) -> float:
    try:
        number = float(value)
    except (TypeError, ValueError):
        raise EvstatError(code, f"{what} = {value!r} is not a number") from None
    if math.isnan(number):
        raise EvstatError(code, f"{what} is NaN")
    return number


def _probability(value, what: str, code: int) -> float:
    p = _number(value, what, code)
    if not 0.0 <= p <= 1.0:
        raise EvstatError(code, f"{what} = {p!r} is not a probability")
    return p


def _shape_support(shape_support) -> tuple:
    if shape_support is None:
        return _NO_BOUND, _NO_BOUND
    low, high = (_number(v, "shape_support", 39) for v in shape_support)
    if not high >= low:
        raise EvstatError(40, f"shape_support = ({low!r}, {high!r}): the upper bound is below the lower")
    return low, high


class PredictiveLaw:
    """The Bayesian predictive law of a study, frozen: pdf, cdf, sf over numpy arrays or
    scalars. name is the engine's name of the law, parameters its engine parameters; the
    predictive law of the Weibull shape is a table (x, F, f) computed by the engine and read
    linearly between its points."""

    def __init__(self, name: str, code: int, parameters: tuple, table=None):
        self.name, self.code, self.parameters, self._table = name, code, parameters, table

    def _values(self, x):
        points = as_float_array(x)
        if self._table is not None:
            grid, distribution, density = self._table
            return _core.predictive_table_values(grid, distribution, density, points)
        return _core.predictive_values(self.code, list(self.parameters), points)

    @staticmethod
    def _shaped(out):
        out = np.asarray(out)
        return float(out) if out.ndim == 0 else out

    def pdf(self, x):
        """The density at x."""
        return self._shaped(self._values(x)[0])

    def cdf(self, x):
        """P(X <= x)."""
        return self._shaped(self._values(x)[1])

    def sf(self, x):
        """P(X > x), as 1 - cdf."""
        return self._shaped(self._values(x)[2])

    def __repr__(self) -> str:
        return f"PredictiveLaw({self.name!r}, parameters={tuple(self.parameters)!r})"


@dataclass(frozen=True)
class ExpertStudy:
    """The expert-opinion study of a series.

    law: the law fitted to the series; interval: the expert's interval (s1, s2) for the
    prior's parameter and positions (t1, t2) in the shape's support (0 but for the Weibull
    shape); prior: the prior's two parameters; predictive_parameters: (q1, q2[, q3]);
    predictive: the predictive law; accepted, statistic, critical_value: the selected test of
    the fitted law; predictive_statistic: that test's statistic for the predictive law;
    et_law_accepted, et_predictive_accepted: the exponential-tail quantile against 500 series
    drawn from the fitted law and from the predictive law; et_quantile, et_interval: that
    quantile and the predictive interval; orders and the quantile table by order:
    law_quantiles, tail_quantiles, predictive_quantiles, and for a simulated series
    simulation_quantiles (the law as given) and refitted_quantiles (that law fitted to the
    series); column: the values task 25 writes, in order.
    """

    law: Law
    interval: tuple
    positions: tuple
    prior: tuple
    predictive_parameters: tuple
    predictive: PredictiveLaw
    accepted: bool
    statistic: float
    critical_value: float
    predictive_statistic: float
    et_law_accepted: bool
    et_predictive_accepted: bool
    et_quantile: float
    et_interval: tuple
    orders: tuple
    law_quantiles: np.ndarray = field(repr=False)
    tail_quantiles: np.ndarray = field(repr=False)
    predictive_quantiles: np.ndarray = field(repr=False)
    simulation_quantiles: Optional[np.ndarray] = field(repr=False)
    refitted_quantiles: Optional[np.ndarray] = field(repr=False)
    column: np.ndarray = field(repr=False)


def expert_study(x, law, *, statement=None, defiance=0.05, confidence="Moyenne", test="CVM",
                 test_level=0.05, quantile_test_level=0.05, k=10, p=0.01,
                 orders=(0.01, 0.001), shape_support=None, simulated_from=None,
                 rng=None) -> ExpertStudy:
    """The expert-opinion study of x (the task of the expert's opinion, with its numbers).

    law: "Exponentielle", "Gamma", "Normale", "Lognormale", "WeibullEchelle", "WeibullForme"
    or "exponential", "gamma", "normal", "lognormal", "weibull_scale", "weibull_shape" (9
    otherwise). statement: None, or (c, p1, p2): P(X > c) lies between p2 and p1, p2 not
    above p1 (52). defiance: the risk of the prior's interval, in [0, 1] (54); confidence:
    "Forte", "Moyenne", "Faible" or "strong", "medium", "weak" (56); test: "AD" or "CVM"
    (58); test_level and quantile_test_level: 0.25, 0.1, 0.05, 0.025, 0.01 (27); k: the
    excesses of the exponential tail (25 below 0); p: the exceedance probability of the
    tests' quantile; orders: up to five orders of the quantile table, none 0 (38 outside
    [0, 1]); shape_support: None or (L, U), the Weibull shape's support (40 when U < L);
    simulated_from: None or the frozen law the series was drawn from. rng: an int seed, an
    evstat.Generator or None. The engine refuses values not above 0 but for the normal law
    (64), a law it cannot fit or a prior it cannot form (12).
    """
    word, code, on_shape = study_law(law)
    expert = statement is not None
    c, p1, p2 = 0.0, 0.0, 0.0
    if expert:
        try:
            c, p1, p2 = statement
        except (TypeError, ValueError):
            raise EvstatError(46, f"statement = {statement!r}: give None or (c, p1, p2)") from None
        c = _number(c, "c", 47)
        p1 = _probability(p1, "p1", 49)
        p2 = _probability(p2, "p2", 51)
        if not p2 <= p1:
            raise EvstatError(52, f"p2 = {p2!r} is above p1 = {p1!r}")
    word_confidence = _CONFIDENCE.get(confidence) if isinstance(confidence, str) else None
    if word_confidence is None:
        raise EvstatError(56, f"confidence = {confidence!r}: one of " + ", ".join(_CONFIDENCE))
    if test not in ("AD", "CVM"):
        raise EvstatError(58, f"test = {test!r}: \"AD\" or \"CVM\"")
    levels = []
    for what, level in (("test_level", test_level), ("quantile_test_level", quantile_test_level)):
        level = _number(level, what, 26)
        if level not in _TABULATED:
            raise EvstatError(27, f"{what} = {level!r} is not one of 0.25, 0.1, 0.05, 0.025, 0.01")
        levels.append(level)
    k = _integer(k, "k", 24)
    if k < 0 or k > _MOST_EXCESSES:
        raise EvstatError(25 if k < 0 else 12, f"k = {k}: from 0 to {_MOST_EXCESSES} excesses")
    orders = tuple(_probability(o, "an order", 38) for o in orders)
    if len(orders) > _MOST_ORDERS or 0.0 in orders:
        raise EvstatError(38, f"orders = {orders!r}: up to five orders, none 0")
    low, high = _shape_support(shape_support)
    simulated = simulated_from is not None
    if simulated and not isinstance(simulated_from, Law):
        raise EvstatError(9, f"simulated_from = {simulated_from!r} is not a frozen evstat law")
    settings = dict(
        code=code, weibull_shape=on_shape, prior_low=low, prior_high=high, simulated=simulated,
        simulation_code=simulated_from.code if simulated else 0,
        simulation_parameters=list(simulated_from.engine_parameters) if simulated else [],
        expert=expert, c=c, p1=p1, p2=p2,
        defiance=_probability(defiance, "defiance", 54), confidence=word_confidence,
        anderson_darling=test == "AD", test_level=levels[0], quantile_test_level=levels[1],
        k=k, p=_probability(p, "p", 38), orders=list(orders))
    out = _core.expert_study(settings, as_float_array(x).ravel(), generator_of(rng))
    return _shaped_study(out, code, on_shape, orders, simulated)


def _shaped_study(out: dict, code: int, on_shape: bool, orders: tuple, simulated: bool):
    column = np.asarray(out["column"])
    z = len(out["predictive"])
    tests = column[6 + z:15 + z]
    m = len(orders)
    tables = [column[15 + z + i * m:15 + z + (i + 1) * m] for i in range(5 if simulated else 3)]
    table = None
    if on_shape:
        table = (np.asarray(out["table_x"]), np.asarray(out["table_distribution"]),
                 np.asarray(out["table_density"]))
    predictive = PredictiveLaw(out["predictive_name"], out["predictive_code"],
                               tuple(out["predictive_parameters"]), table)
    return ExpertStudy(
        law=LAWS[code]._from_engine(out["fitted"]), interval=tuple(column[0:2]),
        positions=tuple(column[2:4]), prior=tuple(column[4:6]),
        predictive_parameters=tuple(column[6:6 + z]), predictive=predictive,
        accepted=bool(tests[0] == 1), statistic=float(tests[1]), critical_value=float(tests[2]),
        predictive_statistic=float(tests[3]), et_law_accepted=bool(tests[4] == 1),
        et_predictive_accepted=bool(tests[5] == 1), et_quantile=float(tests[6]),
        et_interval=(float(tests[7]), float(tests[8])), orders=orders,
        law_quantiles=tables[0], tail_quantiles=tables[1], predictive_quantiles=tables[2],
        simulation_quantiles=tables[3] if simulated else None,
        refitted_quantiles=tables[4] if simulated else None, column=column)


def predictive_sample(x, law, prior, size, samples=1, shape_support=None, rng=None) -> np.ndarray:
    """Values drawn from the Bayesian predictive law of x, as the predictive-sample task draws
    them: an array of `samples` rows of `size` values, each row sorted as the numbered data
    files hold it.

    law: named as for expert_study; prior: the Gamma (shape, rate) of the rate or precision,
    or for "WeibullForme" the Beta (a, b) of the shape over shape_support (L, U). The law's
    own parameters are estimated from x. Raises 64 for values not above 0 but for the normal
    law, 12 for a prior that is not a law (or a support with U not above max(L, 0)) or sizes
    beyond the engine's bounds, 65 when the shape's rejection sampling reaches its bound.
    """
    _, code, on_shape = study_law(law)
    size = _integer(size, "size", 13)
    samples = _integer(samples, "samples", 16)
    if size < 0 or samples < 1:
        raise EvstatError(14 if size < 0 else 17,
                          f"size = {size}, samples = {samples}: a size of 0 or more, one sample or more")
    if size > _MOST_EXCESSES or samples > _MOST_EXCESSES:
        raise EvstatError(12, f"size = {size}, samples = {samples}: beyond the engine's bounds")
    try:
        prior = [float(v) for v in prior]
    except (TypeError, ValueError):
        raise EvstatError(11, f"prior = {prior!r} is not two numbers") from None
    low, high = _shape_support(shape_support)
    return _core.predictive_samples(code, on_shape, as_float_array(x).ravel(), prior, low, high,
                                    size, samples, generator_of(rng))
