"""The strategically distinct flops and subsets of them that keep the texture mix of all flops.

Of the 22,100 three-card flops, those that differ only by a renaming of the suits play alike: they
fall into 1,755 classes, each weighed by the number of flops it holds (4, 12 or 24). A class is
shown by one member, ranks high to low ("AhKdQc").

A flop's texture has four parts:
  suitedness     monotone, two-tone or rainbow
  pairing        unpaired, paired or trips
  high card      the rank of its highest card
  connectedness  connected when its three ranks fit in five consecutive ranks (two hole cards can
                 make a straight), semi-connected when two of its ranks fit in four (two hole cards
                 can make an open-ended straight draw), else disconnected; the ace also counts low

A subset of N flops (`flop_subset`) is chosen in two steps:
  1. Every class is laid on a line in texture order (high card, suitedness, pairing,
     connectedness, then the other ranks), taking a stretch as long as its weight, 22,100 in all.
     The N flops picked are those at the same point of each of N equal steps along the line (a
     class hit twice gives way to the next one), so each part of the line, and each texture that
     leads the order, gets its share of the picks. Twenty points within a step are tried (1/40,
     3/40, ...); the one whose subset ends up closest to all flops' mix after step 2 is kept.
  2. Each pick starts with an equal share of the 22,100 flops; the shares are then raked
     (iterative proportional fitting): scaled, one texture part after the other, until the
     weighted share of each suitedness, pairing, high card and connectedness in the subset is that
     of all flops. A texture that no pick has (trips in small subsets) cannot be matched, its share
     goes to the others; where the picks' textures pull against each other (25 flops: monotone)
     the raking comes as close as it can.
`texture_mix` gives the weighted shares that the two steps match.
"""
import functools
import itertools
from dataclasses import dataclass

import numpy as np

from .cards import RANKS, SUITS

ALL_FLOPS = 22100
SUITEDNESS = ("monotone", "two-tone", "rainbow")
PAIRING = ("unpaired", "paired", "trips")
CONNECTEDNESS = ("connected", "semi-connected", "disconnected")
TEXTURES = ("suitedness", "pairing", "high_card", "connectedness")


@dataclass(frozen=True)
class FlopClass:
    """A class of flops alike up to suits: a member as text, ranks high to low (0 = deuce), the
    number of distinct suits, and the number of flops in the class."""
    text: str
    ranks: tuple
    suit_count: int
    weight: int

    @property
    def suitedness(self):
        return SUITEDNESS[self.suit_count - 1]

    @property
    def pairing(self):
        return PAIRING[3 - len(set(self.ranks))]

    @property
    def high_card(self):
        return RANKS[self.ranks[0]]

    @property
    def connectedness(self):
        ranks = set(self.ranks)
        if RANKS.index("A") in ranks:
            ranks.add(-1)

        def most_within(width):
            return max(sum(1 for rank in ranks if bottom <= rank < bottom + width)
                       for bottom in range(-1, len(RANKS)))
        if most_within(5) == 3:
            return CONNECTEDNESS[0]
        return CONNECTEDNESS[1] if most_within(4) == 2 else CONNECTEDNESS[2]

    def texture(self, part):
        return getattr(self, part)

    def order_key(self):
        """Texture order: high card (highest first), suitedness, pairing, connectedness, then
        the other ranks from the top."""
        return (-self.ranks[0], self.suit_count - 1, 3 - len(set(self.ranks)),
                CONNECTEDNESS.index(self.connectedness), tuple(-r for r in self.ranks[1:]))


def _canonical(flop):
    """The least sorted card tuple among a flop's suit renamings: one key per class."""
    return min(tuple(sorted(4 * (card // 4) + perm[card % 4] for card in flop))
               for perm in itertools.permutations(range(4)))


@functools.cache
def flop_classes():
    """All 1,755 flop classes in texture order."""
    counts = {}
    for flop in itertools.combinations(range(52), 3):
        key = _canonical(flop)
        counts[key] = counts.get(key, 0) + 1
    classes = []
    for key, weight in counts.items():
        cards = sorted(key, reverse=True)
        text = "".join(RANKS[card // 4] + SUITS[card % 4] for card in cards)
        classes.append(FlopClass(text, tuple(card // 4 for card in cards),
                                 len({card % 4 for card in cards}), weight))
    return tuple(sorted(classes, key=FlopClass.order_key))


def texture_mix(classes, weights):
    """{texture part: {value: weighted share}} over the given classes."""
    weights = np.asarray(weights, dtype=float)
    mix = {}
    for part in TEXTURES:
        shares = {}
        for flop, weight in zip(classes, weights):
            value = flop.texture(part)
            shares[value] = shares.get(value, 0.0) + weight
        mix[part] = {value: share / weights.sum() for value, share in shares.items()}
    return mix


@functools.cache
def full_mix():
    """The texture mix of all 22,100 flops."""
    return texture_mix(flop_classes(), [flop.weight for flop in flop_classes()])


def mix_distance(mix):
    """The largest difference between a mix's share of a texture value and all flops' share."""
    return max(abs(mix[part].get(value, 0.0) - share)
               for part, shares in full_mix().items() for value, share in shares.items())


def _systematic_picks(classes, count, point):
    """Indexes of `count` classes at `point` (0 to 1) of each of count equal steps along the
    weighted line; a class hit twice gives way to the next one (near the end, to the one before)."""
    ends = np.cumsum([flop.weight for flop in classes])
    hits = np.searchsorted(ends, (np.arange(count) + point) * ends[-1] / count, side="right")
    picks = np.maximum.accumulate(hits - np.arange(count)) + np.arange(count)
    return np.minimum(picks, len(classes) - count + np.arange(count))


def _raked(classes, weights, sweeps=500, tolerance=1e-12):
    """Weights scaled, one texture part at a time, until each part's shares are those of all
    flops (among the values the classes have), summing to 22,100."""
    weights = np.array(weights, dtype=float)
    parts = []
    for part in TEXTURES:
        values = sorted({flop.texture(part) for flop in classes})
        codes = np.array([values.index(flop.texture(part)) for flop in classes])
        target = np.array([full_mix()[part][value] for value in values])
        parts.append((codes, target / target.sum()))
    for _ in range(sweeps):
        largest_change = 0.0
        for codes, target in parts:
            have = np.bincount(codes, weights) / weights.sum()
            change = (target / have)[codes]
            largest_change = max(largest_change, float(np.abs(change - 1).max()))
            weights *= change
        if largest_change < tolerance:
            break
    return weights * ALL_FLOPS / weights.sum()


def flop_subset(count):
    """`count` flop classes whose weighted texture mix matches all flops', with the number of the
    22,100 flops each stands for (summing to 22,100): [(FlopClass, weight)] in texture order.
    A count of 1,755 or more gives every class with its own weight."""
    if isinstance(count, bool) or not isinstance(count, int) or count < 1:
        raise ValueError(f"a flop subset holds at least 1 flop, not {count!r}")
    classes = flop_classes()
    if count >= len(classes):
        return [(flop, float(flop.weight)) for flop in classes]
    best = None
    for point in np.arange(1, 40, 2) / 40:
        chosen = [classes[i] for i in _systematic_picks(classes, count, point)]
        weights = _raked(chosen, [ALL_FLOPS / count] * count)
        distance = mix_distance(texture_mix(chosen, weights))
        if best is None or distance < best[0]:
            best = (distance, list(zip(chosen, weights)))
    return best[1]
