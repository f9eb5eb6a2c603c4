"""A Python client for the Quorvane engine: ranges as text, betting trees from bet sizes, solving
and reading solutions as numpy arrays."""
from .bet_tree import BetSizeError, PlayerSizes, TreeSettings, parse_sizes, tree_lines
from .cards import COMBO_NAMES, by_combo, by_hand_class
from .engine import Engine, NodeInfo, Results
from .errors import EngineError, EngineTerminated, EngineTimeout
from .game import Game
from .ranges import RangeError, format_range, parse_range
from .solution import HandValues, Node, Solver, SolveStatus, Strategy, node_path
from .spot import Spot, SpotError, load_spot, read_spot

__all__ = [
    "BetSizeError", "COMBO_NAMES", "Engine", "EngineError", "EngineTerminated", "EngineTimeout",
    "Game", "HandValues", "Node", "NodeInfo", "PlayerSizes", "RangeError", "Results", "SolveStatus",
    "Solver", "Spot", "SpotError", "Strategy", "TreeSettings", "by_combo", "by_hand_class",
    "format_range", "load_spot", "node_path", "parse_range", "parse_sizes", "read_spot",
    "tree_lines",
]
