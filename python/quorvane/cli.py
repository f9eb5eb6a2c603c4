"""The command line: `python -m quorvane lines SPOT.toml` prints the command script that sets the
spot's game up; `python -m quorvane solve SPOT.toml` solves it and writes the root strategy and
the EVs as JSON."""
import argparse
import contextlib
import json
import sys

from .engine import PLAYERS, Engine
from .errors import EngineError
from .solution import Solver
from .spot import SpotError, load_spot


def lines_command(args):
    spot = load_spot(args.spot)
    oop, ip = spot.game.range_texts()
    print(f"# board {spot.game.board}, pot {spot.game.pot}, stack {spot.game.stack}")
    print(f"# OOP range: {oop}")
    print(f"# IP range: {ip}")
    for line in spot.game.script():
        print(line)


def _progress_bar(total):
    """A tqdm bar on a terminal, else nothing."""
    if not sys.stderr.isatty():
        return contextlib.nullcontext()
    from tqdm import tqdm
    return tqdm(total=total, unit=" iterations", file=sys.stderr)


def solve_command(args):
    spot = load_spot(args.spot)
    accuracy = spot.accuracy if args.accuracy is None else args.accuracy
    with Engine.popen(args.program) as engine:
        solver = Solver(engine, spot.game, args.threads or spot.threads)
        with _progress_bar(spot.max_iterations) as bar:
            def progress(status):
                bar.update(status.iterations - bar.n)
                bar.set_postfix_str(f"exploitability {status.percent:.3f}% (target {accuracy}%)")
            status = solver.solve(accuracy, spot.max_iterations,
                                  progress=None if bar is None else progress)
        root = solver.root()
        strategy = root.strategy()
        report = {
            "board": spot.game.board, "pot": spot.game.pot, "stack": spot.game.stack,
            "iterations": status.iterations, "exploitability_percent": status.percent,
            "ev": status.ev,
            "root": {"player": PLAYERS[root.player], "actions": strategy.actions,
                     "frequencies": strategy.frequencies, "strategy": strategy.by_hand(),
                     "ev": root.ev(root.player).by_hand()},
        }
    json.dump(report, sys.stdout, indent=1)
    print()


def main(argv=None):
    parser = argparse.ArgumentParser(prog="python -m quorvane",
                                     description="Set up and solve spots with the engine.")
    commands = parser.add_subparsers(dest="command", required=True)
    lines = commands.add_parser("lines", help="print the command script that sets a spot up")
    lines.add_argument("spot", help="spot file (TOML)")
    lines.set_defaults(run=lines_command)
    solve = commands.add_parser("solve", help="solve a spot; root strategy and EVs as JSON")
    solve.add_argument("spot", help="spot file (TOML)")
    solve.add_argument("--program", help="the engine program (default: build/quorvane)")
    solve.add_argument("--threads", type=int, help="solver threads (default: the spot's)")
    solve.add_argument("--accuracy", type=float, help="target, percent of the pot")
    solve.set_defaults(run=solve_command)
    args = parser.parse_args(argv)
    try:
        args.run(args)
    except (SpotError, EngineError, OSError) as error:
        print(f"error: {error}", file=sys.stderr)
        return 1
    return 0
