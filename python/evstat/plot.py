"""Plots of fits and tails with matplotlib (imported here only: the rest of evstat does not
need it). Each function draws into a new Figure, or into `fig=` when given, and returns it;
every number drawn is computed by the engine."""

from __future__ import annotations

import numpy as np
from matplotlib.figure import Figure

from ._errors import EvstatError
from ._laws import as_float_array
from ._tail import fit_tail as _fit_tail
from ._tail import tail_path as _tail_path

_METHODS = ("HW", "EMV", "Hill", "HillG", "Zipf")


def _figure(fig, width=10.0, height=7.5) -> Figure:
    if fig is None:
        fig = Figure(figsize=(width, height), layout="constrained")
    return fig


def _plotting_positions(n: int) -> np.ndarray:
    return (np.arange(1, n + 1) - 0.5) / n


def _empirical_periods(n: int) -> np.ndarray:
    # The i-th smallest of n values is exceeded once in (n + 1) / (n + 1 - i) observations.
    return (n + 1.0) / (n + 1.0 - np.arange(1, n + 1))


def fit_diagnostics(fit, x, fig=None) -> Figure:
    """Four panels for a law fitted to x (an evstat.Fit or a frozen law): the histogram with
    the fitted density, the QQ plot, the PP plot, and the return levels against the return
    period (in observations, on a log scale) with the observed values."""
    law = getattr(fit, "law", fit)
    values = np.sort(as_float_array(x).ravel())
    n = values.size
    fig = _figure(fig)
    (hist, qq), (pp, levels) = fig.subplots(2, 2)
    name = type(law).__name__

    hist.hist(values, bins="auto", density=True, alpha=0.4, label="data")
    grid = np.linspace(values[0], values[-1], 400)
    hist.plot(grid, law.pdf(grid), lw=2, label=f"fitted {name}")
    hist.set(title="Histogram and fitted density", xlabel="value", ylabel="density")
    hist.legend()

    positions = _plotting_positions(n)
    qq.plot(law.ppf(positions), values, "o", ms=3)
    qq.axline((values[0], values[0]), slope=1.0, color="grey", lw=1)
    qq.set(title="QQ plot", xlabel=f"{name} quantile", ylabel="observed value")

    pp.plot(positions, law.cdf(values), "o", ms=3)
    pp.axline((0.0, 0.0), slope=1.0, color="grey", lw=1)
    pp.set(title="PP plot", xlabel="empirical probability", ylabel=f"{name} probability")

    periods = np.logspace(np.log10(1.1), np.log10(max(10.0 * n, 1000.0)), 200)
    levels.semilogx(periods, law.isf(1.0 / periods), lw=2, label=f"fitted {name}")
    levels.semilogx(_empirical_periods(n), values, "o", ms=3, label="data")
    levels.set(title="Return levels", xlabel="return period (observations)",
               ylabel="return level")
    levels.legend()
    fig.suptitle(f"{name} fitted to {n} values")
    return fig


def tail_path(x, ks, method="HW", fig=None) -> Figure:
    """The tail fits of x against the number of excesses k: xi (top) and sigma (bottom), one
    curve per method (method: a keyword or a sequence of them)."""
    methods = (method,) if isinstance(method, str) else tuple(method)
    fig = _figure(fig, 9.0, 7.0)
    shape, scale = fig.subplots(2, 1, sharex=True)
    for m in methods:
        path = _tail_path(x, ks, m)
        shape.plot(path.k, path.xi, lw=1.5, label=m)
        scale.plot(path.k, path.sigma, lw=1.5, label=m)
    shape.axhline(0.0, color="grey", lw=1)
    shape.set(title="Tail shape xi against the number of excesses", ylabel="xi")
    scale.set(title="Tail scale sigma against the number of excesses",
              xlabel="number of excesses k", ylabel="sigma")
    if len(methods) > 1:
        shape.legend()
        scale.legend()
    return fig


def return_levels(x, k, methods=_METHODS, periods=None, fig=None, ax=None) -> Figure:
    """The return levels of the tail of x fitted from its k largest values by each method,
    against the return period in observations (log scale), with the observed values; a
    method that cannot fit this tail is left out. periods: the return periods drawn (from
    2 to 1000 observations by default). Draws into ax, else into fig, else a new figure."""
    values = np.sort(as_float_array(x).ravel())
    n = values.size
    if periods is None:
        periods = np.logspace(np.log10(2.0), 3.0, 200)
    periods = as_float_array(periods, "periods")
    if ax is None:
        fig = _figure(fig, 8.0, 5.5)
        ax = fig.subplots()
    else:
        fig = ax.figure
    for method in methods:
        try:
            tail = _fit_tail(values, k, method)
        except EvstatError:
            continue
        ax.semilogx(periods, tail.return_level(1.0 / periods), lw=1.5,
                    label=f"{method} (xi = {tail.xi:.3f})")
    ax.semilogx(_empirical_periods(n), values, "o", ms=3, color="black", label="data")
    ax.set(title=f"Return levels from the {k} largest of {n} values",
           xlabel="return period (observations)", ylabel="return level")
    ax.legend()
    return fig
