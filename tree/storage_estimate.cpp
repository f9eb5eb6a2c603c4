#include "tree/storage_estimate.h"

#include "tree/built_tree.h"

namespace qv {

namespace {

// Rows: one, two or three suits on the flop; columns: none, low, medium, high, max, fast.
constexpr double kFactors[3][6] = {
    {1.0, 0.54, 0.41, 0.35, 0.25, 0.68},
    {1.0, 0.53, 0.39, 0.33, 0.25, 0.68},
    {1.0, 0.51, 0.36, 0.32, 0.24, 0.68},
};

}  // namespace

double compressionFactor(int flopSuits, int level) {
    if (flopSuits < 1 || flopSuits > 3 || level < 0 || level > 5) return 1.0;
    return kFactors[flopSuits - 1][level];
}

int flopSuitCount(CardMask flop) {
    int suits = 0;
    for (int suit = 0; suit < 4; ++suit) suits += (flop >> (13 * suit)) & 0x1FFF ? 1 : 0;
    return suits;
}

int64_t uncompressedStorageBytes(const BuiltTree& tree) {
    return tree.solver ? int64_t(tree.solver->uncompressedStorage().total()) : 0;
}

int64_t estimatedTreeMegabytes(int64_t uncompressedBytes, int flopSuits, int level) {
    return int64_t(double(uncompressedBytes) * compressionFactor(flopSuits, level) / double(1 << 20));
}

}  // namespace qv
