"""Fixtures shared by the client tests: the engine program under test (the QUORVANE variable, as
ctest sets it, else build/quorvane of this source tree), the benchmark games and started engines."""
import os
import pathlib
import sys

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "python"))

from quorvane import Engine  # noqa: E402
from quorvane.engine import default_program  # noqa: E402

BENCH = ROOT.parent / "shared" / "bench"


@pytest.fixture(scope="session")
def program():
    path = default_program()
    if not os.access(path, os.X_OK):
        pytest.fail(f"no engine program at {path}: build it, or set QUORVANE")
    return path


@pytest.fixture
def engine(program):
    with Engine.popen(program, timeout=60) as started:
        yield started


def bench_game(name):
    path = BENCH / f"{name}.txt"
    if not path.exists():
        pytest.skip(f"the benchmark games are not at {BENCH}")
    return path
