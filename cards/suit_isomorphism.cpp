#include "cards/suit_isomorphism.h"

#include <algorithm>
#include <cstdio>

#include "cards/combo_tables.h"

namespace qv {

namespace {

constexpr CardMask kSuitBlock = (CardMask(1) << 13) - 1;

CardMask suitBlock(CardMask mask, int suit) { return (mask >> (13 * suit)) & kSuitBlock; }

}  // namespace

SuitPermutation canonicalSuitPermutation(CardMask flop, Card turn, Card river) {
    SuitPermutation perm{-1, -1, -1, -1};
    int counts[4], present = 0;
    for (int s = 0; s < 4; ++s) {
        counts[s] = cardCount(suitBlock(flop, s));
        present += counts[s] > 0;
    }
    int next = 0;
    if (present == 3) {
        for (int s = 0; s < 4; ++s)
            if (counts[s]) perm[s] = next++;
    } else if (present > 0) {
        int most = -1, fewest = -1;
        for (int s = 0; s < 4; ++s) {
            if (!counts[s]) continue;
            if (most < 0 || counts[s] > counts[most]) most = s;
            if (fewest < 0 || counts[s] < counts[fewest]) fewest = s;
        }
        perm[most] = next++;
        if (fewest != most) perm[fewest] = next++;
    }
    for (Card dealt : {turn, river})
        if (dealt >= 0 && perm[suitOf(dealt)] < 0) perm[suitOf(dealt)] = next++;
    for (int s = 0; s < 4; ++s)
        if (perm[s] < 0) perm[s] = next++;
    return perm;
}

SuitPermutation inverseSuits(const SuitPermutation& perm) {
    SuitPermutation inverse{};
    for (int s = 0; s < 4; ++s) inverse[perm[s]] = s;
    return inverse;
}

CardMask relabelMask(CardMask mask, const SuitPermutation& perm) {
    CardMask out = 0;
    for (int s = 0; s < 4; ++s) out |= suitBlock(mask, s) << (13 * perm[s]);
    return out;
}

std::vector<double> relabelRange(const std::vector<double>& range, const SuitPermutation& perm) {
    if (range.size() != size_t(kComboCount)) return range;
    const CardTables& t = cardTables();
    std::vector<double> out(kComboCount);
    for (HandSlot slot = 0; slot < kComboCount; ++slot) {
        Card h = relabelCard(t.cardsOfSlot[slot][0], perm);
        Card l = relabelCard(t.cardsOfSlot[slot][1], perm);
        out[handSlotOf(h, l)] = range[slot];
    }
    return out;
}

std::array<double, kCardCount> relabelDeckWeights(const std::array<double, kCardCount>& weights,
                                                  const SuitPermutation& perm) {
    std::array<double, kCardCount> out{};
    for (Card c = 0; c < kCardCount; ++c) out[relabelCard(c, perm)] = weights[c];
    return out;
}

CanonicalFlop::CanonicalFlop(CardMask flop, Card turn, Card river)
    : perm_(canonicalSuitPermutation(flop, turn, river)),
      flop_(relabelMask(flop, perm_)),
      turn_(turn >= 0 ? relabelCard(turn, perm_) : -1),
      river_(river >= 0 ? relabelCard(river, perm_) : -1) {}

void CanonicalFlop::SetHoles(std::array<std::vector<double>, 2>& ranges) const {
    for (std::vector<double>& range : ranges) range = relabelRange(range, perm_);
}

std::vector<SuitPermutation> boardSymmetries(CardMask boardState) {
    std::vector<SuitPermutation> symmetries;
    SuitPermutation perm = kIdentitySuits;
    do {
        if (relabelMask(boardState, perm) == boardState) symmetries.push_back(perm);
    } while (std::next_permutation(perm.begin(), perm.end()));
    return symmetries;
}

std::string isomorphErrorLine(CardMask boardState, Card first, Card second) {
    std::string line = "isomorph error: ";
    for (CardMask rest = boardState; rest; rest &= rest - 1) line += cardText(lowestCard(rest)) + ' ';
    line += " | ";
    line += cardText(first) + ' ' + cardText(second) + " \n";
    return line;
}

void writeToStandardOutput(const std::string& text) {
    fwrite(text.data(), 1, text.size(), stdout);
    fflush(stdout);
}

int checkIsomorphImages(CardMask boardState, std::span<const uint16_t> handSlots,
                        const DiagnosticWriter& write) {
    const CardTables& t = cardTables();
    std::array<bool, kComboCount> listed{};
    for (uint16_t slot : handSlots) listed[slot] = true;
    std::vector<SuitPermutation> symmetries = boardSymmetries(boardState);
    int missing = 0;
    for (uint16_t slot : handSlots) {
        Card h = t.cardsOfSlot[slot][0], l = t.cardsOfSlot[slot][1];
        bool complete = std::all_of(symmetries.begin(), symmetries.end(), [&](const auto& perm) {
            return listed[handSlotOf(relabelCard(h, perm), relabelCard(l, perm))];
        });
        if (complete) continue;
        write(isomorphErrorLine(boardState, l, h));
        ++missing;
    }
    return missing;
}

}  // namespace qv
