"""The one game a viewer shows: an engine, the game set up in it, and the solve that runs in the
background. Whoever talks to the engine holds its lock: the solve for its whole run, a query only
for its answer, and a query that finds the lock taken is refused at once. So viewing never changes
a solve, and the page stays responsive while one runs."""
import threading
import time

from ..engine import Engine
from ..errors import EngineTerminated, EngineTimeout
from ..solution import Solver


class Busy(Exception):
    """The engine is solving (or building a tree); the solution can be read once it stops."""


class NoSolution(Exception):
    """Nothing to read yet: no game was solved and no tree loaded."""


def _summary(game):
    oop, ip = game.range_texts()
    return {"board": game.board, "pot": game.pot, "stack": game.stack, "oop_range": oop,
            "ip_range": ip, "lines": len(game.lines())}


class Session:
    """round_seconds sizes the solve's rounds: each round ends with a progress report."""

    def __init__(self, program=None, round_seconds=0.25):
        self.program = program
        self.round_seconds = round_seconds
        self._engine = None
        self._engine_lock = threading.Lock()
        self._state_lock = threading.Lock()
        self._stop = threading.Event()
        self._thread = None
        self._clock = (time.monotonic(), 0.0)  # when the running solve started, seconds before it
        self._solver = None
        self._settings = None
        self._state = {"state": "empty", "message": "", "game": None, "history": [],
                       "iterations": 0, "ev": None, "run": 0}

    # -- state shown to the page ------------------------------------------------------------

    def _update(self, **fields):
        with self._state_lock:
            self._state.update(fields)

    def _new_run(self, **fields):
        """A game set up or a tree opened: its progress starts afresh."""
        with self._state_lock:
            self._state.update(history=[], iterations=0, ev=None, run=self._state["run"] + 1,
                               **fields)

    def _seconds(self):
        """Seconds of solving so far, all rounds of the game's solves together."""
        started, offset = self._clock
        return offset + time.monotonic() - started

    def status(self, since=0):
        """The state ("empty", "building", "solving", "solved", "stopped", "failed" or "loaded"),
        a message, the game, the progress reports from number `since` on, and while a solve runs
        the seconds it has been solving, which tick on between reports."""
        with self._state_lock:
            state = dict(self._state)
            if state["state"] == "solving":
                state["seconds"] = self._seconds()
            state["reports"] = len(state["history"])
            state["history"] = state["history"][since:]
        return state

    # -- solving --------------------------------------------------------------------------------

    def _take_engine(self):
        if not self._engine_lock.acquire(blocking=False):
            raise Busy("the engine is solving: the solution can be read when the solve stops")

    def _started_engine(self):
        if self._engine is None:
            self._engine = Engine.popen(self.program, timeout=120)
        return self._engine

    def start(self, game, settings):
        """Sets the game up in the engine and solves it in the background."""
        self._take_engine()
        self._solver, self._settings = None, settings
        self._new_run(state="building", message="building the tree", game=_summary(game))
        self._launch(lambda: Solver(self._started_engine(), game, settings.threads))

    def resume(self):
        """Goes on solving the game solved last, to the same settings."""
        self._take_engine()
        if self._solver is None:
            self._engine_lock.release()
            raise NoSolution("no game to go on with: set one up and solve it")
        self._launch(None)

    def stop(self):
        """Asks the solve to stop after its current round."""
        self._stop.set()

    def _launch(self, make_solver):
        self._stop.clear()
        self._thread = threading.Thread(target=self._solve, args=(make_solver,), daemon=True)
        self._thread.start()

    def _solve(self, make_solver):
        """The background solve; it holds the engine lock, taken by its starter, until it ends."""
        try:
            if make_solver:
                self._solver = make_solver()
            settings = self._settings
            with self._state_lock:
                history = self._state["history"]
                offset = history[-1]["seconds"] if history else 0.0
                self._state.update(state="solving", message="solving")
                self._clock = (time.monotonic(), offset)

            def report(status):
                with self._state_lock:
                    self._state["history"].append({
                        "seconds": self._seconds(), "iterations": status.iterations,
                        "percent": status.percent})
                    self._state.update(iterations=status.iterations, ev=status.ev)

            status = self._solver.solve(settings.accuracy, settings.max_iterations,
                                        check_every=1, progress=report, stop=self._stop.is_set,
                                        round_seconds=self.round_seconds)
            self._update(**_ending(status, settings, self._stop.is_set()),
                         iterations=status.iterations, ev=status.ev)
        except Exception as error:  # whatever ends the solve is shown on the page
            self._fail(error)
        finally:
            self._engine_lock.release()

    def _fail(self, error):
        if isinstance(error, (EngineTerminated, EngineTimeout)):  # the link is gone
            self._drop_engine()
        self._solver = None
        self._update(state="failed", message=str(getattr(error, "line", error)))

    def _drop_engine(self):
        if self._engine is not None:
            self._engine.close()
            self._engine = None

    # -- reading ----------------------------------------------------------------------------

    def query(self, read):
        """read(engine) while no solve runs; Busy while one does, NoSolution before any."""
        self._take_engine()
        try:
            if self._engine is None or self._state["state"] not in ("solved", "stopped",
                                                                    "loaded"):
                raise NoSolution("nothing to show yet: set a game up and solve it, or open a tree")
            return read(self._engine)
        except (EngineTerminated, EngineTimeout) as error:
            self._fail(error)
            raise
        finally:
            self._engine_lock.release()

    def save(self, path):
        self.query(lambda engine: engine.save(path))

    def load(self, path):
        """Opens a tree file; the game it holds replaces the one shown."""
        self._take_engine()
        try:
            self._started_engine().load(path)
            self._solver = None
            self._new_run(state="loaded", message=f"opened {path}", game=None)
        except (EngineTerminated, EngineTimeout) as error:
            self._fail(error)
            raise
        finally:
            self._engine_lock.release()

    def close(self):
        """Stops a solve and ends the engine."""
        self._stop.set()
        engine, self._engine = self._engine, None
        if engine is not None:
            engine.close()
        if self._thread is not None:
            self._thread.join(timeout=10)


def _ending(status, settings, stopped):
    where = (f"exploitability {status.percent:.3f}% of the pot after {status.iterations} "
             "iterations")
    if status.percent <= settings.accuracy:
        return {"state": "solved", "message": f"solved: {where}"}
    if stopped:
        return {"state": "stopped", "message": f"stopped on request: {where}"}
    return {"state": "stopped", "message": f"stopped at the iteration limit: {where}"}
