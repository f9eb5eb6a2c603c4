#pragma once
// Suit isomorphism: on most boards some suits play alike (the three suits missing from a monotone
// flop, the two missing from a two-tone flop). A tree built with isomorphism on is solved in a
// canonical relabelling of the suits, so interchangeable suits always carry the same labels.
#include <array>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "cards/card.h"

namespace qv {

// perm[s] is the canonical suit that suit s becomes.
using SuitPermutation = std::array<int, 4>;

constexpr SuitPermutation kIdentitySuits{0, 1, 2, 3};

// The flop's most frequent suit becomes 0 and its least frequent 1 (ties to the lower suit);
// a rainbow flop's suits become 0, 1, 2 in suit order. A new suit of the turn, then of the
// river, takes the next label; the remaining suits follow in suit order. -1 = no turn or river.
SuitPermutation canonicalSuitPermutation(CardMask flop, Card turn = -1, Card river = -1);
SuitPermutation inverseSuits(const SuitPermutation& perm);

inline Card relabelCard(Card card, const SuitPermutation& perm) {
    return 13 * perm[suitOf(card)] + rankOf(card);
}
CardMask relabelMask(CardMask mask, const SuitPermutation& perm);
// A 1326-weight array in HandSlot order: each combo's weight moves to its relabelled combo.
std::vector<double> relabelRange(const std::vector<double>& range, const SuitPermutation& perm);
// Each suit's block of 13 weights moves to the block of its canonical suit.
std::array<double, kCardCount> relabelDeckWeights(const std::array<double, kCardCount>& weights,
                                                  const SuitPermutation& perm);

// The canonical form of a tree's board, with the operations that carry ranges into it.
class CanonicalFlop {
public:
    CanonicalFlop(CardMask flop, Card turn, Card river);

    const SuitPermutation& permutation() const { return perm_; }
    CardMask flop() const { return flop_; }
    Card turn() const { return turn_; }
    Card river() const { return river_; }

    // Relabels both players' ranges (HandSlot order) in place; empty ranges stay empty.
    void SetHoles(std::array<std::vector<double>, 2>& ranges) const;

private:
    SuitPermutation perm_;
    CardMask flop_;
    Card turn_, river_;
};

// The suit permutations that leave the board state as it is (always including the identity).
std::vector<SuitPermutation> boardSymmetries(CardMask boardState);

// "isomorph error: <board cards> | <combo cards>" with each card written "%c%c ".
std::string isomorphErrorLine(CardMask boardState, Card first, Card second);

using DiagnosticWriter = std::function<void(const std::string&)>;
// Writes straight to standard output, outside any command reply.
void writeToStandardOutput(const std::string& text);

// Every hand of the list whose image under a symmetry of the board state is not in the list gets
// one "isomorph error" line; returns the number of such hands.
int checkIsomorphImages(CardMask boardState, std::span<const uint16_t> handSlots,
                        const DiagnosticWriter& write = writeToStandardOutput);

}  // namespace qv
