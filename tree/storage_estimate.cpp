#include "tree/storage_estimate.h"

#include <bit>

#include "cards/hand_rules.h"
#include "tree/built_tree.h"

namespace qv {

namespace {

// Rows: one, two or three suits on the flop; columns: none, low, medium, high, max, fast.
constexpr double kFactors[3][6] = {
    {1.0, 0.54, 0.41, 0.35, 0.25, 0.68},
    {1.0, 0.53, 0.39, 0.33, 0.25, 0.68},
    {1.0, 0.51, 0.36, 0.32, 0.24, 0.68},
};

int64_t handsOf(const std::vector<double>& range, CardMask board) {
    int64_t hands = 0;
    for (int high = 1; high < kCardCount; ++high)
        for (int low = 0; low < high; ++low) {
            size_t slot = size_t(high) * (high - 1) / 2 + low;
            if (slot < range.size() && range[slot] > 0 && !(board & (cardBit(high) | cardBit(low)))) ++hands;
        }
    return hands;
}

// Board states of a street below the tree's first street: every deal of the cards still in the deck.
int64_t boardStates(int streetsBelowRoot, int deckLeft) {
    int64_t states = 1;
    for (int i = 0; i < streetsBelowRoot; ++i) states *= deckLeft - i;
    return states;
}

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
    if (!tree.solver) return 0;
    CardMask board = tree.flop | tree.turn | tree.river;
    // Hand arrays are padded to a multiple of 4 values.
    int64_t hands[2] = {(handsOf(tree.ranges[0], board) + 3) / 4 * 4, (handsOf(tree.ranges[1], board) + 3) / 4 * 4};
    int deckLeft = kCardCount - 4 * handRules().lowCard - std::popcount(board);
    int64_t bytes = 0;
    for (const GameNode& node : tree.solver->nodes()) {
        if (node.type != ActionType::Decision) continue;
        int64_t values = int64_t(node.children.size()) * hands[node.player];
        bytes += values * boardStates(node.street - tree.firstStreet, deckLeft) * 4 * 2;
    }
    return bytes;
}

int64_t estimatedTreeMegabytes(int64_t uncompressedBytes, int flopSuits, int level) {
    return int64_t(double(uncompressedBytes) * compressionFactor(flopSuits, level) / double(1 << 20));
}

}  // namespace qv
