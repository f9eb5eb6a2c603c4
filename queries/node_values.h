#pragma once
// Per-combo expected values at a point of the solved tree, computed from the average strategies
// the way the evaluation pass of the iteration computes them.
#include <vector>

#include "queries/tree_point.h"

namespace qv {

struct PointValues {
    // Chips relative to the player's half of the starting pot, in the user's HandSlot order; NaN
    // for combos outside the player's range, blocked by the point's board, or that meet no
    // opponent combo there.
    std::vector<double> ev;
    // The probability of a deal that reaches the point with the combo in the player's hand, over
    // the same for the first decision: weighting the EVs by it gives the point's EV.
    std::vector<double> weight;
};

// An evaluation pass over the point's subtree only, starting from the opponent's range on arrival
// at the point; the value of each combo is divided by the opponent weight it meets there.
PointValues pointValues(SolverState& state, const TreePoint& point, int player);

}  // namespace qv
