"""What the page shows of a node, as plain data: the line that leads to it, the acting player's
strategy per hand class and per combo, the actions' frequencies, both ranges, and the cards that
can come at a chance node. Every number is the engine's answer, read through the client."""
import math

import numpy as np

from ..cards import COMBO_NAMES, HAND_CLASS_OF_COMBO, by_hand_class, combos_free_of
from ..engine import PLAYERS
from ..solution import Node, action_name

ROOT = "r:0"


def _number(value):
    """A float for JSON: None where the engine has no value."""
    if value is None:
        return None
    value = float(value)
    return value if math.isfinite(value) else None


def range_view(weights, free=None):
    """A range as the page draws it: per hand class the average weight of its combos (those free
    of the board when `free` is given), and the number of combos in all."""
    live = np.ones(len(weights)) if free is None else free.astype(float)
    return {"grid": by_hand_class(weights, live), "combos": float(np.sum(weights))}


def breadcrumb(engine, path):
    """[{name, path}] of every step of a node path from the root on: action names at decision
    nodes, the card dealt at chance nodes."""
    tokens = path.split(":")
    steps = [{"name": "start", "path": ROOT}]
    for end in range(3, len(tokens) + 1):
        parent = ":".join(tokens[:end - 1])
        label = tokens[end - 1]
        info = engine.node(parent)
        steps.append({"name": label if info.player is None else action_name(label, info),
                      "path": ":".join(tokens[:end])})
    return steps


def _strategy_view(node):
    """The acting player's strategy: actions with their frequency and combos, each hand class's
    mix (weighted by the range), and per combo its weight, strategy, EV and equity."""
    player = PLAYERS[node.player]
    strategy = node.strategy()
    ev, equity = node.ev(player), node.equity(player)
    total = float(np.sum(strategy.range))
    children = node.children()
    actions = [{"name": name, "path": child.path, "frequency": _number(frequency),
                "combos": _number(frequency * total)}
               for name, child, frequency in zip(strategy.actions, children,
                                                 strategy.frequencies.values())]
    hands = {}
    for i in np.flatnonzero(strategy.range > 0):
        hands.setdefault(HAND_CLASS_OF_COMBO[i], []).append({
            "combo": COMBO_NAMES[i], "weight": _number(strategy.range[i]),
            "strategy": [_number(p) for p in strategy.per_hand[:, i]],
            "ev": _number(ev.values[i]), "equity": _number(equity.values[i])})
    return {"actions": actions,
            "grid": {name: list(mix.values()) for name, mix in strategy.by_class().items()},
            "hands": hands, "ev": _number(ev.average),
            "equity": _number(equity.average)}


def node_view(engine, path):
    node = Node(engine, path)
    info = node.info
    free = combos_free_of(info.board)
    view = {"path": info.path, "type": info.type, "board": info.board,
            "invested": list(info.invested), "breadcrumb": breadcrumb(engine, info.path),
            "player": None if node.player is None else PLAYERS[node.player],
            "ranges": {player: range_view(node.range(player), free) for player in PLAYERS},
            "cards": [], "actions": []}
    if node.player is not None:
        view.update(_strategy_view(node))
    elif info.type == "SPLIT_NODE":
        view["cards"] = [{"card": child.path.rpartition(":")[2], "path": child.path}
                         for child in node.children()]
    return view
