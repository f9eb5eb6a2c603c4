#!/usr/bin/env python3
"""File size and the time and memory of saving and loading a solved tree.

For each game and compression level: one process builds the game, solves --iterations with
--threads and saves the tree (peak resident memory of the solve, then of the save, and the time of
`dump_tree`); a fresh process loads the file (its peak resident memory and the time of
`load_tree`). Times are the program's own `solver_time` around the command, median of --repeat
runs, and need an idle machine; sizes and memory do not.

Usage: bench/tree_file_bench.py [--program build/quorvane] [--games DIR] [--threads 2]
                                [--iterations 20] [--levels fast,max] [--repeat 3] [game ...]
"""
import os
import statistics
import tempfile

from solve_bench import Session, argument_parser, build


def peak_mb(session):
    with open(f"/proc/{session.process.pid}/status") as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmHWM:")) / 1024


def timed(session, command):
    start = session.seconds()
    reply = session.ask(command)
    if "ERROR" in reply:
        raise SystemExit(f"{command}: {reply}")
    return session.seconds() - start


def save_run(args, game_file, level, path):
    session = Session(args.program)
    build(session, game_file, args.threads, level)
    session.ask(f"go {args.iterations} steps block")
    solved = peak_mb(session)
    seconds = timed(session, f'dump_tree "{path}"')
    saved = peak_mb(session)
    session.close()
    return solved, saved, seconds


def load_run(args, path):
    session = Session(args.program)
    seconds = timed(session, f'load_tree "{path}"')
    return session.close(), seconds


def main():
    parser = argument_parser(__doc__.splitlines()[0])
    parser.add_argument("--threads", type=int, default=2)
    parser.add_argument("--iterations", type=int, default=20)
    parser.add_argument("--levels", default="fast,max")
    parser.add_argument("game", nargs="*", default=["flop", "flop3b"])
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        for game in args.game:
            game_file = os.path.join(args.games, f"{game}.txt")
            for level in args.levels.split(","):
                path = os.path.join(folder, f"{game}_{level}.tree")
                saves = [save_run(args, game_file, level, path) for _ in range(args.repeat)]
                loads = [load_run(args, path) for _ in range(args.repeat)]
                solved, saved = max(s[0] for s in saves), max(s[1] for s in saves)
                print(f"{game} {level}: file {os.path.getsize(path) / 1e6:.2f} MB; solve peak {solved:.0f} MB, "
                      f"with the save {saved:.0f} MB, save {statistics.median(s[2] for s in saves):.2f} s; "
                      f"load peak {max(l[0] for l in loads):.0f} MB, "
                      f"load {statistics.median(l[1] for l in loads):.2f} s", flush=True)


if __name__ == "__main__":
    main()
