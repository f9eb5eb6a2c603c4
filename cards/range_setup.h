#pragma once
// Operations behind the range, board and deck commands. They validate completely before they
// change the game setup, so a rejected command leaves it as it was.
#include <string>
#include <vector>

#include "cards/game_setup.h"

namespace qv {

// Weights in (0, kRoundToZeroBelow) are stored as 0.
constexpr double kRoundToZeroBelow = 0.00001;
constexpr double kWeightTolerance = 2.220446049250313e-16;

struct RangeReport {
    double smallest = 0;
    double largest = 0;
    int nonzero = 0;
    int roundedToZero = 0;
};

// Stores the player's range from 1326 weights in ComboIndex order: tiny weights round to zero and
// combos holding a card below the low card get weight 0.
RangeReport setRange(GameSetup& setup, int player, const std::vector<double>& comboWeights);

// Reads board arguments (the tokens after the command word): one token of 6, 8 or 10 characters,
// or three to five card tokens. Raises "incorrect or missing argument", "ERROR: invalid card",
// "duplicate cards" or "invalid card".
BoardState parseBoard(const std::vector<std::string>& args);
CardMask boardMask(const BoardState& board);

// Fails with "incorrect or missing argument" when the weights sum to machine epsilon or less.
// Using a deck distribution switches suit isomorphism off for both streets.
void setDeckDistribution(GameSetup& setup, const std::vector<double>& cardWeights);

// The number conversion of every weight argument: std::stod; a value that is not a number from
// -1e9 to 1e9 is out of range.
double parseWeight(const std::string& token);

}  // namespace qv
