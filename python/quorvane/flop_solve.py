"""One flop of a batch: a spot's game solved on a given flop by an engine process of its own, and
what a report keeps of it (plain data, so that it travels between processes and into JSON)."""
import dataclasses

import numpy as np

from .engine import PLAYERS, Engine
from .solution import Solver

# Per command; solving rounds have their own (Solver.solve). Building a deep flop tree on a busy
# machine takes a while.
ENGINE_TIMEOUT = 600.0


def by_category(strategy, codes, names):
    """The acting player's root strategy per hand category, in the categories' order:
    {name: {"share": the category's share of the range, "frequencies": {action: frequency within
    the category}}} (no frequencies where the range holds none of the category)."""
    total = strategy.range.sum()
    found = {}
    for index, name in enumerate(names):
        held = np.flatnonzero((codes == index) & (strategy.range > 0))
        mass = strategy.range[held].sum()
        frequencies = strategy.per_hand[:, held] @ strategy.range[held] / mass if mass > 0 else []
        found[name] = {"share": float(mass / total),
                       "frequencies": dict(zip(strategy.actions, map(float, frequencies)))}
    return found


def solve_flop(spot, flop, program=None):
    """Solves the spot's game on `flop` to the spot's accuracy, in a fresh engine (`program`, or
    the default one of the machine this runs on), and returns its summary: the root player's
    strategy frequencies overall and per hand category, both players' EVs and equities."""
    game = dataclasses.replace(spot.game, board=flop)
    with Engine.popen(program, timeout=ENGINE_TIMEOUT) as engine:
        solver = Solver(engine, game, spot.threads or 1)
        status = solver.solve(spot.accuracy, spot.max_iterations)
        root = solver.root()
        strategy = root.strategy()
        made, draws = engine.categories(game.board)
        made_names, draw_names = engine.category_names()
        return {
            "flop": game.board,
            "iterations": status.iterations,
            "exploitability_percent": status.percent,
            "player": PLAYERS[root.player],
            "frequencies": strategy.frequencies,
            "ev": status.ev,
            "equity": {player: root.equity(player).average for player in PLAYERS},
            "categories": {"made": by_category(strategy, made, made_names),
                           "draw": by_category(strategy, draws, draw_names)},
        }
