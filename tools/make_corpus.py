#!/usr/bin/python3
"""The corpus over which tools/compare_engines.sh runs two engines.

One folder per run of the engine:
  args   the command line after the program name, a word a line;
  seed   (optional) the seed of the generator, that is the clock's second during the run;
  dir/   the working directory as the engine finds it.
The working directory's path is written "@DIR@" in every file, or "@DIR1@" and "@DIR2@"
in "args" where its blanks split it over several words (the directory of a replay holds one
blank, as a front end's often does; the engine joins the words with one blank).

Sources, each in a folder of its own:
  studies/  at least one run of every task and every LoadType over the example series;
  demo/     every run of examples/demo.sh, recorded by running it with a recording engine;
  e2e/      every run of the end-to-end tests and golden cases (their EVSTAT_KEEP_RUNS),
            when their binary is given;
  golden/   else the cases of tests/golden.

usage: make_corpus.py OUT --engine ENGINE [--e2e E2E_TESTS_BINARY]
       make_corpus.py record OUT ENGINE WORD...   (the engine the demo runs)
       make_corpus.py resolve CORPUS DIRECTORY OUT   (the runs made ready in DIRECTORY)
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ in the tree
import golden_cases  # noqa: E402

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXAMPLES = os.path.join(SOURCE, "examples")
GOLDEN = os.path.join(SOURCE, "tests", "golden")
# The clock of a run without a seed of its own: 2026-01-01 00:00:00 UTC.
DEFAULT_SEED = 1767225600


def substituted(text, path):
    """The bytes with the directory's path written as the placeholders."""
    split = path.replace(" ", "\n").encode()
    return text.replace(split, b"@DIR1@\n@DIR2@").replace(path.encode(), b"@DIR@")


def keep(case, arguments, directory):
    """Records a run: its command line and the working directory as it stands."""
    os.makedirs(case)
    with open(os.path.join(case, "args"), "wb") as out:
        out.write(substituted("".join(word + "\n" for word in arguments).encode(), directory))
    for root, folders, files in os.walk(directory):
        target = os.path.join(case, "dir", os.path.relpath(root, directory))
        os.makedirs(target, exist_ok=True)
        for name in files:
            with open(os.path.join(root, name), "rb") as source:
                content = source.read()
            with open(os.path.join(target, name), "wb") as out:
                out.write(substituted(content, directory))


def record(out, engine, words):
    """Keeps the run the demo is about to make in the current directory, then makes it."""
    os.makedirs(out, exist_ok=True)
    case = os.path.join(out, f"demo.{len(os.listdir(out)) + 1:04d}")
    keep(case, words, os.getcwd())
    os.execv(engine, [engine] + words)


# ---------------------------------------------------------------- the studies

def example(name):
    with open(os.path.join(EXAMPLES, name), "rb") as source:
        return source.read()


def numbered_files():
    """Three numbered data files: the sea levels, their first 50 and their last 50."""
    levels = example("portpirie.txt").splitlines(keepends=True)
    return {"Donnees.txt": b"".join(levels), "Donnees2.txt": b"".join(levels[:50]),
            "Donnees3.txt": b"".join(levels[-50:])}


class Studies:
    def __init__(self, out):
        self.out = out
        self.count = 0

    def add(self, name, load_type, lines, files=(), numbered=False, extra=None):
        """A ParameterFile Tmp1.txt with `lines` (line 1, the directory, in front) beside the
        example series named in `files`."""
        self.count += 1
        case = os.path.join(self.out, f"{name}.{self.count:04d}")
        os.makedirs(os.path.join(case, "dir"))
        with open(os.path.join(case, "args"), "w") as out:
            out.write(f"@DIR1@\n@DIR2@/Tmp1.txt\n{load_type}\n")
        contents = {"Tmp1.txt": "".join(line + "\n" for line in ["@DIR@/"] + lines).encode()}
        contents.update({f: example(f) for f in files})
        if numbered:
            contents.update(numbered_files())
        contents.update(extra or {})
        for file, content in contents.items():
            with open(os.path.join(case, "dir", file), "wb") as out:
                out.write(content)


RESULT = "@DIR@/Result1.txt"
# A law of each code with valid parameters, and a range its curves are drawn over.
LAWS = [("Uniforme", ["0", "2", "*"], "-0.5", "2.5"), ("Exponentielle", ["1.5", "*", "*"], "0", "6"),
        ("Gamma", ["2", "1", "*"], "0.05", "8"), ("Chi2", ["3", "*", "*"], "0.05", "10"),
        ("Normale", ["0", "1", "*"], "-3", "3"), ("Student", ["5", "*", "*"], "-4", "4"),
        ("Beta", ["2", "3", "*"], "0.01", "0.99"), ("Weibull", ["1.5", "2", "*"], "0.05", "4"),
        ("Lognormale", ["0", "0.5", "*"], "0.05", "5"), ("Pareto", ["1", "2", "*"], "1", "6"),
        ("GPD", ["0.2", "1", "*"], "0", "8")]
FIT_LAWS = ["Normale", "Lognormale", "Weibull", "Gamma", "Exponentielle", "GPD"]
METHODS = ["HW", "EMV", "Hill", "HillG", "Zipf"]
EXPERT_LAWS = ["Exponentielle", "Gamma", "Normale", "Lognormale", "WeibullEchelle", "WeibullForme"]


def load_type_1(s):
    for law, parameters, low, high in LAWS:
        for task in ("2", "3", "8"):
            s.add(f"task{task}.{law}", 1, ["*", task, RESULT, law] + parameters + [low, high, "20"])
        s.add(f"task4.{law}", 1, ["*", "4", RESULT, law] + parameters + ["0.01", "0.99", "20"])
        s.add(f"task1.{law}", 1, ["*", "1", RESULT, law] + parameters + ["30", "2", "10"])
        if law == "Beta":  # a series within (0, 1): the sea levels in tens of metres
            tenths = "".join("%.4f\n" % (float(v) / 10) for v in example("portpirie.txt").split())
            s.add(f"task7.{law}", 1, ["tenths.txt", "7", RESULT, law, "*", "*", "*", "0", "0", "0"],
                  extra={"tenths.txt": tenths.encode()})
        else:
            s.add(f"task7.{law}", 1, ["portpirie.txt", "7", RESULT, law, "*", "*", "*", "0", "0", "0"],
                  ["portpirie.txt"])
    s.add("task2.abscissas", 1, ["portpirie.txt", "2", RESULT, "Normale", "4", "0.2", "*", "0", "0", "0"],
          ["portpirie.txt"])
    for data in ("portpirie.txt", "claims_loss.txt"):
        s.add("task5", 1, [data, "5", RESULT, "*", "*", "*", "*", "0", "0", "0"], [data])
    for kernel in ("1", "2"):
        s.add("task6", 1, ["*", "6", RESULT, "*", kernel, "0.1", "*", "3.5", "4.8", "20"], numbered=True)
    for law in ("Normale", "Weibull", "Exponentielle"):
        s.add("task26", 1, ["*", "26", RESULT, law, "*", "*", "*", "0", "0", "0"], numbered=True)


def closing(k="10", low="10", high="12", version="1", resamples="50", order="0.01"):
    return [k, "0.05", low, high, version, resamples, order]


def load_type_2(s):
    for task in ("9", "10"):
        s.add(f"task{task}", 2, ["portpirie.txt", task, RESULT] + FIT_LAWS + closing(), ["portpirie.txt"])
    for task in ("11", "12"):
        for law in ("Normale", "Weibull"):
            s.add(f"task{task}", 2, ["*", task, RESULT, law] + closing(), numbered=True)
    for law in ("Exponentielle", "GPD"):
        s.add("task13", 2, ["portpirie.txt", "13", RESULT, law] + closing(k="20"), ["portpirie.txt"])
        s.add("task14", 2, ["*", "14", RESULT, law] + closing(k="20"), numbered=True)
        s.add("task15", 2, ["portpirie.txt", "15", RESULT, law] + closing(low="5", high="15"),
              ["portpirie.txt"])
    laws = ["Normale", "Weibull", "Gamma", "Lognormale"]
    for version in ("0", "1", "2", "3"):
        for task in ("16", "17", "18"):
            s.add(f"task{task}", 2, ["*", task, RESULT, "Normale"] + closing(version=version), numbered=True)
        for task in ("19", "20", "21", "22", "23", "24"):
            s.add(f"task{task}", 2, ["portpirie.txt", task, RESULT] + laws + closing(version=version),
                  ["portpirie.txt"])
    s.add("task36", 2, ["portpirie.txt", "36", RESULT] + FIT_LAWS + closing(), ["portpirie.txt"])
    s.add("task37", 2, ["*", "37", RESULT, "Weibull"] + closing(), numbered=True)
    for method in METHODS:
        for version in ("1", "2", "3"):
            for task in ("38", "39", "40"):
                s.add(f"task{task}.{method}", 2,
                      ["*", task, RESULT, "Normale"] + closing(version=version) + [method], numbered=True)
            for task in ("41", "42", "43", "44", "45", "46"):
                s.add(f"task{task}.{method}", 2,
                      ["portpirie.txt", task, RESULT, "Normale", "Gamma"] + closing(version=version) + [method],
                      ["portpirie.txt"])


def expert(law, data, c, low="*", high="*", simulated=("0", "*", "*", "*", "*"), confidence="Moyenne",
           test="CVM"):
    return [data, "25", RESULT, law, low, high, *simulated, "1", c, "0.02", "0.005", "0.05", confidence,
            test, "0.05", "0.1", "10", "0.01", "0.01", "0.001", "0", "0", "0"]


def load_types_3_4_5(s):
    for law in EXPERT_LAWS:
        bounds = ("1", "20") if law == "WeibullForme" else ("*", "*")
        for test in ("AD", "CVM"):
            if law == "Gamma":  # the gamma scale of the sea levels lies outside the prior's bracket
                s.add(f"task25.{law}", 3, expert(law, "expo.txt", "3", test=test),
                      extra={"expo.txt": golden_cases.exponential_quantiles().encode()})
            else:
                s.add(f"task25.{law}", 3, expert(law, "portpirie.txt", "4.7", *bounds, test=test), ["portpirie.txt"])
    for confidence in ("Forte", "Faible", "*"):
        s.add("task25.Normale", 3, expert("Normale", "portpirie.txt", "4.7", confidence=confidence),
              ["portpirie.txt"])
    s.add("task25.simulated", 3,
          expert("Normale", "portpirie.txt", "4.7", simulated=("1", "Normale", "3.98", "0.24", "*")),
          ["portpirie.txt"])
    for law, prior, low, high in [("Exponentielle", ["2", "3"], "*", "*"), ("Gamma", ["2", "0.5"], "*", "*"),
                                  ("Normale", ["3", "1"], "*", "*"), ("Weibull", ["2", "1"], "*", "*"),
                                  ("WeibullEchelle", ["2", "1"], "*", "*"),
                                  ("WeibullForme", ["2", "2"], "5", "60"), ("Lognormale", ["3", "0.1"], "*", "*")]:
        s.add(f"task27.{law}", 4, ["portpirie.txt", "27", RESULT, law] + prior + ["*", "25", "3", "10", low,
                                                                                    high, "unread", "unread"],
              ["portpirie.txt"])
    for task in ("28", "31", "32", "35"):
        for method in METHODS:
            data = "*" if task in ("31", "35") else "claims_loss.txt"
            s.add(f"task{task}.{method}", 5, [data, task, RESULT, method, "20", "0", "0.001"],
                  [] if data == "*" else [data], numbered=data == "*")
    for task in ("29", "30", "33", "34"):
        s.add(f"task{task}", 5, ["claims_loss.txt", task, RESULT] + METHODS + ["20", "120", "0.001"],
              ["claims_loss.txt"])


# ---------------------------------------------------------------- the other sources

def demo(out, engine):
    """Every run of examples/demo.sh, each kept before it is made."""
    with tempfile.TemporaryDirectory() as scratch:
        wrapper = os.path.join(scratch, "engine")
        with open(wrapper, "w") as script:
            script.write(f'#!/bin/sh\nexec /usr/bin/python3 "{os.path.abspath(__file__)}" record '
                         f'"{out}" "{engine}" "$@"\n')
        os.chmod(wrapper, 0o755)
        environment = dict(os.environ, TMPDIR=scratch, PATH="/usr/bin:/bin")  # no gnuplot needed
        subprocess.run([os.path.join(EXAMPLES, "demo.sh"), wrapper], env=environment, check=True,
                       stdout=subprocess.DEVNULL)


def end_to_end(out, binary):
    environment = dict(os.environ, EVSTAT_KEEP_RUNS=out)
    result = subprocess.run([binary], env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if result.returncode != 0:
        print(f"make_corpus: the end-to-end tests failed ({result.returncode}); their runs are kept anyway",
              file=sys.stderr)


def golden(out):
    if not os.path.isdir(GOLDEN):
        return
    for name in sorted(os.listdir(GOLDEN)):
        case = os.path.join(GOLDEN, name)
        if not os.path.isfile(os.path.join(case, "args")):
            continue
        os.makedirs(os.path.join(out, name))
        for part in ("args", "seed"):
            if os.path.exists(os.path.join(case, part)):
                shutil.copy(os.path.join(case, part), os.path.join(out, name, part))
        shutil.copytree(os.path.join(case, "dir"), os.path.join(out, name, "dir"))


def resolve(corpus, directory, out):
    """Every run of the corpus made ready to run in `directory` (a path holding one blank):
    out/N/dir with the placeholders replaced, out/N/args, out/N/clock (the date the clock is
    frozen at, UTC) and out/N/name; N counts the runs in the order of their names."""
    head, tail = directory.split(" ", 1)
    cases = sorted(os.path.relpath(root, corpus) for root, _, files in os.walk(corpus) if "args" in files)
    for number, name in enumerate(cases, 1):
        source = os.path.join(corpus, name)
        target = os.path.join(out, f"{number:05d}")
        for root, _, files in os.walk(os.path.join(source, "dir")):
            folder = os.path.join(target, "dir", os.path.relpath(root, os.path.join(source, "dir")))
            os.makedirs(folder, exist_ok=True)
            for file in files:
                with open(os.path.join(root, file), "rb") as data:
                    content = data.read().replace(b"@DIR@", directory.encode())
                with open(os.path.join(folder, file), "wb") as data:
                    data.write(content)
        with open(os.path.join(source, "args"), "rb") as data:
            words = data.read().replace(b"@DIR1@", head.encode()).replace(b"@DIR2@", tail.encode())
        seed = DEFAULT_SEED
        if os.path.exists(os.path.join(source, "seed")):
            with open(os.path.join(source, "seed")) as data:
                seed = int(data.read())
        for part, content in (("args", words.replace(b"@DIR@", directory.encode())),
                              ("clock", time.strftime("%Y-%m-%d %H:%M:%S\n", time.gmtime(seed)).encode()),
                              ("name", (name + "\n").encode())):
            with open(os.path.join(target, part), "wb") as data:
                data.write(content)


def main():
    if len(sys.argv) > 1 and sys.argv[1] == "record":
        record(sys.argv[2], sys.argv[3], sys.argv[4:])
        return
    if len(sys.argv) > 1 and sys.argv[1] == "resolve":
        resolve(sys.argv[2], sys.argv[3], sys.argv[4])
        return
    parser = argparse.ArgumentParser(description="Writes the corpus of tools/compare_engines.sh.")
    parser.add_argument("out")
    parser.add_argument("--engine", required=True, help="the engine the demo's steps run with")
    parser.add_argument("--e2e", help="the end-to-end test binary (build/tests/e2e_tests)")
    options = parser.parse_args()
    out = os.path.abspath(options.out)
    if os.path.exists(out) and os.listdir(out):
        sys.exit(f"make_corpus: {out} is not empty")
    studies = Studies(os.path.join(out, "studies"))
    load_type_1(studies)
    load_type_2(studies)
    load_types_3_4_5(studies)
    demo(os.path.join(out, "demo"), os.path.abspath(options.engine))
    if options.e2e:  # the golden cases among them
        end_to_end(os.path.join(out, "e2e"), os.path.abspath(options.e2e))
    else:
        golden(os.path.join(out, "golden"))


if __name__ == "__main__":
    main()
