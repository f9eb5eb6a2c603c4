"""Ranges as the text players write, and back.

A range text is a comma-separated list of tokens, each optionally followed by ":weight" (weight 1
when absent). A token names pairs ("AA", "QQ-88", "22+"), hands of two ranks ("AK" for all 16
combos, "AKs" suited, "AKo" offsuit, "KTs+" for KTs up to KQs, "A5s-A2s"), or one combo ("AhKh").
Tokens are applied in order, so a later token overrides an earlier one for the combos they share.
The weights are 1326 numbers in the engine's combo order (see cards.py).
"""
import math
import re

import numpy as np

from .cards import COMBO_COUNT, COMBO_NAMES, RANKS, combo_index, parse_combo

_CLASS = re.compile(r"([2-9TJQKA])([2-9TJQKA])([SO]?)")
_COMBO = re.compile(r"(?:[2-9TJQKA][CDHS]){2}")


class RangeError(ValueError):
    """A range text that cannot be read; `token` is the offending token."""

    def __init__(self, token, reason):
        super().__init__(f"bad range token '{token}': {reason}")
        self.token = token


def _class_combos(high, low, kind):
    """Combo indexes of the hand class of rank indexes high >= low; kind is "s", "o" or ""."""
    found = []
    for first in range(4):
        for second in range(4):
            if high == low and second <= first:
                continue
            if (kind == "s" and first != second) or (kind == "o" and first == second):
                continue
            found.append(combo_index(4 * high + first, 4 * low + second))
    return found


def _read_class(text, token):
    match = _CLASS.fullmatch(text)
    if not match:
        raise RangeError(token, "not a hand such as AA, AK, AKs or AKo")
    high, low = sorted((RANKS.index(match[1]), RANKS.index(match[2])), reverse=True)
    kind = match[3].lower()
    if high == low and kind:
        raise RangeError(token, "a pair is neither suited nor offsuit")
    return high, low, kind


def _token_combos(body, token):
    """The combo indexes that one token (without its weight) names."""
    text = body.upper()
    if _COMBO.fullmatch(text):
        try:
            return [parse_combo(body)]
        except ValueError:
            raise RangeError(token, "a combo of one card twice") from None
    if text.endswith("+"):
        high, low, kind = _read_class(text[:-1], token)
        if high == low:
            return [c for rank in range(low, len(RANKS)) for c in _class_combos(rank, rank, "")]
        return [c for kicker in range(low, high) for c in _class_combos(high, kicker, kind)]
    if "-" in text:
        first, _, last = text.partition("-")
        a, b = _read_class(first, token), _read_class(last, token)
        if a[0] == a[1] and b[0] == b[1]:
            ranks = range(min(a[0], b[0]), max(a[0], b[0]) + 1)
            return [c for rank in ranks for c in _class_combos(rank, rank, "")]
        if a[0] != b[0] or a[2] != b[2] or a[0] == a[1] or b[0] == b[1]:
            raise RangeError(token, "both ends must be pairs, or share the first rank and suitedness")
        kickers = range(min(a[1], b[1]), max(a[1], b[1]) + 1)
        return [c for kicker in kickers for c in _class_combos(a[0], kicker, a[2])]
    return _class_combos(*_read_class(text, token))


def _read_weight(text, token):
    try:
        weight = float(text)
    except ValueError:
        raise RangeError(token, "the weight is not a number") from None
    if not math.isfinite(weight) or weight < 0:
        raise RangeError(token, "the weight must be a finite number of at least 0")
    return weight


def parse_range(text):
    """The 1326 weights (a float64 array in combo order) of a range text; RangeError names the
    first token that cannot be read."""
    weights = np.zeros(COMBO_COUNT)
    for token in (t.strip() for t in text.split(",")):
        if not token:
            continue
        body, colon, weight = token.partition(":")
        weights[_token_combos(body.strip(), token)] = (
            _read_weight(weight.strip(), token) if colon else 1.0)
    return weights


def _weight_suffix(weight):
    if weight == 1:
        return ""
    text = repr(float(weight))  # the shortest text that reads back as the same double
    return ":" + (text[:-2] if text.endswith(".0") else text)


def _runs(kickers):
    """Maximal runs of consecutive rank indexes, as (low, high) pairs from the highest down."""
    runs = []
    for rank in sorted(kickers, reverse=True):
        if runs and runs[-1][0] == rank + 1:
            runs[-1] = (rank, runs[-1][1])
        else:
            runs.append((rank, rank))
    return runs


def _run_text(high, low, top, kind):
    """The token for hands high+kicker with kickers low..top; top rank of a pair run is the ace."""
    def name(kicker):
        return RANKS[high if high is not None else kicker] + RANKS[kicker] + kind
    limit = len(RANKS) - 1 if high is None else high - 1
    if low == top:
        return name(low)
    if top == limit:
        return name(low) + "+"
    return name(top) + "-" + name(low)


def _row_tokens(high, suited, offsuit):
    """The shortest tokens for one first rank, given the kickers whose suited and offsuit hands
    carry the weight at hand: either suited and offsuit runs apart, or runs of both ("AK-AT")
    plus the suited or offsuit runs that still hold an uncovered kicker."""
    apart = ([_run_text(high, lo, hi, "s") for lo, hi in _runs(suited)]
             + [_run_text(high, lo, hi, "o") for lo, hi in _runs(offsuit)])
    both = suited & offsuit
    joined = [_run_text(high, lo, hi, "") for lo, hi in _runs(both)]
    for kickers, kind in ((suited, "s"), (offsuit, "o")):
        joined += [_run_text(high, lo, hi, kind) for lo, hi in _runs(kickers)
                   if any(k not in both for k in range(lo, hi + 1))]
    return min(apart, joined, key=lambda tokens: (len(",".join(tokens)), len(tokens)))


def format_range(weights):
    """The shortest range text (in the notation of parse_range) whose weights are exactly these."""
    weights = np.asarray(weights, dtype=float)
    if weights.shape != (COMBO_COUNT,):
        raise ValueError(f"a range has {COMBO_COUNT} weights, not {weights.size}")
    if not np.all(np.isfinite(weights)) or np.any(weights < 0):
        raise ValueError("range weights must be finite numbers of at least 0")
    uniform = {}  # weight -> the (high, low, kind) classes where most combos carry it
    tokens = []  # (sort key, text)
    for high in range(len(RANKS) - 1, -1, -1):
        for low in range(high, -1, -1):
            for kind in ("",) if high == low else ("s", "o"):
                combos = _class_combos(high, low, kind)
                counts = {}
                for c in combos:
                    counts[weights[c]] = counts.get(weights[c], 0) + 1
                common = max(counts, key=lambda w: (counts[w], w == 0))
                uniform.setdefault(common, []).append((high, low, kind))
                # the exceptions come after every class token, so that they override it
                tokens += [((2, -c), COMBO_NAMES[c] + _weight_suffix(weights[c]))
                           for c in combos if weights[c] != common]
    for weight, classes in uniform.items():
        if weight == 0:
            continue
        suffix = _weight_suffix(weight)
        pairs = {high for high, low, _ in classes if high == low}
        tokens += [((0, -hi), _run_text(None, lo, hi, "") + suffix) for lo, hi in _runs(pairs)]
        for high in range(len(RANKS)):
            suited = {low for h, low, kind in classes if h == high and kind == "s"}
            offsuit = {low for h, low, kind in classes if h == high and kind == "o"}
            tokens += [((1, -high), text + suffix) for text in _row_tokens(high, suited, offsuit)]
    return ",".join(text for _, text in sorted(tokens, key=lambda t: t[0]))

