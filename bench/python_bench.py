"""The Python module against scipy, each ratio measured in this one run (best of a few
repeats for each side): the normal cdf over 1e7 points, the Weibull fit of 1e6 values, the
Anderson-Darling test of the Weibull law with a p-value from 1000 resampled series.

    PYTHONPATH=build-bench/python /usr/bin/python3 bench/python_bench.py
"""

import time
import warnings

import numpy as np
from scipy import stats

import evstat


def best_time(call, repeats):
    best = float("inf")
    for _ in range(repeats):
        start = time.perf_counter()
        call()
        best = min(best, time.perf_counter() - start)
    return best


def compare(title, ours, theirs, repeats, wanted):
    mine = best_time(ours, repeats)
    other = best_time(theirs, repeats)
    ratio = other / mine
    verdict = "ok" if ratio >= wanted else f"BELOW the {wanted:g}x aimed at"
    print(f"{title:58s} evstat {mine:9.4f} s  scipy {other:9.4f} s  ratio {ratio:7.1f}x  ({verdict})")


def main():
    points = np.linspace(-6.0, 6.0, 10_000_000)
    normal = evstat.Normal(0.0, 1.0)
    compare("normal cdf, 1e7 points (scipy.stats.norm.cdf)",
            lambda: normal.cdf(points), lambda: stats.norm.cdf(points), 5, 1.0)

    weibull = evstat.Weibull(2.0, 1.5)
    big = weibull.rvs(1_000_000, rng=1)
    compare("Weibull fit, 1e6 values (weibull_min.fit, floc=0)",
            lambda: evstat.fit(big, "weibull"), lambda: stats.weibull_min.fit(big, floc=0), 2, 20.0)

    small = weibull.rvs(200, rng=2)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        compare("AD test, 200 values, 1000 resamples (goodness_of_fit)",
                lambda: evstat.anderson_darling(small, "weibull", n_resamples=1000, rng=3),
                lambda: stats.goodness_of_fit(stats.weibull_min, small, known_params={"loc": 0},
                                              statistic="ad", n_mc_samples=1000,
                                              random_state=np.random.default_rng(3)),
                1, 10.0)


if __name__ == "__main__":
    main()
