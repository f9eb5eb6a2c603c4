"""Shared solves over loopback: a master reading standard input, with worker servers, or with fake
workers that record what the master sends them.

Run by ctest as: /usr/bin/python3 workers_test.py PROGRAM TESTCASE
"""

import os
import signal
import socket
import sys
import threading
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "python"))
sys.path.insert(0, os.path.join(HERE, ".."))

from quorvane import COMBO_NAMES  # noqa: E402
from quorvane.framing import REPLY, encode_frame, read_frame  # noqa: E402
from quorvane.server_process import LocalServer, free_port  # noqa: E402
import program_session  # noqa: E402
from program_session import PipeSession  # noqa: E402

PROGRAM = None  # set from the command line
WAIT_SECONDS = 120  # sanitizer builds are slow


def wait_until(condition, what):
    program_session.wait_until(condition, what, WAIT_SECONDS)


def Master():
    """The program on standard input in a fresh folder."""
    return PipeSession(PROGRAM, WAIT_SECONDS)


def read_text(path):
    with open(path, "rb") as f:
        return f.read().decode("utf-8", "replace")


def small_game():
    """A flop game that solves in a fraction of a second: broadway hands and a few lines."""
    weights = " ".join("1" if name[0] in "TJQKA" and name[2] in "TJQKA" else "0" for name in COMBO_NAMES)
    return ["set_range OOP " + weights, "set_range IP " + weights, "set_board Ks7d2c", "set_pot 0 0 100",
            "add_line 0 0 0 0 0 0", "add_line 0 0 0 0 0 50 50", "add_line 0 0 0 50 50 50 50",
            "add_line 0 0 50 50 50 50", "add_line 50 50 50 50 50 50", "add_line 50 150 150 150 150 150 150",
            "add_line 0 0 0 50 150 150", "build_tree", "set_info_freq 10"]


# Queries whose answers read strategies of every street: turn and river nodes are held by workers.
QUERIES = ["calc_results", "show_strategy r:0:c:c:Ah", "show_strategy r:0:c:c:Ah:c:b50",
           "show_strategy r:0:c:c:Ah:c:c:5s", "calc_ev OOP r:0", "calc_ev OOP r:0:c:c:Ah",
           "calc_ev IP r:0:c:c:Ah:c:c:5s", "show_range IP r:0:c:c:Ah:c:c:5s:c", "show_stats"]


def workers_line(*servers, weights=None):
    weights = weights or [1] * len(servers)
    return "connect_to_workers " + " ".join(f"127.0.0.1:{s.port} {w}" for s, w in zip(servers, weights))


class FakeWorker:
    """Accepts one master and answers each frame with the ok line of its command word, keeping the
    texts in order. A command word in `held` is answered only once release() is called."""

    def __init__(self, port=None, held=()):
        self.listener = socket.create_server(("127.0.0.1", port or 0))
        self.port = self.listener.getsockname()[1]
        self.texts = []
        self.held = set(held)
        self.release_event = threading.Event()
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def _serve(self):
        conn, _ = self.listener.accept()
        reader = conn.makefile("rb")

        def read_exactly(n):
            data = reader.read(n)
            if len(data) < n:
                raise EOFError
            return data
        try:
            while True:
                _, _, text = read_frame(read_exactly)
                text = text.decode()
                if not text.startswith("echo --mark"):
                    self.texts.append(text)
                word = text.split()[0]
                if word in self.held:
                    self.release_event.wait(WAIT_SECONDS)
                conn.sendall(encode_frame(REPLY, (word + " ok!\n").encode()))
        except (EOFError, OSError):
            conn.close()

    def release(self):
        self.release_event.set()

    def close(self):
        self.listener.close()


class SharedSolveTest(unittest.TestCase):
    def test_two_workers_solve_as_this_process_alone_and_queries_read_their_strategies(self):
        alone = Master()
        try:
            alone.ask(*small_game(), "go 30 steps block")
            expected = alone.ask(*QUERIES)
        finally:
            alone.close()
        with LocalServer(PROGRAM) as first, LocalServer(PROGRAM) as second:
            master = Master()
            try:
                solved = master.ask(workers_line(first, second, weights=[1, 2]), *small_game(), "go 30 steps block")
                answered = master.ask(*QUERIES)
                self.assertEqual(master.ask("forget rivers"), "ERROR: forget not available in a shared solve\n")
            finally:
                master.close()
            for server in (first, second):
                self.assertIn("> get_worker_strategy", server.console())
                self.assertNotIn("> traverse_subgames", server.console())
        self.assertNotIn("ERROR", solved + answered)
        # The solves themselves are not compared: how many progress reports they print depends on
        # the clock (reports are spaced in time), not on the results.
        self.assertEqual(answered.splitlines(), expected.splitlines())


class MasterCase(unittest.TestCase):
    def setUp(self):
        self.master = Master()

    def tearDown(self):
        self.master.close()


class MirroringTest(MasterCase):
    def test_init_worker_texts_carry_every_weight_and_a_worker_must_be_listening(self):
        self.assertEqual(self.master.ask(f"connect_to_workers 127.0.0.1:{free_port()} 1"),
                         "ERROR: connect_to_workers can't connect\n")
        fakes = [FakeWorker(), FakeWorker()]
        self.assertEqual(self.master.ask(workers_line(*fakes, weights=[1, 3])), "connect_to_workers ok!\n")
        self.assertEqual(fakes[0].texts, ["init_worker 0 1.000000 3.000000"])
        self.assertEqual(fakes[1].texts, ["init_worker 1 1.000000 3.000000"])

    def test_lines_reach_the_workers_before_the_master_runs_them_and_local_ones_stay(self):
        fake = FakeWorker(held=["set_pot"])
        self.master.ask(workers_line(fake))
        self.master.send("set_pot 0 0 50")
        wait_until(lambda: "set_pot 0 0 50" in fake.texts, "the mirrored line")
        time.sleep(0.2)
        self.assertNotIn("set_pot ok!", self.master.output())
        fake.release()
        wait_until(lambda: "set_pot ok!" in self.master.output(), "the master's own run")
        script = os.path.join(self.master.dir, "lines.txt")
        with open(script, "w") as f:
            f.write("set_pot 0 0 70\nshow_range OOP r:0\n")
        table = self.master.ask("show_strategy r:0", "load_script lines.txt", "ping", "echo after")
        self.assertRegex(table, r"id   host                 port     time \(avg of 10\)\n"
                                r"0    127\.0\.0\.1            \d+ +\d+\.\dms\n"
                                r"\*    multicast            \*        \d+\.\dms\nEND\n")
        words = [text.split()[0] for text in fake.texts]
        self.assertEqual(fake.texts[1:3], ["set_pot 0 0 50", "set_pot 0 0 70"])
        self.assertNotIn("show_strategy", words)
        self.assertNotIn("show_range", words)
        self.assertNotIn("load_script", words)
        # ping itself is not mirrored: the worker sees only its ten single and ten multicast rounds.
        self.assertEqual(words.count("ping"), 20)
        self.assertEqual(words[-1], "echo")

    def test_an_address_without_a_port_is_port_5251(self):
        try:
            fake = FakeWorker(port=5251)
        except OSError:
            self.skipTest("port 5251 is taken")
        self.assertEqual(self.master.ask("connect_to_workers 127.0.0.1 1"), "connect_to_workers ok!\n")
        self.assertEqual(fake.texts, ["init_worker 0 1.000000"])
        fake.close()


class FaultTest(MasterCase):
    def test_a_worker_killed_mid_solve_stops_it_and_a_new_connection_lets_it_go_on(self):
        with LocalServer(PROGRAM) as first, LocalServer(PROGRAM) as second:
            self.master.ask(workers_line(first, second), *small_game(), "go")
            wait_until(lambda: "EV OOP" in self.master.output(), "a first report")
            second.process.kill()
            name = f"worker 1 (127.0.0.1:{second.port})"
            wait_until(lambda: "SOLVER: stopped" in self.master.output(), "the solver to stop")
            self.assertIn(f"SOLVER: stopped ({name} disconnected)", self.master.output())
            self.assertEqual(self.master.ask("is_ready"), "is_ready ok!\n")
            self.assertEqual(self.master.ask("calc_results"), f"ERROR: calc_results {name} disconnected\n")
            self.master.ask(workers_line(first), "go 20 steps")
            wait_until(lambda: "required number of steps done" in self.master.output(), "the solve to go on")
            # A worker that went away between requests fails the next one as soon as it is made.
            first.process.kill()
            first.process.wait()
            time.sleep(0.3)
            self.assertEqual(self.master.ask("calc_results"),
                             f"ERROR: calc_results worker 0 (127.0.0.1:{first.port}) disconnected\n")

    def test_a_worker_that_stops_answering_fails_within_the_time_out(self):
        with LocalServer(PROGRAM) as worker:
            self.master.ask(workers_line(worker), *small_game(), "set_value worker_timeout 1")
            os.kill(worker.process.pid, signal.SIGSTOP)
            try:
                answer = self.master.ask("calc_results")
            finally:
                os.kill(worker.process.pid, signal.SIGCONT)
            self.assertEqual(answer, f"ERROR: calc_results worker 0 (127.0.0.1:{worker.port}) did not answer "
                                     "within 1 seconds\n")
            self.assertEqual(self.master.ask("is_ready"), "is_ready ok!\n")

    def test_a_worker_connected_to_a_built_tree_is_refused_and_one_connected_first_gets_the_game(self):
        with LocalServer(PROGRAM) as worker:
            self.master.ask(*small_game())
            self.assertEqual(self.master.ask(workers_line(worker)),
                             f"ERROR: connect_to_workers worker 0 (127.0.0.1:{worker.port}) has no tree: "
                             "connect workers before building the tree\n")
            alone = self.master.ask("go 2 steps block", "calc_results")
            self.assertNotIn("ERROR", alone)
            self.assertIn("Exploitable for", alone)
            shared = self.master.ask("free_tree", workers_line(worker), *small_game(), "go 2 steps block",
                                     "calc_results")
            self.assertNotIn("ERROR", shared)
            self.assertIn("> build_tree\n< build_tree ok!", worker.console())

    def test_spawned_workers_end_with_the_master(self):
        port = free_port()
        self.master.ask(f"spawn -s -p {port} -b 127.0.0.1")
        logs = []
        wait_until(lambda: logs.extend(n for n in os.listdir(self.master.dir) if n.startswith("quorvane_spawned_"))
                   or logs, "the spawned worker's log")
        child = int(logs[0][len("quorvane_spawned_"):-len(".log")])
        wait_until(lambda: "Listening to" in read_text(os.path.join(self.master.dir, logs[0])), "the worker")
        self.assertEqual(self.master.ask(f"connect_to_workers 127.0.0.1:{port} 1"), "connect_to_workers ok!\n")
        self.master.process.kill()
        self.master.process.wait()
        wait_until(lambda: not os.path.exists(f"/proc/{child}") or
                   read_text(f"/proc/{child}/stat").split(")")[1].split()[0] == "Z", "the worker to end")


if __name__ == "__main__":
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    unittest.main()
