#pragma once
// Sections 11 and 13 of a tree file: the solver header and the solver's arrays.
//
// Solver header: the tree flags (i32), the subgame street S (i32), the iteration count (i32), the
// cached results (32 bytes: both players' best-response values, then both players' values, f64
// each; then the exploitability and the mean value, f64 each), and from version 11 the rake
// fraction and cap (f32 each).
//
// Solver data, for the kept nodes: decision nodes of streets before S (all of them when S is -1):
//   1. the iteration of the cached results (i32; -1 when none);
//   2. per kept node and board record, four i32 element counts: regrets, strategy sums, 0, 0;
//   3. unless the no-EV flag is set, a coding byte (from version 6) and the kept records' regrets
//      in hundredths of a chip, zigzag coded, one array per action;
//   4. when S is not -1, a coding byte and the kept records' strategy sums, each action's floats
//      as two 16-bit arrays (high halves, then low halves), so the strategies come back exactly.
// Nodes from street S on are solved again when a reader needs them; S above 3 keeps every node.
#include <functional>

#include "solver/solver_state.h"
#include "treefile/binary_io.h"

namespace qv {

struct SolverHeader {
    uint32_t flags = 0;
    int subgameStreet = -1;
    int iteration = 0;
    CachedResults results;
    float rakeFraction = 0;
    float rakeCap = 0;
};

void writeSolverHeader(BinaryWriter& out, const SolverHeader& header);
// Checks every field ("invalid file"); the results' iteration comes with the solver data.
SolverHeader readSolverHeader(BinaryReader& in);

struct ArrayChoice {
    bool values = true;   // write the regrets (the no-EV flag is their absence)
    bool plain = false;   // the in-place form rather than the compressed one
    std::string folder;   // where the compressed form's scratch files go
};

void writeSolverData(BinaryWriter& out, SolverState& state, int subgameStreet, const ArrayChoice& choice);
// Fills the stores of the kept nodes; the stores of the nodes from street S on must already be
// released. `progress` is told each whole percent of the nodes read, rising, ending with 100.
void readSolverData(FileReader& in, SolverState& state, const SolverHeader& header, bool values,
                    const std::function<void(int)>& progress);

}  // namespace qv
