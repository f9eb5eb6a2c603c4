"""The card vocabulary shared with the engine: ranks, suits, and the engine's order of the 1326
two-card combos, in which every per-hand array that crosses the protocol is laid out.

A card's ordinal is 4 × rank + suit (2c = 0, 2d = 1, ..., As = 51); a combo of ordinals a > b sits
at index a × (a − 1) / 2 + b and is named by the card a followed by the card b ("AsKs").
"""
import numpy as np

RANKS = "23456789TJQKA"
SUITS = "cdhs"
COMBO_COUNT = 1326


def card_ordinal(text):
    """The ordinal of a two-character card ("Ah", case-insensitive); ValueError otherwise."""
    if len(text) != 2 or text[0].upper() not in RANKS or text[1].lower() not in SUITS:
        raise ValueError(f"not a card: {text!r}")
    return 4 * RANKS.index(text[0].upper()) + SUITS.index(text[1].lower())


def card_text(ordinal):
    return RANKS[ordinal // 4] + SUITS[ordinal % 4]


def combo_index(first, second):
    """The combo index of two distinct card ordinals, in either order."""
    high, low = max(first, second), min(first, second)
    return high * (high - 1) // 2 + low


def _build_combo_names():
    names = [""] * COMBO_COUNT
    for high in range(52):
        for low in range(high):
            names[combo_index(high, low)] = card_text(high) + card_text(low)
    return tuple(names)


COMBO_NAMES = _build_combo_names()
COMBO_OF_NAME = {name: i for i, name in enumerate(COMBO_NAMES)}


def parse_combo(text):
    """The combo index of a four-character combo such as "AhKh" or "kdks"; ValueError otherwise."""
    if len(text) != 4:
        raise ValueError(f"not a combo: {text!r}")
    first, second = card_ordinal(text[:2]), card_ordinal(text[2:])
    if first == second:
        raise ValueError(f"not a combo: {text!r}")
    return combo_index(first, second)


def combos_free_of(cards):
    """A mask of the combos that hold none of the cards of a text such as "QsJh2h"."""
    cards = "".join(cards.split())
    taken = {card_ordinal(cards[i:i + 2]) for i in range(0, len(cards), 2)}
    return np.array([card_ordinal(name[:2]) not in taken and card_ordinal(name[2:]) not in taken
                     for name in COMBO_NAMES])


def hand_class_name(index):
    """The starting-hand class of a combo: "AA", "AKs" or "AKo"."""
    name = COMBO_NAMES[index]
    high, low = name[0], name[2]
    if high == low:
        return high + low
    return high + low + ("s" if name[1] == name[3] else "o")


HAND_CLASS_OF_COMBO = tuple(hand_class_name(i) for i in range(COMBO_COUNT))


def by_combo(values):
    """A 1326-value array as a dict keyed by combo name; entries that are not numbers are left out."""
    return {COMBO_NAMES[i]: float(v) for i, v in enumerate(values) if v == v}


def by_hand_class(values, weights):
    """Weighted averages of a 1326-value array per starting-hand class ("AKs"), over the combos
    with a positive weight; classes without such a combo are left out."""
    values = np.asarray(values, dtype=float)
    weights = np.asarray(weights, dtype=float)
    sums, totals = {}, {}
    for i in np.flatnonzero((weights > 0) & ~np.isnan(values)):
        name = HAND_CLASS_OF_COMBO[i]
        sums[name] = sums.get(name, 0.0) + weights[i] * values[i]
        totals[name] = totals.get(name, 0.0) + weights[i]
    return {name: sums[name] / totals[name] for name in sums}
