"""examples/analysis.py draws its picture of a short world."""

import os
import subprocess
import sys

import matplotlib.image

from conftest import HERE

EXAMPLE = HERE.parents[1] / "examples" / "analysis.py"


def test_the_example_draws_population_genes_and_body_sizes_into_a_png(tmp_path):
    picture = tmp_path / "world.png"
    done = subprocess.run([sys.executable, str(EXAMPLE), "--turns", "300", "--seed", "2", "--base", str(tmp_path / "kept"),
                           "--out", str(picture)], capture_output=True, text=True, env=dict(os.environ))
    assert done.returncode == 0, done.stderr
    assert done.stdout.startswith(f"{picture}: 300 turns, ") and str(tmp_path / "kept/original_log") in done.stdout
    assert picture.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    assert matplotlib.image.imread(picture).shape[:2] == (1000, 800)
    assert (tmp_path / "kept/original_log/Ostrel.lives").exists()
