#!/usr/bin/env python3
"""Server-mode figures over one loopback connection:

  round trips  --commands is_ready commands (10,000), each sent when the reply to the one before
               has arrived: round trips per second (the aim is at least 20,000);
  file frame   a --file-mb MB file (100) sent as a type-3 frame with the command is_ready, timed
               from its first byte until the reply frame has arrived: seconds and MB/s.

The server's console goes to a file, as behind a front end. Every figure is the median of
--repeat runs, each with a fresh server. These are timings: run them on an otherwise idle machine.

Usage: /usr/bin/python3 bench/server_bench.py [--program build/quorvane] [--repeat 3]
                                               [--commands 10000] [--file-mb 100]
"""
import argparse
import os
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "python"))

from quorvane.server_process import LocalServer  # noqa: E402


def round_trips_per_second(program, commands):
    with LocalServer(program) as server, server.connect() as client:
        client.request("is_ready")  # connection and first-command costs stay out of the figure
        start = time.perf_counter()
        for _ in range(commands):
            if client.request("is_ready") != "is_ready ok!\n":
                raise SystemExit("unexpected reply")
        return commands / (time.perf_counter() - start)


def file_frame_seconds(program, path):
    with LocalServer(program) as server, server.connect() as client:
        client.request("is_ready")
        start = time.perf_counter()
        client.send_file(path, "is_ready")
        if client.read_reply()[0].text != "is_ready ok!\n":
            raise SystemExit("unexpected reply")
        seconds = time.perf_counter() - start
        if os.path.getsize(server.path("quorvane_temp")) != os.path.getsize(path):
            raise SystemExit("the file arrived incomplete")
        return seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", default="build/quorvane")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--commands", type=int, default=10000)
    parser.add_argument("--file-mb", type=int, default=100)
    args = parser.parse_args()
    program = os.path.abspath(args.program)

    rates = [round_trips_per_second(program, args.commands) for _ in range(args.repeat)]
    print(f"is_ready round trips: {statistics.median(rates):,.0f} per second "
          f"({args.commands} commands, median of {args.repeat})")

    with tempfile.NamedTemporaryFile(prefix="quorvane-bench-") as content:
        block = os.urandom(1 << 20)
        for _ in range(args.file_mb):
            content.write(block)
        content.flush()
        seconds = statistics.median(file_frame_seconds(program, content.name) for _ in range(args.repeat))
    print(f"{args.file_mb} MB file frame: {seconds:.3f} s ({args.file_mb / seconds:,.0f} MB/s, median of {args.repeat})")


if __name__ == "__main__":
    main()
