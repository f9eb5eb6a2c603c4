"""The command line: `python -m quorvane lines SPOT.toml` prints the command script that sets the
spot's game up; `python -m quorvane solve SPOT.toml` solves it and writes the root strategy and
the EVs as JSON; `python -m quorvane viewer` serves the browser viewer; `python -m quorvane
report SPOT.toml --flops N --out DIR` solves it on N flops on Dask and writes an aggregated report."""
import argparse
import contextlib
import json
import pathlib
import sys

from .batch_store import BatchError
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


def _progress_bar(total, unit=" iterations", initial=0):
    """A tqdm bar on a terminal, else nothing."""
    if not sys.stderr.isatty():
        return contextlib.nullcontext()
    from tqdm import tqdm
    return tqdm(total=total, unit=unit, initial=initial, file=sys.stderr)


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


def viewer_command(args):
    from .viewer import serve
    serve(args.host, args.port, args.program)


def report_command(args):
    try:  # only reports need Dask and matplotlib
        from .batch import dask_client
        from .report import Report
    except ImportError as error:
        raise BatchError(f"reports need Debian's python3-dask, python3-distributed and "
                         f"python3-matplotlib: {error}") from None
    if args.flops < 1 or args.workers < 1:
        raise BatchError("--flops and --workers must be at least 1")
    report = Report(load_spot(args.spot), args.flops, args.out, pathlib.Path(args.spot).name)
    pending = report.pending()
    failed = {}
    if pending:
        try:
            with _progress_bar(len(report.flops), "flop", len(report.flops) - len(pending)) \
                    as bar, dask_client(args.scheduler, args.workers) as client:
                failed = report.solve(client, args.program,
                                      None if bar is None else lambda flop: bar.update())
        except KeyboardInterrupt:
            raise BatchError(f"interrupted; the flops solved so far are kept in {args.out}: run "
                             "the same command again to go on") from None
    report.write()
    print(f"{len(report.flops)} flops, {len(pending) - len(failed)} solved now; report in "
          f"{pathlib.Path(args.out) / 'report.html'}", file=sys.stderr)
    if failed:
        raise BatchError(f"{len(failed)} flops failed (run again to retry them): " + "; ".join(
            f"{flop}: {error}" for flop, error in failed.items()))


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
    viewer = commands.add_parser("viewer", help="serve the browser viewer on this machine")
    viewer.add_argument("--port", type=int, default=8250, help="port (default 8250; 0: any free)")
    viewer.add_argument("--host", default="127.0.0.1", help="address (default 127.0.0.1)")
    viewer.add_argument("--program", help="the engine program (default: build/quorvane)")
    viewer.set_defaults(run=viewer_command)
    report = commands.add_parser("report", help="solve a spot on many flops on Dask and write "
                                 "an aggregated report")
    report.add_argument("spot", help="spot file (TOML); its board is not used")
    report.add_argument("--flops", type=int, required=True,
                        help="how many flops (1,755 or more: all of them)")
    report.add_argument("--out", required=True, help="directory of the results and the report")
    report.add_argument("--scheduler", help="a running Dask scheduler (tcp://host:port); "
                        "default: a local cluster")
    report.add_argument("--workers", type=int, default=2, help="local workers (default 2)")
    report.add_argument("--program", help="the engine program (default: build/quorvane)")
    report.set_defaults(run=report_command)
    args = parser.parse_args(argv)
    try:
        args.run(args)
    except (SpotError, EngineError, BatchError, OSError) as error:
        print(f"error: {error}", file=sys.stderr)
        return 1
    return 0
