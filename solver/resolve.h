#pragma once
// Dropping a street's data to save memory, and solving its subgames again. After `forgetStreet`
// the stores of the turn or river nodes are gone; each subgame of that street (the tree below one
// first decision of the street, at one board state) is solved again on its own, from the reach
// that the kept streets above give it, when a reader needs one of its records (`SolveSubgame`), or
// all at once (`SolveSubgames`).
#include <functional>

#include "solver/solver_state.h"

namespace qv {

// Computes the results first, so that they can still be reported, then releases the stores of
// `street` (2 turn, 3 river) and later streets. The tree is incomplete until rebuilt or re-solved.
// Dropping an earlier street than the one already dropped drops that one too. Returns the bytes
// of the stores released.
size_t forgetStreet(SolverState& state, int street);
// Gives every decision node its stores again: zeroed where they were dropped, re-solved records
// as they are. The tree is complete again.
void rebuildForgottenStreets(SolverState& state);

// The subgame of `street` that holds a node's record at a board state of its level: below the
// first node of that street on the way to the node. Invalid for nodes of earlier streets.
SubgameRef subgameOfStreet(const SolverState& state, uint32_t node, int stateIndex, int street);
// The subgame that holds a decision node's record at a board state of its level; invalid when
// the node's street was not dropped.
SubgameRef subgameOf(const SolverState& state, uint32_t node, int stateIndex);
// The river subgame that holds a river node's record at a board state, dropped or not: its lock
// guards the record against a solver thread's update.
SubgameRef riverSubgameOf(const SolverState& state, uint32_t node, int stateIndex);
// The same for the turn and river cards of a path (user suits); invalid also when the node's
// record needs a card the path does not give.
SubgameRef subgameAt(const SolverState& state, uint32_t node, int turn, int river);

// Solves one subgame: at most 1000 iterations from its own iteration count 0, checked from the
// 50th on every 25th, until its exploitability is not above the recalculation accuracy of its
// first street. Unless forced, a subgame solved since the drop is left as it is (the result is 0).
// Returns the last exploitability measured (0 when none was).
double SolveSubgame(SolverState& state, const SubgameRef& subgame, bool force);
// The exploitability of a subgame against the reach its kept streets give it: half the sum of
// what each player's best response gains, in chips per deal that reaches the subgame.
double subgameExploitability(SolverState& state, const SubgameRef& subgame);
// What each re-solve reports when it ends.
struct SubgameReport {
    double milliseconds = 0;
    int iterations = 0;
    double exploitability = 0;
};
void setSubgameReport(std::function<void(const SubgameReport&)> report);

// Solves the subgame of a node's record again when its street was dropped and it has not been
// solved since.
void solveDroppedSubgame(SolverState& state, uint32_t node, int stateIndex);
// The same for every subgame that a pass from a slot of a segment at a board state reads.
void solveDroppedBelow(SolverState& state, int segment, int slot, int stateIndex);

// Solves every subgame of `street` and later with as many iterations as the tree has (at least
// one), the streets above playing their average strategies; `progress` is told of each pass
// (from 1). Nothing is dropped afterwards.
void SolveSubgames(SolverState& state, int street, const std::function<void(int pass, int passes)>& progress);

}  // namespace qv
