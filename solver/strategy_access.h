#pragma once
// Reading the solved strategies. At the level of one record, for the iteration and the solver's
// own passes; by combo, for queries and tests: the node's record is found from the turn and river
// cards of a path (in the user's suits), and the result is laid out by HandSlot.
#include <cstdint>
#include <vector>

#include "solver/solver_state.h"

namespace qv {

// What a decision node plays at one record (board state), in the record's hand numbering, action
// after action a record stride apart: regret matching over its regrets or, with `average`, the
// average strategy, with the current one for hands without sums. A node without stores plays its
// default strategy. Reads only what is stored.
void recordStrategy(const SolverState& state, uint32_t node, int record, bool average, float* out);

// The strategy of a record that another process holds (a worker of a shared solve); false when
// this process holds it.
bool readHeldStrategy(const SolverState& state, uint32_t node, int record, bool average, float* out);

// The reader of every query: the same, after solving the node's subgame again when its street
// was dropped and it has not been solved since. The one place where reading starts a re-solve.
void readStrategy(SolverState& state, uint32_t node, int record, bool average, float* out);

// The average strategy of the player to act at a decision node: one array of 1326 probabilities
// per action, NaN for combos that are not in the player's range or that the board blocks. Hands
// whose sums are all zero report the current strategy. Empty when the board cannot occur.
std::vector<std::vector<float>> nodeAverageStrategy(SolverState& state, uint32_t node, int turn, int river);
// The current strategy (regret matching), laid out the same way.
std::vector<std::vector<float>> nodeCurrentStrategy(SolverState& state, uint32_t node, int turn, int river);

}  // namespace qv
