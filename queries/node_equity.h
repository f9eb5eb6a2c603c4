#pragma once
// Equities of a player's combos at a point of the solved tree, against the opponent's range on
// arrival there, over the run-outs still to come.
#include "queries/tree_point.h"
#include "solver/showdown_equity.h"

namespace qv {

// Raw showdown values and weights in the user's HandSlot order. Combos of the player's starting
// range that the point's board leaves are valued; their weight starts from the player's own range
// at the point.
ShowdownEquity pointEquity(SolverState& state, const TreePoint& point, int player);

// Combos in ComboIndex order, highest equity first, equal equities in ComboIndex order; combos
// without an equity are left out. `raw` is in HandSlot order.
std::vector<int> combosByEquity(const std::vector<double>& raw);

}  // namespace qv
