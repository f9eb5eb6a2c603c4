#pragma once
// Small hand-made games for the solver tests: action records written directly, ranges, and a
// showdown ranking that needs no evaluator tables.
#include <array>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "cards/card.h"
#include "solver/hand_list.h"
#include "solver/solver_state.h"

namespace qv::testing {

// Appends records in pre-order: call the children of a node right after the node, in action order.
struct RecordBuilder {
    std::vector<ActionRecord> records;

    int decision(int parent, int player, int street) {
        records.push_back({ActionType::Decision, parentIndex(parent), player, street, 0});
        return int(records.size()) - 1;
    }
    int showdown(int parent, double stake) {
        records.push_back({ActionType::Showdown, parentIndex(parent), -1, -1, stake});
        return int(records.size()) - 1;
    }
    int fold(int parent, double stake) {
        records.push_back({ActionType::Fold, parentIndex(parent), -1, -1, stake});
        return int(records.size()) - 1;
    }

private:
    static uint32_t parentIndex(int parent) { return parent < 0 ? 0xFFFFFFFFu : uint32_t(parent); }
};

inline Card card(const char* text) {
    const std::string ranks = "23456789TJQKA", suits = "cdhs";
    return Card(13 * suits.find(text[1]) + ranks.find(text[0]));
}

inline int combo(const char* a, const char* b) { return handSlotOf(card(a), card(b)); }

inline CardMask cardsOf(const std::vector<const char*>& cards) {
    CardMask m = 0;
    for (const char* c : cards) m |= cardBit(card(c));
    return m;
}

inline CardMask maskOfSlot(int slot) {
    auto c = cardsOfSlot(slot);
    return cardBit(c[0]) | cardBit(c[1]);
}

// A ranking that depends only on ranks and on how many cards share a suit, so every suit
// permutation keeps it: most cards of one suit first, then the hole ranks.
inline uint32_t suitBlindStrength(CardMask board, Card a, Card b) {
    CardMask all = board | cardBit(a) | cardBit(b);
    int flushCount = 0;
    for (int s = 0; s < 4; ++s) flushCount = std::max(flushCount, __builtin_popcountll((all >> (13 * s)) & 0x1FFF));
    int pairs = 0;
    for (int r = 0; r < 13; ++r) {
        int n = 0;
        for (int s = 0; s < 4; ++s) n += (all >> (13 * s + r)) & 1;
        pairs += n * n;
    }
    return uint32_t(flushCount >= 5 ? 1 : 0) << 24 | uint32_t(pairs) << 12 |
           uint32_t(std::max(rankOf(a), rankOf(b))) << 4 | uint32_t(std::min(rankOf(a), rankOf(b)));
}

// Random weights on a few combos; unless `symmetric` is false, equal on combos that a suit
// permutation keeping the board maps onto each other (so suit isomorphism may merge them).
inline std::vector<double> symmetricRange(CardMask board, unsigned seed, int picks, bool symmetric = true) {
    std::vector<SuitPermutation> keeping = symmetric ? boardSymmetries(board) : std::vector<SuitPermutation>{kIdentitySuits};
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> slotDist(0, kComboCount - 1);
    std::uniform_real_distribution<double> weight(0.2, 1.0);
    std::vector<double> range(kComboCount, 0.0);
    for (int i = 0; i < picks; ++i) {
        int slot = slotDist(rng);
        auto c = cardsOfSlot(slot);
        if ((cardBit(c[0]) | cardBit(c[1])) & board) continue;
        double w = weight(rng);
        for (const auto& k : keeping) range[handSlotOf(relabelCard(c[0], k), relabelCard(c[1], k))] = w;
    }
    return range;
}

// A street's betting. OOP bets 100 or checks; IP calls or folds the bet, or checks back. With
// `raises`, IP may also raise the bet to 300 (OOP calls or folds) and, after the check, bet 100
// (OOP calls or folds). `next` builds what follows a street-closing call or check: a new street's
// round or a showdown (stake: half the pot plus the amount).
template <typename Next>
void bettingRound(RecordBuilder& b, int parent, int street, double stake, bool raises, Next next) {
    int root = b.decision(parent, 0, street);
    int facingBet = b.decision(root, 1, street);
    if (raises) {
        int facingRaise = b.decision(facingBet, 0, street);
        next(facingRaise, stake + 300);
        b.fold(facingRaise, stake + 100);
    }
    next(facingBet, stake + 100);
    b.fold(facingBet, stake);
    int checked = b.decision(root, 1, street);
    if (raises) {
        int checkBet = b.decision(checked, 0, street);
        next(checkBet, stake + 100);
        b.fold(checkBet, stake);
    }
    next(checked, stake);
}

// A toy game from `street` (1 flop, 2 turn, 3 river) to the showdown, one betting round a street.
// The flop opens with OOP shoving (IP calls to an all-in showdown or folds) or checking, and IP
// checks behind to the turn.
inline std::vector<ActionRecord> toyTree(int street, bool raises) {
    RecordBuilder b;
    std::function<void(int, int, double)> round = [&](int parent, int s, double stake) {
        bettingRound(b, parent, s, stake, raises, [&](int p, double st) {
            if (s == 3) b.showdown(p, st);
            else round(p, s + 1, st);
        });
    };
    if (street > 1) {
        round(-1, street, 50);
        return b.records;
    }
    int root = b.decision(-1, 0, 1);
    int shove = b.decision(root, 1, 1);
    b.showdown(shove, raises ? 450 : 250);
    b.fold(shove, 50);
    round(b.decision(root, 1, 1), 2, 50);
    return b.records;
}

inline std::array<int, 3> flopOf(const char* a, const char* b, const char* c) { return {card(a), card(b), card(c)}; }

// The flop game on Kh 9h 5c with ranges that treat diamonds and spades alike, so isomorphism
// can merge them; `seed` draws OOP's range and seed + 1 IP's.
inline GameDefinition symmetricFlopGame(int seed, int size) {
    GameDefinition game;
    game.records = toyTree(1, false);
    game.flop = flopOf("Kh", "9h", "5c");
    CardMask board = cardBit(card("Kh")) | cardBit(card("9h")) | cardBit(card("5c"));
    game.ranges[0] = symmetricRange(board, seed, size);
    game.ranges[1] = symmetricRange(board, seed + 1, size);
    game.ranker = suitBlindStrength;
    return game;
}

}  // namespace qv::testing
