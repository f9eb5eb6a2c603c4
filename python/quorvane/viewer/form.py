"""The set-up form of the page as a game and solve settings. Every error names the form field it
belongs to, so that the page can show it beside that field; nothing here talks to the engine."""
import math
from dataclasses import dataclass

from ..bet_tree import STREETS, BetSizeError, parse_sizes
from ..game import Game
from ..ranges import RangeError, parse_range

PLAYER_KEYS = ("oop", "ip")
SIZE_KINDS = ("bet", "raise")


class FormError(ValueError):
    """A form value that cannot be used; `field` is the name of its input on the page."""

    def __init__(self, field, message):
        super().__init__(message)
        self.field = field


@dataclass
class SolveSettings:
    accuracy: float  # percent of the pot
    max_iterations: int
    threads: int = None  # None: the engine's


def _number(form, field, whole, low, default=None):
    """A number field: a whole number when `whole`, at least `low`; `default` when left out."""
    value = form.get(field, default)
    if value in ("", None):
        raise FormError(field, "a value is needed")
    try:
        number = float(value)
    except (TypeError, ValueError):
        raise FormError(field, f"not a number: {value!r}") from None
    if not math.isfinite(number) or number < low or (whole and not number.is_integer()):
        raise FormError(field, f"{'a whole number' if whole else 'a number'} of at least {low}, "
                               f"not {value!r}")
    return int(number) if whole else number


def _sizes(form):
    """The bets table of a Game from the fields "bets.STREET.PLAYER.KIND"; each string is read
    here once so that a bad size is reported at its own field."""
    table = {}
    for street in STREETS:
        for player in PLAYER_KEYS:
            for kind in SIZE_KINDS:
                field = f"bets.{street}.{player}.{kind}"
                text = str(form.get(field, ""))
                try:
                    parse_sizes(text, raises=kind == "raise")
                except BetSizeError as error:
                    raise FormError(field, str(error)) from None
                table.setdefault(street, {}).setdefault(player, {})[kind] = text
    return table


def _donk(form):
    """"off" only checks, "on" bets the normal sizes, anything else is a size string."""
    text = str(form.get("donk", "off")).strip()
    if text.lower() in ("", "off"):
        return False
    if text.lower() == "on":
        return True
    try:
        parse_sizes(text)
    except BetSizeError as error:
        raise FormError("donk", str(error)) from None
    return text


def check_range(field, text):
    """The 1326 weights of a range text; FormError at the field for a bad token or an empty
    range."""
    try:
        weights = parse_range(str(text))
    except RangeError as error:
        raise FormError(field, str(error)) from None
    if not weights.any():
        raise FormError(field, "the range holds no hand")
    return weights


def read_form(form):
    """(Game, SolveSettings) from the page's form values."""
    for field in ("oop_range", "ip_range"):
        check_range(field, form.get(field, ""))
    numbers = {field: _number(form, field, True, 1) for field in ("pot", "stack")}
    fractions = {field: _number(form, field, False, 0, 0) for field in
                 ("add_allin", "force_allin", "merging")}
    settings = SolveSettings(_number(form, "accuracy", False, 0),
                             _number(form, "max_iterations", True, 1, 1000),
                             _number(form, "threads", True, 1) if form.get("threads") else None)
    bets, donk = _sizes(form), _donk(form)
    try:
        game = Game(board=str(form.get("board", "")), oop_range=form["oop_range"],
                    ip_range=form["ip_range"], bets=bets, donk=donk, **numbers, **fractions)
    except ValueError as error:  # the board is the one value not checked above
        raise FormError("board", str(error)) from None
    return game, settings
