"""The law functions against exact values (mpmath, 40 digits) over a table of laws,
parameters and points in both tails; the quantiles as inverses; shapes, moments, names."""

import math
import warnings
from concurrent.futures import ThreadPoolExecutor

import mpmath as mp
import numpy as np
import pytest
from scipy import stats

from conftest import evstat

mp.mp.dps = 40


def _student_tail(df, t):  # P(T > |t|)
    return mp.betainc(df / 2, mp.mpf(1) / 2, 0, df / (df + t * t), regularized=True) / 2


# law, its scipy twin (to place points in both tails), and its exact (pdf, cdf, sf).
def _exact(law):
    p = [mp.mpf(v) for v in law._values]
    kind = type(law).__name__
    if kind == "Uniform":
        lo, hi = p
        return (lambda x: 1 / (hi - lo) if lo <= x <= hi else 0,
                lambda x: min(max((x - lo) / (hi - lo), 0), 1), lambda x: min(max((hi - x) / (hi - lo), 0), 1))
    if kind == "Exponential":
        (m,) = p
        return lambda x: mp.exp(-x / m) / m, lambda x: -mp.expm1(-x / m), lambda x: mp.exp(-x / m)
    if kind in ("Gamma", "ChiSquare"):
        a, s = (p[0], p[1]) if kind == "Gamma" else (p[0] / 2, mp.mpf(2))
        return (lambda x: mp.exp((a - 1) * mp.log(x) - x / s - mp.loggamma(a) - a * mp.log(s)),
                lambda x: mp.gammainc(a, 0, x / s, regularized=True),
                lambda x: mp.gammainc(a, x / s, mp.inf, regularized=True))
    if kind == "Normal":
        m, sd = p
        return (lambda x: mp.npdf(x, m, sd), lambda x: mp.ncdf(x, m, sd), lambda x: mp.ncdf(-x, -m, sd))
    if kind == "Student":
        (df,) = p
        return (lambda t: mp.gamma((df + 1) / 2) / (mp.sqrt(df * mp.pi) * mp.gamma(df / 2)) * (1 + t * t / df) ** (-(df + 1) / 2),
                lambda t: _student_tail(df, t) if t < 0 else 1 - _student_tail(df, t),
                lambda t: _student_tail(df, t) if t > 0 else 1 - _student_tail(df, t))
    if kind == "Beta":
        a, b = p
        return (lambda x: x ** (a - 1) * (1 - x) ** (b - 1) / mp.beta(a, b),
                lambda x: mp.betainc(a, b, 0, x, regularized=True), lambda x: mp.betainc(a, b, x, 1, regularized=True))
    if kind == "Weibull":
        s, k = p
        return (lambda x: k / s * (x / s) ** (k - 1) * mp.exp(-(x / s) ** k),
                lambda x: -mp.expm1(-(x / s) ** k), lambda x: mp.exp(-(x / s) ** k))
    if kind == "Lognormal":
        m, sd = p
        return (lambda x: mp.npdf(mp.log(x), m, sd) / x, lambda x: mp.ncdf(mp.log(x), m, sd),
                lambda x: mp.ncdf(-mp.log(x), -m, sd))
    if kind == "Pareto":
        t, e = p
        return (lambda x: e * t ** e / x ** (e + 1), lambda x: -mp.expm1(e * mp.log(t / x)), lambda x: (t / x) ** e)
    if kind == "GPD":
        xi, s = p
        if xi == 0:
            return lambda x: mp.exp(-x / s) / s, lambda x: -mp.expm1(-x / s), lambda x: mp.exp(-x / s)
        return (lambda x: (1 + xi * x / s) ** (-1 / xi - 1) / s,
                lambda x: -mp.expm1(-mp.log1p(xi * x / s) / xi), lambda x: (1 + xi * x / s) ** (-1 / xi))
    raise AssertionError(kind)


TABLE = [
    (evstat.Uniform(-1.0, 3.0), stats.uniform(-1.0, 4.0)),
    (evstat.Exponential(2.5), stats.expon(scale=2.5)),
    (evstat.Gamma(0.5, 2.0), stats.gamma(0.5, scale=2.0)),
    (evstat.Gamma(7.5, 0.3), stats.gamma(7.5, scale=0.3)),
    (evstat.ChiSquare(1), stats.chi2(1)),
    (evstat.ChiSquare(6), stats.chi2(6)),
    (evstat.Normal(0.0, 1.0), stats.norm()),
    (evstat.Normal(10.0, 3.0), stats.norm(10.0, 3.0)),
    (evstat.Student(1), stats.t(1)),
    (evstat.Student(5), stats.t(5)),
    (evstat.Beta(0.5, 2.0), stats.beta(0.5, 2.0)),
    (evstat.Beta(3.0, 4.0), stats.beta(3.0, 4.0)),
    (evstat.Weibull(2.0, 1.5), stats.weibull_min(1.5, scale=2.0)),
    (evstat.Weibull(0.5, 0.7), stats.weibull_min(0.7, scale=0.5)),
    (evstat.Lognormal(0.0, 1.0), stats.lognorm(1.0)),
    (evstat.Lognormal(1.5, 0.4), stats.lognorm(0.4, scale=math.exp(1.5))),
    (evstat.Pareto(1.0, 2.5), stats.pareto(2.5)),
    (evstat.Pareto(3.0, 0.8), stats.pareto(0.8, scale=3.0)),
    (evstat.GPD(0.3, 2.0), stats.genpareto(0.3, scale=2.0)),
    (evstat.GPD(-0.25, 1.0), stats.genpareto(-0.25, scale=1.0)),
    (evstat.GPD(0.0, 1.5), stats.genpareto(0.0, scale=1.5)),
]
IDS = [repr(law) for law, _ in TABLE]
# Probabilities of the points, on either side (the points come from scipy: only the exact
# values at them matter).
TAILS = [1e-15, 1e-10, 1e-5, 0.01, 0.3, 0.5]
LOOSER = ("Gamma", "ChiSquare", "Student", "Beta")


def _points(twin):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", RuntimeWarning)
        points = np.concatenate([twin.ppf(TAILS), twin.isf(TAILS)])
    return np.unique(points[np.isfinite(points)])


@pytest.mark.parametrize("law,twin", TABLE, ids=IDS)
def test_law_functions_are_exact(law, twin):
    pdf, cdf, sf = _exact(law)
    tolerance = 1e-10 if type(law).__name__ in LOOSER else 1e-12
    x = _points(twin)
    for function, exact in ((law.pdf, pdf), (law.cdf, cdf), (law.sf, sf)):
        got = function(x)
        want = np.array([float(exact(mp.mpf(v))) for v in x])
        big = want > 1e-300
        assert np.allclose(got[big], want[big], rtol=tolerance, atol=0), function.__name__
    # The quantiles invert the exact functions for probabilities down to 1e-15 either side
    # (absolutely near 0, where a symmetric law's probability 0.5 fixes no relative digit).
    p = np.array([float(cdf(mp.mpf(v))) for v in x])
    q = np.array([float(sf(mp.mpf(v))) for v in x])
    lower, upper = (p >= 1e-15) & (p <= 0.99), (q >= 1e-15) & (q <= 0.99)
    assert np.allclose(law.ppf(p[lower]), x[lower], rtol=1e-10, atol=1e-14)
    assert np.allclose(law.isf(q[upper]), x[upper], rtol=1e-10, atol=1e-14)


@pytest.mark.parametrize("law,twin", TABLE, ids=IDS)
def test_quantiles_invert_the_distribution(law, twin):
    p = np.array([0.01, 0.3, 0.5, 0.7, 0.99])
    assert np.allclose(law.cdf(law.ppf(p)), p, rtol=1e-10, atol=0)
    assert np.allclose(law.sf(law.isf(p)), p, rtol=1e-10, atol=0)


def test_shapes_and_edges():
    law = evstat.Normal(1.0, 2.0)
    grid = np.linspace(-3.0, 5.0, 12).reshape(3, 4)
    assert law.cdf(grid).shape == (3, 4) and isinstance(law.cdf(0.5), float)
    assert law.pdf(grid[:, ::2]).tolist() == law.pdf(np.ascontiguousarray(grid[:, ::2])).tolist()
    assert law.pdf(grid.astype(np.float32)).tolist() == law.pdf(grid.astype(np.float32).astype(float)).tolist()
    assert law.pdf([1, 2, 3]).tolist() == law.pdf([1.0, 2.0, 3.0]).tolist()
    assert np.isnan(law.ppf([-0.1, 1.1, np.nan])).all() and np.isnan(law.cdf(np.nan))
    assert law.rvs((2, 3), rng=1).shape == (2, 3) and law.rvs(0, rng=1).shape == (0,)


@pytest.mark.parametrize("law,mean,std", [
    (evstat.Exponential(2.0), 2.0, 2.0),
    (evstat.Uniform(0.0, 12.0), 6.0, 12.0 / math.sqrt(12.0)),
    (evstat.Weibull(2.0, 1.0), 2.0, 2.0),
    (evstat.Pareto(1.0, 1.5), 3.0, math.inf),
    (evstat.Pareto(1.0, 1.0), math.inf, math.inf),
    (evstat.GPD(0.5, 1.0), 2.0, math.inf),
    (evstat.GPD(1.0, 1.0), math.inf, math.inf),
    (evstat.Student(2), 0.0, math.inf),
    (evstat.Student(1), math.nan, math.nan),
])
def test_moments(law, mean, std):
    assert law.mean() == pytest.approx(mean, rel=1e-12, nan_ok=True)
    assert law.std() == pytest.approx(std, rel=1e-12, nan_ok=True)


@pytest.mark.parametrize("law,name,engine", [
    (evstat.Weibull(2.0, 3.0), "Weibull", (8.0, 3.0)),
    (evstat.ChiSquare(4), "Chi2", (4.0,)),
    (evstat.GPD(0.2, 1.5), "GPD", (0.2, 1.5)),
    (evstat.Normal(1.0, 2.0), "Normale", (1.0, 2.0)),
])
def test_engine_names_and_parameters(law, name, engine):
    assert (law.name, law.engine_parameters) == (name, engine) and isinstance(law.code, int)
    again = evstat.law_from_engine(name, *engine)
    assert again == law and repr(again) == repr(law) and again.engine_parameters == engine


def test_generators_are_their_callers_own_across_threads():
    # Each generator's draws are the same whatever other thread draws at the same time.
    law = evstat.Gamma(2.0, 1.0)
    wanted = [law.rvs(2000, rng=evstat.Generator(s)).tolist() for s in range(8)]
    with ThreadPoolExecutor(4) as pool:
        got = list(pool.map(lambda s: law.rvs(2000, rng=evstat.Generator(s)).tolist(), range(8)))
    assert got == wanted
    rng = evstat.Generator(8)
    assert np.concatenate([law.rvs(3, rng=rng), law.rvs(2, rng=rng)]).tolist() == \
        law.rvs(5, rng=evstat.Generator(8)).tolist()
