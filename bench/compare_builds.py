#!/usr/bin/env python3
"""Compares the processor time of two builds of the program on one game, in a way that a busy or
uneven machine disturbs far less than wall or processor times.

Both builds solve the same game with the same command script, one after the other, several rounds,
under `perf record`. For each run the program's samples are counted per function, and the total is
divided by the samples of a reference set of functions that neither build changed (by default the
regret updates, whose arithmetic is fixed): a slower or faster machine moves both alike, so the ratio
says how much work an iteration costs against that reference. The medians of both builds and their
quotient are printed, and with --functions the same ratio for any functions named on the command line.

The ratio assumes that the machine's speed moves all code alike; memory-bound code suffers more from
a busy neighbour than arithmetic, so quote it beside the wall-clock figures of solve_bench.py on an
idle machine, not instead of them. Needs `perf` (perf record with the cpu-clock event).

Usage: bench/compare_builds.py OLD NEW [--game turn] [--threads 1] [--iterations 200] [--rounds 3]
                               [--reference REGEX] [--functions REGEX ...]
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
GAMES = os.path.join(HERE, "..", "..", "shared", "bench")
SAMPLE = re.compile(r"^\s+[\d.]+%\s+(\d+)\s+\S+\s+(.*)$")


def script(game_file, threads, iterations):
    return "\n".join([f"load_script {game_file}", f"set_threads {threads}", "set_info_freq 1000000",
                      f"go {iterations} steps block", ""])


def samples_by_function(program, commands):
    with tempfile.TemporaryDirectory() as work:
        data = os.path.join(work, "perf.data")
        env = dict(os.environ, OMP_WAIT_POLICY=os.environ.get("OMP_WAIT_POLICY", "passive"))
        subprocess.run(["perf", "record", "-q", "-o", data, program], input=commands, text=True, env=env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        report = subprocess.run(["perf", "report", "-i", data, "--no-children", "--sort", "symbol", "-n"],
                                capture_output=True, text=True, check=True).stdout
    counts = {}
    for line in report.splitlines():
        m = SAMPLE.match(line)
        if m:
            counts[m.group(2).strip()] = counts.get(m.group(2).strip(), 0) + int(m.group(1))
    return counts


def share(counts, pattern):
    return sum(n for name, n in counts.items() if re.search(pattern, name))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("old")
    parser.add_argument("new")
    parser.add_argument("--game", default="turn")
    parser.add_argument("--games", default=GAMES, help="folder of the benchmark games")
    parser.add_argument("--threads", type=int, default=1)
    parser.add_argument("--iterations", type=int, default=200)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--reference", default=r"qv::updateRegrets(16)? ",
                        help="functions both builds share unchanged (a regular expression)")
    parser.add_argument("--functions", nargs="*", default=[], help="more functions to report against the reference")
    args = parser.parse_args()

    game_file = os.path.abspath(os.path.join(args.games, args.game + ".txt"))
    if not os.path.exists(game_file):
        sys.exit(f"no game file {game_file}")
    commands = script(game_file, args.threads, args.iterations)
    patterns = [("all", r".")] + [(f, f) for f in args.functions]
    ratios = {build: {name: [] for name, _ in patterns} for build in ("old", "new")}
    for _ in range(args.rounds):
        for build, program in (("old", args.old), ("new", args.new)):
            counts = samples_by_function(program, commands)
            reference = share(counts, args.reference)
            if reference == 0:
                sys.exit(f"{program}: no samples in {args.reference!r}; choose another --reference")
            for name, pattern in patterns:
                ratios[build][name].append(share(counts, pattern) / reference)

    print(f"{args.game}, {args.threads} thread(s), {args.iterations} iterations, {args.rounds} rounds; "
          f"samples against {args.reference!r} (medians)")
    for name, _ in patterns:
        old = statistics.median(ratios["old"][name])
        new = statistics.median(ratios["new"][name])
        print(f"  {name:40s} old {old:8.3f}  new {new:8.3f}  new/old {new / old:6.3f}")


if __name__ == "__main__":
    main()
