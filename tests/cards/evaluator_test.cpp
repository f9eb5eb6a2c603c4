#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "cards/evaluator.h"
#include "card_test_text.h"

namespace qv {
namespace {

// Straightforward reference for three to five cards: group the ranks by count, order the groups
// by size and then rank, and read category and rank nibbles off that. (Plain arrays keep it quick
// under the sanitizers.)
HandValue referenceValue(const Card* cards, int n) {
    int counts[13] = {};
    bool flush = n == 5;
    for (int i = 0; i < n; ++i) {
        ++counts[rankOf(cards[i])];
        flush = flush && suitOf(cards[i]) == suitOf(cards[0]);
    }
    int groupCount = 0, groupSize[5], groupRank[5];
    for (int size = 4; size >= 1; --size)
        for (int r = 12; r >= 0; --r)
            if (counts[r] == size) {
                groupSize[groupCount] = size;
                groupRank[groupCount++] = r;
            }
    int top = -1;
    if (n == 5 && groupCount == 5) {
        if (groupRank[0] - groupRank[4] == 4) top = groupRank[0];
        if (groupRank[0] == 12 && groupRank[1] == 3) top = 3;
    }
    if (top >= 0) return (flush ? 0x08000000u : 0x04000000u) | HandValue(top) << 16;
    HandValue nibbles = 0;
    for (int i = 0; i < groupCount; ++i) nibbles |= HandValue(groupRank[i]) << (16 - 4 * i);
    int cat = HighCard;
    if (flush) cat = Flush;
    else if (groupSize[0] == 4) cat = Quads;
    else if (groupSize[0] == 3) cat = groupCount > 1 && groupSize[1] == 2 ? FullHouse : Trips;
    else if (groupSize[0] == 2) cat = groupCount > 1 && groupSize[1] == 2 ? TwoPair : Pair;
    return HandValue(cat) << 24 | nibbles;
}

// The best five-card hand among six or seven cards, by the reference.
HandValue bestOfFive(const std::vector<Card>& cards) {
    int n = int(cards.size());
    HandValue best = 0;
    Card five[5];
    for (int pick = 0; pick < (1 << n); ++pick) {
        if (__builtin_popcount(pick) != 5) continue;
        int k = 0;
        for (int i = 0; i < n; ++i)
            if (pick & (1 << i)) five[k++] = cards[i];
        best = std::max(best, referenceValue(five, 5));
    }
    return best;
}

// The values' encoding is anchored by the eval_hand protocol script; here every hand is checked
// against the reference, which shares no code with the evaluator.
TEST(Evaluator, OnlyThreeToSevenCardsHaveAValue) {
    Card eight[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(evaluateHand(eight, 8), 0u);
    EXPECT_EQ(evaluateHand(eight, 2), 0u);
}

TEST(Evaluator, AllFiveCardHandsMatchTheReferenceAndGive7462Values) {
    std::vector<bool> seen(9 << 20, false);
    int distinct = 0;
    Card c[5];
    for (c[0] = 0; c[0] < 52; ++c[0])
        for (c[1] = c[0] + 1; c[1] < 52; ++c[1])
            for (c[2] = c[1] + 1; c[2] < 52; ++c[2])
                for (c[3] = c[2] + 1; c[3] < 52; ++c[3])
                    for (c[4] = c[3] + 1; c[4] < 52; ++c[4]) {
                        HandValue v = evaluateHand(c, 5);
                        ASSERT_EQ(v, referenceValue(c, 5))
                            << cardText(c[0]) << cardText(c[1]) << cardText(c[2]) << cardText(c[3])
                            << cardText(c[4]);
                        uint32_t key = (v >> 24) << 20 | (v & 0xFFFFF);
                        if (!seen[key]) ++distinct;
                        seen[key] = true;
                    }
    EXPECT_EQ(distinct, 7462);
}

TEST(Evaluator, ThreeAndFourCardHandsMatchTheReference) {
    Card c[4];
    for (c[0] = 0; c[0] < 52; ++c[0])
        for (c[1] = c[0] + 1; c[1] < 52; ++c[1])
            for (c[2] = c[1] + 1; c[2] < 52; ++c[2]) {
                ASSERT_EQ(evaluateHand(c, 3), referenceValue(c, 3));
                for (c[3] = c[2] + 1; c[3] < 52; ++c[3])
                    ASSERT_EQ(evaluateHand(c, 4), referenceValue(c, 4));
            }
}

// Every rank pattern of six and seven cards, each over a few random suit layouts: random deals
// would hardly ever reach the rare shapes.
TEST(Evaluator, SixAndSevenCardsAreTheBestFiveOfThem) {
    std::mt19937 rng(7);
    std::array<int, 13> counts{};
    std::vector<Card> hand;
    auto visit = [&](auto&& self, int rank, int left) -> void {
        if (left == 0) {
            for (int layout = 0; layout < 2; ++layout) {
                hand.clear();
                for (int r = 0; r < 13; ++r) {
                    int suits[4] = {0, 1, 2, 3};
                    std::shuffle(suits, suits + 4, rng);
                    for (int k = 0; k < counts[r]; ++k) hand.push_back(13 * suits[k] + r);
                }
                ASSERT_EQ(evaluateHand(hand.data(), int(hand.size())), bestOfFive(hand));
            }
            return;
        }
        if (rank < 0) return;
        for (int k = std::min(4, left); k >= 0; --k) {
            counts[rank] = k;
            self(self, rank - 1, left - k);
        }
        counts[rank] = 0;
    };
    for (int n : {6, 7}) visit(visit, 12, n);
}

}  // namespace
}  // namespace qv
