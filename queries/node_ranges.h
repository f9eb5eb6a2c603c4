#pragma once
// Ranges and reach at a point of the solved tree, read from the average strategies. All arrays
// are 1326 values in the user's HandSlot order; NaN marks a combo with no defined value.
#include <vector>

#include "queries/tree_point.h"

namespace qv {

// The player's starting range times the player's own average strategy for the action taken at
// every decision of the player on the way to the point; NaN for combos the point's board blocks.
// Fails with "incorrect path" when the point lacks a dealt card that a decision on the way needs.
std::vector<double> rangeAtPoint(SolverState& state, const TreePoint& point, int player);

// The player's range at the point summed over its defined combos, over the starting range
// summed over the same combos.
double reachProbability(SolverState& state, const TreePoint& point, int player);

// How often a deal reaches the point, per combo of the player: the probability of the cards
// dealt along the path, times the combo's range at the point, times the opponent's range at the
// point over the combos that share no card with it or the board. NaN for combos outside the
// player's range or blocked by the point's board. The defined entries sum to the point's reach.
std::vector<double> pointReach(SolverState& state, const TreePoint& point, int player);
double totalReach(SolverState& state, const TreePoint& point);

// The point's reach over the reach of the first decision.
double globalFrequency(SolverState& state, const TreePoint& point);
// The same summed over every card the path's dealt cards could have been: how often the betting
// line is played, whatever the cards. 1 while a street of the tree is dropped.
double lineFrequency(SolverState& state, const TreePoint& point);

// Per combo: the summed weight of the other combos that share no card with it.
std::vector<double> compatibleWeights(const std::vector<double>& weights);

// Probability of `card` as the next card on `board` (user suits), as the iteration weights it.
double dealProbability(const SolverState& state, CardMask board, int card);

}  // namespace qv
