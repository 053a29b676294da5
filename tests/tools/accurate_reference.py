#!/usr/bin/python3
"""Reference values of the accurate law functions (laws/accurate.h), computed with mpmath.

Writes tests/unit/accurate_reference_values.h: for every law and parameter set below, the
density, distribution and survival functions at points spread over both tails (the quantiles
at tail probabilities from 1e-250 to 1/2, rounded to four significant digits), and the quantile
and upper quantile at probabilities from 1e-100 to 1/2. Every value is computed at 30 significant
digits and rounded once to double. Parameters are the ParameterFile's (Weibull (a, b) with
F = 1 - exp(-x^b / a), Pareto (threshold, exponent), GPD (shape k, scale sigma)).

    /usr/bin/python3 tests/tools/accurate_reference.py [output] [points per tail]
"""
import sys

import mpmath as mp

mp.mp.dps = 30

UNIFORM, EXPONENTIAL, GAMMA, CHI_SQUARE, NORMAL, STUDENT, BETA, WEIBULL, LOGNORMAL, PARETO, GPD = range(11)

LAWS = [
    (UNIFORM, (1.0, 3.0)), (UNIFORM, (-2.0, 5.0)),
    (EXPONENTIAL, (2.0,)),
    (GAMMA, (2.5, 1.5)), (GAMMA, (0.3, 2.0)), (GAMMA, (0.02, 1.0)), (GAMMA, (40.0, 0.5)),
    (GAMMA, (400.0, 1.0)),
    (CHI_SQUARE, (1.0,)), (CHI_SQUARE, (4.0,)), (CHI_SQUARE, (17.0,)),
    (NORMAL, (1.0, 2.0)),
    (STUDENT, (1.0,)), (STUDENT, (2.0,)), (STUDENT, (5.0,)), (STUDENT, (30.0,)), (STUDENT, (1000.0,)),
    (BETA, (2.0, 3.0)), (BETA, (0.5, 0.5)), (BETA, (0.2, 8.0)), (BETA, (30.0, 60.0)),
    (BETA, (0.05, 0.3)),
    (WEIBULL, (2.0, 1.5)), (WEIBULL, (0.5, 0.7)),
    (LOGNORMAL, (0.5, 0.8)),
    (PARETO, (1.5, 3.0)), (PARETO, (2.0, 0.8)),
    (GPD, (0.3, 2.0)), (GPD, (0.0, 1.5)), (GPD, (-0.4, 1.0)),
]


def student_tails(nu, t):
    beyond = mp.betainc(nu / 2, mp.mpf(1) / 2, 0, nu / (nu + t * t), regularized=True) / 2
    within = 1 - beyond if abs(t) < 1 else 1 - beyond  # beyond <= 1/2: no cancellation
    return (beyond, within) if t < 0 else (within, beyond)


def law(code, p, x):
    """(density, distribution, survival) at x, exactly (to the working precision)."""
    x = mp.mpf(x)
    if code == UNIFORM:
        a, b = map(mp.mpf, p)
        if x < a: return 0, 0, 1
        if x > b: return 0, 1, 0
        return 1 / (b - a), (x - a) / (b - a), (b - x) / (b - a)
    if code == EXPONENTIAL:
        th = mp.mpf(p[0])
        if x < 0: return 0, 0, 1
        return mp.exp(-x / th) / th, -mp.expm1(-x / th), mp.exp(-x / th)
    if code in (GAMMA, CHI_SQUARE):
        a, b = (mp.mpf(p[0]), mp.mpf(p[1])) if code == GAMMA else (mp.mpf(p[0]) / 2, mp.mpf(2))
        if x <= 0: return 0, 0, 1
        z = x / b
        dens = mp.exp((a - 1) * mp.log(z) - z - mp.loggamma(a)) / b
        return dens, mp.gammainc(a, 0, z, regularized=True), mp.gammainc(a, z, mp.inf, regularized=True)
    if code in (NORMAL, LOGNORMAL):
        mu, s = map(mp.mpf, p)
        if code == LOGNORMAL:
            if x <= 0: return 0, 0, 1
            z = (mp.log(x) - mu) / s
            jac = x
        else:
            z = (x - mu) / s
            jac = 1
        return (mp.npdf(z) / s / jac, mp.erfc(-z / mp.sqrt(2)) / 2, mp.erfc(z / mp.sqrt(2)) / 2)
    if code == STUDENT:
        nu = mp.mpf(p[0])
        dens = mp.exp(mp.loggamma((nu + 1) / 2) - mp.loggamma(nu / 2)) / mp.sqrt(nu * mp.pi) * \
            (1 + x * x / nu) ** (-(nu + 1) / 2)
        lo, up = student_tails(nu, x)
        return dens, lo, up
    if code == BETA:
        a, b = map(mp.mpf, p)
        if x <= 0: return 0, 0, 1
        if x >= 1: return 0, 1, 0
        dens = mp.exp((a - 1) * mp.log(x) + (b - 1) * mp.log(1 - x) - mp.log(mp.beta(a, b)))
        lower = mp.betainc(a, b, 0, x, regularized=True)
        # 1 - x to 30 digits needs as many more digits as x has leading zeros.
        with mp.workdps(mp.mp.dps + max(0, int(-mp.log10(x)))):
            upper = mp.betainc(b, a, 0, 1 - x, regularized=True)
        return dens, lower, +upper
    if code == WEIBULL:
        a, b = map(mp.mpf, p)
        if x <= 0: return 0, 0, 1
        w = x ** b / a
        return b / a * x ** (b - 1) * mp.exp(-w), -mp.expm1(-w), mp.exp(-w)
    if code == PARETO:
        a, b = map(mp.mpf, p)
        if x < a: return 0, 0, 1
        log_sf = b * mp.log(a / x)
        return b / x * mp.exp(log_sf), -mp.expm1(log_sf), mp.exp(log_sf)
    if code == GPD:
        k, s = map(mp.mpf, p)
        if x < 0: return 0, 0, 1
        if k == 0:
            return mp.exp(-x / s) / s, -mp.expm1(-x / s), mp.exp(-x / s)
        base = 1 + k * x / s
        if base <= 0: return 0, 1, 0
        log_sf = -mp.log1p(k * x / s) / k
        return mp.exp(log_sf) / base / s, -mp.expm1(log_sf), mp.exp(log_sf)
    raise ValueError(code)


def support(code, p):
    """(transform, inverse, low, high): the search variable of the quantile bisection."""
    if code == UNIFORM:
        return (lambda u: u), p[0], p[1]
    if code == NORMAL:
        return (lambda u: u), p[0] - 60 * p[1], p[0] + 60 * p[1]
    if code == LOGNORMAL:
        return (lambda u: mp.exp(u)), p[0] - 60 * p[1], p[0] + 60 * p[1]
    if code == STUDENT:
        return (lambda u: mp.sinh(u)), -800, 800
    if code == BETA:
        return (lambda u: 1 / (1 + mp.exp(-u))), -800, 800
    if code == PARETO:
        return (lambda u: p[0] * mp.exp(mp.exp(u))), -800, 7
    if code == GPD and p[0] < 0:
        end = -mp.mpf(p[1]) / p[0]
        return (lambda u: end / (1 + mp.exp(-u))), -800, 800
    return (lambda u: mp.exp(u)), -800, 800


def quantile(code, p, prob, upper):
    """The x whose survival (upper) or distribution function equals prob: bisection to a narrow
    bracket, then Anderson-Bjorck's bracketing secant on the logarithm of the tail."""
    f, lo, hi = support(code, p)
    lo, hi = mp.mpf(lo), mp.mpf(hi)
    prob = mp.mpf(prob)

    def tail(u):
        _, cdf, sf = law(code, p, f(u))
        return sf if upper else cdf

    for _ in range(200):
        mid = (lo + hi) / 2
        if (tail(mid) > prob) == upper:
            lo = mid
        else:
            hi = mid
        if hi - lo < mp.mpf(10) ** -3 * max(1, abs(mid)):
            break
    def g(u):
        value = tail(u)
        if value == 0:
            raise ValueError("the tail vanishes at the working precision")
        return mp.log(value) - mp.log(prob)
    try:
        return f(mp.findroot(g, (lo, hi), solver="anderson", maxsteps=80))
    except (ValueError, ZeroDivisionError):
        for _ in range(200):
            mid = (lo + hi) / 2
            if (tail(mid) > prob) == upper:
                lo = mid
            else:
                hi = mid
        return f((lo + hi) / 2)


def round4(x):
    return float(mp.nstr(x, 4)) if x != 0 else 0.0


def d(v):
    v = float(v)
    return repr(v) if v != float("inf") else "kInf"


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "tests/unit/accurate_reference_values.h"
    dense = int(sys.argv[2]) if len(sys.argv) > 2 else 0
    tails = ["1e-250", "1e-100", "1e-30", "1e-12", "1e-4", "0.03", "0.3"]
    if dense:
        tails = [mp.mpf(10) ** (-mp.mpf(300) * i / dense) for i in range(1, dense + 1)] + \
                [mp.mpf(i) / 20 for i in range(1, 10)]
    probs = ["1e-100", "1e-15", "1e-8", "1e-3", "0.1", "0.4", "0.5"]
    values, quantiles = [], []
    for code, p in LAWS:
        points = set()
        for t in tails:
            for upper in (False, True):
                x = quantile(code, p, t, upper)
                if code == GPD and p[0] < 0:
                    x = mp.mpf(float(x))  # rounding to 4 digits would step off the support
                points.add(round4(x) if not (code == GPD and p[0] < 0) else float(x))
        # Finite points only, and not the ends of a support where the density may be infinite
        # (the unit tests take those one by one).
        ends = (0.0, 1.0) if code == BETA else (0.0,) if code in (GAMMA, CHI_SQUARE, WEIBULL) else ()
        for x in sorted(v for v in points if abs(v) < 1e300 and v not in ends):
            dens, lo, up = law(code, p, x)
            values.append((code, p, x, dens, lo, up))
        for prob in probs:
            for upper in (False, True):
                quantiles.append((code, p, float(prob), upper, quantile(code, p, prob, upper)))
    params = lambda p: "{" + ", ".join(repr(float(v)) for v in p) + "}"
    with open(out, "w") as f:
        f.write("// Exact densities, distribution and survival functions and quantiles of the laws 0 to 10, in\n"
                "// the ParameterFile's parametrisations, at points in both tails.\n"
                "// Generated by tests/tools/accurate_reference.py with mpmath %s at %d significant digits\n"
                "// (each value rounded once to double); do not edit, run the script again.\n"
                % (mp.__version__, mp.mp.dps))
        f.write("#pragma once\n\n#include <limits>\n#include <vector>\n\n"
                "namespace evstat::reference {\n\n"
                "struct AccurateValueRow {\n    int code;  // the law's code\n    std::vector<double> parameters;\n"
                "    double x, density, distribution, survival;\n};\n\n"
                "struct AccurateQuantileRow {\n    int code;\n    std::vector<double> parameters;\n"
                "    double probability;\n    bool upper;  // the upper quantile: P(X > x) = probability\n"
                "    double x;\n};\n\n"
                "constexpr double kInf = std::numeric_limits<double>::infinity();\n\n")
        f.write("inline const std::vector<AccurateValueRow>& accurate_values() {\n"
                "    static const std::vector<AccurateValueRow> rows = {\n")
        for code, p, x, dens, lo, up in values:
            f.write("        {%d, %s, %s, %s, %s, %s},\n" % (code, params(p), repr(x), d(dens), d(lo), d(up)))
        f.write("    };\n    return rows;\n}\n\n")
        f.write("inline const std::vector<AccurateQuantileRow>& accurate_quantiles() {\n"
                "    static const std::vector<AccurateQuantileRow> rows = {\n")
        for code, p, prob, upper, x in quantiles:
            f.write("        {%d, %s, %s, %s, %s},\n" % (code, params(p), repr(prob),
                                                        "true" if upper else "false", d(x)))
        f.write("    };\n    return rows;\n}\n\n}  // namespace evstat::reference\n")


if __name__ == "__main__":
    main()
