#include "cards/showdown_value.h"

#include <algorithm>
#include <bit>

#include "cards/hand_rules.h"

namespace qv {

namespace {

// The best hand made of `holeCount` of the two hole cards and `boardCount` of the board cards.
HandValue bestWith(const Card* board, int boardSize, const Card hole[2], int holeCount,
                   int boardCount) {
    boardCount = std::min(boardCount, boardSize);
    HandValue best = 0;
    Card hand[7];
    for (unsigned pick = 0; pick < (1u << boardSize); ++pick) {
        if (std::popcount(pick) != boardCount) continue;
        int n = 0;
        for (int i = 0; i < boardSize; ++i)
            if (pick & (1u << i)) hand[n++] = board[i];
        if (holeCount == 2) {
            hand[n] = hole[0];
            hand[n + 1] = hole[1];
            best = std::max(best, evaluateHand(hand, n + 2));
            continue;
        }
        for (int h = 0; h < 2; ++h) {
            hand[n] = hole[h];
            best = std::max(best, evaluateHand(hand, n + 1));
        }
    }
    return best;
}

}  // namespace

HandValue showdownValue(CardMask board, Card first, Card second) {
    if (board & (cardBit(first) | cardBit(second))) return kImpossibleHand;
    Card cards[7];
    int n = 0;
    for (CardMask rest = board; rest && n < 5; rest &= rest - 1) cards[n++] = lowestCard(rest);
    const Card hole[2] = {first, second};
    switch (handRules().mustUseHoleCards) {
        case 1:
            return bestWith(cards, n, hole, 1, 4);
        case 2:
            return bestWith(cards, n, hole, 2, 3);
        default:
            cards[n] = first;
            cards[n + 1] = second;
            return evaluateHand(cards, n + 2);
    }
}

void showdownValues(CardMask board, std::array<HandValue, kComboCount>& values) {
    const CardTables& t = cardTables();
    for (HandSlot slot = 0; slot < kComboCount; ++slot)
        values[slot] = showdownValue(board, t.cardsOfSlot[slot][0], t.cardsOfSlot[slot][1]);
}

}  // namespace qv
