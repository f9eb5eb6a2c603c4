#pragma once
// Hand strength of three to seven cards: a larger value is a stronger hand, equal values tie.
//
// HandValue layout: bits 24..31 hold the category's position in the current category order (the
// category itself under the standard order); bits 0..19 hold the rank nibbles r1..r5 at bits 16,
// 12, 8, 4 and 0 (see describeHand for what each category keeps there).
#include <cstdint>

#include "cards/card.h"

namespace qv {

using HandValue = uint32_t;

enum HandCategory : int {
    HighCard = 0,
    Pair = 1,
    TwoPair = 2,
    Trips = 3,
    Straight = 4,
    Flush = 5,
    FullHouse = 6,
    Quads = 7,
    StraightFlush = 8,
};
constexpr int kHandCategoryCount = 9;

// Cards must be distinct cards 0..51. Any count other than 3..7 gives 0. Applies the short deck
// and the category order of handRules().
HandValue evaluateHand(const Card* cards, int count);

// The same evaluation under the standard category order and the full deck, whatever handRules()
// says: for callers that describe hands rather than decide showdowns.
HandValue evaluatePlain(const Card* cards, int count);

}  // namespace qv
