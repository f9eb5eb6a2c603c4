#!/usr/bin/env python3
"""Reference for the two lines of show_categories, written from the classification rules alone
(its own evaluator, no code shared with the program), from which cards_categories.out was made.

Usage: hand_categories_reference.py CARD... prints the made-hand line and the draw line of the
board, in combo order, exactly as show_categories prints them.
"""
import itertools, sys

RANKS = "23456789TJQKA"; SUITS = "cdhs"
def card(t): return 13 * SUITS.index(t[1].lower()) + RANKS.index(t[0].upper())
def rank(c): return c % 13
def suit(c): return c // 13

def pack(cat, nibs):
    v = cat << 24
    for i, r in enumerate(nibs[:5]): v |= r << (16 - 4 * i)
    return v

def straight_top(rankset):
    for top in range(12, 3, -1):
        if all((top - k) in rankset for k in range(5)): return top
    if all(r in rankset for r in (12, 0, 1, 2, 3)): return 3
    return None

def value(cards):
    n = len(cards)
    counts = [0] * 13
    for c in cards: counts[rank(c)] += 1
    desc = lambda k: [r for r in range(12, -1, -1) if counts[r] == k]
    quads, trips, pairs, singles = desc(4), desc(3), desc(2), desc(1)
    if n >= 5:
        for s in range(4):
            fr = sorted([rank(c) for c in cards if suit(c) == s], reverse=True)
            if len(fr) >= 5:
                t = straight_top(set(fr))
                if t is not None: return pack(8, [t])
                flush = pack(5, fr[:5])
                break
        else:
            flush = None
    else:
        flush = None
    if quads:
        rest = sorted([r for r in range(13) if counts[r] and r != quads[0]], reverse=True)
        return pack(7, [quads[0]] + rest[:1])
    if trips and (len(trips) > 1 or pairs):
        if n >= 5:
            pr = max(trips[1:] + pairs)
            return pack(6, [trips[0], pr])
    if flush is not None: return flush
    if n >= 5:
        t = straight_top({r for r in range(13) if counts[r]})
        if t is not None: return pack(4, [t])
    if trips:
        rest = sorted([r for r in range(13) if counts[r] and r != trips[0]], reverse=True)
        return pack(3, [trips[0]] + rest[:2])
    if len(pairs) >= 2:
        rest = sorted([r for r in range(13) if counts[r] and r not in pairs[:2]], reverse=True)
        return pack(2, pairs[:2] + rest[:1])
    if pairs:
        return pack(1, [pairs[0]] + singles[:3])
    return pack(0, singles[:5])

def best_of_five(cards):
    if len(cards) <= 5: return value(cards)
    return max(value(list(f)) for f in itertools.combinations(cards, 5))

def nib(v, i): return (v >> (16 - 4 * i)) & 0xF
def cat(v): return v >> 24

def combos():
    # ComboIndex order: ordinal k = 4*rank + suit; a > b; index a(a-1)/2 + b
    out = []
    for a in range(52):
        for b in range(a):
            ca = 13 * (a % 4) + a // 4; cb = 13 * (b % 4) + b // 4
            out.append((ca, cb))   # first card = higher ordinal
    return out

def kicker(H, B, start=0):
    for i in range(start, 5):
        if nib(H, i) > nib(B, i):
            r = nib(H, i)
            return 2 if r == 12 else 1 if r == 11 else 0
    return 0

def pair_rule(p):
    return {0: 9, 1: 7, 2: 6, 3: 5, 4: 4, 5: 4}.get(p, 3)

def made(board, first, second, evalf):
    bset = {rank(c) for c in board}
    def pos(c):
        r = rank(c)
        return 2 * sum(1 for x in bset if x > r) + (1 if r in bset else 0)
    B = evalf(board); H = evalf(board + [first, second])
    b, h = cat(B), cat(H)
    p = pos(first) if pos(first) % 2 == 1 else pos(second)
    if h == 0: return kicker(H, B)
    if h == 1: return pair_rule(p) if b == 0 else kicker(H, B)
    if h == 2:
        if b == 0: return 10
        if b == 1: return pair_rule(p)
        if nib(H, 0) <= nib(B, 0) and nib(H, 1) <= nib(B, 1): return kicker(H, B, 2)
        return pair_rule(p)
    if h == 3:
        return 12 if b == 0 else 11 if b == 1 else kicker(H, B)
    if h == 4: return 13 if (b < 4 or H > B) else kicker(H, B)
    if h == 5: return 14 if b < 5 else 0
    if h == 6:
        if b >= 6:
            if nib(H, 0) > nib(B, 0): return 16
            if nib(H, 1) > nib(B, 1): return 15
            return 0
        return 15
    if h == 7: return 17 if b < 7 else kicker(H, B)
    return 18 if (b < 8 or H > B) else 0

def draw(board, first, second, evalf):
    H = evalf(board + [first, second])
    s = f = 0
    for c in range(52):
        if c in board or c in (first, second): continue
        Bp = evalf(board + [c]); Hp = evalf(board + [c, first, second])
        if cat(H) < 4 and cat(Hp) == 4 and Hp > Bp: s += 1
        if cat(H) <= 4 and cat(Hp) in (5, 8) and Hp > Bp: f += 1
    if s == 0: return 3 if f else 0
    if f: return 4
    return s // 4

def lines(board_text, evalf=value):
    toks = board_text.split()
    board = [card(t) for t in toks]
    line1, line2 = [], []
    for a, b in combos():
        if a in board or b in board:
            line1.append(0)
            line2.append(0 if len(board) == 5 else -1)
            continue
        line1.append(made(board, a, b, evalf))
        line2.append(0 if len(board) == 5 else draw(board, a, b, evalf))
    return "".join(f"{v} " for v in line1) + "\n" + "".join(f"{v} " for v in line2) + "\n"

if __name__ == "__main__":
    sys.stdout.write(lines(" ".join(sys.argv[1:])))
