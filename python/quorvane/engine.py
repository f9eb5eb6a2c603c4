"""The engine as a Python object: one method per protocol command that a client needs, typed
results instead of reply text, and the engine's error lines as exceptions.

    with Engine.popen() as engine:
        engine.load_script("game.txt")
        engine.go(10)
        print(engine.results().ev_oop)
"""
import itertools
import os
import pathlib
from dataclasses import dataclass

import numpy as np

from .cards import COMBO_COUNT
from .errors import EngineError
from .transports import PipeTransport, SocketTransport

END = "__quorvane_reply_end__"
PLAYERS = ("OOP", "IP")


def default_program():
    """$QUORVANE, else build/quorvane of the source tree this package sits in, else quorvane on
    the search path."""
    if os.environ.get("QUORVANE"):
        return os.environ["QUORVANE"]
    built = pathlib.Path(__file__).resolve().parents[2] / "build" / "quorvane"
    return str(built) if built.exists() else "quorvane"


def player_word(player):
    """"OOP" or "IP" for 0, 1, "OOP", "oop", "IP" or "ip"."""
    if player in (0, 1):
        return PLAYERS[player]
    if isinstance(player, str) and player.upper() in PLAYERS:
        return player.upper()
    raise ValueError(f"a player is 0 or OOP, 1 or IP, not {player!r}")


def number_text(value):
    """The shortest text that reads back as the same double."""
    text = repr(float(value))
    return text[:-2] if text.endswith(".0") else text


def range_command(player, weights):
    """The set_range line of a player's 1326 weights."""
    weights = np.asarray(weights, dtype=float)
    if weights.shape != (COMBO_COUNT,):
        raise ValueError(f"a range has {COMBO_COUNT} weights")
    return f"set_range {player_word(player)} " + " ".join(number_text(w) for w in weights)


@dataclass(frozen=True)
class Results:
    """EVs (each with the player's half of the starting pot), best-response values and the
    exploitability, in chips."""
    ev_oop: float
    ev_ip: float
    mes_oop: float
    mes_ip: float
    exploitability: float


@dataclass(frozen=True)
class NodeInfo:
    """One node as the engine shows it: path, type ("OOP_DEC", "IP_DEC", "END_NODE",
    "SPLIT_NODE" or "ROOT"), board text, chips put in by OOP and IP, and child count."""
    path: str
    type: str
    board: str
    invested: tuple
    children: int

    @property
    def player(self):
        """The player to act (0 or 1), or None where nobody acts."""
        return {"OOP_DEC": 0, "IP_DEC": 1}.get(self.type)


@dataclass(frozen=True)
class Probabilities:
    """Reach probabilities of both players at a node, and how often its player takes each child."""
    reach: tuple
    actions: dict


class Engine:
    """A protocol session over a transport; a context manager that always ends the engine."""

    def __init__(self, transport, timeout=30.0):
        self.transport = transport
        self.timeout = timeout
        self._tokens = itertools.count()
        try:
            self.transport.send(f"set_end_string {END}")
            self.transport.read_reply(END, timeout)  # whatever came before: banner, start-up lines
        except BaseException:
            self.close()
            raise

    @classmethod
    def popen(cls, program=None, args=(), timeout=30.0, cwd=None, on_notice=None):
        """Starts an engine program (default: see default_program) as a child process."""
        return cls(PipeTransport(program or default_program(), args, cwd, on_notice), timeout)

    @classmethod
    def connect(cls, host="127.0.0.1", port=5251, timeout=30.0, on_notice=None):
        """Connects to an engine running in server mode."""
        return cls(SocketTransport(host, port, timeout, on_notice), timeout)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def close(self):
        self.transport.close()

    def command(self, line, timeout=None):
        """Sends one command line; its reply lines. An error line raises EngineError; a time-out
        (default: the engine's) raises EngineTimeout and closes the link."""
        if not line.strip() or "\n" in line or "\r" in line:
            raise ValueError(f"not one command line: {line!r}")
        self.transport.send(line)
        return self._check(self._reply(timeout), line)

    def _reply(self, timeout):
        return self.transport.read_reply(END, self.timeout if timeout is None else timeout)

    @staticmethod
    def _check(lines, line):
        for reply in lines:
            if reply.startswith("ERROR:"):
                raise EngineError(reply, line)
        return lines

    def _values(self, line, count):
        """The first `count` reply lines of a per-combo query, as float arrays."""
        lines = self.command(line)
        if len(lines) < count:
            raise EngineError(f"unexpected reply: {lines[:2]}", line)
        return [np.array(text.split(), dtype=float) for text in lines[:count]]

    def load_script(self, path, timeout=None):
        """Runs a command script in the engine; its first error line raises EngineError after the
        whole script has run. Each line of a script is answered on its own, so the reply is read up
        to a marker echoed after it."""
        marker = f"__quorvane_script_{next(self._tokens)}__"
        self.transport.send(f'load_script "{path}"')
        self.transport.send(f"echo {marker}")
        errors = []
        while True:
            lines = self._reply(timeout)
            if lines == [marker]:
                break
            errors += [line for line in lines if line.startswith("ERROR:")]
        if errors:
            raise EngineError(errors[0], f"load_script {path}")

    def set_range(self, player, weights):
        self.command(range_command(player, weights))

    def set_threads(self, threads):
        self.command(f"set_threads {int(threads)}")

    def go(self, steps, timeout=None):
        """Runs `steps` iterations and returns when they are done (at least one)."""
        self.command(f"go {int(steps)} steps block", timeout)

    def results(self, timeout=None):
        """EVs and exploitability of the current strategies (an exploitability computation)."""
        values = {}
        for line in self.command("calc_results", timeout):
            name, _, value = line.rpartition(":")
            values[name.strip()] = float(value)
        return Results(values["EV OOP"], values["EV IP"], values["OOP's MES"],
                       values["IP's MES"], values["Exploitable for"])

    def node(self, path):
        return _node_info(self.command(f"show_node {path}"))

    def children(self, path):
        """The children of a node in the node's action order (largest bet first, fold last)."""
        lines = [line for line in self.command(f"show_children {path}")
                 if not line.startswith("child ")]
        return [_node_info(lines[i:i + 6]) for i in range(0, len(lines), 6)]

    def strategy(self, path):
        """The average strategy at a decision node: one row of 1326 probabilities per child."""
        count = len(self.children(path))
        return np.vstack(self._values(f"show_strategy {path}", count))

    def node_range(self, player, path=None):
        """A player's range at a node (the starting range without a path)."""
        line = f"show_range {player_word(player)}" + (f" {path}" if path else "")
        return self._values(line, 1)[0]

    def ev(self, player, path):
        """Per-combo EVs at a node (the player's half of the starting pot included) and weights."""
        return tuple(self._values(f"calc_ev {player_word(player)} {path}", 2))

    def equity(self, player, path):
        """Per-combo equities at a node against the opponent's range there, their weights, and
        the weighted average."""
        equities, weights, average = self._values(f"calc_eq_node {player_word(player)} {path}", 3)
        return equities, weights, float(average[0])

    def probabilities(self, path):
        words = self.command(f"show_probs {path}")[0].split()
        pairs = dict(zip(words[::2], (float(w) for w in words[1::2])))
        reach = (pairs.pop("OOP"), pairs.pop("IP"))
        return Probabilities(reach, pairs)

    def global_frequency(self, path):
        """How often the node is reached under both players' strategies."""
        return float(self.command(f"calc_global_freq {path}")[0])

    def category_names(self):
        """The names of the made-hand categories and of the draw categories, in index order."""
        made, draws = self.command("show_category_names")[:2]
        return made.split(), draws.split()

    def categories(self, board):
        """The made-hand and the draw category index of every combo on a board, as two integer
        arrays (meaningless for combos that hold a board card)."""
        made, draws = self.command(f"show_categories {board}")[:2]
        return np.array(made.split(), dtype=int), np.array(draws.split(), dtype=int)

    def hand_order(self):
        return self.command("show_hand_order")[0].split()

    def save(self, path, timeout=None):
        """Saves the solved tree to a file (engines without tree files refuse with their error)."""
        self.command(f'dump_tree "{path}"', timeout)

    def load(self, path, timeout=None):
        """Loads a saved tree; over a connection, the file is sent along with the command."""
        send_file = getattr(self.transport, "send_file", None)
        if send_file is None:
            return self.command(f'load_tree "{path}"', timeout)
        send_file(pathlib.Path(path).read_bytes(), "load_tree received")
        return self._check(self._reply(timeout), "load_tree")


def _node_info(lines):
    if len(lines) < 5:
        raise EngineError(f"unexpected node reply: {lines[:2]}")
    invested = tuple(float(x) for x in lines[3].split()[:2])
    return NodeInfo(lines[0], lines[1], lines[2], invested, int(lines[4].split()[0]))
