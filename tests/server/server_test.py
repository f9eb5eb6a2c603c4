"""Server mode over real loopback sockets: a server process per test, driven by the frame client.

Run by ctest as: /usr/bin/python3 server_test.py PROGRAM TESTCASE
"""

import io
import os
import random
import re
import resource
import socket
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "python"))
sys.path.insert(0, os.path.join(HERE, ".."))

from quorvane.framing import (  # noqa: E402
    COMMAND, FILE, HEADER, NOTICE, PAYLOAD, REPLY, TEXT_LENGTH, Frame, encode_frame)
from quorvane.server_process import LocalServer  # noqa: E402
from program_session import fresh_folder  # noqa: E402

PROGRAM = None  # set from the command line
STARTUP_SECONDS = 60  # sanitizer builds start slowly


class Server(LocalServer):
    """A server in a fresh folder of its own, like the protocol tests' runner."""

    def __init__(self, *options, bind="127.0.0.1", file_size_limit=None):
        limit = None
        if file_size_limit is not None:
            def limit():
                resource.setrlimit(resource.RLIMIT_FSIZE, (file_size_limit, file_size_limit))
        super().__init__("./quorvane", *options, cwd=fresh_folder(PROGRAM), bind=bind, preexec_fn=limit, timeout=STARTUP_SECONDS)
        self.owns_dir = True

    def raw(self):
        return socket.create_connection(("127.0.0.1", self.port), timeout=STARTUP_SECONDS)


def close_quietly(test, server):
    """Ends a server. A sanitizer report or any other complaint would be on its standard error,
    where a client that left before its reply was sent is the one thing allowed."""
    errors = server.errors()
    server.close()
    test.assertEqual([line for line in errors.splitlines() if not line.startswith("send failed")], [])


class ServerCase(unittest.TestCase):
    options = ()

    def setUp(self):
        self.server = Server(*self.options)

    def tearDown(self):
        close_quietly(self, self.server)

    def assertServed(self):
        """A normal client is served correctly after whatever came before."""
        with self.server.connect() as client:
            self.assertEqual(client.request("is_ready"), "is_ready ok!\n")
            self.assertEqual(client.request("echo after"), "after\n")


class FrameTest(ServerCase):
    def test_every_text_frame_type_is_a_command_answered_by_one_reply_frame(self):
        with self.server.connect() as client:
            for frame_type in (COMMAND, REPLY, NOTICE, 5, 255):
                client.send_command("is_ready", frame_type)
                self.assertEqual(client.read_frame(), Frame(REPLY, "is_ready ok!\n"), frame_type)
            client.send_payload(bytes(range(256)) * 300, "echo with payload")
            self.assertEqual(client.read_frame().text, "with payload\n")

    def test_replies_with_and_without_an_end_string(self):
        """An empty line gets no reply frame, a blank line an empty one, even with an end string."""
        unsupported = "ERROR: show_metadata remote server not supported\n"
        with self.server.connect() as client:
            for end in ("END\n", "DONE\n"):
                client.send_command("")
                self.assertEqual(client.request("repeat 2 a"), "a\na\n" + end)
                self.assertEqual(client.request("show_metadata x"), unsupported + ("" if end == "END\n" else end))
                self.assertEqual(client.request("   "), "")
                client.request("set_end_string DONE")

    def test_commands_sent_ahead_are_answered_in_order(self):
        with self.server.connect() as client:
            client.sock.sendall(b"".join(encode_frame(COMMAND, f"echo {i}".encode()) for i in range(200)))
            for i in range(200):
                self.assertEqual(client.read_frame().text, f"{i}\n")

    def test_a_file_frame_arrives_byte_for_byte_whatever_its_size(self):
        rng = random.Random(15)
        with self.server.connect() as client:
            for size in (0, 1, 65535, 65536, 65537, 300_001):
                content = rng.randbytes(size)
                client.send_file(io.BytesIO(content), "is_ready")
                self.assertEqual(client.read_frame().text, "is_ready ok!\n")
                with open(self.server.path("quorvane_temp"), "rb") as received:
                    self.assertEqual(received.read(), content, size)

    def test_a_script_sent_as_a_file_runs_on_the_server(self):
        with self.server.connect() as client:
            client.send_file(io.BytesIO(b"set_value from_file 42\nset_pot 0 0 60\n"), "load_script quorvane_temp")
            # A script's own replies go to the server's console, not to the client.
            self.assertEqual(client.read_frame(), Frame(REPLY, ""))
            self.assertEqual(client.request("get_value from_file"), "from_file 42\n")
        self.assertIn("set_pot ok!", self.server.console())

    def test_no_command_builds_a_reply_beyond_the_limit(self):
        with self.server.connect() as client:
            self.assertEqual(client.request("repeat 99999 " + "x" * 20000), "ERROR: repeat reply too long\n")
            self.assertEqual(client.request("repeat 3 y"), "y\ny\ny\nEND\n")
        # 99999 copies of 20 KB would be 2 GB; the reply stops at 63 MiB.
        self.assertLess(self.server.peak_memory_kb(), 400_000)


class SessionTest(ServerCase):
    def test_a_background_solve_reports_in_notices_between_replies(self):
        with self.server.connect() as client:
            client.request("load_script data/solver_river_game.txt")
            client.request("set_info_freq 5")
            client.send_command("go 20 steps")
            reply, notices = client.read_reply()
            self.assertEqual(reply.text, "go ok!\n")
            client.send_command("wait_for_solver")
            reply, later = client.read_reply()
            self.assertEqual(reply.text, "")
            notices += later
            self.assertTrue(all(n.type == NOTICE for n in notices))
            texts = [n.text for n in notices]
            self.assertEqual(texts[0], "SOLVER: started\n")
            self.assertEqual(texts[-1], "SOLVER: stopped (required number of steps done)\n")
            reports = texts[1:-1]
            self.assertGreaterEqual(len(reports), 1)
            for report in reports:
                self.assertRegex(report, r"^SOLVER:\nrunning time: [0-9.]+\n(.*\n){4}Exploitable for: [0-9.]+\nEND\n$")
            self.assertEqual(client.request("is_ready"), "is_ready ok!\n")

    def test_a_new_client_keeps_variables_tree_and_settings(self):
        with self.server.connect() as client:
            client.request("set_value kept 7")
            client.request("load_script data/solver_river_game.txt")
            client.request("set_end_string DONE")
        with self.server.connect() as client:
            self.assertEqual(client.request("get_value kept"), "kept 7\nDONE\n")
            self.assertEqual(client.request("is_tree_present"), "true\nDONE\n")
            self.assertIn("board: 2h Jh Qs 8d 3c\npot: 0 0 100\n", client.request("show_tree_params"))

    def test_load_tree_reads_the_file_of_the_frame_whatever_path_it_names_and_removes_it(self):
        with self.server.connect() as client:
            client.request("load_script data/solver_river_game.txt")
            client.request("go 80 steps block")  # past the averaging delay: the saved sums decide
            before = client.request("show_strategy r:0")
            client.request("dump_tree saved.tree")
            client.request("free_tree")
            client.send_file(self.server.path("saved.tree"), "load_tree elsewhere.tree")
            self.assertEqual(client.read_frame().text, "load_tree ok!\n")
            self.assertFalse(os.path.exists(self.server.path("quorvane_temp")))
            self.assertEqual(client.request("show_strategy r:0"), before)
            # A file that is no tree: an error, no tree, and the file is gone all the same.
            client.send_file(__file__, "load_tree x")
            self.assertEqual(client.read_frame().text, "ERROR: load_tree invalid file\n")
            self.assertFalse(os.path.exists(self.server.path("quorvane_temp")))
            self.assertEqual(client.request("is_tree_present"), "false\n")

    def test_a_new_client_starts_with_no_skipping_or_label_search(self):
        for leftover in ("if_match a b", "skip_if_done data/solver_river_game.txt nowhere"):
            with self.server.connect() as client:
                client.request(leftover)
                self.assertEqual(client.request("is_ready"), "", leftover)
            self.assertServed()


class ConsoleTest(ServerCase):
    options = ("--color",)

    def test_the_console_traces_commands_and_replies_in_colour_but_not_ping(self):
        with self.server.connect() as client:
            client.request("is_ready")
            client.request("ping")
            client.request("nonsense")
        self.assertServed()
        console = self.server.console()
        self.assertIn("\x1b[33m> is_ready\n\x1b[0m< is_ready ok!\n", console)
        self.assertIn("\x1b[31m< ERROR: Command nonsense not recognized\n", console)
        plain = re.sub(r"\x1b\[\d+m", "", console)
        self.assertIn(f"Listening to 127.0.0.1:{self.server.port}\n", plain)
        self.assertRegex(plain, r"127\.0\.0\.1:\d+ connected\n> is_ready\n< is_ready ok!\n"
                                r"> nonsense\n< ERROR: Command nonsense not recognized\nclient disconnected\n")
        self.assertNotIn("ping", plain)


class ExitTest(unittest.TestCase):
    def test_with_exit_the_server_ends_with_status_0_when_its_client_goes(self):
        for goodbye in (lambda client: None, lambda client: client.send_command("")):
            server = Server("--exit", bind=None)
            try:
                self.assertIn(f"Listening to 0.0.0.0:{server.port}\n", server.console())
                with server.connect() as client:
                    self.assertEqual(client.request("is_ready"), "is_ready ok!\n")
                    goodbye(client)
                self.assertEqual(server.process.wait(timeout=STARTUP_SECONDS), 0)
            finally:
                close_quietly(self, server)

    def test_a_port_in_use_ends_the_program_naming_the_step(self):
        with socket.socket() as holder:
            holder.bind(("127.0.0.1", 0))
            holder.listen()
            port = holder.getsockname()[1]
            result = subprocess.run([PROGRAM, "-s", "-p", str(port), "-b", "127.0.0.1"], capture_output=True,
                                    text=True, timeout=STARTUP_SECONDS, cwd=tempfile.gettempdir())
        self.assertEqual((result.returncode, result.stderr), (1, ""))
        self.assertIn("ERROR: can't start the server (bind: Address already in use)\n", result.stdout)


class HostileClientTest(ServerCase):
    def gone(self, data, console_line):
        """Whether the client leaves or the server drops it (the client then sees the connection
        end), a normal client is served next and the console names what happened."""
        before = len(self.server.console())
        with self.server.raw() as sock:
            sock.sendall(data)
            try:
                sock.shutdown(socket.SHUT_WR)
                self.assertEqual(sock.recv(1), b"")
            except (ConnectionResetError, BrokenPipeError):
                pass
        self.assertServed()
        self.assertIn(console_line + "\n", self.server.console()[before:])

    def test_clients_that_vanish_or_send_nothing(self):
        """Lengths at the limits are taken, and grow the buffers only with the bytes that come; a file
        frame announcing terabytes streams what comes and keeps nothing when cut."""
        for data in (b"", b"\x01\x05\x00", HEADER.pack(REPLY, 100) + b"is_", HEADER.pack(PAYLOAD, 10) + b"0123456789",
                     HEADER.pack(PAYLOAD, 3) + b"abc" + TEXT_LENGTH.pack(64 << 20) + b"is_",
                     HEADER.pack(COMMAND, 64 << 20) + b"abc", HEADER.pack(PAYLOAD, 1 << 30) + b"abc",
                     HEADER.pack(FILE, 2 << 40) + bytes(16 << 20)):
            line = "client disconnected" + (" in the middle of a frame" if data else "")
            self.gone(data, line)
        self.assertFalse(os.path.exists(self.server.path("quorvane_temp")))
        self.assertLess(self.server.peak_memory_kb(), 300_000)

    def test_lengths_over_the_limits_drop_the_client_without_allocating_them(self):
        for data, line in [
            (HEADER.pack(COMMAND, 1 << 63), "text of 9223372036854775808 bytes is over the limit of 67108864"),
            (HEADER.pack(REPLY, (64 << 20) + 1), "text of 67108865 bytes is over the limit of 67108864"),
            (HEADER.pack(PAYLOAD, 1 << 40), "payload of 1099511627776 bytes is over the limit of 1073741824"),
            (encode_frame(PAYLOAD, b"x")[:-4] + TEXT_LENGTH.pack(0xFFFFFFFF),
             "text of 4294967295 bytes is over the limit of 67108864"),
        ]:
            self.gone(data, "client dropped: " + line)
        self.assertLess(self.server.peak_memory_kb(), 300_000)

    def test_random_bytes(self):
        rng = random.Random(2024)
        for _ in range(25):
            with self.server.raw() as sock:
                send_until_dropped(lambda: sock.sendall(rng.randbytes(rng.randint(1, 4096))))
            self.assertServed()


class FileStoreFailureTest(unittest.TestCase):
    def test_a_file_that_cannot_be_stored_drops_the_client_and_leaves_no_file(self):
        """First the file's place is a folder, then the file is cut by the size limit mid-way."""
        server = Server(file_size_limit=1 << 20)
        try:
            os.mkdir(server.path("quorvane_temp"))
            for size, reason in ((10, "Is a directory"), (3 << 20, "File too large")):
                with server.connect() as client:
                    send_until_dropped(lambda: client.send_file(io.BytesIO(bytes(size)), "is_ready"))
                with server.connect() as client:
                    self.assertEqual(client.request("is_ready"), "is_ready ok!\n")
                self.assertIn(f"client dropped: can't write quorvane_temp ({reason})\n", server.console())
                if reason == "Is a directory":
                    os.rmdir(server.path("quorvane_temp"))
            self.assertFalse(os.path.exists(server.path("quorvane_temp")))
        finally:
            close_quietly(self, server)


def send_until_dropped(send):
    """Sends what a refused client sends: the server may drop it before everything is out."""
    try:
        send()
    except (BrokenPipeError, ConnectionResetError):
        pass


if __name__ == "__main__":
    PROGRAM = os.path.abspath(sys.argv[1])
    unittest.main(argv=[sys.argv[0], *sys.argv[2:]])
