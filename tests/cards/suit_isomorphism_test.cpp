// Canonical suits: the convention on known boards, and properties on random ones. That relabelling
// keeps ranges and boards is shown by every solve with suit isomorphism against the naive best
// response, which reads the strategies in the user's suits.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "cards/combo_tables.h"
#include "cards/suit_isomorphism.h"
#include "card_test_text.h"

namespace qv {
namespace {

TEST(SuitIsomorphism, CanonicalPermutationOfKnownBoards) {
    struct Case { const char* flop; const char* turn; const char* river; SuitPermutation perm; };
    const Case cases[] = {
        {"QsJh2h", "", "", {2, 3, 0, 1}},     // h -> 0, s -> 1, c -> 2, d -> 3
        {"AcKd2s", "", "", {0, 1, 3, 2}},     // c -> 0, d -> 1, s -> 2, h -> 3
        {"Ks9s4s", "2d", "", {2, 1, 3, 0}},   // s -> 0, d -> 1, c -> 2, h -> 3
        {"Ks9s4s", "2d", "3h", {3, 1, 2, 0}},  // the river's new suit comes next
        {"Ks9s4s", "2s", "3h", {2, 3, 1, 0}},
        {"Kc9c4c", "2d", "", kIdentitySuits},
        {"KhKd4h", "", "", {2, 1, 0, 3}},      // the suit holding two cards comes first
        {"2c2d2h", "As", "", kIdentitySuits},
    };
    for (const Case& c : cases) {
        Card turn = *c.turn ? cardOf(c.turn) : -1, river = *c.river ? cardOf(c.river) : -1;
        EXPECT_EQ(canonicalSuitPermutation(parseCards(c.flop), turn, river), c.perm) << c.flop;
    }
    CanonicalFlop canonical(parseCards("QsJh2h"), cardOf("Td"), -1);
    EXPECT_EQ(cardsToText(canonical.flop()), "2c Jc Qd");
    EXPECT_EQ(cardText(canonical.turn()), "Th");
    EXPECT_EQ(canonical.river(), -1);
}

struct RandomBoard {
    CardMask flop = 0;
    Card turn = -1, river = -1;
};

RandomBoard randomBoard(std::mt19937& rng) {
    std::vector<Card> deck(kCardCount);
    for (int i = 0; i < kCardCount; ++i) deck[i] = i;
    std::shuffle(deck.begin(), deck.end(), rng);
    RandomBoard b;
    for (int i = 0; i < 3; ++i) b.flop |= cardBit(deck[i]);
    int streets = int(rng() % 3);
    if (streets >= 1) b.turn = deck[3];
    if (streets >= 2) b.river = deck[4];
    return b;
}

TEST(SuitIsomorphism, CanonicalBoardsKeepTheirSuits) {
    std::mt19937 rng(11);
    for (int trial = 0; trial < 2000; ++trial) {
        RandomBoard b = randomBoard(rng);
        SuitPermutation perm = canonicalSuitPermutation(b.flop, b.turn, b.river);
        SuitPermutation sorted = perm;
        std::sort(sorted.begin(), sorted.end());
        ASSERT_EQ(sorted, kIdentitySuits);
        EXPECT_EQ(inverseSuits(inverseSuits(perm)), perm);
        CanonicalFlop canonical(b.flop, b.turn, b.river);
        EXPECT_EQ(canonicalSuitPermutation(canonical.flop(), canonical.turn(), canonical.river()),
                  kIdentitySuits);
    }
}

TEST(SuitIsomorphism, BoardSymmetriesAndMissingImages) {
    EXPECT_EQ(boardSymmetries(parseCards("Ks9s4s")).size(), 6u);
    EXPECT_EQ(boardSymmetries(parseCards("QsJh2h")).size(), 2u);
    EXPECT_EQ(boardSymmetries(parseCards("AcKd2s")).size(), 1u);
    EXPECT_EQ(boardSymmetries(parseCards("2c2d2h2s")).size(), 24u);

    CardMask board = parseCards("QsJh2h");
    std::vector<uint16_t> hands;
    for (HandSlot s = 0; s < kComboCount; ++s)
        if (!(cardTables().maskOfSlot[s] & board)) hands.push_back(uint16_t(s));
    std::vector<std::string> lines;
    auto collect = [&](const std::string& line) { lines.push_back(line); };
    EXPECT_EQ(checkIsomorphImages(board, hands, collect), 0);
    // Without AdKd, its mirror AcKc has no image (clubs and diamonds are interchangeable here).
    std::erase(hands, uint16_t(handSlotOf(cardOf("Ad"), cardOf("Kd"))));
    EXPECT_EQ(checkIsomorphImages(board, hands, collect), 1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "isomorph error: 2h Jh Qs  | Kc Ac \n");
}

}  // namespace
}  // namespace qv
