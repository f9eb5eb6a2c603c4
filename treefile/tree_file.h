#pragma once
// Saving the built tree with its solver state to a tree file, loading one back, and describing
// one from its head and tail. The layout of the file is told in file_head.h, schematic_io.h and
// solver_data.h.
#include <functional>
#include <string>

namespace qv {

struct SaveChoices {
    bool values = true;       // keep the regrets; without them the file carries the no-EV flag
    int resolvedStreet = 3;   // the first street left to solving again: 3 rivers, 2 turns too
    bool plain = false;       // arrays in place rather than entropy coded
};

// Writes the built tree (which must exist) to `path` under a temporary name and renames it when it is complete:
// any failure leaves whatever `path` was. Fails when the lines have changed since the tree was
// built.
void saveTree(const std::string& path, const SaveChoices& choices);

// Replaces the built tree, the lines, the pot, the ranges, the board, the evaluator's rules, the
// compression level and the info lines with those of the file. The old tree goes first; a
// failure leaves no tree (and the settings read before it in place). `progress` is told the
// share of the solver data read, in whole percent.
void loadTree(const std::string& path, const std::function<void(int)>& progress);

// The summary of a file made from its head and its info lines; frees the built tree. The text
// is the whole reply but the ok line.
std::string describeTreeFile(const std::string& path);

}  // namespace qv
