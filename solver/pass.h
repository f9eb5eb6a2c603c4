#pragma once
// One pass of the iteration for one traverser, from any segment at one of its board states: the
// whole tree (the first segment at the first board), or one subgame below a chance node. Phase 0
// walks the first segment and records a job per card below each of its chance slots, phase 1 runs
// the jobs in parallel, phase 2 combines their values and finishes the first segment.
#include "solver/settings.h"
#include "solver/traversal.h"

namespace qv {

struct PassStart {
    int segment = 0;
    int stateIndex = 0;
    HandView hands[2];             // both players' hands at the segment's board, as its records number them
    const float* reach = nullptr;  // the opponent's reach, in the opponent's numbering
};

// The settings of a pass at the state's current iteration. A background solve passes the solver
// settings it copied when it started; the command thread passes solverSettings().
PassSettings passSettings(const SolverState& state, const SolverSettings& settings, int player, bool training);

// The traverser's values at the start (and best-response values in evaluation mode; `best` may be
// null in training), hands[traverser].stride long.
void runPass(SolverState& state, const PassSettings& settings, const PassStart& start, float* value, float* best);

// Both passes of a training iteration, IP's then OOP's, at once where the tree's first segment has
// no chance slots and its root (OOP's decision) shares its subtrees out among the threads: a thread
// runs the IP pass over its subtrees, then the OOP pass over the same subtrees. Those depend on
// nothing else of the IP pass (IP acts only inside them; OOP's root regrets change only in OOP's
// pass), so the figures are those of the passes one after the other. settings[p] is player p's
// pass; values[p] receives its values at the root. Gives false, having done nothing, where the tree
// does not qualify.
bool runPassesShared(SolverState& state, const PassSettings (&settings)[2], float* const (&values)[2]);

// Both players' hands at a board state of a level, as its records number them.
void handsAt(const SolverState& state, int level, int stateIndex, HandView hands[2]);

}  // namespace qv
