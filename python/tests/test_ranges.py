"""Range text: what each form names, exact round trips, short output, errors that name the token."""
import re

import numpy as np
import pytest

from conftest import bench_game, benchmark_game
from quorvane import COMBO_NAMES, RangeError, format_range, parse_range
from quorvane.cards import HAND_CLASS_OF_COMBO

EXAMPLES = [  # text, the hand classes it holds (combos of each with the weight)
    ("AA,KK", {"AA": 1, "KK": 1}),
    ("QQ-88", {"QQ": 1, "JJ": 1, "TT": 1, "99": 1, "88": 1}),
    ("AKs,AQo", {"AKs": 1, "AQo": 1}),
    ("A5s-A2s", {"A5s": 1, "A4s": 1, "A3s": 1, "A2s": 1}),
    ("KTs+", {"KTs": 1, "KJs": 1, "KQs": 1}),
    ("T9s:0.5", {"T9s": 0.5}),
    ("22+", {rank * 2: 1 for rank in "23456789TJQKA"}),
    ("AJ", {"AJs": 1, "AJo": 1}),
    ("A2s-A3s:0.25, 98o", {"A3s": 0.25, "A2s": 0.25, "98o": 1}),
]


def class_weights(weights):
    found = {}
    for i in np.flatnonzero(weights):
        found.setdefault(HAND_CLASS_OF_COMBO[i], set()).add(weights[i])
    return found


@pytest.mark.parametrize("text, classes", EXAMPLES)
def test_each_form_names_whole_hand_classes_and_reads_back_from_its_shortest_text(text, classes):
    weights = parse_range(text)
    assert class_weights(weights) == {name: {w} for name, w in classes.items()}
    assert sum(HAND_CLASS_OF_COMBO.count(name) for name in classes) == np.count_nonzero(weights)
    shortest = format_range(weights)
    assert np.array_equal(parse_range(shortest), weights)
    assert len(shortest) <= len(text.replace(" ", ""))


def test_single_combos_and_later_tokens_override_earlier_ones():
    weights = parse_range("AhKh, AK:0.5, AsKs:0")
    assert weights[COMBO_NAMES.index("AhKh")] == 0.5
    assert weights[COMBO_NAMES.index("AsKs")] == 0
    assert np.count_nonzero(weights) == 15
    assert format_range(weights) == "AK:0.5,AsKs:0"


@pytest.mark.parametrize("seed", range(6))
def test_any_weights_survive_the_round_trip_exactly(seed):
    rng = np.random.default_rng(seed)
    # a few shared levels make whole classes and runs; the rest of the combos get their own weight
    levels = np.array([0, 0, 1, 0.5, rng.random()])
    weights = levels[rng.integers(0, len(levels), 1326)]
    mixed = rng.random(1326) < [0.0, 0.02, 0.3, 1.0, 0.1, 0.6][seed]
    weights[mixed] = rng.random(np.count_nonzero(mixed)) * 10.0 ** rng.integers(-5, 3)
    text = format_range(weights)
    assert np.array_equal(parse_range(text), weights)
    assert format_range(parse_range(text)) == text


@pytest.mark.parametrize("bad", ["AKx", "AA:x", "AK-QJ", "AhAh", "AAs", "ZZ", "A5s-K2s", "T9s:-1",
                                 "KK:inf", "AK+-", "10h9h"])
def test_bad_text_names_the_offending_token(bad):
    with pytest.raises(RangeError) as error:
        parse_range(f"AA, {bad}, KK")
    assert error.value.token == bad
    assert f"'{bad}'" in str(error.value)


def test_combo_order_is_the_engines(engine):
    assert engine.hand_order() == list(COMBO_NAMES)


@pytest.mark.parametrize("game", ["river", "flop"])
def test_benchmark_range_texts_give_the_benchmark_weights(game):
    text = bench_game(game).read_text()
    for player, weights in zip(("OOP", "IP"), benchmark_game(game)[0].ranges()):
        written = re.search(rf"^set_range {player} (.*)$", text, re.M)[1].split()
        assert np.array_equal(weights, np.array(written, dtype=float))
