#pragma once
// How much memory the solver's stores of a tree take, uncompressed and under a compression level.
#include <cstdint>

#include "cards/card.h"

namespace qv {

struct BuiltTree;

// Fraction of the uncompressed storage that a compression level (0 none .. 5 fast) needs, by the
// number of suits on the flop; 1 for any other level.
double compressionFactor(int flopSuits, int level);
int flopSuitCount(CardMask flop);

// Regrets and strategy sums, 4 bytes per (action, hand, board state) of every decision node.
int64_t uncompressedStorageBytes(const BuiltTree& tree);

// Whole megabytes of the uncompressed size scaled by the level's factor.
int64_t estimatedTreeMegabytes(int64_t uncompressedBytes, int flopSuits, int level);

}  // namespace qv
