#pragma once
// Sorts every combo on a board of three to five cards into a made-hand category (nothing, top
// pair, overpair, set, ...) and a draw category (straight draws, flush draw, combo draw), so that
// front ends can group strategies by hand type. Works on any board, independently of any tree,
// and always judges hands by the standard category order and the full deck: a short deck or a
// custom category order changes who wins a showdown, not what a hand is called.
#include <array>
#include <cstdint>

#include "cards/card.h"

namespace qv {

enum class MadeHand : int8_t {
    Nothing = 0,
    KingHigh = 1,
    AceHigh = 2,
    LowPair = 3,
    ThirdPair = 4,
    SecondPair = 5,
    Underpair = 6,
    TopPair = 7,
    TopPairTopKicker = 8,  // keeps its index for the names that follow; never assigned
    Overpair = 9,
    TwoPairs = 10,
    Trips = 11,
    Set = 12,
    Straight = 13,
    Flush = 14,
    FullHouse = 15,
    TopFullHouse = 16,
    Quads = 17,
    StraightFlush = 18,
};
constexpr int kMadeHandCount = 19;

enum class DrawKind : int8_t {
    NoDraw = 0,
    FourOutStraightDraw = 1,
    EightOutStraightDraw = 2,
    FlushDraw = 3,
    ComboDraw = 4,
};
constexpr int kDrawKindCount = 5;

// The entry of a combo that shares a card with the board.
constexpr int8_t kBlockedCombo = -1;

// "nothing", "king_high", ..., "straight_flush".
const char* madeHandName(int category);
// "no_draw", "4out_straight_draw", "8out_straight_draw", "flush_draw", "combo_draw".
const char* drawKindName(int kind);

// Per HandSlot. Blocked combos hold kBlockedCombo in both arrays, except that on a five-card board
// (nothing left to draw) every draw entry is NoDraw.
struct HandCategories {
    std::array<int8_t, kComboCount> madeHand;
    std::array<int8_t, kComboCount> draw;
};

// Per HandSlot: how many unseen cards complete a straight or a flush that beats the board. Zero for
// blocked combos and on five-card boards.
struct DrawOuts {
    std::array<uint8_t, kComboCount> straight;
    std::array<uint8_t, kComboCount> flush;
};

// Both raise EngineError("invalid board") unless the board holds three to five cards.
void classifyHands(CardMask board, HandCategories& out);
void countOuts(CardMask board, DrawOuts& out);

// The draw category of a combo with these outs.
DrawKind drawKindOf(int straightOuts, int flushOuts);

}  // namespace qv
