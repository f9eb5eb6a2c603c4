#pragma once
// A point of the solved tree as the queries see it: a game node with the turn and river cards of
// the path that reached it (in the user's suits), and where its data lives in the solver's
// segments and board states.
#include <cstdint>
#include <vector>

#include "solver/segments.h"
#include "solver/solver_state.h"

namespace qv {

struct NodeRef;

struct TreePoint {
    uint32_t node = 0;  // game node (record index); 0 is the first decision
    int turn = -1;      // card index, or -1
    int river = -1;
    bool split = false;  // the card of the node's street is still to come
};

// The point a resolved node path names; the top of the tree ("r") is the first decision.
TreePoint pointOf(const NodeRef& ref);

// The solver state of the built tree; fails with "missing/incorrect tree" without one.
SolverState& builtSolver();

// The segment slot that holds a point's value: for a split the chance slot above the next street,
// else the node's own slot (the root slot of the segment it starts). `level` is the board level of
// the point's data: the number of cards dealt after the first board. It is the segment's, except
// below a showdown reached before the river, whose children name the cards dealt there.
struct PointSlot {
    int segment = -1;
    int slot = -1;
    int level = 0;
};
PointSlot findPointSlot(const SolverState& state, const TreePoint& point);

// One decision on the way from the first decision to a point.
struct PathStep {
    uint32_t node = 0;  // the deciding node
    int action = 0;     // the child taken
    int player = 0;
    int level = 0;      // board level of the deciding node
};
std::vector<PathStep> pathSteps(const SolverState& state, uint32_t node);

// The board of a point in the user's suits: the first board and the cards dealt before its data level.
CardMask pointBoard(const SolverState& state, const TreePoint& point, int level);
// The first street's board in the user's suits.
CardMask firstUserBoard(const SolverState& state);
// The lowest rank in play for the tree.
int treeLowCard(const SolverState& state);

}  // namespace qv
