"""A server process of the program on this machine, on a free loopback port, for scripts, tests
and benchmarks. Only the standard library is used.

    with LocalServer("build/quorvane") as server, server.connect() as client:
        client.request("is_ready")
"""

from __future__ import annotations

import os
import shutil
import socket
import subprocess
import tempfile
import time

from .framing import FrameClient


def free_port(host: str = "127.0.0.1") -> int:
    with socket.socket() as probe:
        probe.bind((host, 0))
        return probe.getsockname()[1]


class LocalServer:
    """Starts `program -s -p PORT [-b bind] options...` in `cwd` (default: a fresh directory,
    removed by close()), with its console and standard error in console.txt and errors.txt there.
    A port that another process takes between probing and binding is tried again with another."""

    def __init__(self, program: str, *options: str, cwd: str | None = None, bind: str | None = "127.0.0.1",
                 preexec_fn=None, timeout: float = 60.0):
        self.owns_dir = cwd is None
        self.dir = cwd or tempfile.mkdtemp(prefix="quorvane-server-")
        self.timeout = timeout
        for _ in range(20):
            self.port = free_port()
            args = [program, "-s", "-p", str(self.port), *options] + (["-b", bind] if bind else [])
            with open(self.path("console.txt"), "wb") as out, open(self.path("errors.txt"), "wb") as err:
                self.process = subprocess.Popen(args, cwd=self.dir, stdout=out, stderr=err, preexec_fn=preexec_fn)
            if self._listening():
                return
        self.close()
        raise RuntimeError("no port could be bound")

    def _listening(self) -> bool:
        deadline = time.monotonic() + self.timeout
        while time.monotonic() < deadline:
            if "Listening to" in self.console():
                return True
            if self.process.poll() is not None:
                if "bind" in self.console():
                    return False
                raise RuntimeError("the server ended at start: " + self.console() + self.errors())
            time.sleep(0.01)
        raise RuntimeError("the server did not start: " + self.console())

    def path(self, name: str) -> str:
        return os.path.join(self.dir, name)

    def _read(self, name: str) -> str:
        with open(self.path(name), "rb") as f:
            return f.read().decode("utf-8", "replace")

    def console(self) -> str:
        return self._read("console.txt")

    def errors(self) -> str:
        return self._read("errors.txt")

    def connect(self) -> FrameClient:
        return FrameClient.connect("127.0.0.1", self.port, timeout=self.timeout)

    def peak_memory_kb(self) -> int:
        with open(f"/proc/{self.process.pid}/status") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
        raise RuntimeError("no VmHWM")

    def close(self) -> None:
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        if self.owns_dir:
            shutil.rmtree(self.dir, ignore_errors=True)

    def __enter__(self) -> "LocalServer":
        return self

    def __exit__(self, *exc) -> None:
        self.close()
