#pragma once
// The card side of the game description: both ranges, the board and the deck weighting.
// Tree building copies what it needs; changing the setup afterwards does not touch a built tree.
#include <array>
#include <vector>

#include "cards/card.h"

namespace qv {

struct BoardState {
    CardMask flop = 0;   // exactly 3 cards once set
    CardMask turn = 0;   // 0 or 1 card
    CardMask river = 0;  // 0 or 1 card, only with a turn
};

struct DeckDistribution {
    std::array<double, kCardCount> weights{};  // card order
    bool inUse = false;
};

struct GameSetup {
    std::array<std::vector<double>, 2> ranges;  // 1326 weights in HandSlot order; empty = not set
    BoardState board;
    DeckDistribution deck;
    bool flopIsomorphism = true;
    bool turnIsomorphism = false;
};

GameSetup& gameSetup();

// Fails with "inconsistent range: ..." when two combos of one grid cell that the flop does not
// block carry different weights (suit isomorphism would merge them).
void checkRangeConsistency(const std::array<std::vector<double>, 2>& ranges, CardMask flop);

}  // namespace qv
