#!/usr/bin/python3
"""Writes the inputs of the golden cases, tests/golden/cases/<case>/: "args" (the engine's
command line after the seed, a word a line), "seed" and "dir/" (the working directory as
the engine finds it), the directory's path written "@DIR@" ("@DIR1@" and "@DIR2@" where
its blank splits it over two words). Run with --run, it runs each case and writes "status"
(the exit code) and "expected/": every file the run wrote or changed, the directory's path
written "@DIR@"; a file larger than 16 KB as "<name>.fnv1a", its digest (see digest()).

The cases: task 25 with each of its law words, the simulated series and both tests; the
tests of an extreme quantile (tasks 17, 20, 23, 39, 42 and 45 with every etVersion, tasks 20,
21, 24 and 43 at the edges of the number of excesses); task 27 with every law that has a
predictive law, three samples each.

usage: golden_cases.py [CASES_DIR]   (tests/golden/cases by default; replaced as a whole)
       golden_cases.py --run SEEDED_BINARY   (writes "status" and "expected/" of every case)
"""
import math
import os
import shutil
import subprocess
import sys
import tempfile

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ARGS = "@DIR1@\n@DIR2@/Tmp1.txt\n{}\n"


def formatted(value):
    return "%24.17e" % value


def sea_levels():
    with open(os.path.join(SOURCE, "examples", "portpirie.txt")) as data:
        return data.read()


def exponential_quantiles():
    """40 unit-exponential quantiles at (i - 0.5)/40: a series the gamma law's bracket suits."""
    return "".join(formatted(-math.log(1.0 - (i - 0.5) / 40.0)) + "\n" for i in range(1, 41))


def numbered_files():
    """The sea levels, their first 50 and their last 50 values."""
    levels = sea_levels().splitlines(keepends=True)
    return {"Donnees.txt": "".join(levels), "Donnees2.txt": "".join(levels[:50]),
            "Donnees3.txt": "".join(levels[-50:])}


def write_case(root, name, load_type, seed, lines, files):
    case = os.path.join(root, name)
    os.makedirs(os.path.join(case, "dir"))
    contents = {"Tmp1.txt": "".join(line + "\n" for line in ["@DIR@/"] + lines)}
    contents.update(files)
    for file, text in contents.items():
        with open(os.path.join(case, "dir", file), "w") as out:
            out.write(text)
    with open(os.path.join(case, "args"), "w") as out:
        out.write(ARGS.format(load_type))
    with open(os.path.join(case, "seed"), "w") as out:
        out.write(f"{seed}\n")


def expert_cases(root):
    """Task 25: P(X > c) between 0.1 and 0.05 by the expert, result number 3 (curve pairs
    from 4), 10 excesses, orders 0.01 and 0.001, 500 resamples."""
    series = {"portpirie.txt": sea_levels(), "expo.txt": exponential_quantiles()}
    cases = [("Exponentielle", "portpirie.txt", "4.6", "*", "*", "*", [], "CVM"),
             ("Exponentielle", "expo.txt", "3", "*", "*", "Exponentielle", [1.0], "AD"),
             ("Gamma", "expo.txt", "3", "*", "*", "*", [], "CVM"),
             ("Normale", "portpirie.txt", "4.6", "*", "*", "Normale", [3.9, 0.2], "AD"),
             ("Lognormale", "portpirie.txt", "4.6", "*", "*", "*", [], "CVM"),
             ("WeibullEchelle", "portpirie.txt", "4.6", "*", "*", "Weibull", [3e9, 15.5], "CVM"),
             ("WeibullForme", "portpirie.txt", "4.6", "1", "20", "*", [], "AD")]
    for law, data, c, low, high, simulation, parameters, test in cases:
        given = [formatted(p) for p in parameters] + ["*"] * (3 - len(parameters))
        lines = [data, "25", "@DIR@/Result3.txt", law, low, high, "0" if simulation == "*" else "1", simulation,
                 *given, "1", c, "0.1", "0.05", "0.05", "Moyenne", test, "0.05", "0.1", "10", "0.01", "0.01", "0",
                 "0.001", "0", "0"]
        name = f"task25_{law}_{data.split('.')[0]}" + ("_simulated" if simulation != "*" else "")
        write_case(root, name, 3, 2024, lines, {data: series[data]})


def quantile_test_cases(root):
    """Tasks 16 to 24 and 38 to 46 over the sea levels: level 0.05, 40 resamples, order 0.01."""
    def lines(task, laws, version, k=20, low=10, high=12, method="HW"):
        data = "*" if task in (17, 39) else "serie.txt"
        result = [data, str(task), "@DIR@/Result1.txt", *laws, str(k), "0.05", str(low), str(high), str(version),
                  "40", "0.01"]
        return result + [method] if task >= 38 else result

    def add(name, task, *setting, **options):
        files = numbered_files() if task in (17, 39) else {"serie.txt": sea_levels()}
        write_case(root, name, 2, 20261209, lines(task, *setting, **options), files)

    two = ["Normale", "Weibull"]
    for version in range(4):
        add(f"task17_v{version}", 17, ["Normale"], version)
        add(f"task20_v{version}", 20, two, version)
        add(f"task23_v{version}", 23, two, version)
        add(f"task39_v{version}", 39, ["Gamma"], version)
        add(f"task42_EMV_v{version}", 42, two, version, method="EMV")
        add(f"task45_v{version}", 45, two, version)
    for k in (0, 1, 64, 65, 80):  # 65 values
        add(f"task20_k{k}", 20, two, 1, k)
        add(f"task21_k{k}", 21, ["Gamma"], 2, k)
        add(f"task43_k{k}", 43, ["Normale"], 3, k)
    add("task24_from60to70", 24, ["Normale"], 3, 0, 60, 70)


def predictive_cases(root):
    """Task 27: three samples of 25 values from the predictive law of the sea levels."""
    rows = [("Exponentielle", ["2", "3"], "*", "*"), ("Gamma", ["2", "0.5"], "*", "*"),
            ("Normale", ["3", "1"], "*", "*"), ("Weibull", ["2", "1"], "*", "*"),
            ("WeibullEchelle", ["2", "1"], "*", "*"), ("WeibullForme", ["2", "2"], "5", "60"),
            ("Lognormale", ["3", "0.1"], "*", "*")]
    for law, prior, low, high in rows:
        lines = ["serie.txt", "27", "@DIR@/Result1.txt", law, *prior, "*", "25", "3", "10", low, high, "unread",
                 "unread"]
        write_case(root, f"task27_{law}", 4, 4242, lines, {"serie.txt": sea_levels()})


# A file written larger than this (the 2001 points of a curve) is kept as its digest.
LARGE = 16384
SAMPLED = 50


def digest(content):
    """A large file as kept: a line "fnv1a-64 <hash> <bytes> <lines>" (the 64-bit FNV-1a hash
    of its bytes, in hexadecimal), then line 1 and every 50th line after it, each as its
    number, a tab and its text, so that a failure can say where the file parts."""
    value = 0xCBF29CE484222325
    for byte in content:
        value = ((value ^ byte) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    lines = content.split(b"\n")
    kept = b"".join(b"%d\t%s\n" % (i + 1, lines[i]) for i in range(0, len(lines), SAMPLED))
    return b"fnv1a-64 %016x %d %d\n" % (value, len(content), len(lines)) + kept


def files_of(folder):
    """The files of a folder (the engine writes no subfolder), by name, with their bytes."""
    contents = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as data:
            contents[name] = data.read()
    return contents


def run_case(case, binary):
    """Runs a case with the seeded engine in a fresh directory and writes "status" (the exit
    code) and "expected/" (every file the run wrote or changed, the path written "@DIR@")."""
    work = tempfile.mkdtemp(prefix="evstat_run ", dir="/tmp")
    try:
        head, tail = work.split(" ", 1)
        inputs = files_of(os.path.join(case, "dir"))
        for name, content in inputs.items():
            with open(os.path.join(work, name), "wb") as data:
                data.write(content.replace(b"@DIR@", work.encode()))
        with open(os.path.join(case, "args")) as data:
            words = [w.replace("@DIR1@", head).replace("@DIR2@", tail).replace("@DIR@", work)
                     for w in data.read().splitlines()]
        with open(os.path.join(case, "seed")) as data:
            seed = data.read().strip()
        status = subprocess.run([binary, seed] + words, cwd=work, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL).returncode
        with open(os.path.join(case, "status"), "w") as data:
            data.write(f"{status}\n")
        expected = os.path.join(case, "expected")
        shutil.rmtree(expected, ignore_errors=True)
        os.makedirs(expected)
        for name, content in files_of(work).items():
            content = content.replace(work.encode(), b"@DIR@")
            if inputs.get(name) == content:
                continue
            if len(content) > LARGE:
                name, content = name + ".fnv1a", digest(content)
            with open(os.path.join(expected, name), "wb") as data:
                data.write(content)
    finally:
        shutil.rmtree(work)


def main():
    root = os.path.join(SOURCE, "tests", "golden", "cases")
    if len(sys.argv) == 3 and sys.argv[1] == "--run":
        for name in sorted(os.listdir(root)):
            run_case(os.path.join(root, name), os.path.abspath(sys.argv[2]))
        return
    if len(sys.argv) > 1:
        root = os.path.abspath(sys.argv[1])
    shutil.rmtree(root, ignore_errors=True)
    expert_cases(root)
    quantile_test_cases(root)
    predictive_cases(root)


if __name__ == "__main__":
    main()
