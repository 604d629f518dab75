"""What the tests of the module share: the built vek-batch, the fixtures, and the comparison
of two save folders file by file."""

import os
import subprocess
from pathlib import Path

import pytest

import vek

BUILD = Path(vek.__file__).resolve().parents[2]
VEK_BATCH = Path(os.environ.get("VEK_BATCH") or BUILD / "bin" / "vek-batch")
DATA = Path(os.environ.get("VEK_TEST_DATA") or Path(__file__).resolve().parents[2] / "tests" / "data")
HERE = Path(__file__).resolve().parent

# Files that differ between two runs of the same world: the wall-clock times of the turns,
# and the lock naming the program and process that held the folder.
UNEQUAL_FILES = {"c_time.log", "vek.lock"}


def run_batch(*arguments, cwd=None):
    """Runs vek-batch and returns its finished process; a failure fails the test."""
    done = subprocess.run([str(VEK_BATCH), "--quiet", *map(str, arguments)], cwd=cwd, capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return done


def manifest_lines(path):
    """The lines of a save manifest but the one of c_time.log, whose length follows the clock."""
    return [line for line in path.read_bytes().split(b"\r\n") if not line.startswith(b"appended c_time.log ")]


def assert_same_folder(expected, actual):
    """Every file of the two save folders is the same, byte for byte, but the clock's and the lock."""
    expected, actual = Path(expected), Path(actual)
    names = sorted(p.name for p in expected.iterdir())
    assert names == sorted(p.name for p in actual.iterdir())
    for name in names:
        if name in UNEQUAL_FILES:
            continue
        if name == "save.manifest":
            assert manifest_lines(expected / name) == manifest_lines(actual / name), name
        else:
            assert (expected / name).read_bytes() == (actual / name).read_bytes(), name


@pytest.fixture
def vek_batch():
    assert VEK_BATCH.exists(), f"{VEK_BATCH} is not built"
    return run_batch
