"""A game as a player describes it (board, ranges as text, pot, stack, bet sizes, rake), and the
command script that sets it up in the engine."""
from dataclasses import dataclass, field
from fractions import Fraction

import numpy as np

from .bet_tree import TreeSettings, donk_sizes, sizes_from_table, tree_lines
from .cards import card_ordinal
from .engine import number_text, range_command
from .ranges import format_range, parse_range


def normalise_board(board):
    """Board text such as "QsJh2h", "Qs Jh 2h" or "qs,jh,2h" as "QsJh2h"; ValueError unless it
    holds 3 to 5 distinct cards."""
    text = "".join(board.replace(",", " ").split())
    cards = [text[i:i + 2] for i in range(0, len(text), 2)]
    try:
        ordinals = [card_ordinal(card) for card in cards]
    except ValueError:
        raise ValueError(f"bad board {board!r}: not a list of cards such as QsJh2h") from None
    if not 3 <= len(cards) <= 5 or len(set(ordinals)) != len(cards):
        raise ValueError(f"bad board {board!r}: 3 to 5 distinct cards")
    return "".join(card[0].upper() + card[1].lower() for card in cards)


def _weights(range_value):
    return parse_range(range_value) if isinstance(range_value, str) else np.asarray(range_value,
                                                                                    dtype=float)


@dataclass
class Game:
    """A heads-up post-flop game. Ranges are range text or 1326 weights in combo order; pot and
    stack (the effective stack) are chips; bets is a table of sizes (see bet_tree.sizes_from_table:
    {"bet": "33%, 75%", "raise": "2.5x"}, or per street and player); donk is False, True or a size
    string; the thresholds are those of bet_tree; rake is a fraction of the pot, capped at
    rake_cap chips."""
    board: str
    oop_range: object
    ip_range: object
    pot: int
    stack: int
    bets: dict = field(default_factory=dict)
    donk: object = False
    add_allin: float = 0.0
    force_allin: float = 0.0
    merging: float = 0.0
    rake: float = 0.0
    rake_cap: float = 0.0

    def __post_init__(self):
        self.board = normalise_board(self.board)
        for name in ("pot", "stack"):
            value = getattr(self, name)
            if isinstance(value, bool) or not isinstance(value, int) or value <= 0:
                raise ValueError(f"{name} must be a whole number of chips above 0, not {value!r}")
        if self.rake and not self.rake_cap:
            raise ValueError("a rake needs its cap in chips (rake_cap)")

    def ranges(self):
        """Both ranges as 1326 weights: OOP's, then IP's."""
        return _weights(self.oop_range), _weights(self.ip_range)

    def range_texts(self):
        return tuple(r if isinstance(r, str) else format_range(r)
                     for r in (self.oop_range, self.ip_range))

    def tree_settings(self):
        return TreeSettings(pot=self.pot, stack=self.stack, board_cards=len(self.board) // 2,
                            sizes=sizes_from_table(self.bets), donk=donk_sizes(self.donk),
                            add_allin=Fraction(str(self.add_allin)),
                            force_allin=Fraction(str(self.force_allin)),
                            merging=Fraction(str(self.merging)))

    def lines(self):
        """Every betting line, as amounts in `add_line` order."""
        return tree_lines(self.tree_settings())

    def script(self):
        """The command lines that set the game up and build its tree (and set the rake, which
        needs the tree)."""
        oop, ip = self.ranges()
        commands = [range_command(0, oop), range_command(1, ip), f"set_board {self.board}",
                    f"set_pot 0 0 {self.pot}",
                    "clear_lines"]
        commands += ["add_line " + " ".join(str(a) for a in line) for line in self.lines()]
        commands.append("build_tree")
        if self.rake:
            commands.append(f"set_rake {number_text(self.rake)} {number_text(self.rake_cap)}")
        return commands
