"""Betting trees from bet sizes: the lines that `add_line` takes, from sizes per street and player.

A size string is a comma-separated list:
  "N%"          N percent of the pot (for a raise: of the pot after calling, on top of the call)
  "Nx"          raise to N times the bet faced (raises only)
  "Nc"          N chips (for a raise: on top of the call)
  "e", "Ne"     geometric: the same fraction of the pot on each of N streets (default: the streets
                left, this one included) puts the stack in; "NeM%" caps it at M% of the pot
  "a"           all-in
Amounts are rounded to whole chips (halves up) on the street where they are bet; a line amount is
the bettor's total since the start of the tree. Three thresholds shape the sizes:
  add_allin    an all-in is added when it is at most this many pots (for a raise: the raise on
               top of the call, in pots after calling)
  force_allin  a bet or raise that would leave at most this fraction of the pot after calling
               behind becomes all-in
  merging      walking from the largest size, a size of Y% of the pot is dropped when
               (100 + X) / (100 + Y) < 1 + merging for the last kept size of X%
Donk bets: on the turn and river, OOP acting first after IP made the last bet or raise of the
previous street only checks (donk=None), bets its normal sizes (donk=True), or bets its own donk
sizes (a size string).
"""
import math
import re
from dataclasses import dataclass, field, replace
from fractions import Fraction

STREETS = ("flop", "turn", "river")
_SIZE = re.compile(r"(?:(?P<pct>[\d.]+)%|(?P<mul>[\d.]+)x|(?P<chips>[\d.]+)c"
                   r"|(?P<geo>\d*)e(?:(?P<cap>[\d.]+)%)?|(?P<allin>a))")


class BetSizeError(ValueError):
    """A size string that cannot be read; `token` is the offending size."""

    def __init__(self, token, reason):
        super().__init__(f"bad bet size '{token}': {reason}")
        self.token = token
        self.reason = reason


@dataclass(frozen=True)
class Size:
    kind: str  # "pot", "times", "chips", "geometric" or "allin"
    value: Fraction = Fraction(0)  # a fraction of the pot, a multiple, chips or a street count
    cap: Fraction = None  # geometric sizes: the largest fraction of the pot


def parse_sizes(text, raises=False):
    """The sizes of a size string; "Nx" only where raises is true. BetSizeError names the token."""
    sizes = []
    for token in (t.strip() for t in text.split(",")):
        if not token:
            continue
        match = _SIZE.fullmatch(token.lower())
        try:
            if not match:
                raise ValueError("not N%, Nx, Nc, e, Ne, NeM% or a")
            if match["pct"]:
                sizes.append(Size("pot", Fraction(match["pct"]) / 100))
            elif match["mul"]:
                if not raises:
                    raise ValueError("Nx sizes are for raises only")
                if Fraction(match["mul"]) <= 1:
                    raise ValueError("a raise multiple must be above 1")
                sizes.append(Size("times", Fraction(match["mul"])))
            elif match["chips"]:
                sizes.append(Size("chips", Fraction(match["chips"])))
            elif match["allin"]:
                sizes.append(Size("allin"))
            else:
                cap = Fraction(match["cap"]) / 100 if match["cap"] else None
                sizes.append(Size("geometric", Fraction(int(match["geo"] or 0)), cap))
        except ValueError as error:  # Fraction's own complaints about malformed numbers included
            raise BetSizeError(token, str(error)) from None
    return tuple(sizes)


@dataclass(frozen=True)
class PlayerSizes:
    bet: tuple = ()
    raises: tuple = ()


@dataclass
class TreeSettings:
    """A game's betting: pot and effective stack in chips, the number of board cards the tree
    starts with, sizes[street][player] (street 0 flop, 1 turn, 2 river; player 0 OOP, 1 IP)."""
    pot: int
    stack: int
    board_cards: int = 3
    sizes: list = field(default_factory=lambda: [[PlayerSizes()] * 2 for _ in STREETS])
    donk: object = None  # None, True, or a tuple of sizes
    add_allin: Fraction = Fraction(0)
    force_allin: Fraction = Fraction(0)
    merging: Fraction = Fraction(0)


@dataclass(frozen=True)
class _Street:
    """Betting state within one street: amounts are the street's own, base is what each player
    had put in before it."""
    street: int
    base: int
    player: int = 0
    level: int = 0  # the highest street amount so far
    increment: int = 0  # the last bet or raise on top of the one before it
    aggressor: int = None  # who made the last bet or raise
    checked: bool = False
    donk_barred: bool = False  # OOP may not lead: IP was the previous street's aggressor


def _round_half_up(amount):
    return math.floor(amount + Fraction(1, 2))


def _on_top(size, pot, behind, street):
    """The chips a pot, chip or geometric size puts in on top of a call (or of nothing, for a
    bet), given the pot and the stack behind once the call is made."""
    if size.kind == "pot":
        return size.value * pot
    if size.kind == "chips":
        return size.value
    streets = int(size.value) or len(STREETS) - street
    # the same fraction f each street grows the pot by 1 + 2f and puts the stack in after n streets
    fraction = Fraction(((1 + 2 * behind / pot) ** (1 / streets) - 1) / 2)
    return pot * (fraction if size.cap is None else min(fraction, size.cap))


class _Builder:
    def __init__(self, settings):
        self.s = settings
        self.first_street = settings.board_cards - 3
        self.lines = []

    def pot(self, state):
        return self.s.pot + 2 * state.base

    def behind(self, state):
        return self.s.stack - state.base

    def sizes_at(self, state):
        """The sizes of the player to act: raises when a bet is open, else bets or donk bets."""
        own = self.s.sizes[state.street][state.player]
        if state.level > 0:
            return own.raises
        if state.player == 0 and state.donk_barred and self.s.donk is not True:
            return self.s.donk or ()
        return own.bet

    def targets(self, state):
        """The street amounts the player to act may bet or raise to, largest first."""
        sizes = self.sizes_at(state)
        stack = self.behind(state)  # what the player to act has left at the street's start
        called_pot = self.pot(state) + 2 * state.level
        called_behind = stack - state.level
        if called_behind <= 0:
            return []
        targets = set()
        for size in sizes:
            if size.kind == "times":
                amount = _round_half_up(size.value * state.level)
            elif size.kind == "allin":
                amount = stack
            else:
                on_top = _on_top(size, called_pot, called_behind, state.street)
                amount = state.level + max(1, _round_half_up(on_top))
            amount = max(amount, state.level + max(state.increment, 1))
            if stack - amount <= self.s.force_allin * (self.pot(state) + 2 * amount):
                amount = stack
            targets.add(min(amount, stack))
        if sizes and called_behind <= self.s.add_allin * called_pot:
            targets.add(stack)
        return self.merged(sorted(targets, reverse=True), state.level, called_pot)

    def merged(self, targets, level, pot):
        kept = []
        for amount in targets:
            share = 100 * Fraction(amount - level) / pot
            if kept and (100 + kept[-1][1]) / (100 + share) < 1 + self.s.merging:
                continue
            kept.append((amount, share))
        return [amount for amount, _ in kept]

    def walk(self, line, state):
        """Every line from this decision on, each ending where the action closes for good."""
        total = state.base + state.level
        closing = state.level > 0 or (state.checked and state.player == 1)
        if closing:
            self.close_street(line + [total], state)
        else:
            self.walk(line + [total], replace(state, player=1, checked=True))
        for amount in self.targets(state):
            self.walk(line + [state.base + amount],
                      replace(state, player=1 - state.player, level=amount,
                               increment=amount - state.level, aggressor=state.player))

    def close_street(self, line, state):
        base = state.base + state.level
        if base >= self.s.stack or state.street + 1 == len(STREETS):
            self.lines.append(line)
            return
        self.walk(line, _Street(street=state.street + 1, base=base,
                                donk_barred=state.aggressor == 1))

    def build(self):
        self.walk([], _Street(street=self.first_street, base=0))
        return sorted(self.lines)


def tree_lines(settings):
    """Every betting line of the tree, as lists of amounts in `add_line` order, sorted."""
    if settings.board_cards not in (3, 4, 5):
        raise ValueError("a board has 3, 4 or 5 cards")
    if settings.pot <= 0 or settings.stack <= 0:
        raise ValueError("the pot and the stack must be above 0")
    return _Builder(settings).build()


def _size_text(value, where):
    if isinstance(value, (list, tuple)):
        value = ",".join(str(v) for v in value)
    if not isinstance(value, str):
        raise ValueError(f"{where}: sizes are a string such as \"33%, 75%\"")
    return value


def sizes_from_table(bets):
    """sizes[street][player] from a table of bet sizes: "bet" and "raise" strings at the top
    apply everywhere, inside "flop", "turn" or "river" to that street, and inside the street's
    "oop" or "ip" to that player; the innermost one holds."""
    bets = bets or {}

    def level(table, inherited, children, where):
        unknown = set(table) - {"bet", "raise"} - set(children)
        if unknown:
            raise ValueError(f"{where}: unknown key '{sorted(unknown)[0]}'")
        own = dict(inherited)
        own.update({key: _size_text(table[key], f"{where}.{key}")
                    for key in ("bet", "raise") if key in table})
        return own

    top = level(bets, {}, STREETS, "bets")
    sizes = []
    for street in STREETS:
        street_table = bets.get(street, {})
        on_street = level(street_table, top, ("oop", "ip"), f"bets.{street}")
        row = []
        for player in ("oop", "ip"):
            where = f"bets.{street}.{player}"
            texts = level(street_table.get(player, {}), on_street, (), where)
            try:
                row.append(PlayerSizes(parse_sizes(texts.get("bet", "")),
                                       parse_sizes(texts.get("raise", ""), raises=True)))
            except BetSizeError as error:
                raise BetSizeError(error.token, f"{error.reason} (in {where})") from None
        sizes.append(row)
    return sizes


def donk_sizes(donk):
    """The donk setting of TreeSettings from false, true or a size string."""
    if donk is False or donk is None:
        return None
    if donk is True:
        return True
    return parse_sizes(_size_text(donk, "donk"))
