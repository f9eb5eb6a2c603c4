"""The engine link: the engine's error lines raise, and an engine that dies or stalls raises
within the time-out instead of hanging the client."""
import os
import signal
import threading

import pytest

from quorvane import Engine, EngineError, EngineTerminated, EngineTimeout


@pytest.mark.parametrize("line, error", [
    ("foo", "ERROR: Command foo not recognized"),
    ("set_threads abc", "ERROR: Invalid value"),
    ("show_node r:0", "ERROR: show_node missing/incorrect tree"),
    ("set_board QsJh2hQs", "ERROR: set_board duplicate cards"),
])
def test_engine_errors_raise_with_the_engines_own_line_and_the_session_goes_on(engine, line, error):
    with pytest.raises(EngineError) as raised:
        engine.command(line)
    assert raised.value.line == error
    assert engine.command("is_ready") == ["is_ready ok!"]


def test_an_error_inside_a_script_raises_after_the_script(engine, tmp_path):
    script = tmp_path / "setup.txt"
    script.write_text("set_value a 1\nset_board QsJhXx\nset_value b 2\n")
    with pytest.raises(EngineError, match="ERROR: invalid card"):
        engine.load_script(script)
    assert engine.command("get_value b") == ["b 2"]
    with pytest.raises(EngineError, match="can't open file"):
        engine.load_script(tmp_path / "missing.txt")


def test_a_killed_engine_raises_within_the_time_out(program):
    with Engine.popen(program, timeout=30) as engine:
        pid = engine.transport.process.pid
        threading.Timer(0.2, os.kill, (pid, signal.SIGKILL)).start()
        with pytest.raises(EngineTerminated, match="exit status -9"):
            engine.command("sleep 60000")
        with pytest.raises(EngineTerminated):
            engine.command("is_ready")


def test_a_stalled_engine_raises_at_the_time_out_and_is_ended(program):
    with Engine.popen(program, timeout=30) as engine:
        with pytest.raises(EngineTimeout):
            engine.command("sleep 60000", timeout=0.3)
        assert engine.transport.process.poll() is not None
        with pytest.raises(EngineTerminated):
            engine.command("is_ready")
