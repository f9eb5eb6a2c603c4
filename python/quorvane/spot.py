"""Spot files: a game and how to solve it, in TOML (every key is described in python/README.md).

    board = "QsJh2h"
    pot = 100
    stack = 200
    oop_range = "QQ-22,AQs-A2s,ATo+"
    ip_range = "JJ-22,AJs-A2s,AJo-ATo"
    bets = { bet = "33%, 75%", raise = "2.5x" }
    accuracy = 0.5
"""
import tomllib
from dataclasses import dataclass

from .game import Game

_GAME_KEYS = ("board", "pot", "stack", "oop_range", "ip_range", "bets", "donk", "add_allin",
              "force_allin", "merging", "rake", "rake_cap")
_REQUIRED = ("board", "pot", "stack", "oop_range", "ip_range")
_SOLVE_KEYS = ("accuracy", "threads", "max_iterations")


class SpotError(ValueError):
    """A spot file that cannot be used; the message names the file and the key."""


@dataclass
class Spot:
    game: Game
    accuracy: float = 0.5  # percent of the pot
    threads: int = None
    max_iterations: int = 1000


def read_spot(text, name="spot"):
    """A Spot from TOML text."""
    try:
        table = tomllib.loads(text)
    except tomllib.TOMLDecodeError as error:
        raise SpotError(f"{name}: {error}") from None
    unknown = set(table) - set(_GAME_KEYS) - set(_SOLVE_KEYS)
    if unknown:
        raise SpotError(f"{name}: unknown key '{sorted(unknown)[0]}'")
    missing = [key for key in _REQUIRED if key not in table]
    if missing:
        raise SpotError(f"{name}: missing key '{missing[0]}'")
    try:
        game = Game(**{key: table[key] for key in _GAME_KEYS if key in table})
        game.tree_settings()  # reads the bet sizes now, so that their errors name the file
        game.ranges()
    except (TypeError, ValueError) as error:
        raise SpotError(f"{name}: {error}") from None
    return Spot(game, **{key: table[key] for key in _SOLVE_KEYS if key in table})


def load_spot(path):
    with open(path, encoding="utf-8") as file:
        return read_spot(file.read(), str(path))
