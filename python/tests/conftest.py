"""Fixtures shared by the client tests: the engine program under test (the QUORVANE variable, as
ctest sets it, else build/quorvane of this source tree), the benchmark games and started engines."""
import os
import pathlib
import re
import sys

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "python"))

from quorvane import Engine, Game  # noqa: E402
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


# The IP comment line of every benchmark game omits AKs, which its weights hold.
RANGE_OMISSIONS = {"OOP": "", "IP": "AKs,"}


def benchmark_game(name):
    """The game that a benchmark file's comment lines describe (settings, then both ranges), and
    the file's betting lines."""
    text = bench_game(name).read_text()
    head = text.splitlines()[0]
    value = dict(re.findall(r"(\w+)=([^\s\[]+)", head))
    bets, raises = re.findall(r"=\[([^\]]*)\]", head)
    oop, ip = (RANGE_OMISSIONS[p] + re.search(rf"^# {p} range: (.*)$", text, re.M)[1]
               for p in ("OOP", "IP"))
    game = Game(value["board"], oop, ip, int(value["pot"]), int(value["eff_stack"]),
                bets={"bet": bets, "raise": raises}, donk="no-donk" not in head,
                add_allin=float(value["add_allin"]), force_allin=float(value["force_allin"]),
                merging=float(value["merging"]))
    lines = {tuple(int(a) for a in line.split()[1:])
             for line in text.splitlines() if line.startswith("add_line ")}
    return game, lines
