#pragma once
// Showdown values of one player's combos against the other player's weights on a board, over
// every run-out of an incomplete board: the solver's showdown and fold kernels with a stake of 1.
#include <cmath>
#include <vector>

#include "cards/card.h"

namespace qv {

struct ShowdownEquityInput {
    CardMask board = 0;                 // three to five cards
    std::vector<double> ownRange;       // HandSlot order: the combos with a positive weight are valued
    std::vector<double> ownWeight;      // HandSlot order: what each combo brings to its weight
    std::vector<double> opponentWeight; // HandSlot order: what the combos are valued against
    int lowCard = 0;                    // rank index of the lowest rank in play
};

struct ShowdownEquity {
    // Per HandSlot, between -1 (always loses) and 1 (always wins); NaN for combos that are not
    // valued (outside the range, blocked by the board, or meeting no opponent weight).
    std::vector<double> raw;
    // Per HandSlot: the own weight times the share of the opponent's weight the combo meets; NaN
    // where the raw value is.
    std::vector<double> weight;
};

// Over an incomplete board every turn card is weighted 1 / (45 - 4L) and every river card
// 1 / (44 - 4L), L being the number of ranks below the lowest rank in play.
ShowdownEquity showdownEquity(const ShowdownEquityInput& input);

// The share of the pot a raw showdown value stands for.
inline double equityOf(double raw) { return std::fma(0.5, raw, 0.5); }

}  // namespace qv
