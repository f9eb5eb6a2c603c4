"""The remote transport: a server-mode engine answering like a child process (the frames
themselves are the server and shared-solve tests' to show, which speak only through them)."""
import numpy as np
import pytest

from conftest import benchmark_game
from quorvane import Engine, EngineError, Solver
from quorvane.server_process import LocalServer


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
