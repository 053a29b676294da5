"""The tail and the tests of an extreme quantile against the engine's own result files, for
the same series and seed: tail fits (tasks 29, 30, 33), ET tests (19 to 21), GPD tests
(41 to 43), quantiles of fitted laws (36), with the refusals they share."""

import math

import numpy as np
import pytest

from conftest import PORT_PIRIE, evstat, numbers

METHODS = ["HW", "EMV", "Hill", "HillG", "Zipf"]
LAWS = ["Exponentielle", "Gamma", "Normale", "Weibull", "Lognormale"]


def _engine_values(values):
    return [-10.0 if math.isnan(v) else v for v in values]


def test_tail_fits_and_levels_are_the_method_tasks(engine):
    k, p = 20, 0.01
    fits = [evstat.fit_tail(PORT_PIRIE, k, m) for m in METHODS]
    work = engine.run(1, 5, ["serie.txt", "33", "Sortie.txt", *METHODS, k, 0, p], PORT_PIRIE)
    pairs = [v for f in fits for v in (f.xi, f.sigma)]
    levels = [v for f in fits for v in (0.0, f.return_level(p))]
    assert pairs + levels == numbers(work / "Sortie.txt")
    work = engine.run(1, 5, ["serie.txt", "29", "Sortie.txt", *METHODS, k, 0, p], PORT_PIRIE)
    assert pairs == numbers(work / "Sortie.txt")
    assert all(f.threshold == np.sort(PORT_PIRIE)[-k - 1] and f.n == 65 for f in fits)


@pytest.mark.parametrize("method", METHODS)
def test_tail_path_is_the_range_task(engine, method):
    # Up to n - 1 excesses, where Zipf cannot fit: the task writes -10 there.
    low, high = 3, 64
    work = engine.run(1, 5, ["serie.txt", "30", "Sortie.txt", method, low, high, 0.01], PORT_PIRIE)
    path = evstat.tail_path(PORT_PIRIE, range(low, high + 1), method)
    expected = [v for j, x in zip(path.k, path.xi) for v in (j, x)] + [
        v for j, s in zip(path.k, path.sigma) for v in (j, s)]
    assert _engine_values(expected) == numbers(work / "Sortie.txt")


@pytest.mark.parametrize("test,version", [("asymptotic", 1), ("difference", 2), ("percentile", 3)])
def test_et_tests_are_the_outcome_tasks(engine, test, version):
    seed, k, level, p, resamples = 31, 15, 0.05, 0.01, 120
    work = engine.run(seed, 2, ["serie.txt", str(18 + version), "Sortie.txt", *LAWS, k, level, 0, 0,
                                version, resamples, p], PORT_PIRIE)
    rng = evstat.Generator(seed)
    results = [evstat.et_test(PORT_PIRIE, law, k, p, test=test, level=level,
                              n_resamples=resamples, rng=rng) for law in LAWS]
    expected = [v for r in results
                for v in (int(r.accepted), r.tail_quantile, r.law_quantile, *r.interval)]
    assert _engine_values(expected) == numbers(work / "Sortie.txt")


@pytest.mark.parametrize("method", ["EMV", "Hill"])
@pytest.mark.parametrize("test,version", [("difference", 2), ("percentile", 3)])
def test_gpd_tests_are_the_outcome_tasks(engine, test, version, method):
    seed, k, level, p, resamples = 8, 25, 0.1, 0.01, 60
    work = engine.run(seed, 2, ["serie.txt", str(39 + version), "Sortie.txt", *LAWS, k, level, 0, 0,
                                version, resamples, p, method], PORT_PIRIE)
    rng = evstat.Generator(seed)
    results = [evstat.gpd_test(PORT_PIRIE, law, k, p, method=method, test=test, level=level,
                               n_resamples=resamples, rng=rng) for law in LAWS]
    expected = [v for r in results
                for v in (int(r.accepted), r.tail_quantile, r.law_quantile, *r.interval)]
    assert _engine_values(expected) == numbers(work / "Sortie.txt")


def test_extreme_quantiles_are_the_quantile_task(engine):
    laws = LAWS + ["Pareto", "GPD"]
    work = engine.run(1, 2, ["serie.txt", "36", "Sortie.txt", *laws, 0, 0, 0, 0, 0, 0, 0.001],
                      PORT_PIRIE)
    quantiles = evstat.extreme_quantiles(np.sort(PORT_PIRIE), laws, 0.001)
    assert _engine_values(quantiles) == numbers(work / "Sortie.txt")


SHIFTED = PORT_PIRIE - np.sort(PORT_PIRIE)[-21]  # at most 20 values above 0


@pytest.mark.parametrize("call,code", [
    (lambda: evstat.fit_tail(PORT_PIRIE, 65, "Zipf"), 65),
    (lambda: evstat.fit_tail(PORT_PIRIE, 0, "HW"), 65),
    (lambda: evstat.fit_tail(PORT_PIRIE, 10, "Pickands"), 60),
    (lambda: evstat.fit_tail(SHIFTED, 30, "HillG"), 61),
    (lambda: evstat.fit_tail(-PORT_PIRIE, 3, "Hill"), 61),
    (lambda: evstat.fit_tail([1.0, np.nan, 2.0], 1, "HW"), 67),
    (lambda: evstat.tail_path(PORT_PIRIE, [1.5, 2.5], "HW"), 12),
    (lambda: evstat.gpd_test(SHIFTED, "Normale", 30, 0.01, method="Zipf", rng=1), 61),
    (lambda: evstat.et_test(PORT_PIRIE, "Weibull", 1, 0.01), 25),
    (lambda: evstat.et_test(PORT_PIRIE, "Weibull", 65, 0.01), 12),
    (lambda: evstat.et_test(PORT_PIRIE, "Weibull", 10, 1.0), 38),
    (lambda: evstat.et_test(PORT_PIRIE, "Weibull", 10, "1%"), 37),
    (lambda: evstat.et_test(PORT_PIRIE, "Weibull", 10, 0.01, level=0.2), 27),
    (lambda: evstat.et_test(PORT_PIRIE, "Weibull", 10, 0.01, test="bootstrap"), 12),
    (lambda: evstat.et_test(PORT_PIRIE, "Weibull", 10, 0.01, test="difference",
                            n_resamples=10**8), 12),
    (lambda: evstat.gpd_test(PORT_PIRIE, "Weibull", 10, 0.01, test="asymptotic"), 12),
    (lambda: evstat.extreme_quantiles(PORT_PIRIE, ["Weibul"], 0.01), 9),
])
def test_refusals(call, code):
    with pytest.raises(evstat.EvstatError) as raised:
        call()
    assert raised.value.code == code


def test_refusal_over_values_not_above_zero_carries_the_tasks_sentence():
    with pytest.raises(evstat.EvstatError) as raised:
        evstat.fit_tail(SHIFTED, 30, "Hill")
    usable = int(np.sum(SHIFTED > 0)) - 1
    assert raised.value.message == f"Présence de données négatives. Nombre d'excès maximum : {usable}"
    assert f"at most {usable}" in str(raised.value)
    assert np.isnan(evstat.tail_path(SHIFTED, [usable, usable + 1], "Hill").xi).tolist() == [False, True]
