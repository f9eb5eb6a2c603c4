"""Spot files and the command line: documented keys, the printed script against the benchmark
script, the JSON of a solve, and errors that name what is wrong."""
import json
import re

import pytest

from conftest import ROOT, bench_game, benchmark_game
from quorvane import Engine, SpotError, read_spot
from quorvane.cli import main
from quorvane.spot import _GAME_KEYS, _SOLVE_KEYS

README = (ROOT / "python" / "README.md").read_text()


def test_every_spot_key_is_documented_and_the_documented_spot_reads():
    for key in _GAME_KEYS + _SOLVE_KEYS:
        assert re.search(rf"^\| `{key}`", README, re.M) or f"`{key}`" in README, key
    for block in re.findall(r"```toml\n(.*?)```", README, re.S):
        spot = read_spot(block)
        assert spot.game.lines()


def river_spot(tmp_path, **extra):
    game, _ = benchmark_game("river")
    oop, ip = game.range_texts()
    text = (f'board = "{game.board}"\npot = {game.pot}\nstack = {game.stack}\n'
            f'oop_range = "{oop}"\nip_range = "{ip}"\n'
            f'add_allin = {game.add_allin}\nforce_allin = {game.force_allin}\n'
            f'merging = {game.merging}\nthreads = 1\n'
            + "".join(f"{key} = {value}\n" for key, value in extra.items())
            + f'[bets]\nbet = "{game.bets["bet"]}"\nraise = "{game.bets["raise"]}"\n')
    path = tmp_path / "river.toml"
    path.write_text(text)
    return path


def test_the_printed_script_builds_the_benchmark_tree(program, tmp_path, capsys):
    assert main(["lines", str(river_spot(tmp_path))]) == 0
    script = tmp_path / "river.txt"
    script.write_text(capsys.readouterr().out)
    with Engine.popen(program) as printed, Engine.popen(program) as benchmark:
        printed.load_script(script)
        benchmark.load_script(bench_game("river"))
        for query in ("show_all_lines", "show_range OOP", "show_range IP", "show_tree_params"):
            assert printed.command(query) == benchmark.command(query)


def test_solve_writes_the_root_strategy_and_evs(program, tmp_path, capsys, monkeypatch):
    monkeypatch.setattr("sys.stderr.isatty", lambda: True)  # draws the progress bar
    assert main(["solve", str(river_spot(tmp_path, accuracy=1)), "--program", program]) == 0
    captured = capsys.readouterr()
    report = json.loads(captured.out)
    assert report["exploitability_percent"] <= 1 and report["iterations"] > 0
    assert "exploitability" in captured.err
    root = report["root"]
    assert root["player"] == "OOP" and root["actions"] == list(root["frequencies"])
    assert sum(root["frequencies"].values()) == pytest.approx(1, abs=1e-6)
    for hand, strategy in root["strategy"].items():
        assert list(strategy) == root["actions"] and hand in root["ev"]
    assert report["ev"]["OOP"] + report["ev"]["IP"] == pytest.approx(100, abs=0.01)


@pytest.mark.parametrize("text, complaint", [
    ("pot = 100", "missing key 'board'"),
    ('board = "QsJh2h"\npot = 100\nstack = 100\noop_range = "AA"\nip_range = "KK"\nante = 1',
     "unknown key 'ante'"),
    ('board = "QsJh2h"\npot = 100\nstack = 100\noop_range = "AA,KQx"\nip_range = "KK"',
     "'KQx'"),
    ('board = "QsJh2h"\npot = 100\nstack = 100\noop_range = "AA"\nip_range = "KK"\n'
     'bets = { river = { ip = { bet = "50" } } }', "'50'"),
    ('board = "QsJh2h"\npot = 100.5\nstack = 100\noop_range = "AA"\nip_range = "KK"',
     "pot must be a whole number"),
    ('board = "QsJhQs"\npot = 100\nstack = 100\noop_range = "AA"\nip_range = "KK"',
     "bad board"),
    ("board = ", "spot.toml"),
])
def test_bad_spots_name_the_key_or_token(tmp_path, capsys, text, complaint):
    with pytest.raises(SpotError, match=re.escape(complaint)):
        read_spot(text, "spot.toml")
    path = tmp_path / "spot.toml"
    path.write_text(text)
    assert main(["lines", str(path)]) == 1
    assert complaint in capsys.readouterr().err
