"""The module against the engine's own result files, for the same series and seed: draws
(task 1), fits (task 7), tests of fit (tasks 9, 10 and 13)."""

import numpy as np
import pytest

from conftest import PORT_PIRIE, evstat, numbers

# One law of each kind, with the series each is fitted to: the sea levels for the positive
# laws, centred for the Student law, scaled into (0, 1) for the beta law, values drawn
# from it for the generalized Pareto law.
SERIES = {
    "positive": PORT_PIRIE,
    "centred": (PORT_PIRIE - PORT_PIRIE.mean()) / PORT_PIRIE.std() * 2.0,
    "unit": PORT_PIRIE / 5.0,
    "drawn": evstat.GPD(0.2, 1.5).rvs(60, rng=11),
}
LAWS = [
    (evstat.Uniform(-1.0, 3.0), "positive"),
    (evstat.Exponential(2.5), "positive"),
    (evstat.Gamma(2.5, 1.5), "positive"),
    (evstat.ChiSquare(3), "positive"),
    (evstat.Normal(1.0, 2.0), "positive"),
    (evstat.Student(4), "centred"),
    (evstat.Beta(2.0, 3.0), "unit"),
    (evstat.Weibull(2.0, 1.5), "positive"),
    (evstat.Lognormal(0.5, 0.8), "positive"),
    (evstat.Pareto(1.5, 2.5), "positive"),
    (evstat.GPD(0.2, 1.5), "drawn"),
]
IDS = [type(law).__name__ for law, _ in LAWS]


def _parameter_lines(law):
    p = list(law.engine_parameters) + [None] * (3 - len(law.engine_parameters))
    return [law.name] + p


@pytest.mark.parametrize("law", [law for law, _ in LAWS], ids=IDS)
def test_draws_are_the_simulation_files(engine, law):
    # Seven values (an odd count: the normal pairs drop a value), two files: the second
    # draw carries the generator on from the first.
    seed = 20261209
    work = engine.run(seed, 1, ["*", "1", "Sortie.txt", *_parameter_lines(law), 7, 2, 10])
    rng = evstat.Generator(seed)
    first, second = law.rvs(7, rng=rng), law.rvs(7, rng=rng)
    assert np.sort(first).tolist() == numbers(work / "Donnees.txt")
    assert np.sort(second).tolist() == numbers(work / "Donnees2.txt")


@pytest.mark.parametrize("law,series", LAWS, ids=IDS)
def test_fit_is_the_fitting_task(engine, law, series):
    x = SERIES[series]
    work = engine.run(1, 1, ["serie.txt", "7", "Sortie.txt", law.name, None, None, None, 0, 1, 10], x)
    fit = evstat.fit(np.random.default_rng(0).permutation(x), type(law))
    assert list(fit.engine_parameters) == numbers(work / "Sortie.txt")
    assert fit.n == len(x) and fit.law.engine_parameters == fit.engine_parameters


@pytest.mark.parametrize("task,test", [(9, evstat.anderson_darling), (10, evstat.cramer_von_mises)])
@pytest.mark.parametrize("law,series", LAWS, ids=IDS)
def test_tests_of_fit_are_the_choice_tasks(engine, task, test, law, series):
    # The chi-square, Student, beta and GPD laws draw their critical values: same seed, same draws.
    seed, level = 77, 0.05
    x = SERIES[series]
    work = engine.run(seed, 2, ["serie.txt", str(task), "Sortie.txt", law.name, 0, level, 0, 0, 0, 0, 0.01], x)
    written = numbers(work / "Sortie.txt")
    p = len(law.engine_parameters)
    result = test(x, type(law), level=level, rng=evstat.Generator(seed))
    assert list(result.fit.engine_parameters) == written[:p]
    assert [result.statistic, result.critical_value] == written[p + 1:p + 3]
    assert result.rejected == (written[p] == 0) and result.level == level and result.pvalue is None


@pytest.mark.parametrize("law", ["Exponentielle", "Weibull", "GPD", "Lognormale"])
def test_excess_test_is_the_excess_task(engine, law):
    seed, k = 5, 30
    work = engine.run(seed, 2, ["serie.txt", "13", "Sortie.txt", law, k, 0.1, 0, 0, 0, 0, 0.01], PORT_PIRIE)
    estimate, _, accepted, _ = numbers(work / "Sortie.txt")[-4:]
    result = evstat.anderson_darling_excesses(PORT_PIRIE, law, k, level=0.1, rng=evstat.Generator(seed))
    assert result.fit.engine_parameters[0] == estimate and result.rejected == (accepted == 0)
    assert result.threshold == np.sort(PORT_PIRIE)[-k - 1] and result.fit.n <= k


@pytest.mark.parametrize("law,fitted,low", [("weibull", evstat.Weibull(2.0, 1.5), False),
                                            ("exponential", evstat.Lognormal(0.0, 1.2), True)])
def test_pvalue_from_resampled_series(law, fitted, low):
    # A law the series was drawn from is not rejected by its p-value; a lognormal series
    # tested as exponential is. The same generator gives the same p-value.
    x = fitted.rvs(150, rng=3)
    result = evstat.anderson_darling(x, law, n_resamples=200, rng=evstat.Generator(9))
    again = evstat.anderson_darling(x, law, n_resamples=200, rng=evstat.Generator(9))
    assert result == again and 0.0 <= result.pvalue <= 1.0
    assert (result.pvalue < 0.01) == low and result.rejected == low
