"""The program under test as the client, server and shared-solve tests start it: a copy in a fresh
folder (no configuration script beside the build's binary can leak in) where data/ points at the
protocol tests' data, and a session over pipes that reads what the program writes as it comes and
takes each answer up to a marker echoed after the lines sent."""
import os
import shutil
import subprocess
import tempfile
import threading
import time

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "protocol", "data")


def fresh_folder(program):
    folder = tempfile.mkdtemp(prefix="quorvane-test-")
    shutil.copy(program, os.path.join(folder, "quorvane"))
    os.symlink(DATA, os.path.join(folder, "data"))
    return folder


def wait_until(condition, what, seconds):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            raise AssertionError(f"no {what} within {seconds} s")
        time.sleep(0.02)


class PipeSession:
    """The program reading standard input in a fresh folder, its standard error in stderr.txt
    there. Lines go out as given (bytes that are no UTF-8 as surrogate escapes)."""

    def __init__(self, program, timeout):
        self.dir = fresh_folder(program)
        self.timeout = timeout
        self.stderr = open(os.path.join(self.dir, "stderr.txt"), "w+b")
        self.process = subprocess.Popen(["./quorvane"], cwd=self.dir, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=self.stderr)
        self._unread, self._ended, self._marks = b"", False, 0
        self._arrived = threading.Condition()
        threading.Thread(target=self._read, daemon=True).start()
        self.banner = self.ask()

    def _read(self):
        while chunk := os.read(self.process.stdout.fileno(), 1 << 20):
            with self._arrived:
                self._unread += chunk
                self._arrived.notify_all()
        with self._arrived:
            self._ended = True
            self._arrived.notify_all()

    def output(self):
        """What the program wrote that no answer has taken yet."""
        with self._arrived:
            return self._unread.decode("utf-8", "replace")

    def send(self, *lines):
        try:
            self.process.stdin.write("".join(line + "\n" for line in lines).encode("utf-8", "surrogateescape"))
            self.process.stdin.flush()
        except BrokenPipeError:
            raise AssertionError(f"the program ended (exit status {self.process.wait()})") from None

    def ask(self, *lines):
        """Sends the lines and waits until all have answered; what they wrote (output that came
        before is dropped)."""
        self._marks += 1
        mark = f"--mark {self._marks}--"
        with self._arrived:
            self._unread = b""
        self.send(*lines, "echo " + mark)
        with self._arrived:
            if not self._arrived.wait_for(lambda: mark.encode() + b"\n" in self._unread or self._ended, self.timeout):
                raise AssertionError(f"no answer within {self.timeout} s (a hang)")
            answer, found, self._unread = self._unread.partition(mark.encode() + b"\n")
        if not found:
            raise AssertionError(f"the program ended (exit status {self.process.wait()})")
        return answer.decode("utf-8", "replace")

    def errors(self):
        self.stderr.seek(0)
        return self.stderr.read().decode("utf-8", "replace")

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        for stream in (self.process.stdin, self.process.stdout, self.stderr):
            stream.close()
        shutil.rmtree(self.dir, ignore_errors=True)
