"""The laws of the catalogue as frozen objects, in their conventional parametrisation."""

from __future__ import annotations

import math
import operator
from typing import ClassVar

import numpy as np

from . import _core
from ._errors import EvstatError

_PDF, _CDF, _SF, _PPF, _ISF = range(5)


def as_float_array(x, what: str = "x") -> np.ndarray:
    """x as an array of float64 (no copy when it is one already); 67 when it holds no numbers."""
    if np.iscomplexobj(x):
        raise EvstatError(67, f"{what} holds complex numbers")
    try:
        return np.asarray(x, dtype=np.float64)
    except (TypeError, ValueError) as error:
        raise EvstatError(67, f"{what} is not an array of numbers ({error})") from None


def _shaped(out: np.ndarray):
    return float(out) if out.ndim == 0 else out


_clock_generator: _core.Generator | None = None


def generator_of(rng) -> _core.Generator:
    """The generator a call draws from: rng itself, a new one seeded with an int, or for
    None the module's own, seeded once from the clock."""
    global _clock_generator
    if rng is None:
        if _clock_generator is None:
            _clock_generator = _core.Generator(_core.clock_seed())
        return _clock_generator
    if isinstance(rng, _core.Generator):
        return rng
    if isinstance(rng, bool):
        raise EvstatError(12, f"rng = {rng!r}: give an int seed, an evstat.Generator or None")
    try:
        seed = operator.index(rng)
    except TypeError:
        raise EvstatError(12, f"rng = {rng!r}: give an int seed, an evstat.Generator or None") from None
    if not 0 <= seed < 2**32:
        raise EvstatError(12, f"the seed {seed} is not from 0 to 2**32 - 1")
    return _core.Generator(seed)


def _number(value, what: str, law: str) -> float:
    try:
        return float(value)
    except (TypeError, ValueError):
        raise EvstatError(12, f"invalid parameters of the {law} law: {what} = {value!r} is not a number") from None


def _parameter(position: int, doc: str) -> property:
    return property(lambda law: law._values[position], doc=doc)


class Law:
    """A law of the catalogue with its parameters (frozen).

    The law functions take a number or an array and return the same shape: ``pdf``,
    ``cdf``, ``sf`` (1 - cdf), ``ppf`` (the quantile at a probability) and ``isf`` (the
    quantile at an exceedance probability). ``name`` is the engine's name of the law,
    ``code`` its engine code and ``engine_parameters`` the ParameterFile's p1, p2.
    """

    code: ClassVar[int]
    name: ClassVar[str]
    _parameters: ClassVar[tuple]
    _integers: ClassVar[tuple] = ()
    __slots__ = ("_values", "_engine")

    def _set(self, *values) -> None:
        law = type(self).__name__
        numbers = [_number(v, n, law) for v, n in zip(values, self._parameters)]
        engine = tuple(_core.engine_parameters(self.code, numbers))
        shown = tuple(int(v) if n in self._integers else v for v, n in zip(numbers, self._parameters))
        object.__setattr__(self, "_values", shown)
        object.__setattr__(self, "_engine", engine)

    @classmethod
    def _from_engine(cls, parameters) -> "Law":
        numbers = [_number(p, f"p{i + 1}", cls.__name__) for i, p in enumerate(parameters)]
        conventional = _core.conventional_parameters(cls.code, numbers)
        law = object.__new__(cls)
        shown = tuple(int(v) if n in cls._integers else v for v, n in zip(conventional, cls._parameters))
        object.__setattr__(law, "_values", shown)
        object.__setattr__(law, "_engine", tuple(numbers))
        return law

    def __setattr__(self, name, value):
        raise AttributeError(f"{type(self).__name__} is frozen")

    def __delattr__(self, name):
        raise AttributeError(f"{type(self).__name__} is frozen")

    def __repr__(self) -> str:
        inside = ", ".join(f"{n}={v!r}" for n, v in zip(self._parameters, self._values))
        return f"{type(self).__name__}({inside})"

    def __eq__(self, other) -> bool:
        if type(other) is not type(self):
            return NotImplemented
        return self._engine == other._engine

    def __hash__(self) -> int:
        return hash((type(self), self._engine))

    def __reduce__(self):
        return (type(self)._from_engine, (self._engine,))

    @property
    def engine_parameters(self) -> tuple:
        """The parameters as the engine's ParameterFile gives them (p1, p2)."""
        return self._engine

    def pdf(self, x):
        """The density at x."""
        return _shaped(_core.evaluate(_PDF, self.code, self._engine, as_float_array(x)))

    def cdf(self, x):
        """The distribution function P(X <= x)."""
        return _shaped(_core.evaluate(_CDF, self.code, self._engine, as_float_array(x)))

    def sf(self, x):
        """The survival function P(X > x)."""
        return _shaped(_core.evaluate(_SF, self.code, self._engine, as_float_array(x)))

    def ppf(self, q):
        """The quantile at probability q (nan outside [0, 1])."""
        return _shaped(_core.evaluate(_PPF, self.code, self._engine, as_float_array(q, "q")))

    def isf(self, q):
        """The quantile exceeded with probability q (nan outside [0, 1])."""
        return _shaped(_core.evaluate(_ISF, self.code, self._engine, as_float_array(q, "q")))

    def rvs(self, size=1, rng=None) -> np.ndarray:
        """size values drawn in the engine's order (an int or a tuple of ints).

        rng: an int seed, an evstat.Generator (its state carries on) or None (the module's
        generator, seeded once from the clock). With rng=evstat.Generator(s),
        numpy.sort(law.rvs(n, rng=...)) is the Donnees.txt of the simulation task run with
        sample size n and seed s.
        """
        shape = (size,) if np.ndim(size) == 0 else tuple(size)
        try:
            shape = tuple(operator.index(s) for s in shape)
        except TypeError:
            raise EvstatError(12, f"size = {size!r} is not an int or a tuple of ints") from None
        if any(s < 0 for s in shape):
            raise EvstatError(12, f"size = {size!r} is negative")
        count = min(math.prod(shape), 2**62)  # beyond the engine's bound either way
        return _core.draw(self.code, self._engine, count, generator_of(rng)).reshape(shape)

    def mean(self) -> float:
        """The mean: inf where it is infinite, nan where it does not exist."""
        return _core.moments(self.code, self._engine)[0]

    def std(self) -> float:
        """The standard deviation: inf where it is infinite, nan where it does not exist."""
        return _core.moments(self.code, self._engine)[1]


class Uniform(Law):
    """The uniform law on [lower, upper]. ParameterFile: Uniforme, p1 = lower, p2 = upper."""

    code, name, _parameters = 0, "Uniforme", ("lower", "upper")
    __slots__ = ()
    lower = _parameter(0, "The lower end.")
    upper = _parameter(1, "The upper end.")

    def __init__(self, lower: float, upper: float) -> None:
        self._set(lower, upper)


class Exponential(Law):
    """The exponential law of the given mean (F(x) = 1 - exp(-x / mean)).
    ParameterFile: Exponentielle, p1 = mean."""

    code, name, _parameters = 1, "Exponentielle", ("mean",)
    __slots__ = ()

    def __init__(self, mean: float) -> None:
        self._set(mean)


class Gamma(Law):
    """The gamma law of the given shape and scale. ParameterFile: Gamma, p1 = shape, p2 = scale."""

    code, name, _parameters = 2, "Gamma", ("shape", "scale")
    __slots__ = ()
    shape = _parameter(0, "The shape.")
    scale = _parameter(1, "The scale.")

    def __init__(self, shape: float, scale: float) -> None:
        self._set(shape, scale)


class ChiSquare(Law):
    """The chi-square law with df degrees of freedom (a whole number).
    ParameterFile: Chi2, p1 = df."""

    code, name, _parameters, _integers = 3, "Chi2", ("df",), ("df",)
    __slots__ = ()
    df = _parameter(0, "The degrees of freedom.")

    def __init__(self, df: int) -> None:
        self._set(df)


class Normal(Law):
    """The normal law of the given mean and standard deviation sd.
    ParameterFile: Normale, p1 = mean, p2 = sd."""

    code, name, _parameters = 4, "Normale", ("mean", "sd")
    __slots__ = ()
    sd = _parameter(1, "The standard deviation.")

    def __init__(self, mean: float, sd: float) -> None:
        self._set(mean, sd)


class Student(Law):
    """Student's t law with df degrees of freedom (a whole number). ParameterFile: Student, p1 = df."""

    code, name, _parameters, _integers = 5, "Student", ("df",), ("df",)
    __slots__ = ()
    df = _parameter(0, "The degrees of freedom.")

    def __init__(self, df: int) -> None:
        self._set(df)


class Beta(Law):
    """The beta law on (0, 1) with shapes a and b. ParameterFile: Beta, p1 = a, p2 = b."""

    code, name, _parameters = 6, "Beta", ("a", "b")
    __slots__ = ()
    a = _parameter(0, "The first shape.")
    b = _parameter(1, "The second shape.")

    def __init__(self, a: float, b: float) -> None:
        self._set(a, b)


class Weibull(Law):
    """The Weibull law, F(x) = 1 - exp(-(x / scale) ** shape).
    ParameterFile: Weibull, p1 = scale ** shape, p2 = shape."""

    code, name, _parameters = 7, "Weibull", ("scale", "shape")
    __slots__ = ()
    scale = _parameter(0, "The scale.")
    shape = _parameter(1, "The shape.")

    def __init__(self, scale: float, shape: float) -> None:
        self._set(scale, shape)


class Lognormal(Law):
    """The lognormal law: log X is normal with mean meanlog and standard deviation sdlog.
    ParameterFile: Lognormale, p1 = meanlog, p2 = sdlog."""

    code, name, _parameters = 8, "Lognormale", ("meanlog", "sdlog")
    __slots__ = ()
    meanlog = _parameter(0, "The mean of log X.")
    sdlog = _parameter(1, "The standard deviation of log X.")

    def __init__(self, meanlog: float, sdlog: float) -> None:
        self._set(meanlog, sdlog)


class Pareto(Law):
    """The Pareto law, F(x) = 1 - (threshold / x) ** exponent for x >= threshold.
    ParameterFile: Pareto, p1 = threshold, p2 = exponent."""

    code, name, _parameters = 9, "Pareto", ("threshold", "exponent")
    __slots__ = ()
    threshold = _parameter(0, "The threshold (the smallest value).")
    exponent = _parameter(1, "The tail exponent.")

    def __init__(self, threshold: float, exponent: float) -> None:
        self._set(threshold, exponent)


class GPD(Law):
    """The generalized Pareto law, F(x) = 1 - (1 + shape x / scale) ** (-1 / shape), x >= 0
    (shape > 0 a heavy tail, the tail methods' xi; exponential at shape 0).
    ParameterFile: GPD, p1 = shape, p2 = scale."""

    code, name, _parameters = 10, "GPD", ("shape", "scale")
    __slots__ = ()
    shape = _parameter(0, "The shape xi.")
    scale = _parameter(1, "The scale sigma.")

    def __init__(self, shape: float, scale: float) -> None:
        self._set(shape, scale)


LAWS = (Uniform, Exponential, Gamma, ChiSquare, Normal, Student, Beta, Weibull, Lognormal, Pareto, GPD)
_BY_CLASS_NAME = {law.__name__.lower(): law for law in LAWS}


def law_class(law) -> type:
    """The law class of a class, an instance, or a name: the class name in any case or the
    engine's name; 9 for any other."""
    if isinstance(law, type) and issubclass(law, Law) and law is not Law:
        return law
    if isinstance(law, Law):
        return type(law)
    if isinstance(law, str):
        found = _BY_CLASS_NAME.get(law.lower())
        if found is not None:
            return found
        code = _core.law_code(law)
        if 0 <= code < len(LAWS):
            return LAWS[code]
    raise EvstatError(9, f"{law!r} is not a law of the catalogue (one of "
                         + ", ".join(l.__name__ for l in LAWS) + ", or their engine names)")


def law_from_engine(name: str, *parameters: float) -> Law:
    """The law the engine's ParameterFile names, from its name and parameters p1, p2, ...:
    law_from_engine("Weibull", 8.0, 3.0) is Weibull(scale=2.0, shape=3.0)."""
    code = _core.law_code(name) if isinstance(name, str) else -1
    if not 0 <= code < len(LAWS):
        raise EvstatError(9, f"{name!r} is not the engine's name of a law of the catalogue")
    return LAWS[code]._from_engine(parameters)
