"""Shared by the tests: the module (skipped when it is not built) and runs of the engine
itself, seeded, in a fresh directory, whose result files the module must reproduce."""

import os
import pathlib
import shutil
import subprocess
import tempfile

import numpy as np
import pytest

evstat = pytest.importorskip("evstat", reason="the module evstat is not built (make python)")

ROOT = pathlib.Path(__file__).resolve().parents[2]
SEEDED = pathlib.Path(os.environ.get("EVSTAT_SEEDED_BINARY", ROOT / "build/tests/evstat_seeded"))

# The sea levels of the example study (65 annual maxima, in metres).
PORT_PIRIE = np.loadtxt(ROOT / "examples/portpirie.txt")


def _line(value) -> str:
    if value is None:
        return "*"
    return value if isinstance(value, str) else repr(float(value))


class Engine:
    """Runs the seeded engine on a ParameterFile written into a fresh directory."""

    def __init__(self, directory: pathlib.Path):
        self.directory = directory
        self.count = 0

    def run(self, seed: int, load_type: int, lines, data=None) -> pathlib.Path:
        if not SEEDED.exists():
            pytest.skip(f"the seeded engine {SEEDED} is not built")
        self.count += 1
        work = self.directory / f"run{self.count}"
        work.mkdir()
        if data is not None:
            (work / "serie.txt").write_text("".join(f"{v:.17e}\n" for v in np.sort(data)))
        text = [f"{work}/"] + [_line(v) for v in lines]
        (work / "Tmp99.txt").write_text("\n".join(text) + "\n")
        run = subprocess.run([str(SEEDED), str(seed), str(work / "Tmp99.txt"), str(load_type)],
                             cwd=work, capture_output=True, timeout=120)
        assert run.returncode == 0, run.stderr.decode()
        return work


def numbers(path: pathlib.Path) -> list:
    """Every number of a result file, line after line (pairs split)."""
    return [float(word) for word in path.read_text().split()]


@pytest.fixture
def engine():
    # A short directory: the ParameterFile's lines hold at most 80 characters.
    directory = pathlib.Path(tempfile.mkdtemp(prefix="ev"))
    yield Engine(directory)
    shutil.rmtree(directory, ignore_errors=True)
