"""Solving a game in an engine and reading the solution node by node.

    solver = Solver(engine, game)
    status = solver.solve(accuracy=0.5, progress=print)      # 0.5% of the pot
    root = solver.node([])                                   # or "r:0", or ["check", "bet 33"]
    root.strategy().frequencies                              # {"check": 0.61, "bet 33": 0.23, ...}
    root.ev("OOP").by_hand()["AsKs"]

Per-hand values are numpy arrays of 1326 values in the engine's combo order (cards.COMBO_NAMES);
by_hand() and by_class() key them by combo ("AsKs") or by hand class ("AKs").
"""
import re
import time
from dataclasses import dataclass

import numpy as np

from .cards import COMBO_NAMES, by_combo, by_hand_class
from .engine import PLAYERS

_CARD = re.compile(r"[2-9TJQKA][cdhs]", re.I)
_BET = re.compile(r"(?:b|bet|raise)\s*(\d+(?:\.\d+)?)", re.I)
_WORDS = {"c": "c", "check": "c", "call": "c", "x": "c", "f": "f", "fold": "f"}


def node_path(where):
    """A node path from a path text ("r:0:c:b33") or a list of actions such as
    ["check", "bet 33", "call", "Kh"]: check or call, fold, bet/raise/b with the bettor's total
    amount since the start of the tree, and dealt cards."""
    if isinstance(where, str):
        return where
    tokens = ["r", "0"]
    for action in where:
        text = str(action).strip()
        if text.lower() in _WORDS:
            tokens.append(_WORDS[text.lower()])
        elif match := _BET.fullmatch(text):
            tokens.append("b" + match[1])
        elif _CARD.fullmatch(text):
            tokens.append(text[0].upper() + text[1].lower())
        else:
            raise ValueError(f"not an action: {action!r} (check, call, fold, bet N, raise N or "
                             "a card)")
    return ":".join(tokens)


@dataclass
class HandValues:
    """Per-combo values with the weight of each combo (its reach), and their weighted average."""
    values: np.ndarray
    weights: np.ndarray
    average: float = None

    def by_hand(self):
        """Values of the combos with a positive weight, keyed by combo name."""
        return by_combo(np.where(self.weights > 0, self.values, np.nan))

    def by_class(self):
        """Weighted averages per hand class."""
        return by_hand_class(self.values, self.weights)


@dataclass
class Strategy:
    """The acting player's average strategy at a node: action names, one row of per-combo
    probabilities per action, the player's range on arrival (the weight of each combo), and the
    aggregated frequency of each action over that range."""
    actions: list
    per_hand: np.ndarray
    range: np.ndarray
    frequencies: dict

    def by_hand(self):
        """{combo: {action: probability}} over the combos in the range."""
        return {COMBO_NAMES[i]: dict(zip(self.actions, map(float, self.per_hand[:, i])))
                for i in np.flatnonzero(self.range > 0)}

    def by_class(self):
        """{hand class: {action: probability}}, weighted by the range."""
        rows = [by_hand_class(row, self.range) for row in self.per_hand]
        return {name: {action: row[name] for action, row in zip(self.actions, rows)}
                for name in rows[0]} if rows else {}


def action_name(label, node):
    """"check", "call", "fold", "bet N" or "raise N" for a child label of the engine."""
    facing_bet = node.invested[0] != node.invested[1]
    if label == "f":
        return "fold"
    if label == "c":
        return "call" if facing_bet else "check"
    return ("raise " if facing_bet else "bet ") + label[1:]


class Node:
    """One node of a solved tree; every query asks the engine afresh."""

    def __init__(self, engine, path):
        self.engine = engine
        self.path = path
        self.info = engine.node(path)

    @property
    def player(self):
        """0 (OOP) or 1 (IP) at a decision node, else None."""
        return self.info.player

    def children(self):
        return self.engine.children(self.path)

    def actions(self):
        return [action_name(child.path.rpartition(":")[2], self.info)
                for child in self.children()]

    def strategy(self):
        if self.player is None:
            raise ValueError(f"{self.path} is not a decision node ({self.info.type})")
        names = self.actions()
        frequencies = self.engine.probabilities(self.path).actions
        return Strategy(names, self.engine.strategy(self.path), self.range(self.player),
                        dict(zip(names, frequencies.values())))

    def range(self, player):
        """The player's range on arrival at the node (board-blocked combos 0)."""
        return self.engine.node_range(player, self.path)

    def ev(self, player):
        values, weights = self.engine.ev(player, self.path)
        total = np.nansum(weights)
        average = float(np.nansum(values * weights) / total) if total > 0 else None
        return HandValues(values, weights, average)

    def equity(self, player):
        return HandValues(*self.engine.equity(player, self.path))

    def frequency(self):
        """How often play reaches the node."""
        return self.engine.global_frequency(self.path)


def next_round_size(steps, seconds, target):
    """The number of iterations for a round to take about `target` seconds after `steps` took
    `seconds` (the exploitability check included): at least 1, and at most four times as many,
    so that one quick round does not make the next one run long."""
    if seconds <= 0:
        return 4 * steps
    return max(1, min(4 * steps, int(steps * target / seconds)))


@dataclass(frozen=True)
class SolveStatus:
    """Where a solve stands: iterations so far, exploitability in chips and in percent of the
    starting pot, and the EVs of both players."""
    iterations: int
    exploitability: float
    percent: float
    ev: dict


class Solver:
    """A game set up in an engine, solved there and read back."""

    def __init__(self, engine, game, threads=None):
        self.engine = engine
        self.game = game
        for line in game.script():
            engine.command(line)
        if threads:
            engine.set_threads(threads)
        # the client checks the accuracy itself; the engine's own periodic checks would only
        # cost time
        engine.command("set_info_freq 1000000")

    def status(self, timeout=None):
        results = self.engine.results(timeout)
        iterations = int(self.engine.command("get_value solver_iterations")[0].split()[-1])
        return SolveStatus(iterations, results.exploitability,
                           100 * results.exploitability / self.game.pot,
                           {PLAYERS[0]: results.ev_oop, PLAYERS[1]: results.ev_ip})

    def solve(self, accuracy=0.5, max_iterations=1000, check_every=10, progress=None,
              timeout=3600.0, stop=None, round_seconds=None):
        """Iterates in rounds of check_every iterations until the exploitability is at most
        `accuracy` percent of the pot or max_iterations are done; progress(status) is called after
        every round. timeout bounds each round. stop() is asked before every round and ends the
        solve when true. With round_seconds, each round after the first is sized to take about
        that long, so that progress comes at a steady pace whatever an iteration costs. Returns
        the last status."""
        status = self.status(timeout)
        steps = check_every
        while (status.percent > accuracy and status.iterations < max_iterations
               and not (stop and stop())):
            started = time.monotonic()
            self.engine.go(min(steps, max_iterations - status.iterations), timeout)
            before, status = status, self.status(timeout)
            if progress:
                progress(status)
            if status.iterations == before.iterations:  # the engine's own iteration cap
                break
            if round_seconds:
                steps = next_round_size(status.iterations - before.iterations,
                                        time.monotonic() - started, round_seconds)
        return status

    def node(self, where):
        """The node at a path text or a list of actions (see node_path); [] is the root."""
        return Node(self.engine, node_path(where))

    def root(self):
        return self.node([])
