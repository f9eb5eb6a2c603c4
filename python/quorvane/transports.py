"""Two ways to reach an engine with one interface: a child process over pipes, and a server-mode
engine over TCP. A transport sends command lines and reads one reply at a time; lines the engine
sends on its own (solver reports) go to the notice handler instead of into a reply."""
import collections
import os
import select
import socket
import subprocess
import time

from . import framing
from .errors import EngineTerminated, EngineTimeout


_TIMED_OUT = "no complete reply from the engine within the time-out"


def _deadline(timeout):
    return None if timeout is None else time.monotonic() + timeout


class PipeTransport:
    """An engine started as a child process. Its standard error joins standard output, so that a
    fatal message is part of what was read last. Solver lines are kept single-line (--compactmsg)
    so that they can be told from replies."""

    def __init__(self, program, args=(), cwd=None, on_notice=None):
        self.on_notice = on_notice
        self._recent = collections.deque(maxlen=5)
        self._buffer = bytearray()
        try:
            self.process = subprocess.Popen([str(program), "--compactmsg", *args], cwd=cwd,
                                            stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                            stderr=subprocess.STDOUT, bufsize=0)
        except OSError as error:
            raise EngineTerminated(f"cannot start the engine {program}: {error}") from None

    def send(self, line):
        try:
            self.process.stdin.write(line.encode() + b"\n")
        except (BrokenPipeError, ValueError, OSError):
            raise self._ended() from None

    def read_reply(self, end, timeout=None):
        """The lines of one reply, up to the end-string line (not included)."""
        deadline = _deadline(timeout)
        lines = []
        while True:
            line = self._read_line(deadline)
            if line == end:
                return lines
            if not line.startswith("SOLVER:"):
                lines.append(line)
            elif self.on_notice:
                self.on_notice(line)

    def _read_line(self, deadline):
        stdout = self.process.stdout
        while (cut := self._buffer.find(b"\n")) < 0:
            left = None if deadline is None else deadline - time.monotonic()
            if left is not None and (left <= 0 or not select.select([stdout], [], [], left)[0]):
                self.process.kill()
                self.close()
                raise EngineTimeout(_TIMED_OUT)
            chunk = os.read(stdout.fileno(), 1 << 16)
            if not chunk:
                raise self._ended()
            self._buffer += chunk
        line = self._buffer[:cut].decode(errors="replace").rstrip("\r")
        del self._buffer[:cut + 1]
        self._recent.append(line)
        return line

    def _ended(self):
        try:
            status = self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            status = "unknown"
        last = " | ".join(self._recent)
        return EngineTerminated(f"the engine ended (exit status {status})"
                                + (f"; its last lines: {last}" if last else ""))

    def close(self):
        """Ends the child: end of input first, then a kill if it does not leave at once."""
        if self.process.poll() is None:
            try:
                self.process.stdin.close()
                self.process.wait(timeout=2)
            except (OSError, subprocess.TimeoutExpired):
                self.process.kill()
                self.process.wait()
        for stream in (self.process.stdin, self.process.stdout):
            if not stream.closed:
                stream.close()


class SocketTransport:
    """An engine in server mode: each command goes out as a command frame, each reply comes back as
    one reply frame, and solver reports as notice frames in between."""

    def __init__(self, host, port, timeout=10, on_notice=None):
        self.on_notice = on_notice
        try:
            self.socket = socket.create_connection((host, port), timeout=timeout)
        except OSError as error:
            raise EngineTerminated(f"cannot connect to the engine at {host}:{port}: {error}") \
                from None

    def send(self, line):
        self._send(framing.encode_frame(framing.COMMAND, line.encode()))

    def send_file(self, content, line):
        """A file for the engine to store, with the command line that uses it."""
        self._send(framing.encode_frame(framing.FILE, content, line.encode()))

    def _send(self, frame):
        try:
            self.socket.sendall(frame)
        except OSError:
            raise EngineTerminated("the connection to the engine closed") from None

    def read_reply(self, end, timeout=None):
        """The lines of the next reply frame, without the end-string line."""
        deadline = _deadline(timeout)
        while True:
            kind, _, text = framing.read_frame(lambda n: self._read_exactly(n, deadline))
            text = text.decode(errors="replace")
            if kind == framing.NOTICE:
                if self.on_notice:
                    for line in text.splitlines():
                        self.on_notice(line)
                continue
            return [line for line in text.splitlines() if line != end]

    def _read_exactly(self, size, deadline):
        data = bytearray()
        while len(data) < size:
            left = None if deadline is None else deadline - time.monotonic()
            try:
                if left is not None and left <= 0:
                    raise TimeoutError
                self.socket.settimeout(left)
                chunk = self.socket.recv(min(size - len(data), 1 << 20))
            except TimeoutError:
                self.close()
                raise EngineTimeout(_TIMED_OUT) from None
            except OSError:
                chunk = b""
            if not chunk:
                raise EngineTerminated("the connection to the engine closed")
            data += chunk
        return bytes(data)

    def close(self):
        self.socket.close()
