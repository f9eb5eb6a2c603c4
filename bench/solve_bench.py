#!/usr/bin/env python3
"""Solves the benchmark games with 1 and 2 threads and prints the figures that matter to users.

Each run is two fresh processes of the program, driven through its command protocol like a client
(an end string closes every reply):

  convergence run  build the game at a storage compression level, then solve in steps of 10
                   iterations, each followed by an exploitability check (calc_results), until 0.3%
                   of the starting pot: build time, peak resident memory against the storage
                   estimate (the uncompressed size times the level's memory factor), the wall time
                   (checks included) and iterations at which 1%, 0.5% and 0.3% were met with the
                   EVs there, and the milliseconds per iteration over the whole solve (later
                   iterations also accumulate averages), and the processor time (user + system
                   of the program) per iteration (checks included) and to each threshold, which
                   the machine's load affects far less than wall time. The times are the program's
                   own: a round goes out as one batch of commands with a solver_time reading
                   between them, so the driver's pipe round trips (about 40 us each, as long as a
                   whole iteration of the river game) are not counted. --iterations caps the run (memory of big
                   games after a fixed number of iterations).
  speed run        build the game, then a fixed number of iterations without checks: milliseconds
                   per iteration, and the signature = the iteration count and the exploitability
                   after them, which depends only on the solver's arithmetic, never on threads or
                   timing. Quote it in commits that change the solver.

Every figure is the median of --repeat runs (at least 3 for quoted figures). Memory and iteration
counts do not depend on the machine's load; times do: take them on an idle machine. A summary table
closes the output: per game and thread count, milliseconds per iteration, the times to 1%, 0.5% and
0.3%, the speed-up of 2 threads over 1 and the peak memory, each against the reference figures of
../shared/bench/README.md (ratios below 1 are ours being faster or smaller).

Usage: bench/solve_bench.py [--program build/quorvane] [--games DIR] [--repeat 3]
                            [--threads 1,2] [--levels fast] [--runs convergence,speed]
                            [--iterations 2000]
                            [game ...]      (game: river, turn, sflop, flop, flop3b)
       levels: none, low, medium, high, max, fast (or auto)
"""
import argparse
import os
import re
import statistics
import subprocess
import sys

THRESHOLDS = (0.01, 0.005, 0.003)
SPEED_STEPS = {"river": 200, "turn": 40, "sflop": 20, "flop": 10, "flop3b": 4}
DEFAULT_GAMES = ["river", "turn", "sflop", "flop"]
# The reference figures of ../shared/bench/README.md by game and thread count: milliseconds per
# iteration, seconds to 0.3% of the pot, peak memory in MB (32-bit floats).
REFERENCE = {("river", 1): (0.068, 0.005, 4), ("turn", 1): (7.9, 0.63, 11), ("turn", 2): (3.9, 0.315, 11),
             ("sflop", 1): (95, 5.7, 72), ("sflop", 2): (51, 3.06, 72), ("flop", 1): (707, 70.7, 520),
             ("flop", 2): (370, 37.1, 520), ("flop3b", 1): (3114, 475, 2838), ("flop3b", 2): (1700, 248, 2874)}

END = "__bench_end__"
ESTIMATE = re.compile(r"estimated tree size: (\d+) MB")
EXPLOITABLE = re.compile(r"^Exploitable for: (\S+)$", re.M)
EV = re.compile(r"^EV (OOP|IP): (\S+)$", re.M)
# EVs of the converged games (../shared/bench/README.md); flop: the reference solver's at 0.3%.
REFERENCE_EVS = {"river": (48.554, 51.446), "turn": (48.649, 51.351), "flop": (50.985, 49.015)}
# The memory factor of each level by the flop's suit count (1, 2 or 3 suits).
FACTORS = {"none": (1.0, 1.0, 1.0), "low": (0.54, 0.53, 0.51), "medium": (0.41, 0.39, 0.36),
           "high": (0.35, 0.33, 0.32), "max": (0.25, 0.25, 0.24), "fast": (0.68, 0.68, 0.68)}
LEVELS = ["none", "low", "medium", "high", "max", "fast"]
CHECK_EVERY = 10
MAX_ITERATIONS = 2000


def game_pot(path):
    with open(path) as f:
        for line in f:
            if line.startswith("set_pot"):
                return float(line.split()[3])
    raise SystemExit(f"{path}: no set_pot line")


class Session:
    """One program process driven like a client. Every command is followed by an echo of a fresh
    token, and the reply is everything up to that token (script lines answer one by one, so
    counting end strings would not do); end strings are dropped."""

    def __init__(self, program, *options):
        self.process = subprocess.Popen([program, "--suppressok", *options], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True, bufsize=1)
        self.count = 0
        self.ask(f"set_end_string {END}")

    def ask(self, command):
        self.count += 1
        token = f"__reply_{self.count}__"
        self.process.stdin.write(f"{command}\necho {token}\n")
        self.process.stdin.flush()
        lines = []
        for line in self.process.stdout:
            line = line.rstrip("\n")
            if line == token:
                return "\n".join(l for l in lines if l != END)
            lines.append(line)
        raise SystemExit(f"program ended during: {command}")

    def ask_all(self, commands):
        """Sends the commands in one write and gives their replies: the program runs them back to
        back, without waiting for the driver between them."""
        tokens = []
        for command in commands:
            self.count += 1
            tokens.append(f"__reply_{self.count}__")
            self.process.stdin.write(f"{command}\necho {tokens[-1]}\n")
        self.process.stdin.flush()
        replies, lines = [], []
        for line in self.process.stdout:
            line = line.rstrip("\n")
            if line == tokens[len(replies)]:
                replies.append("\n".join(l for l in lines if l != END))
                lines = []
                if len(replies) == len(tokens):
                    return replies
            else:
                lines.append(line)
        raise SystemExit(f"program ended during: {commands}")

    def timed(self, commands):
        """Runs the commands back to back; gives their replies and the program's seconds for each."""
        replies = self.ask_all([c for command in commands for c in ("solver_time", command)] + ["solver_time"])
        stamps = [float(r) for r in replies[0::2]]
        return replies[1::2], [b - a for a, b in zip(stamps, stamps[1:])]

    def seconds(self):
        return float(self.ask("solver_time"))

    def processor_seconds(self):
        """User and system time of the program so far, all its threads."""
        with open(f"/proc/{self.process.pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def close(self):
        """Ends the process; gives its peak resident memory in MB. The peak is read from the
        live process: the rusage figure of a child also counts the pages of the driver that the
        fork copied before the program was executed, about 10 MB of Python."""
        with open(f"/proc/{self.process.pid}/status") as f:
            peak = next(int(line.split()[1]) for line in f if line.startswith("VmHWM:"))
        self.process.stdin.close()
        status = self.process.wait()
        if status != 0:
            raise SystemExit(f"program ended with status {status}")
        return peak / 1024


def build(session, game_file, threads, level):
    session.ask(f"set_compression {level}")
    start = session.seconds()
    session.ask(f'load_script "{game_file}"')
    built = session.seconds()
    estimate = ESTIMATE.search(session.ask("estimate_schematic_tree"))
    actual = LEVELS[int(session.ask("get_actual_compression").split()[-1])]
    session.ask(f"set_threads {threads}")
    session.ask("set_info_freq 1000000")  # the driver measures, the solver loop must not
    return built - start, int(estimate.group(1)) if estimate else -1, actual


def convergence_run(program, game_file, threads, pot, level, cap):
    session = Session(program)
    build_time, estimate, actual = build(session, game_file, threads, level)
    reached = {}
    processor_start = session.processor_seconds()
    iterations = 0
    elapsed = solving = 0.0  # program seconds: rounds, and their iterations without the checks
    percent = float("nan")
    while iterations < cap and len(reached) < len(THRESHOLDS):
        (_, results), (go, check) = session.timed([f"go {CHECK_EVERY} steps block", "calc_results"])
        iterations += CHECK_EVERY
        solving += go
        elapsed += go + check
        percent = float(EXPLOITABLE.search(results).group(1)) / pot * 100
        evs = dict(EV.findall(results))
        processor = session.processor_seconds() - processor_start
        for threshold in THRESHOLDS:
            if threshold not in reached and percent <= threshold * 100:
                reached[threshold] = (elapsed, iterations, float(evs["OOP"]), float(evs["IP"]),
                                      percent * pot / 100, processor)
    peak = session.close()
    return {"build": build_time, "peak": peak, "estimate": estimate, "level": actual, "reached": reached,
            "final": percent, "iterations": iterations, "solve_ms": solving * 1000 / iterations,
            "processor_ms": processor * 1000 / iterations}


def speed_run(program, game_file, threads, steps, level):
    session = Session(program)
    build(session, game_file, threads, level)
    (_, _), (seconds, _) = session.timed([f"go {steps} steps block", "calc_results"])
    exploitability = session.ask("get_value solver_exploitability").split()[-1]
    session.close()
    return {"ms": seconds * 1000 / steps,
            "signature": f"{steps} iterations, exploitability {exploitability}"}


def median(values):
    values = [v for v in values if v == v]
    return statistics.median(values) if values else float("nan")


def flop_suits(game_file):
    with open(game_file) as f:
        for line in f:
            if line.startswith("set_board"):
                board = line.split()[1]
                return len({board[i + 1] for i in range(0, 6, 2)})
    return 3


def report_memory(conv, game_file):
    peak = median([c["peak"] for c in conv])
    estimate = median([c["estimate"] for c in conv])
    level = conv[0]["level"]  # in force: turn and river trees are never compressed
    line = f"  memory at {level}: peak {peak:.1f} MB, estimate {estimate:.0f} MB"
    if estimate > 0:
        factor = FACTORS[level][flop_suits(game_file) - 1]
        line += (f" (uncompressed {estimate / factor:.0f} MB x factor {factor}), "
                 f"peak / estimate {peak / estimate:.2f}")
    print(line)


def report_convergence(game, conv, pot):
    for threshold in THRESHOLDS:
        hits = [c["reached"][threshold] for c in conv if threshold in c["reached"]]
        if len(hits) < len(conv):
            print(f"  {threshold * 100:.1f}%: not reached in every run "
                  f"(final {median([c['final'] for c in conv]):.3f}% after "
                  f"{median([c['iterations'] for c in conv]):.0f} iterations)")
            continue
        oop, ip, chips = (median([h[k] for h in hits]) for k in (2, 3, 4))
        line = (f"  {threshold * 100:.1f}%: {median([h[0] for h in hits]):.4f} s "
                f"(processor {median([h[5] for h in hits]):.2f} s), "
                f"{median([h[1] for h in hits]):.0f} iterations, EV OOP {oop:.3f} IP {ip:.3f}")
        if game in REFERENCE_EVS:
            worst = max(abs(oop - REFERENCE_EVS[game][0]), abs(ip - REFERENCE_EVS[game][1]))
            line += f" ({worst:.3f} from the reference, {'within' if worst <= 2 * chips else 'beyond'} " \
                    f"twice the exploitability {chips:.3f})"
        print(line)


def bench_game(args, game, level):
    """Prints the figures of one game at one level; gives a summary row per thread count."""
    game_file = os.path.join(args.games, f"{game}.txt")
    pot = game_pot(game_file)
    steps = SPEED_STEPS.get(game, 10)
    # The thread counts take turns, run after run: the machine's speed drifts over minutes, and
    # the speed-up compares them.
    conv_runs = {threads: [] for threads in args.threads}
    speed_runs = {threads: [] for threads in args.threads}
    for _ in range(args.repeat):
        for threads in args.threads:
            if "convergence" in args.runs:
                conv_runs[threads].append(convergence_run(args.program, game_file, threads, pot, level,
                                                          args.iterations))
            if "speed" in args.runs:
                speed_runs[threads].append(speed_run(args.program, game_file, threads, steps, level))
    rows = []
    for threads in args.threads:
        conv, speed = conv_runs[threads], speed_runs[threads]
        line = f"{game} level {level} threads {threads}:"
        if conv:
            line += (f" build {median([c['build'] for c in conv]):.2f} s,"
                     f" {median([c['solve_ms'] for c in conv]):.2f} ms/iteration over the whole solve"
                     f" (averaging included; processor {median([c['processor_ms'] for c in conv]):.2f} ms with the checks)")
        if speed:
            line += f" {median([s['ms'] for s in speed]):.2f} ms/iteration in the first {steps}"
        print(line)
        if conv:
            report_memory(conv, game_file)
            report_convergence(game, conv, pot)
        if speed:
            print(f"  signature: {'; '.join(sorted({s['signature'] for s in speed}))}")
        sys.stdout.flush()
        rows.append(summary_row(game, level, threads, conv, speed))
    return rows


def summary_row(game, level, threads, conv, speed):
    def time_to(threshold):
        hits = [c["reached"][threshold][0] for c in conv if threshold in c["reached"]]
        return median(hits) if conv and len(hits) == len(conv) else float("nan")
    return {"game": game, "level": level, "threads": threads,
            "ms": median([s["ms"] for s in speed]) if speed else float("nan"),
            "times": [time_to(t) for t in THRESHOLDS],
            "peak": median([c["peak"] for c in conv]) if conv else float("nan")}


def print_summary(rows):
    """One line per game, level and thread count; x: the ratio to the reference figure."""
    print("\nsummary (medians; x = ours / reference; 2t speed-up = ms/iteration of 1 thread / of 2 threads)")
    print(f"{'game':8} {'level':6} {'thr':>3} {'ms/it':>9} {'x':>5} {'to 1%':>8} {'to 0.5%':>8} {'to 0.3%':>8} "
          f"{'x':>5} {'2t speed-up':>11} {'peak MB':>8} {'x':>5}")
    one_thread = {(r["game"], r["level"]): r["ms"] for r in rows if r["threads"] == 1}
    for r in rows:
        ms_ref, time_ref, peak_ref = REFERENCE.get((r["game"], r["threads"]), (float("nan"),) * 3)
        one = one_thread.get((r["game"], r["level"]), float("nan"))
        speed_up = one / r["ms"] if r["threads"] == 2 else float("nan")
        print(f"{r['game']:8} {r['level']:6} {r['threads']:>3} {r['ms']:>9.3f} {r['ms'] / ms_ref:>5.2f} "
              + " ".join(f"{t:>8.4f}" for t in r["times"])
              + f" {r['times'][-1] / time_ref:>5.2f} {speed_up:>11.2f} {r['peak']:>8.1f} {r['peak'] / peak_ref:>5.2f}")


def argument_parser(description):
    """A parser with the options every benchmark driver shares: the program and the games."""
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--program", default=os.path.join(here, "..", "build", "quorvane"))
    parser.add_argument("--games", default=os.path.join(here, "..", "..", "shared", "bench"))
    parser.add_argument("--repeat", type=int, default=3)
    return parser


def main():
    parser = argument_parser(__doc__.splitlines()[0])
    parser.add_argument("--threads", default="1,2")
    parser.add_argument("--levels", default="fast")
    parser.add_argument("--runs", default="convergence,speed")
    parser.add_argument("--iterations", type=int, default=MAX_ITERATIONS,
                        help="most iterations of a convergence run")
    parser.add_argument("game", nargs="*", default=DEFAULT_GAMES)
    args = parser.parse_args()
    args.threads = [int(t) for t in args.threads.split(",")]
    args.runs = args.runs.split(",")
    rows = []
    for game in args.game:
        for level in args.levels.split(","):
            rows += bench_game(args, game, level)
    print_summary(rows)


if __name__ == "__main__":
    main()
