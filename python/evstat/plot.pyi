"""Type stub of evstat.plot: plots of fits and tails with matplotlib."""

from typing import Optional, Sequence, Union

import numpy as np
import numpy.typing as npt
from matplotlib.axes import Axes
from matplotlib.figure import Figure

from . import Fit, Law

def fit_diagnostics(fit: Union[Fit, Law], x: npt.ArrayLike, fig: Optional[Figure] = None) -> Figure:
    """Histogram with density, QQ, PP and return-level panels of a fitted law."""

def tail_path(x: npt.ArrayLike, ks: Union[range, Sequence[int], np.ndarray],
              method: Union[str, Sequence[str]] = "HW", fig: Optional[Figure] = None) -> Figure:
    """xi and sigma against the number of excesses, one curve per method."""

def return_levels(x: npt.ArrayLike, k: int, methods: Sequence[str] = ...,
                  periods: Optional[npt.ArrayLike] = None, fig: Optional[Figure] = None,
                  ax: Optional[Axes] = None) -> Figure:
    """The tail methods' return levels against the return period (log scale)."""
