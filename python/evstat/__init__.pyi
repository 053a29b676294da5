"""Type stub of evstat: the engine's laws, fits and tests of fit."""

from typing import ClassVar, Optional, Sequence, Union, overload

import numpy as np
import numpy.typing as npt

_ArrayLike = npt.ArrayLike
_Rng = Union[int, "Generator", None]

class EvstatError(ValueError):
    """A request the engine refuses: its code, French message and English reason."""
    code: int
    message: str
    reason: str
    def __init__(self, code: int, reason: str) -> None: ...

class Generator:
    """The engine's own pseudo-random generator, seeded with 0 <= seed < 2**32."""
    def __init__(self, seed: int) -> None: ...
    @property
    def state(self) -> int: ...
    def next(self) -> int: ...

class Law:
    """A law of the catalogue with its parameters (frozen)."""
    code: ClassVar[int]
    name: ClassVar[str]
    @property
    def engine_parameters(self) -> tuple[float, ...]: ...
    @overload
    def pdf(self, x: float) -> float: ...
    @overload
    def pdf(self, x: _ArrayLike) -> Union[float, np.ndarray]: ...
    @overload
    def cdf(self, x: float) -> float: ...
    @overload
    def cdf(self, x: _ArrayLike) -> Union[float, np.ndarray]: ...
    @overload
    def sf(self, x: float) -> float: ...
    @overload
    def sf(self, x: _ArrayLike) -> Union[float, np.ndarray]: ...
    @overload
    def ppf(self, q: float) -> float: ...
    @overload
    def ppf(self, q: _ArrayLike) -> Union[float, np.ndarray]: ...
    @overload
    def isf(self, q: float) -> float: ...
    @overload
    def isf(self, q: _ArrayLike) -> Union[float, np.ndarray]: ...
    def rvs(self, size: Union[int, Sequence[int]] = 1, rng: _Rng = None) -> np.ndarray: ...
    def mean(self) -> float: ...
    def std(self) -> float: ...

class Uniform(Law):
    """Uniform on [lower, upper]. ParameterFile: Uniforme, p1 = lower, p2 = upper."""
    lower: float
    upper: float
    def __init__(self, lower: float, upper: float) -> None: ...

class Exponential(Law):
    """Exponential of the given mean. ParameterFile: Exponentielle, p1 = mean."""
    def __init__(self, mean: float) -> None: ...

class Gamma(Law):
    """Gamma of the given shape and scale. ParameterFile: Gamma, p1 = shape, p2 = scale."""
    shape: float
    scale: float
    def __init__(self, shape: float, scale: float) -> None: ...

class ChiSquare(Law):
    """Chi-square with df (whole) degrees of freedom. ParameterFile: Chi2, p1 = df."""
    df: int
    def __init__(self, df: int) -> None: ...

class Normal(Law):
    """Normal of the given mean and sd. ParameterFile: Normale, p1 = mean, p2 = sd."""
    sd: float
    def __init__(self, mean: float, sd: float) -> None: ...

class Student(Law):
    """Student's t with df (whole) degrees of freedom. ParameterFile: Student, p1 = df."""
    df: int
    def __init__(self, df: int) -> None: ...

class Beta(Law):
    """Beta on (0, 1) with shapes a, b. ParameterFile: Beta, p1 = a, p2 = b."""
    a: float
    b: float
    def __init__(self, a: float, b: float) -> None: ...

class Weibull(Law):
    """F(x) = 1 - exp(-(x / scale) ** shape). ParameterFile: Weibull, p1 = scale ** shape, p2 = shape."""
    scale: float
    shape: float
    def __init__(self, scale: float, shape: float) -> None: ...

class Lognormal(Law):
    """log X normal (meanlog, sdlog). ParameterFile: Lognormale, p1 = meanlog, p2 = sdlog."""
    meanlog: float
    sdlog: float
    def __init__(self, meanlog: float, sdlog: float) -> None: ...

class Pareto(Law):
    """F(x) = 1 - (threshold / x) ** exponent. ParameterFile: Pareto, p1 = threshold, p2 = exponent."""
    threshold: float
    exponent: float
    def __init__(self, threshold: float, exponent: float) -> None: ...

class GPD(Law):
    """Generalized Pareto (shape xi, scale). ParameterFile: GPD, p1 = shape, p2 = scale."""
    shape: float
    scale: float
    def __init__(self, shape: float, scale: float) -> None: ...

_LawArgument = Union[type[Law], Law, str]

def law_from_engine(name: str, *parameters: float) -> Law:
    """The law a ParameterFile names, from the engine's name and parameters."""

class Fit:
    """A law fitted by the engine's estimator."""
    law: Law
    n: int
    method: str
    engine_parameters: tuple[float, ...]
    def __init__(self, law: Law, n: int, method: str, engine_parameters: tuple[float, ...]) -> None: ...

class FitTestResult:
    """A test of fit with critical values of a fitted law."""
    statistic: float
    critical_value: float
    rejected: bool
    level: float
    fit: Fit
    pvalue: Optional[float]
    threshold: Optional[float]
    def __init__(self, statistic: float, critical_value: float, rejected: bool, level: float,
                 fit: Fit, pvalue: Optional[float] = ..., threshold: Optional[float] = ...) -> None: ...

def fit(x: _ArrayLike, law: _LawArgument) -> Fit:
    """The law fitted to x by the engine's estimator."""

def anderson_darling(x: _ArrayLike, law: _LawArgument, level: float = 0.05,
                     n_resamples: int = 0, rng: _Rng = None) -> FitTestResult:
    """The Anderson-Darling test of the law fitted to x."""

def cramer_von_mises(x: _ArrayLike, law: _LawArgument, level: float = 0.05,
                     n_resamples: int = 0, rng: _Rng = None) -> FitTestResult:
    """The Cramer-von Mises test of the law fitted to x."""

def anderson_darling_excesses(x: _ArrayLike, law: _LawArgument, k: int, level: float = 0.05,
                              rng: _Rng = None) -> FitTestResult:
    """The Anderson-Darling test of the law fitted to the excesses over the (n - k)-th value."""
