"""The plots render headless, with their titles and axis labels, into new or given figures."""

import pytest

from conftest import PORT_PIRIE, evstat

matplotlib = pytest.importorskip("matplotlib")
matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

from evstat import plot  # noqa: E402


def _labelled(fig):
    return [(ax.get_title(), ax.get_xlabel(), ax.get_ylabel()) for ax in fig.axes]


@pytest.mark.parametrize("draw,panels,legends", [
    (lambda fig: plot.fit_diagnostics(evstat.fit(PORT_PIRIE, "weibull"), PORT_PIRIE, fig=fig), 4, 2),
    (lambda fig: plot.tail_path(PORT_PIRIE, range(5, 60), ("HW", "Hill"), fig=fig), 2, 2),
    (lambda fig: plot.return_levels(PORT_PIRIE, 20, fig=fig), 1, 1),
])
def test_plots_have_titles_labels_and_legends(tmp_path, draw, panels, legends):
    given = plt.figure()
    fig = draw(given)
    assert fig is given and len(fig.axes) == panels
    assert all(title and ylabel for title, _, ylabel in _labelled(fig))
    assert fig.axes[-1].get_xlabel()
    assert sum(ax.get_legend() is not None for ax in fig.axes) == legends
    fig.savefig(tmp_path / "plot.png")
    assert (tmp_path / "plot.png").stat().st_size > 0
    plt.close(fig)


def test_return_levels_draw_into_an_axis_and_leave_out_a_failed_method():
    fig, ax = plt.subplots()
    # Zipf takes at most n - 1 excesses: with all 65 it cannot fit.
    drawn = plot.return_levels(PORT_PIRIE, 65, methods=("HW", "Zipf"), periods=[2, 10, 100], ax=ax)
    labels = [t.get_text() for t in ax.get_legend().get_texts()]
    assert drawn is fig and labels[0].startswith("HW") and labels[1:] == ["data"]
    plt.close(fig)


def test_the_example_study_saves_its_plots(tmp_path):
    import os
    import subprocess
    import sys

    from conftest import ROOT
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path))
    run = subprocess.run([sys.executable, str(ROOT / "examples/python/port_pirie.py"), str(tmp_path)],
                         env=env, capture_output=True, text=True, timeout=300)
    assert run.returncode == 0, run.stderr
    assert sorted(p.name for p in tmp_path.glob("*.png")) == [
        "expert_normal.png", "return_levels.png", "tail_path.png", "weibull_fit.png"]
