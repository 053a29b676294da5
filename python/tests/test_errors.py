"""Refused requests: the engine's code, its French message, an English reason; bad input of
every kind is refused or converted, never misread."""

import numpy as np
import pytest

from conftest import PORT_PIRIE, evstat

X = PORT_PIRIE

CASES = [
    # code, call, words the English reason must hold
    (9, lambda: evstat.fit(X, "gumbel"), "gumbel"),
    (9, lambda: evstat.law_from_engine("normale", 0.0, 1.0), "normale"),
    (12, lambda: evstat.Normal(0.0, -1.0), "sd = -1"),
    (12, lambda: evstat.Weibull(2.0, float("nan")), "shape = nan"),
    (12, lambda: evstat.Uniform(3.0, 3.0), "upper"),
    (12, lambda: evstat.ChiSquare(2.5), "df = 2.5"),
    (12, lambda: evstat.law_from_engine("Student", 3.7), "df = 3.7"),
    (12, lambda: evstat.law_from_engine("Gamma", 2.0), "2 parameter"),
    (12, lambda: evstat.Weibull(1e10, 40.0), "scale ** shape"),
    (12, lambda: evstat.Exponential("a"), "mean = 'a'"),
    (12, lambda: evstat.Normal(0.0, 1.0).rvs(10**9, rng=1), "1000000000"),
    (12, lambda: evstat.Normal(0.0, 1.0).rvs(-1, rng=1), "negative"),
    (12, lambda: evstat.Normal(0.0, 1.0).rvs(3, rng=-5), "-5"),
    (12, lambda: evstat.Generator(2**32), "seed"),
    (12, lambda: evstat.Generator(10**30), "seed"),
    (12, lambda: evstat.Normal(0.0, 1.0).rvs((10**10, 10**10), rng=1), "size"),
    (12, lambda: evstat.anderson_darling(X, "normal", n_resamples=10**8), "series of 65"),
    (12, lambda: evstat.cramer_von_mises(np.arange(1.0, 6e6), "gpd"), "200 series of 5999999"),
    (12, lambda: evstat.anderson_darling([1.0], "normal"), "at least 2"),
    (12, lambda: evstat.anderson_darling_excesses(X, "gpd", 65), "k = 65"),
    (25, lambda: evstat.anderson_darling_excesses(X, "gpd", 1), "k = 1"),
    (27, lambda: evstat.anderson_darling(X, "normal", level=0.2), "0.2"),
    (27, lambda: evstat.cramer_von_mises(X, "gamma", level=0.0), "level 0"),
    (61, lambda: evstat.fit(X - 4.0, "weibull"), "Weibull"),
    (62, lambda: evstat.fit(X / 4.0, "beta"), "beta"),
    (63, lambda: evstat.fit([2.0, 2.0, 2.0], "gamma"), "gamma"),
    (64, lambda: evstat.anderson_darling(X - 4.0, "lognormal"), "lognormal"),
    (64, lambda: evstat.cramer_von_mises(X, evstat.GPD), "generalized Pareto"),
    (67, lambda: evstat.fit([], "normal"), "empty"),
    (67, lambda: evstat.fit([1.0, np.nan, 2.0], "normal"), "nan"),
    (67, lambda: evstat.anderson_darling([1.0, np.inf], "normal"), "inf"),
    (67, lambda: evstat.fit(["a", "b"], "normal"), "numbers"),
    (67, lambda: evstat.Normal(0.0, 1.0).cdf([1 + 2j]), "complex"),
]


@pytest.mark.parametrize("code,call,words", CASES, ids=[f"{c}-{w}" for c, _, w in CASES])
def test_refusals_carry_the_engines_code(code, call, words):
    with pytest.raises(evstat.EvstatError) as caught:
        call()
    error = caught.value
    assert isinstance(error, ValueError) and error.code == code
    assert error.message == evstat._core.error_message(code) and words in str(error)


def test_messages_are_the_error_files():
    assert evstat._core.error_message(12) == "Valeurs des paramètres non valides."
    assert evstat._core.error_message(12).encode("cp1252") == b"Valeurs des param\xe8tres non valides."
    assert evstat._core.error_message(5) == "Le numéro de tâche doit être compris entre 1 et 40."


def test_other_dtypes_and_strides_are_converted():
    values = np.repeat(X, 2)  # every value twice: a stride of 2 reads the series once
    wanted = evstat.fit(X, "lognormal")
    for x in (values[::2], list(X), X.reshape(5, 13)):
        assert evstat.fit(x, "Lognormale").engine_parameters == wanted.engine_parameters
    single = X.astype(np.float32)
    assert evstat.fit(single, "lognormal") == evstat.fit(single.astype(np.float64), "lognormal")
    centimetres = np.round(X * 100)
    assert evstat.fit(centimetres.astype(np.int64), "normal") == evstat.fit(centimetres, "normal")
