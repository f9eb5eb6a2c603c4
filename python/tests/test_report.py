"""Reports over many flops on Dask, with a tiny spot: the aggregates against the per-flop values,
a batch interrupted and started again, an engine or a worker that dies mid-solve."""
import contextlib
import csv
import json
import os
import re
import signal
import subprocess
import sys
import time

import pytest

from conftest import ROOT, benchmark_game
from quorvane import load_spot
from quorvane.batch import dask_client
from quorvane.cli import main
from quorvane.report import Report

SPOT = """board = "QsJh2h"
pot = 100
stack = 100
oop_range = "AA,KK,QQ,JJ,AKs,AQs,KQs,T9s"
ip_range = "QQ-99,AKo,AQs,KQs,JTs"
bets = { bet = "50%" }
accuracy = 2
threads = 1
"""
FLOPS = 3

# Stands in for the engine program: starts the real engine and passes its input on, except that
# the first engine started dies at its first `go` ("engine"), takes its Dask worker with it
# ("worker"), or, in "hang" mode, every engine but the first never answers (until its input ends).
FAULTY = """#!/usr/bin/python3
import os, signal, subprocess, sys
ENGINE, MARK, MODE = {engine!r}, {mark!r}, {mode!r}
try:
    os.mkdir(MARK)
    first = True
except FileExistsError:
    first = False
if MODE == "hang" and not first:
    sys.stdin.buffer.read()
    sys.exit(0)
engine = subprocess.Popen([ENGINE, *sys.argv[1:]], stdin=subprocess.PIPE)
for line in sys.stdin.buffer:
    engine.stdin.write(line)
    engine.stdin.flush()
    if first and MODE != "hang" and line.startswith(b"go "):
        if MODE == "worker":
            os.kill(os.getppid(), signal.SIGKILL)
        engine.kill()
        break
engine.stdin.close()
sys.exit(engine.wait())
"""


def group_alive(group, deadline):
    """Whether a process of the group is still there at the deadline."""
    while time.monotonic() < deadline:
        try:
            os.killpg(group, 0)
        except ProcessLookupError:
            return False
        time.sleep(0.2)
    return True


def faulty_program(directory, program, mode):
    path = directory / f"{mode}.py"
    path.write_text(FAULTY.format(engine=program, mark=str(directory / f"{mode}.started"),
                                  mode=mode))
    path.chmod(0o755)
    return str(path)


@pytest.fixture(scope="module")
def spot_file(tmp_path_factory):
    path = tmp_path_factory.mktemp("spot") / "tiny.toml"
    path.write_text(SPOT)
    return path


@pytest.fixture(scope="module")
def client():
    with dask_client(workers=2) as started:
        yield started


@pytest.fixture(scope="module")
def clean(program, spot_file, client, tmp_path_factory):
    """A batch solved without faults, its report written: (the report, its directory)."""
    report = Report(load_spot(spot_file), FLOPS, tmp_path_factory.mktemp("clean"))
    assert report.solve(client, program) == {}
    report.write()
    return report, report.directory


def results_of(directory):
    return {path.stem: json.loads(path.read_text()) for path in (directory / "flops").glob("*.json")}


def test_aggregates_are_the_weighted_sums_of_the_flops(clean):
    report, directory = clean
    with open(directory / "flops.csv", newline="") as file:
        rows = list(csv.DictReader(file))
    summary = json.loads((directory / "categories.json").read_text())
    results = results_of(directory)
    actions = summary["actions"]
    assert [row["flop"] for row in rows] == report.flops and set(results) == set(report.flops)
    weights = {row["flop"]: float(row["weight"]) for row in rows}
    assert sum(weights.values()) == pytest.approx(22100)
    for kind, per_flop in [("frequencies", action) for action in actions] + [
            (kind, player) for kind in ("ev", "equity") for player in ("OOP", "IP")]:
        assert summary["overall"][kind][per_flop] == pytest.approx(
            sum(weights[f] * results[f][kind][per_flop] for f in weights) / 22100)
        column = per_flop if kind == "frequencies" else f"{kind}_{per_flop.lower()}"
        assert [float(row[column]) for row in rows] == [results[f][kind][per_flop] for f in weights]
    # the categories split the range: recombined, they give the root frequencies, flop by flop
    # as the engine answered them and over all flops
    breakdowns = [(result["categories"][kind], result["frequencies"])
                  for result in results.values() for kind in ("made", "draw")]
    breakdowns += [(summary[kind], summary["overall"]["frequencies"]) for kind in ("made", "draw")]
    for categories, frequencies in breakdowns:
        assert sum(entry["share"] for entry in categories.values()) == pytest.approx(1)
        for action in actions:
            assert sum(entry["share"] * entry["frequencies"].get(action, 0)
                       for entry in categories.values()) == pytest.approx(frequencies[action])
    page = (directory / "report.html").read_text()
    assert page.count("data:image/png;base64,") == 3


def test_an_interrupted_batch_goes_on_where_it_stopped(program, spot_file, client, clean,
                                                       tmp_path):
    out = tmp_path / "out"
    hanging = faulty_program(tmp_path, program, "hang")
    command = [sys.executable, "-m", "quorvane", "report", str(spot_file), "--flops", str(FLOPS),
               "--out", str(out), "--program", hanging]
    batch = subprocess.Popen(command, cwd=ROOT, start_new_session=True, stderr=subprocess.PIPE,
                             text=True, env=dict(os.environ, PYTHONPATH=str(ROOT / "python")))
    try:
        deadline = time.monotonic() + 120
        while not list(out.glob("flops/*.json")) and time.monotonic() < deadline:
            time.sleep(0.2)
        batch.send_signal(signal.SIGINT)
        _, errors = batch.communicate(timeout=120)
        left_behind = group_alive(batch.pid, time.monotonic() + 30)
    finally:
        with contextlib.suppress(ProcessLookupError):
            os.killpg(batch.pid, signal.SIGKILL)
    assert batch.returncode == 1 and "interrupted" in errors, errors
    assert not left_behind  # its workers and engines ended with it
    kept = {path.name: path.stat() for path in out.glob("flops/*.json")}
    assert len(kept) == 1
    report = Report(load_spot(spot_file), FLOPS, out)
    assert len(report.pending()) == FLOPS - 1
    assert report.solve(client, program) == {}
    report.write()
    for name, before in kept.items():  # not solved again: the very same file
        after = (out / "flops" / name).stat()
        assert (after.st_ino, after.st_mtime_ns) == (before.st_ino, before.st_mtime_ns)
    assert results_of(out) == results_of(clean[1])
    assert (out / "flops.csv").read_text() == (clean[1] / "flops.csv").read_text()
    assert not list(out.glob("**/*.tmp"))


@pytest.mark.parametrize("mode", ["engine", "worker"])
def test_a_flop_whose_engine_or_worker_dies_is_solved_again(program, spot_file, client, clean,
                                                            tmp_path, mode):
    report = Report(load_spot(spot_file), FLOPS, tmp_path / "out")
    assert report.solve(client, faulty_program(tmp_path, program, mode)) == {}
    assert (tmp_path / f"{mode}.started").exists()
    assert results_of(report.directory) == results_of(clean[1])


def test_the_command_line_on_a_running_scheduler(program, spot_file, client, tmp_path, capsys,
                                                monkeypatch):
    monkeypatch.setattr("sys.stderr.isatty", lambda: True)  # draws the progress bar
    command = ["report", str(spot_file), "--flops", "2", "--out", str(tmp_path / "out"),
               "--scheduler", client.scheduler.address, "--program", program]
    assert main(command) == 0
    errors = capsys.readouterr().err
    assert "2/2" in errors and "2 flops, 2 solved now" in errors
    assert main(command) == 0  # nothing left to solve
    assert "2 flops, 0 solved now" in capsys.readouterr().err
    other = tmp_path / "other.toml"
    other.write_text(SPOT.replace("accuracy = 2", "accuracy = 1"))
    for replaced, complaint in [
            ({str(spot_file): str(other)}, "holds the results of another spot"),
            ({"2": "0"}, "at least 1"),
            ({client.scheduler.address: "tcp//nowhere", str(tmp_path / "out"): str(tmp_path)},
             "cannot use the Dask scheduler")]:
        bad = [replaced.get(argument, argument) for argument in command]
        assert main(bad) == 1
        assert complaint in capsys.readouterr().err


def test_the_flop_benchmark_spot_is_the_benchmark_game():
    game, lines = benchmark_game("flop")
    spot = load_spot(ROOT / "examples" / "flop_bench.toml")
    assert {tuple(line) for line in spot.game.lines()} == lines
    assert all((ours == theirs).all() for ours, theirs in zip(spot.game.ranges(), game.ranges()))
    assert re.sub(r"\s", "", spot.game.board) == game.board and spot.accuracy == 1
