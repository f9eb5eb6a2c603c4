#pragma once
// The verbose report of the build steps, shared by every command that builds a game tree
// (build_tree, cut_line, load_tree).
#include "tree/tree_builder.h"

namespace qv {

// Runs the build steps and, when verbose, replies the node counts.
BuildReport buildGameTreeWithReport();

}  // namespace qv
