#pragma once
// Reading the solved strategies by combo, for queries and tests: the node's record is found from
// the turn and river cards of a path (in the user's suits), and the result is laid out by HandSlot.
#include <cstdint>
#include <vector>

#include "solver/solver_state.h"

namespace qv {

// The average strategy of the player to act at a decision node: one array of 1326 probabilities
// per action, NaN for combos that are not in the player's range or that the board blocks. Hands
// whose sums are all zero report the current strategy. Empty when the board cannot occur.
std::vector<std::vector<float>> nodeAverageStrategy(const SolverState& state, uint32_t node, int turn, int river);
// The current strategy (regret matching), laid out the same way.
std::vector<std::vector<float>> nodeCurrentStrategy(const SolverState& state, uint32_t node, int turn, int river);

}  // namespace qv
