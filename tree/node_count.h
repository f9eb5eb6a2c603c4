#pragma once
// Node counts of the schematic tree weighted by the card deals that reach each street: one flop,
// 49 turns, 49 x 48 rivers.
#include <array>
#include <cstdint>

#include "tree/schematic_tree.h"

namespace qv {

struct NodeCountTable {
    using PerStreet = std::array<int64_t, 3>;  // flop, turn, river
    PerStreet ipDecisions{}, oopDecisions{}, splits{}, ends{};
    int firstStreet = 1;

    static int64_t total(const PerStreet& counts) { return counts[0] + counts[1] + counts[2]; }
    // Every weighted count plus the top of the tree.
    int64_t grandTotal() const;
};

// Weight of one node on a street number (1 flop, 2 turn, 3 river); 0 beyond the river.
int64_t dealWeight(int streetNumber);

NodeCountTable countNodes(const SchematicNode& root, int firstStreet);

}  // namespace qv
