// Range and deck set-up: what cards_verbose_reports shows (a range's report, combos below the low
// card, the deck switching isomorphism off) is not repeated here.
#include <gtest/gtest.h>

#include "cards/combo_tables.h"
#include "cards/range_setup.h"
#include "error_text.h"
#include "interpreter/dispatch.h"
#include "interpreter/errors.h"

namespace qv {
namespace {

TEST(DeckDistribution, NeedsAPositiveSumAndSwitchesIsomorphismOff) {
    GameSetup setup;
    std::vector<double> weights(kCardCount, 0.0);
    weights[5] = 2.220446049250313e-16;
    EXPECT_EQ(errorOf([&] { setDeckDistribution(setup, weights); }), "incorrect or missing argument");
    EXPECT_FALSE(setup.deck.inUse);
    EXPECT_TRUE(setup.flopIsomorphism);
    weights[7] = 1e-15;
    setDeckDistribution(setup, weights);
    EXPECT_TRUE(setup.deck.inUse);
    EXPECT_EQ(setup.deck.weights[7], 1e-15);
    EXPECT_FALSE(setup.flopIsomorphism);
    EXPECT_FALSE(setup.turnIsomorphism);
}

TEST(RangeConsistency, ComparesOnlyUnblockedCombosOfOneCell) {
    CardMask flop = parseCards("QsJh2h");
    auto uniform = [] { return std::vector<double>(kComboCount, 1.0); };
    struct Case { std::vector<std::pair<const char*, double>> changes; int player; std::string error; };
    const Case cases[] = {
        {{}, 0, ""},
        {{{"KsQs", 0.3}}, 0, ""},                        // blocked by the flop
        {{{"AcKc", -1}}, 1, ""},                          // the reference skips negatives...
        {{{"AcKc", -1}, {"AdKd", 0.5}}, 1,                // ...then AdKd is the reference
         "inconsistent range: IP P(Kd Ad) == 0.5, P(Kh Ah) == 1, use 'set_isomorphism 0 0' if intended"},
        {{{"AdKd", 0.5}}, 0,
         "inconsistent range: OOP P(Kc Ac) == 1, P(Kd Ad) == 0.5, use 'set_isomorphism 0 0' if intended"},
        {{{"AdKd", 1 + 1e-16}}, 0, ""},
        {{{"7c2d", 0}}, 1,
         "inconsistent range: IP P(7c 2d) == 0, P(7c 2s) == 1, use 'set_isomorphism 0 0' if intended"},
    };
    for (const Case& c : cases) {
        std::array<std::vector<double>, 2> ranges{uniform(), uniform()};
        for (auto [cards, weight] : c.changes) {
            CardMask m = parseCards(cards);
            ranges[c.player][handSlotOf(highestCard(m), lowestCard(m))] = weight;
        }
        EXPECT_EQ(errorOf([&] { checkRangeConsistency(ranges, flop); }), c.error);
    }
}

// Command level: a rejected command leaves the game setup exactly as it was.
TEST(CardCommands, RejectedArgumentsChangeNothing) {
    dispatchCommand({"set_board", "QsJh2hTd"});
    std::string weights;
    for (int i = 0; i < kComboCount; ++i) weights += " 0.5";
    dispatchCommand(tokenizeLine("set_range OOP" + weights));
    takeReply();
    const GameSetup before = gameSetup();
    std::string zeroDeck = "set_deck_distribution";
    for (int i = 0; i < kCardCount; ++i) zeroDeck += " 0";
    const std::vector<std::string> rejected = {
        "set_board QsJh2hQs", "set_board Qs Jh", "set_board Qs Jh 2x", "set_board QsJh2hTd3c4d",
        "set_range Hero" + weights, "set_range OOP x" + weights.substr(4),
        "set_range OOP 1e999" + weights.substr(4), "set_range OOP" + weights.substr(4),
        zeroDeck,
    };
    for (const std::string& line : rejected) {
        dispatchCommand(tokenizeLine(line));
        std::string answer = takeReply();
        EXPECT_EQ(answer.rfind("ERROR: ", 0), 0u) << line.substr(0, 40) << " -> " << answer;
        EXPECT_EQ(gameSetup().board.flop, before.board.flop);
        EXPECT_EQ(gameSetup().board.turn, before.board.turn);
        EXPECT_EQ(gameSetup().ranges, before.ranges);
        EXPECT_EQ(gameSetup().deck.inUse, before.deck.inUse);
    }
}

}  // namespace
}  // namespace qv
