#pragma once
// One player's hands for a whole tree: the combos with a positive starting weight that the tree's
// first board does not block, in ascending HandSlot order (see layout.h).
#include <array>
#include <cstdint>
#include <vector>

#include "cards/card.h"
#include "cards/combo_tables.h"
#include "solver/aligned_buffer.h"

namespace qv {

// The hands a kernel or a segment works on: a player's whole list, or the hands of one river
// board that its cards do not block (numbered 0..count-1 by strength, see board_states.h).
struct HandView {
    int count = 0;
    int stride = 0;
    const uint8_t* lowCard = nullptr;
    const uint8_t* highCard = nullptr;
    const int16_t* sameInOther = nullptr;  // index in the other player's view, or -1
    const CardMask* mask = nullptr;        // null when the board blocks none of the hands
};

struct HandList {
    int count = 0;
    int stride = 0;                  // count rounded up to 8
    std::vector<uint16_t> slot;      // HandSlot of each hand
    std::vector<uint8_t> lowCard;    // the two cards, lower card first
    std::vector<uint8_t> highCard;
    std::vector<CardMask> mask;
    AlignedFloats weight;            // starting weight; 0 in the padding
    std::vector<int16_t> sameInOther;  // index of the same combo in the other player's list, or -1
    std::array<int16_t, 1326> indexOfSlot;  // hand index of a HandSlot, or -1

    HandView view() const {
        return {count, stride, lowCard.data(), highCard.data(), sameInOther.data(), mask.data()};
    }
};

// The two cards of a HandSlot, lower first.
std::array<Card, 2> cardsOfSlot(int slot);

// Both players' hand lists for ranges in HandSlot order (1326 weights each) and the first board.
std::array<HandList, 2> buildHandLists(const std::array<std::vector<double>, 2>& ranges, CardMask board);

// Sum over all pairs of hands that share no card of the product of their starting weights: the
// total weight of the deals, which turns summed counterfactual values into chips.
double compatiblePairWeight(const std::array<HandList, 2>& hands);

}  // namespace qv
