// Short-deck straights and custom category orders; the eval_hand protocol script shows the custom
// orders that are refused and the values under each order.
#include <gtest/gtest.h>

#include <vector>

#include "cards/evaluator.h"
#include "cards/hand_rules.h"
#include "card_test_text.h"

namespace qv {
namespace {

std::array<int, 9> orderOf(std::initializer_list<const char*> names) {
    std::array<int, 9> order{};
    int i = 0;
    for (const char* name : names) order[i++] = categoryOfName(name);
    return order;
}

const std::array<int, 9> kTripsOverStraight = orderOf(
    {"highcard", "pair", "twopair", "straight", "trips", "flush", "fullhouse", "quads", "straightflush"});

class HandRulesTest : public ::testing::Test {
protected:
    void TearDown() override { handRules() = HandRules{}; }
};

TEST_F(HandRulesTest, ShortDeckAceLowStraights) {
    struct Case { int lowCard; const char* cards; HandValue value; };
    // From the six, the lowest straight alone, with a ten, as a straight flush and beside a flush is
    // in cards_eval_hand, and so are the ace-low hands of the full deck.
    const Case cases[] = {
        {4, "As6c7d8h9s9c9d", 0x04030000},   // the straight beats trips
        {4, "As6c7d8h9sAdAh", 0x04030000},
        {4, "As6c7d8hKsAdAh", 0x030cb600},   // no nine: trips
        {4, "As6c7d8h9s6d6h", 0x04030000},
        {1, "As3c4d5h6s", 0x04030000},       // deck from the trey: ace, trey to six
        {1, "As3c4d5h6s7c", 0x04050000},
    };
    for (const Case& c : cases) {
        handRules().lowCard = c.lowCard;
        EXPECT_EQ(evaluateText(c.cards), c.value) << c.cards << " low card " << c.lowCard;
    }
}

TEST_F(HandRulesTest, ShortDeckStraightYieldsToAStrongerCustomCategory) {
    handRules().lowCard = 4;
    ASSERT_TRUE(setHandTypeOrder(handRules(), kTripsOverStraight));
    EXPECT_EQ(evaluateText("As6c7d8h9s9c9d"), 0x0407c600u);  // trips at position 4
    EXPECT_EQ(evaluateText("As6c7d8h9s"), 0x03030000u);  // the straight at position 3
}

}  // namespace
}  // namespace qv
