"""The expert-opinion study against the result column of the engine's own task, for the same
series and seed, for each law of the study, with and without a statement and a simulation law."""

import numpy as np
import pytest

from conftest import PORT_PIRIE, evstat, numbers

CASES = [  # law, series, statement, simulated from
    ("Exponentielle", PORT_PIRIE, (4.7, 0.02, 0.005), None),
    ("normal", PORT_PIRIE, (4.7, 0.02, 0.005), None),
    ("Normale", PORT_PIRIE, None, evstat.Normal(3.98, 0.24)),
    ("Lognormale", PORT_PIRIE, (4.7, 0.02, 0.005), None),
    ("WeibullEchelle", PORT_PIRIE, (4.7, 0.02, 0.005), None),
    ("weibull_shape", PORT_PIRIE, (4.7, 0.02, 0.005), None),
    ("Gamma", PORT_PIRIE * 10.0 - 30.0, (15.0, 0.02, 0.005), None),
]
WORDS = {"normal": "Normale", "weibull_shape": "WeibullForme"}


def _lines(law, statement, simulated):
    sim = ["0", "*", "*", "*", "*"] if simulated is None else [
        "1", simulated.name, *simulated.engine_parameters, "*"]
    expert = ["0", "*", "*", "*"] if statement is None else ["1", *statement]
    return ["serie.txt", "25", "Result1.txt", WORDS.get(law, law), 1, 20, *sim, *expert, 0.05,
            "Moyenne", "CVM", 0.05, 0.1, 10, 0.01, 0.01, 0.001, 0, 0, 0]


@pytest.mark.parametrize("law,x,statement,simulated", CASES, ids=[c[0] for c in CASES])
def test_study_is_the_expert_task(engine, law, x, statement, simulated):
    seed = 4242
    work = engine.run(seed, 3, _lines(law, statement, simulated), x)
    study = evstat.expert_study(x, law, statement=statement, shape_support=(1, 20),
                                quantile_test_level=0.1, simulated_from=simulated,
                                rng=evstat.Generator(seed))
    assert study.column.tolist() == numbers(work / "Result1.txt")
    tables = [study.law_quantiles, study.tail_quantiles, study.predictive_quantiles]
    assert all(len(t) == 2 for t in tables) and (study.simulation_quantiles is None) == (simulated is None)
    # The predictive law's density is that of the curve the task writes (the density pair after the fitted law's and the simulation law's).
    curve = np.loadtxt(work / ("Result2.txt" if simulated is None else "Result3.txt"))
    if law != "weibull_shape":
        assert np.allclose(study.predictive.pdf(curve[:, 0]), curve[:, 1], rtol=1e-12, atol=0)
    else:  # the task's table, read linearly between its points, 0 and 1 outside it
        x, f = curve[:, 0], curve[:, 1]
        law = study.predictive
        assert law.pdf(x).tolist() == f.tolist()
        assert np.allclose(law.pdf((x[:-1] + x[1:]) / 2), (f[:-1] + f[1:]) / 2, rtol=1e-12, atol=0)
        outside = [x[0] - 1.0, x[-1] + 1.0]
        assert (law.pdf(outside).tolist(), law.cdf(outside).tolist(), law.sf(outside).tolist()) == (
            [0.0, 0.0], [0.0, 1.0], [1.0, 0.0])
        assert np.isnan(law.cdf(np.nan)) and law.sf(x[3]) == 1.0 - law.cdf(x[3])


@pytest.mark.parametrize("kwargs,code", [
    (dict(law="Pareto"), 9),
    (dict(law="normal", statement=(4.7, 0.005, 0.02)), 52),
    (dict(law="normal", confidence="total"), 56),
    (dict(law="normal", test="KS"), 58),
    (dict(law="normal", test_level=0.2), 27),
    (dict(law="normal", orders=(0.01, 0.0)), 38),
    (dict(law="normal", defiance=1.5), 54),
    (dict(law="weibull_shape", shape_support=(5, 2)), 40),
    (dict(law="lognormal", x=PORT_PIRIE - 4.0), 64),
    (dict(law="normal", x=[1.0, np.inf]), 67),
    (dict(law="normal", k=2**40), 12),
])
def test_refusals(kwargs, code):
    x = kwargs.pop("x", PORT_PIRIE)
    with pytest.raises(evstat.EvstatError) as raised:
        evstat.expert_study(x, rng=1, **kwargs)
    assert raised.value.code == code


@pytest.mark.parametrize("law,prior,support", [
    ("Exponentielle", (2.0, 8.0), None), ("normal", (3.0, 0.2), None), ("Gamma", (2.0, 1.0), None),
    ("Lognormale", (4.0, 0.01), None), ("WeibullEchelle", (2.0, 1e-9), None),
    ("WeibullForme", (2.0, 3.0), (5.0, 30.0)),
])
def test_predictive_samples_are_the_sample_task(engine, law, prior, support):
    seed, size, count = 99, 9, 3
    low, high = support if support else ("*", "*")
    work = engine.run(seed, 4, ["serie.txt", "27", "Result1.txt", WORDS.get(law, law), *prior, "*", size, count, 10,
                                low, high, "unread", "unread"], PORT_PIRIE)
    rows = evstat.predictive_sample(PORT_PIRIE, law, prior, size, count, shape_support=support,
                                    rng=evstat.Generator(seed))
    files = ["Donnees.txt"] + [f"Donnees{i}.txt" for i in range(2, count + 1)]
    assert rows.shape == (count, size)
    assert rows.tolist() == [numbers(work / name) for name in files]


@pytest.mark.parametrize("args,kwargs,code", [
    (("Lognormale", (2.0, 1.0), 5), dict(x=-PORT_PIRIE), 64),
    (("Exponentielle", (2.0, -1.0), 5), {}, 12),
    (("WeibullForme", (2.0, 3.0), 5), dict(shape_support=(-3.0, -1.0)), 12),
    (("normal", (2.0, 1.0), -1), {}, 14),
    (("normal", (2.0, 1.0), 10**9), dict(samples=1000), 12),
])
def test_predictive_sample_refusals(args, kwargs, code):
    x = kwargs.pop("x", PORT_PIRIE)
    with pytest.raises(evstat.EvstatError) as raised:
        evstat.predictive_sample(x, *args, rng=1, **kwargs)
    assert raised.value.code == code
