"""The study of the Port Pirie annual maximum sea levels (65 years, metres) with evstat:
laws fitted and tested, the tail by the five tail methods, return levels, tests of the
100-year level, and an expert's opinion on it. Usage: port_pirie.py [directory for the plots]."""

import pathlib
import sys

import matplotlib
import matplotlib.figure
import numpy as np

import evstat
from evstat import plot

matplotlib.use("Agg")
here = pathlib.Path(__file__).resolve().parent
out = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "port_pirie_plots")
out.mkdir(parents=True, exist_ok=True)
levels = np.loadtxt(here.parent / "portpirie.txt")
print(f"{levels.size} annual maxima from {levels.min():.2f} m to {levels.max():.2f} m")

print("\nLaws fitted, tested by Anderson-Darling at 0.05 (p-value from 1000 series):")
laws = ["normal", "gamma", "weibull", "lognormal"]
for law in laws:
    test = evstat.anderson_darling(levels, law, n_resamples=1000, rng=evstat.Generator(1))
    verdict = "rejected" if test.rejected else "accepted"
    print(f"  {test.fit.law!r:58} A2 = {test.statistic:.3f}, critical {test.critical_value:.3f},"
          f" p = {test.pvalue:.3f}: {verdict}")
weibull = evstat.fit(levels, "weibull")
plot.fit_diagnostics(weibull, levels).savefig(out / "weibull_fit.png")

print("\nThe tail over the 20 highest levels, and the 100-year level (p = 0.01):")
for method in ("HW", "EMV", "Hill", "HillG", "Zipf"):
    tail = evstat.fit_tail(levels, 20, method)
    print(f"  {method:6} xi = {tail.xi:+.3f}, sigma = {tail.sigma:.3f}, "
          f"100-year level {tail.return_level(0.01):.2f} m")
plot.tail_path(levels, range(5, 61), ("HW", "EMV", "HillG")).savefig(out / "tail_path.png")
plot.return_levels(levels, 20).savefig(out / "return_levels.png")

print("\nThe 100-year level of each law against the tail's (interval of the tests at 0.05):")
quantiles = evstat.extreme_quantiles(levels, laws, 0.01)
rng = evstat.Generator(2026)
for law, q0 in zip(laws, quantiles):
    et = evstat.et_test(levels, law, 20, 0.01, test="percentile", rng=rng)
    gpd = evstat.gpd_test(levels, law, 20, 0.01, method="EMV", rng=rng)
    print(f"  {law:10} {q0:.2f} m; exponential tail {et.tail_quantile:.2f} m in "
          f"[{et.interval[0]:.2f}, {et.interval[1]:.2f}]: {'accepted' if et.accepted else 'rejected'};"
          f" GPD tail {gpd.tail_quantile:.2f} m: {'accepted' if gpd.accepted else 'rejected'}")

print("\nAn expert says 4.7 m is exceeded with a probability between 0.02 and 0.005 a year:")
for law in ("normal", "weibull_scale", "weibull_shape"):
    study = evstat.expert_study(levels, law, statement=(4.7, 0.02, 0.005), shape_support=(1, 20),
                                quantile_test_level=0.1, rng=evstat.Generator(1))
    print(f"  {law:14} 100-year level: fitted {study.law_quantiles[0]:.2f} m, predictive "
          f"{study.predictive_quantiles[0]:.2f} m; P(X > 4.7 m) = {study.predictive.sf(4.7):.4f}")
    if law == "normal":
        grid = np.linspace(3.5, 5.0, 300)
        fig = matplotlib.figure.Figure(figsize=(8, 5), layout="constrained")
        ax = fig.subplots()
        ax.semilogy(grid, study.law.sf(grid), label="fitted normal law")
        ax.semilogy(grid, study.predictive.sf(grid), label="predictive law with the expert")
        ax.axvline(4.7, color="grey", lw=1)
        ax.set(title="Probability that a year's maximum exceeds the level", ylim=(1e-4, 1),
               xlabel="annual maximum sea level (m)", ylabel="exceedance probability")
        ax.legend()
        fig.savefig(out / "expert_normal.png")

print(f"\nPlots in {out.resolve()}: " + ", ".join(sorted(p.name for p in out.glob("*.png"))))
