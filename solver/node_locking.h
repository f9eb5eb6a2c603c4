#pragma once
// Fixing the play of a decision node: writing a chosen strategy into its regrets, and the lock
// flags that make the iteration leave the node's regrets and strategy sums alone, for all hands
// (LOCKED) or for marked hands (COMBO_LOCKED). A node is named by its game node and the turn and
// river cards (user suits) that select its record; weights are 1326 values in HandSlot order.
#include <cstdint>
#include <vector>

#include "solver/solver_state.h"

namespace qv {

// Each call below fails with "incorrect path" when the node is not a decision or its board cannot
// come. A node of a dropped street gets empty stores for the edit. Edits of river records hold
// their subgame's lock.

// The regrets of one action become the weights times 1000 (negative weights count as 0); once
// averaging has begun, that action's strategy sums become 0, so the average follows the new play.
// After every action is set the node plays the weights normalised per hand.
void setLockedStrategy(SolverState& state, uint32_t node, int turn, int river, int action,
                       const std::vector<double>& weights);

// Sets or clears LOCKED on the node's regret and strategy-sum records; either way any combo lock
// is released.
void setNodeLocked(SolverState& state, uint32_t node, int turn, int river, bool locked);

// Clears LOCKED and freezes exactly the hands whose value is not 0.
void comboLockNode(SolverState& state, uint32_t node, int turn, int river, const std::vector<double>& values);

// Per combo (HandSlot order): 1 for a frozen hand, 0 for a free one, NaN for combos the node's
// player does not hold there.
std::vector<double> lockedCombos(SolverState& state, uint32_t node, int turn, int river);

}  // namespace qv
