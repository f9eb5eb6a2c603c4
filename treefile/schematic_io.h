#pragma once
// Section 10 of a tree file: the lines as their schematic tree, the root's record first and then
// each child's key and record, depth first. Per node: player, street, bets and record index
// (i32 each), the amount and both players' investments (f64 each), the child count (i32).
#include <memory>

#include "tree/schematic_tree.h"
#include "treefile/binary_io.h"

namespace qv {

void writeSchematicTree(BinaryWriter& out, const SchematicNode& root);
// Every field is checked, keys must be unique and the tree no deeper than a line may be long;
// anything else is "invalid file". `limit` bounds the node count (the bytes left in the file).
std::unique_ptr<SchematicNode> readSchematicTree(BinaryReader& in, uint64_t limit);

}  // namespace qv
