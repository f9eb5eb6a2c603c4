"""The remote transport: frames, and a server-mode engine answering like a child process."""
import io

import numpy as np
import pytest

from conftest import benchmark_game
from quorvane import Engine, EngineError, Solver
from quorvane import framing
from quorvane.server_process import LocalServer


@pytest.mark.parametrize("kind, body, text", [
    (framing.COMMAND, b"is_ready", b"is_ready"), (framing.REPLY, b"", b""),
    (framing.NOTICE, "SOLVER: started\n".encode(), "SOLVER: started\n".encode()),
    (framing.FILE, bytes(range(256)) * 300, b"load_tree x"), (framing.PAYLOAD, b"\0\1", b""),
])
def test_frames_read_back_as_written(kind, body, text):
    stream = io.BytesIO(framing.encode_frame(kind, body, text) * 2)
    for _ in range(2):
        assert framing.read_frame(stream.read) == (kind, body, text)


@pytest.fixture
def server(program):
    """An engine in server mode on a free local port, ending when its client goes."""
    with LocalServer(program, "--exit") as started:
        yield started.port, started.process


def test_a_server_engine_answers_as_a_child_engine_does(program, server):
    port, process = server
    game, _ = benchmark_game("river")
    notices = []
    with Engine.connect(port=port, on_notice=notices.append) as remote, \
            Engine.popen(program) as local:
        with pytest.raises(EngineError) as error:
            remote.command("foo")
        assert error.value.line == "ERROR: Command foo not recognized"
        for engine in (remote, local):
            Solver(engine, game, threads=1)
            engine.go(20)
        assert remote.results() == local.results()
        for ours, theirs in zip(remote.ev("IP", "r:0:c"), local.ev("IP", "r:0:c")):
            assert np.array_equal(ours, theirs, equal_nan=True)
    assert any(notice.startswith("SOLVER:") for notice in notices)
    assert process.wait(timeout=10) == 0
