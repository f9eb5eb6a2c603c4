#!/usr/bin/env python3
"""Memory that dropping a street saves, and the time to solve one of its subgames again.

For each game, one fresh process per street: build, solve --iterations, then `forget rivers` (or
`forget turns`). Printed: the resident memory of the live process before and after (VmRSS), and
the stores released as the program counts them. Resident memory does not depend on the load of
the machine.

Then, on the flop game only, with the rivers (then the turns) dropped: the time of `solve_partial`
on one river subgame and on one turn subgame, at the recalculation accuracy --accuracy (a fraction
of the starting pot, for every street), as the program's own report gives it, median of --repeat
processes. Times need an idle machine.

Usage: bench/resolve_bench.py [--program build/quorvane] [--games DIR] [--threads 2]
                              [--iterations 10] [--accuracy 0.003] [--level fast]
                              [--repeat 3] [game ...]
"""
import os
import re
import statistics

from solve_bench import Session, argument_parser, build

RELEASED = re.compile(r"\[stores released ([\d.]+) MB\]")
SUBGAME_TIME = re.compile(r"\[SolveSubgame: ([\d.e+-]+)ms\]")
# First decisions of a river and of a turn subgame of the flop game: checks down to them.
SUBGAMES = {"river": ("rivers", "r:0:c:c:7d:c:c:4s"), "turn": ("turns", "r:0:c:c:7d")}


def resident_mb(session):
    with open(f"/proc/{session.process.pid}/status") as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmRSS:")) / 1024


def solved_session(args, game_file):
    session = Session(args.program, "-v")
    build(session, game_file, args.threads, args.level)
    session.ask(f"go {args.iterations} steps block")
    return session


def forget_memory(args, game_file, street):
    session = solved_session(args, game_file)
    before = resident_mb(session)
    released = float(RELEASED.search(session.ask(f"forget {street}")).group(1))
    after = resident_mb(session)
    session.close()
    return before, after, released


def resolve_time(args, game_file, street, path):
    session = solved_session(args, game_file)
    session.ask(f"forget {street}")
    session.ask(f"set_recalc_accuracy {args.accuracy} {args.accuracy} {args.accuracy}")
    milliseconds = float(SUBGAME_TIME.search(session.ask(f"solve_partial {path}")).group(1))
    session.close()
    return milliseconds


def main():
    parser = argument_parser(__doc__.splitlines()[0])
    parser.add_argument("--threads", type=int, default=2)
    parser.add_argument("--iterations", type=int, default=10)
    parser.add_argument("--accuracy", type=float, default=0.003)
    parser.add_argument("--level", default="fast", help="storage compression level")
    parser.add_argument("game", nargs="*", default=["flop", "flop3b"])
    args = parser.parse_args()
    for game in args.game:
        game_file = os.path.join(args.games, f"{game}.txt")
        for street in ("rivers", "turns"):
            before, after, released = forget_memory(args, game_file, street)
            print(f"{game} forget {street}: resident {before:.0f} -> {after:.0f} MB "
                  f"({after - before:+.0f} MB), stores released {released:.0f} MB", flush=True)
        if game != "flop":
            continue
        for kind, (street, path) in SUBGAMES.items():
            times = [resolve_time(args, game_file, street, path) for _ in range(args.repeat)]
            print(f"{game} re-solve one {kind} subgame ({path}, {args.threads} threads, accuracy "
                  f"{args.accuracy * 100:g}% of the pot): {statistics.median(times):.1f} ms", flush=True)


if __name__ == "__main__":
    main()
