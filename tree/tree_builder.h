#pragma once
// Turning the game description (board, ranges, pot, lines) into the game tree.
#include <optional>
#include <vector>

#include "solver/solver_state.h"
#include "tree/action_record.h"
#include "tree/schematic_tree.h"

namespace qv {

// The schematic tree in record order: depth first, pre-order, children in descending key order.
struct FlattenedTree {
    std::vector<ActionRecord> records;
    std::vector<SchematicNode*> nodes;  // the schematic node of each record
};

// Flattens without touching the nodes; fails with "invalid line" when a decision lies beyond
// the river.
FlattenedTree flattenSchematicTree(SchematicNode& root, int firstStreet, double pot);

// The checks build_tree makes before anything changes: ranges, board, lowest rank, lines.
void checkBuildInputs();

struct BuildReport {
    NodeCounts counts;
};

// What a build may take from elsewhere than the process-wide settings: a loaded tree keeps the
// suit isomorphism it was solved with.
struct BuildChoices {
    std::optional<bool> isomorphism;
};

// The build steps shared by build_tree, cut_line and loading. Either the new tree replaces the
// built tree completely, or (on any failure before the solver state is created) the built tree
// and the schematic record indices stay as they were.
BuildReport runBuildSteps(const BuildChoices& choices = {});

// Discards the game tree and the solver state.
void freeBuiltTree();

}  // namespace qv
