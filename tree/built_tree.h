#pragma once
// The game tree fixed by the last build or load: its board, ranges and solver state. A build
// assembles a new one aside and replaces this one only when it has succeeded, so the board and
// ranges here always belong to the solver state here.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "solver/solver_state.h"

namespace qv {

struct BuiltTree {
    bool present = false;
    bool noEv = false;                 // set only by loading a file without EVs
    uint64_t flop = 0, turn = 0, river = 0;
    int firstStreet = 1;               // 1 flop, 2 turn, 3 river
    int effectiveStack = 0;
    // The lowest rank in play when the tree was built: paths and queries on the tree use it, so a
    // later set_low_card changes only the next build (rather than the paths of a tree whose deck
    // it no longer describes).
    int lowCard = 0;
    std::array<std::vector<double>, 2> ranges;  // 1326 weights each, HandSlot order
    std::unique_ptr<SolverState> solver;
    std::vector<float> evBoost;        // per action record; 0 = no boost

    int turnCard() const;   // card index, or -1
    int riverCard() const;
};

BuiltTree& builtTree();

}  // namespace qv
