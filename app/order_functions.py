#!/usr/bin/env python3
"""Writes app/function_order.txt: the functions of the program that a solving session runs, the
busiest first. The link places them side by side at the start of the program text. The kernel maps
a program's text in windows of 64 KB around each page that runs, so with the running functions
spread among the others the whole text is resident (1.2 MB); clustered, the rest is never mapped.

The session (run under callgrind) drives the program as the benchmark driver and a client do:
start-up, then the river, turn and small flop benchmark games built, solved for a few rounds with
2 threads and queried. Functions missing from the list still link, further back; run this again
after large changes to the solver or the protocol layer.

Usage: app/order_functions.py [--program build/quorvane] [--games DIR]
"""
import argparse
import os
import re
import subprocess
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GAMES = ("river", "turn", "sflop")
QUERIES = ["calc_results", "show_node r:0", "show_strategy r:0", "calc_ev OOP r:0", "show_range OOP r:0"]


def session(games_dir, rounds=2, steps=5):
    commands = []
    for game in GAMES:
        commands += ["set_compression fast", f'load_script "{os.path.join(games_dir, game + ".txt")}"',
                     "estimate_schematic_tree", "get_actual_compression", "set_threads 2", "set_info_freq 1000000"]
        for _ in range(rounds):
            commands += ["solver_time", f"go {steps} steps block", "solver_time", "calc_results", "echo round"]
        commands += QUERIES
    return "".join(command + "\n" for command in commands + ["exit"])


# The wait policy that the program's restart gives the solving process, with a short spin count:
# callgrind runs one thread at a time, and a thread that polls holds the others up.
SOLVER_ENVIRONMENT = dict(os.environ, OMP_WAIT_POLICY="passive", GOMP_SPINCOUNT="5000")


def executed_functions(program, commands):
    """Mangled names of the program's own functions that ran, by their own instruction counts.
    Callgrind runs one thread at a time, so paths that only contention takes never show there."""
    with tempfile.TemporaryDirectory() as work:
        out = os.path.join(work, "callgrind.out")
        env = SOLVER_ENVIRONMENT
        subprocess.run(["valgrind", "--tool=callgrind", "--demangle=no", f"--callgrind-out-file={out}", program],
                       input=commands, text=True, env=env, check=True, capture_output=True)
        objects, names, costs = {}, {}, {}
        current_object = current_function = None
        after_call = False  # the cost line after "calls=" is the callee's, not the function's own
        for line in open(out):
            match = re.match(r"^(c?ob|c?fn)=\((\d+)\)(?: (.*))?", line)
            if match:
                kind, number, name = match.groups()
                table = objects if kind.endswith("ob") else names
                if name:
                    table[number] = name.strip()
                if kind == "ob":
                    current_object = objects[number]
                elif kind == "fn":
                    ours = current_object.endswith(os.path.basename(program))
                    current_function = names[number] if ours else None
                continue
            if line.startswith("calls="):
                after_call = True
            elif line[:1] and line[0] in "+-*0123456789":
                if current_function and not after_call:
                    costs[current_function] = costs.get(current_function, 0) + int(line.split()[1])
                after_call = False
        return sorted(costs, key=lambda name: -costs[name])


def sampled_functions(program, commands):
    """Mangled names of the program's own functions that a native run was found in, by sampling
    often: the waits and retries of two threads at full speed."""
    with tempfile.TemporaryDirectory() as work:
        data = os.path.join(work, "perf.data")
        subprocess.run(["perf", "record", "-q", "-e", "cpu-clock", "-F", "20000", "-o", data, program],
                       input=commands, text=True, env=SOLVER_ENVIRONMENT, check=True, capture_output=True)
        report = subprocess.run(["perf", "report", "-i", data, "--no-demangle", "--stdio", "--sort", "dso,sym"],
                                text=True, check=True, capture_output=True).stdout
    name = os.path.basename(program)
    return [line.split("] ", 1)[1].strip() for line in report.splitlines()
            if f" {name} " in line and "[.] " in line]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", default=os.path.join(ROOT, "build", "quorvane"))
    parser.add_argument("--games", default=os.path.join(ROOT, "..", "shared", "bench"))
    args = parser.parse_args()
    functions = executed_functions(args.program, session(args.games))
    # Sampled over a longer solve: the rarer waits show up only now and then.
    sampled = sampled_functions(args.program, session(args.games, rounds=10, steps=10))
    functions += [name for name in sampled if name not in set(functions)]
    with open(os.path.join(ROOT, "app", "function_order.txt"), "w") as f:
        f.write("".join(name + "\n" for name in functions))
    print(f"{len(functions)} functions")


if __name__ == "__main__":
    main()
