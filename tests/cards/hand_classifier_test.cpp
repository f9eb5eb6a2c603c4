#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "cards/combo_tables.h"
#include "cards/evaluator.h"
#include "cards/hand_classifier.h"

namespace qv {
namespace {

HandSlot slotOfText(const std::string& combo) {
    CardMask mask = parseCards(combo);
    return handSlotOf(lowestCard(mask), highestCard(mask));
}

HandCategories classify(const char* board) {
    HandCategories categories;
    classifyHands(parseCards(board), categories);
    return categories;
}

// The cards_categories protocol scripts check the class of every combo on boards of each shape
// (unpaired, paired, two pair, a straight, a royal flush, a turn, short-deck rules), blocked combos
// and refused boards included; these are boards they do not list.
TEST(HandClassifier, MadeHandsMatchHandCheckedBoards) {
    struct Case { const char* board; const char* combo; MadeHand expected; };
    const Case cases[] = {
        {"Qs7d2c", "Kh9h", MadeHand::KingHigh}, {"Ks9d7c4h", "3h3d", MadeHand::LowPair},
        {"Ks9d7c4h", "As4s", MadeHand::LowPair},
        // Two hole cards pairing two board ranks on a paired turn: the first card (7h) decides.
        {"KsKd7c2h", "7h2d", MadeHand::SecondPair},
        // Two pair on the board.
        {"KcKd7h7s3c", "Qh3d", MadeHand::Nothing}, {"KcKd7h7s3c", "3h3d", MadeHand::FullHouse},
        // Three and four of a kind on the board.
        {"7c7d7h", "Ah2d", MadeHand::AceHigh}, {"7c7d7h", "KhKd", MadeHand::FullHouse},
        {"7c7d7h", "7s2d", MadeHand::Quads}, {"7c7d7hKs2c", "Ah3d", MadeHand::AceHigh},
        {"7c7d7h7s", "AhKd", MadeHand::AceHigh}, {"7c7d7h7s", "KhQd", MadeHand::KingHigh},
        {"7c7d7h7sAh", "KhKd", MadeHand::Nothing},
        // Full houses on a full-house board.
        {"KcKdKh7s7d", "AsAd", MadeHand::FullHouse}, {"KcKdKh7s7d", "7c2d", MadeHand::Nothing},
        {"KcKdKh7s7d", "KsQd", MadeHand::Quads}, {"7c7d7hKsKd", "KhQd", MadeHand::TopFullHouse},
        {"7c7d7hKsKd", "AhAd", MadeHand::FullHouse}, {"7c7d7hKsKd", "2h2d", MadeHand::Nothing},
        // Straights, flushes and straight flushes against the board's own.
        {"9c8d7h", "JsTs", MadeHand::Straight}, {"9h8h2h", "AhKh", MadeHand::Flush},
        {"9h8h2h", "AhKc", MadeHand::AceHigh},  // four hearts are no flush
        {"9h8h2h5h4h", "AhKc", MadeHand::Nothing}, {"9h8h2h5h4h", "7h6h", MadeHand::StraightFlush},
        {"9h8h7h6h5h", "Th2c", MadeHand::StraightFlush}, {"9h8h7h6h5h", "AsAd", MadeHand::Nothing},
    };
    for (const Case& c : cases) {
        HandCategories categories = classify(c.board);
        EXPECT_EQ(categories.madeHand[slotOfText(c.combo)], int8_t(c.expected))
            << c.board << " " << c.combo;
    }
}

CardMask randomBoard(std::mt19937& rng, int size, CardMask pool) {
    CardMask board = 0;
    std::uniform_int_distribution<int> pick(0, kCardCount - 1);
    while (cardCount(board) < size) {
        Card card = pick(rng);
        if (pool & cardBit(card)) board |= cardBit(card);
    }
    return board;
}

// Relabelling the suits of board and combo together changes nothing about a hand.
TEST(HandClassifier, SuitRelabellingKeepsCategories) {
    std::mt19937 rng(11);
    std::array<int, 4> suits{0, 1, 2, 3};
    for (int round = 0; round < 6; ++round) {
        std::shuffle(suits.begin(), suits.end(), rng);
        auto relabel = [&](Card c) { return 13 * suits[suitOf(c)] + rankOf(c); };
        const CardMask board = randomBoard(rng, 3 + round % 3, ~CardMask(0));
        CardMask moved = 0;
        for (CardMask rest = board; rest; rest &= rest - 1) moved |= cardBit(relabel(lowestCard(rest)));
        HandCategories original, relabelled;
        classifyHands(board, original);
        classifyHands(moved, relabelled);
        for (HandSlot slot = 0; slot < kComboCount; ++slot) {
            const auto& cards = cardTables().cardsOfSlot[slot];
            const HandSlot image = handSlotOf(relabel(cards[0]), relabel(cards[1]));
            ASSERT_EQ(original.madeHand[slot], relabelled.madeHand[image]) << cardsToText(board);
            ASSERT_EQ(original.draw[slot], relabelled.draw[image]) << cardsToText(board);
        }
    }
}

// The best five of up to seven cards, from five-card evaluations only.
HandValue bestFive(const std::vector<Card>& cards) {
    const int n = int(cards.size());
    if (n <= 5) return evaluatePlain(cards.data(), n);
    HandValue best = 0;
    for (int skip = 0; skip < (1 << n); ++skip) {
        if (__builtin_popcount(skip) != n - 5) continue;
        Card five[5];
        int kept = 0;
        for (int i = 0; i < n; ++i)
            if (!(skip & (1 << i))) five[kept++] = cards[i];
        best = std::max(best, evaluatePlain(five, 5));
    }
    return best;
}

struct Outs { int straight = 0, flush = 0; };

// Deals every unseen card to one combo and sorts what it makes.
Outs enumerateOuts(CardMask board, Card a, Card b) {
    std::vector<Card> boardCards;
    for (CardMask rest = board; rest; rest &= rest - 1) boardCards.push_back(lowestCard(rest));
    std::vector<Card> withCombo = boardCards;
    withCombo.insert(withCombo.end(), {a, b});
    const int before = int(bestFive(withCombo) >> 24);
    Outs outs;
    for (Card c = 0; c < kCardCount; ++c) {
        if ((board & cardBit(c)) || c == a || c == b) continue;
        std::vector<Card> boardPlus = boardCards, handPlus = withCombo;
        boardPlus.push_back(c);
        handPlus.push_back(c);
        const HandValue boardValue = bestFive(boardPlus), handValue = bestFive(handPlus);
        const int after = int(handValue >> 24);
        if (handValue <= boardValue) continue;
        if (before < Straight && after == Straight) ++outs.straight;
        if (before <= Straight && (after == Flush || after == StraightFlush)) ++outs.flush;
    }
    return outs;
}

DrawKind expectedKind(Outs outs) {
    if (outs.straight > 0 && outs.flush > 0) return DrawKind::ComboDraw;
    if (outs.flush > 0) return DrawKind::FlushDraw;
    if (outs.straight >= 8) return DrawKind::EightOutStraightDraw;
    return outs.straight >= 4 ? DrawKind::FourOutStraightDraw : DrawKind::NoDraw;
}

// Random flops and turns, half of them from a narrow pool of connected ranks in two suits so that
// straight and flush draws are common; random combos on each are checked card by card.
TEST(HandClassifier, OutsMatchCardByCardEnumeration) {
    std::mt19937 rng(2024);
    CardMask connected = 0;
    for (int suit : {2, 3})
        for (int rank = 3; rank <= 10; ++rank) connected |= cardBit(13 * suit + rank);
    std::array<int, kDrawKindCount> seen{};
    for (int round = 0; round < 16; ++round) {
        const CardMask board = randomBoard(rng, 3 + round % 2, round % 4 < 2 ? connected : ~CardMask(0));
        DrawOuts outs;
        countOuts(board, outs);
        HandCategories categories;
        classifyHands(board, categories);
        std::uniform_int_distribution<int> pickSlot(0, kComboCount - 1);
        for (int sample = 0; sample < 120; ++sample) {
            const HandSlot slot = pickSlot(rng);
            if (cardTables().maskOfSlot[slot] & board) continue;
            const auto& cards = cardTables().cardsOfSlot[slot];
            const Outs expected = enumerateOuts(board, cards[0], cards[1]);
            const std::string where = cardsToText(board) + " / " + cardsToText(cardTables().maskOfSlot[slot]);
            ASSERT_EQ(outs.straight[slot], expected.straight) << where;
            ASSERT_EQ(outs.flush[slot], expected.flush) << where;
            ASSERT_EQ(categories.draw[slot], int8_t(expectedKind(expected))) << where;
            ++seen[categories.draw[slot]];
        }
    }
    for (int kind = 0; kind < kDrawKindCount; ++kind) EXPECT_GT(seen[kind], 0) << drawKindName(kind);
}

}  // namespace
}  // namespace qv
