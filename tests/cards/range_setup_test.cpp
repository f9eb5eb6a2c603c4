#include <gtest/gtest.h>

#include <functional>

#include "cards/combo_tables.h"
#include "cards/hand_rules.h"
#include "cards/range_setup.h"
#include "interpreter/dispatch.h"
#include "interpreter/errors.h"

namespace qv {
namespace {

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

ComboIndex comboOf(const std::string& cards) {
    CardMask mask = parseCards(cards);
    return cardTables().comboOfSlot[handSlotOf(highestCard(mask), lowestCard(mask))];
}

class LowCardGuard {
public:
    explicit LowCardGuard(int lowCard) { handRules().lowCard = lowCard; }
    ~LowCardGuard() { handRules().lowCard = 0; }
};

TEST(SetRange, StoresWeightsInSlotOrderAndReports) {
    GameSetup setup;
    std::vector<double> weights(kComboCount, 1.0);
    weights[comboOf("AhAs")] = 0.000009;
    weights[comboOf("KhKs")] = 0.00001;
    weights[comboOf("QhQs")] = 2.5;
    weights[comboOf("JhJs")] = -1;
    RangeReport report = setRange(setup, 1, weights);
    const std::vector<double>& range = setup.ranges[1];
    ASSERT_EQ(range.size(), size_t(kComboCount));
    EXPECT_EQ(range[handSlotOf(38, 51)], 0.0);
    EXPECT_EQ(range[handSlotOf(37, 50)], 0.00001);
    EXPECT_EQ(range[handSlotOf(36, 49)], 2.5);
    EXPECT_EQ(range[handSlotOf(35, 48)], -1.0);
    EXPECT_EQ(report.smallest, -1.0);
    EXPECT_EQ(report.largest, 2.5);
    EXPECT_EQ(report.nonzero, kComboCount - 2);
    EXPECT_EQ(report.roundedToZero, 1);
    EXPECT_TRUE(setup.ranges[0].empty());
}

TEST(SetRange, ZeroesCombosBelowTheLowCardWithoutCountingThem) {
    LowCardGuard shortDeck(4);  // deck from the six up: 36 cards, 630 combos
    GameSetup setup;
    RangeReport report = setRange(setup, 0, std::vector<double>(kComboCount, 1.0));
    EXPECT_EQ(report.nonzero, 630);
    EXPECT_EQ(report.roundedToZero, 0);
    EXPECT_EQ(report.smallest, 0.0);
    EXPECT_EQ(setup.ranges[0][handSlotOf(3, 51)], 0.0);   // 5c As
    EXPECT_EQ(setup.ranges[0][handSlotOf(4, 51)], 1.0);   // 6c As
}

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
