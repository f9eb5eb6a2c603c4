#!/usr/bin/env python3
"""A shared solve against a local one, on this machine.

The local run solves a game in one process; the shared run starts --workers workers with `spawn`
on loopback, connects them and solves the same game from a master that keeps only the flop. Both
solve to --accuracy of the pot with a report every 10 iterations. Printed for each: the
iterations, the EVs and exploitability (they must agree), the solver's time, and for the shared
run the bytes the master sent and received per iteration (report checks included) and `ping`.
Bytes do not depend on the load of the machine; times need an idle machine.

Usage: bench/workers_bench.py [--program build/quorvane] [--games DIR] [--threads 1]
                              [--workers 2] [--accuracy 0.003] [game]
"""
import os
import re
import subprocess
import sys
import tempfile
import time

from solve_bench import Session, argument_parser

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "python"))
from quorvane.server_process import free_port  # noqa: E402

RESULT = re.compile(r"(EV OOP|EV IP|Exploitable for): ([-\d.]+)")
BYTES = re.compile(r"bytes_(?:sent|received):(\d+)")


def traffic(ports):
    """Bytes the master's connections to the workers have carried both ways, as the kernel
    counts them (ss of iproute2)."""
    total = 0
    for port in ports:
        out = subprocess.run(["ss", "-tinH", "dst", f"127.0.0.1:{port}"], capture_output=True, text=True).stdout
        total += sum(int(n) for n in BYTES.findall(out))
    return total


def spawn_workers(session, count, directory):
    ports = []
    for _ in range(count):
        port = free_port()
        session.ask(f"spawn -s -p {port} -b 127.0.0.1 -e")
        ports.append(port)
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        logs = [n for n in os.listdir(directory) if n.startswith("quorvane_spawned_")]
        texts = [open(os.path.join(directory, n)).read() for n in logs]
        if len(logs) == count and all("Listening to" in t for t in texts):
            return ports
        time.sleep(0.05)
    raise SystemExit("the workers did not start")


def solve(args, game_file, workers):
    directory = tempfile.mkdtemp(prefix="quorvane-workers-bench-")
    os.chdir(directory)
    session = Session(args.program)
    ports = []
    if workers:
        ports = spawn_workers(session, workers, directory)
        answer = session.ask("connect_to_workers " + " ".join(f"127.0.0.1:{p} 1" for p in ports))
        if answer:
            raise SystemExit(answer)
    session.ask(f'load_script "{game_file}"')
    session.ask(f"set_threads {args.threads}")
    session.ask(f"set_accuracy {args.accuracy} fraction")
    session.ask("set_info_freq 10")
    before, start = traffic(ports), session.seconds()
    session.ask("go 0 block")
    seconds, moved = session.seconds() - start, traffic(ports) - before
    results = dict(RESULT.findall(session.ask("calc_results")))
    iterations = int(session.ask("get_value solver_iterations").split()[-1])
    ping = session.ask("ping") if workers else ""
    session.close()
    return iterations, results, seconds, moved / iterations, ping


def main():
    parser = argument_parser(__doc__.splitlines()[0])
    parser.add_argument("--threads", type=int, default=1)
    parser.add_argument("--workers", type=int, default=2)
    parser.add_argument("--accuracy", type=float, default=0.003)
    parser.add_argument("game", nargs="?", default="flop")
    args = parser.parse_args()
    args.program = os.path.abspath(args.program)  # each run works in a directory of its own
    game_file = os.path.abspath(os.path.join(args.games, args.game + ".txt"))
    for label, workers in (("local", 0), (f"{args.workers} workers", args.workers)):
        iterations, results, seconds, per_iteration, ping = solve(args, game_file, workers)
        print(f"{label}: {iterations} iterations, EV OOP {results['EV OOP']}, EV IP {results['EV IP']}, "
              f"exploitability {results['Exploitable for']}, {seconds:.1f} s"
              + (f", {per_iteration / 1e6:.2f} MB per iteration" if workers else ""))
        if ping:
            print(ping)


if __name__ == "__main__":
    main()
