"""Flop classes and subsets: the class counts that combinatorics gives, the texture of sample
flops, and the texture mix of the subsets against all flops."""
import collections

import pytest

from quorvane.flops import (ALL_FLOPS, FlopClass, TEXTURES, flop_classes, flop_subset, mix_distance,
                            texture_mix)


def test_classes_are_those_that_counting_gives():
    # unpaired: 286 rank sets, once monotone (4 flops each), three ways two-tone (which rank is
    # off-suit; 12 each), once rainbow (24); paired: 156 ordered rank pairs, with the kicker
    # sharing a suit with the pair or not (12 each); trips: 13 (4 each)
    expected = {("monotone", "unpaired"): (286, 4), ("two-tone", "unpaired"): (858, 12),
                ("rainbow", "unpaired"): (286, 24), ("two-tone", "paired"): (156, 12),
                ("rainbow", "paired"): (156, 12), ("rainbow", "trips"): (13, 4)}
    found = collections.defaultdict(list)
    for flop in flop_classes():
        found[flop.suitedness, flop.pairing].append(flop.weight)
    assert {key: (len(weights), max(weights)) for key, weights in found.items()} == expected
    assert all(min(weights) == max(weights) for weights in found.values())
    assert len(flop_classes()) == 1755 and sum(f.weight for f in flop_classes()) == ALL_FLOPS
    assert len({flop.text for flop in flop_classes()}) == 1755


@pytest.mark.parametrize("text, texture", [
    ("9h8d7c", ("rainbow", "unpaired", "9", "connected")),
    ("Ah5d4c", ("rainbow", "unpaired", "A", "connected")),  # the ace plays low
    ("AhKdQc", ("rainbow", "unpaired", "A", "connected")),
    ("KdTc8c", ("two-tone", "unpaired", "K", "semi-connected")),
    ("Ac8c3c", ("monotone", "unpaired", "A", "semi-connected")),  # A and 3 within four ranks
    ("Kc7d2c", ("two-tone", "unpaired", "K", "disconnected")),
    ("Ac9d5c", ("two-tone", "unpaired", "A", "disconnected")),
    ("JhJdTc", ("rainbow", "paired", "J", "semi-connected")),
    ("7h7d7c", ("rainbow", "trips", "7", "disconnected")),
])
def test_texture_of_sample_flops(text, texture):
    ranks = tuple(sorted(("23456789TJQKA".index(text[i]) for i in (0, 2, 4)), reverse=True))
    flop = FlopClass(text, ranks, len(set(text[1::2])), 0)
    assert tuple(flop.texture(part) for part in TEXTURES) == texture


def test_subsets_keep_the_texture_mix_of_all_flops():
    subsets = [flop_subset(count) for count in (25, 49, 95, 184)]
    for subset, largest in zip(subsets, (0.02, 0.0025, 0.0025, 0.0025)):
        flops = [flop.text for flop, _ in subset]
        assert len(set(flops)) == len(flops)
        assert sum(weight for _, weight in subset) == pytest.approx(ALL_FLOPS)
        assert min(weight for _, weight in subset) > 0
        assert mix_distance(texture_mix(*zip(*subset))) <= largest
    assert [flop.text for flop, _ in flop_subset(25)] == [flop.text for flop, _ in subsets[0]]
    every = flop_subset(5000)
    assert [(flop, weight) for flop, weight in every] == [(f, f.weight) for f in flop_classes()]
    with pytest.raises(ValueError, match="at least 1 flop"):
        flop_subset(0)
