// The exploitability the solver reports against a best response written independently here: a
// plain recursion over every board and every pair of combos, reading the solver's strategies only
// through the per-combo interface. Covers river, turn and flop trees, all-in showdowns before the
// river, and suit isomorphism (where the solver solves one card of each class).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "solver/iteration.h"
#include "solver/results.h"
#include "solver/settings.h"
#include "naive_best_response.h"

namespace qv {
namespace {

using namespace qv::testing;

double naiveExploitability(SolverState& state) {
    auto oop = NaiveBestResponse(state, 0).run();
    auto ip = NaiveBestResponse(state, 1).run();
    return 0.5 * (oop.first + ip.first - oop.second - ip.second);
}

struct Case {
    const char* name;
    int street;
    bool isomorphism;
    const char* board[5];
    int iterations;
    int lowCard = 0;
    float rake = 0;            // rake fraction, with a cap of 30 chips
    bool weightedDeck = false;
};

// The toy game of a case, with ranges of `picks` combos drawn from `seed` and `seed` + 1.
GameDefinition toyGame(const Case& c, unsigned seed, int picks) {
    GameDefinition game;
    game.records = toyTree(c.street, false);
    game.flop = flopOf(c.board[0], c.board[1], c.board[2]);
    if (c.street >= 2) game.turn = card(c.board[3]);
    if (c.street == 3) game.river = card(c.board[4]);
    CardMask board = 0;
    for (int i = 0; i < 3 + (c.street >= 2) + (c.street == 3); ++i) board |= cardBit(card(c.board[i]));
    game.ranges[0] = symmetricRange(board, seed, picks);
    game.ranges[1] = symmetricRange(board, seed + 1, picks);
    for (auto& range : game.ranges)
        for (int slot = 0; slot < kComboCount; ++slot)
            if (rankOf(cardsOfSlot(slot)[0]) < c.lowCard) range[slot] = 0;  // out of a short deck
    game.isomorphism = c.isomorphism;
    game.lowCard = c.lowCard;
    game.ranker = suitBlindStrength;
    if (c.weightedDeck) {
        game.deck.assign(kCardCount, 1.0);
        for (int card = 0; card < kCardCount; card += 3) game.deck[card] = 0.25 * (card % 5);
    }
    return game;
}

class BestResponse : public ::testing::TestWithParam<Case> {};

TEST_P(BestResponse, SolverExploitabilityEqualsNaiveBestResponse) {
    const Case c = GetParam();
    solverSettings().threadCount = 1;
    SolverState state(toyGame(c, 11, c.street == 1 ? 6 : 14));
    state.setRake(c.rake, 30.0f);
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < c.iterations; ++i) runIteration(state, solverSettings());
        ResultRecord r = measureResults(state, solverSettings());
        double naive = naiveExploitability(state);
        EXPECT_NEAR(r.exploitability, naive, 1e-3 * (1 + std::fabs(naive))) << "after " << state.iteration();
        EXPECT_GE(r.exploitability, -1e-4);
    }
}

TEST(BestResponse, ExploitabilityGoesTowardZero) {
    solverSettings().threadCount = 1;
    SolverState state(toyGame(Case{"turn", 2, false, {"2c", "7d", "9h", "Ts"}, 0}, 41, 20));
    std::vector<double> exploitability;
    for (int checkpoint : {10, 100, 400}) {
        while (state.iteration() < checkpoint) runIteration(state, solverSettings());
        exploitability.push_back(measureResults(state, solverSettings()).exploitability);
    }
    EXPECT_LT(exploitability[1], 0.5 * exploitability[0]);
    EXPECT_LT(exploitability[2], 0.5 * exploitability[1]);
    EXPECT_LT(exploitability[2], 0.01 * 100);  // below 1% of the pot
}

INSTANTIATE_TEST_SUITE_P(
    Trees, BestResponse,
    ::testing::Values(Case{"river", 3, false, {"2c", "7d", "9h", "Ts", "Kc"}, 30},
                      Case{"turn", 2, false, {"2c", "7d", "9h", "Ts"}, 40},
                      Case{"turn_monotone_isomorphic", 2, true, {"Kh", "9h", "5h", "2h"}, 40},
                      Case{"flop", 1, false, {"Kh", "9h", "5c"}, 8},
                      Case{"flop_isomorphic", 1, true, {"Kh", "9h", "5c"}, 8},
                      Case{"river_raked", 3, false, {"2c", "7d", "9h", "Ts", "Kc"}, 30, 0, 0.05f},
                      Case{"turn_raked", 2, false, {"2c", "7d", "9h", "Ts"}, 30, 0, 0.1f},
                      Case{"turn_short_deck", 2, false, {"6c", "7d", "9h", "Ts"}, 30, 4},
                      Case{"turn_weighted_deck_isomorphic", 2, true, {"Qs", "Jh", "2h", "8d"}, 30, 0, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

// A flop game (turn subgames as jobs), a turn game (river subgames, handed out in runs) and a
// river game (the root's subtrees shared out, both passes of an iteration at once).
TEST(Determinism, OneAndTwoThreadsGiveBitIdenticalResults) {
    GameDefinition flop = symmetricFlopGame(31, 12);
    flop.isomorphism = true;
    GameDefinition turn = flop;
    turn.records = toyTree(2, true);
    turn.turn = card("2d");
    GameDefinition river = turn;
    river.records = toyTree(3, true);
    river.river = card("3s");
    for (const GameDefinition& game : {flop, turn, river}) {
        std::vector<ResultRecord> results;
        std::vector<std::vector<std::vector<float>>> strategies;
        for (int threads : {1, 2}) {
            solverSettings().threadCount = threads;
            SolverState state(game);
            for (int i = 0; i < 62; ++i) runIteration(state, solverSettings());
            results.push_back(measureResults(state, solverSettings()));
            uint32_t river = 0;  // the last river decision
            for (uint32_t n = 0; n < state.nodes().size(); ++n)
                if (state.nodes()[n].type == ActionType::Decision && state.nodes()[n].street == 3) river = n;
            strategies.push_back(nodeAverageStrategy(state, river, card("2d"), card("3s")));
        }
        solverSettings().threadCount = 1;
        EXPECT_EQ(results[0].exploitability, results[1].exploitability);
        EXPECT_EQ(results[0].evOop, results[1].evOop);
        EXPECT_EQ(results[0].mesIp, results[1].mesIp);
        ASSERT_EQ(strategies[0].size(), strategies[1].size());
        for (size_t a = 0; a < strategies[0].size(); ++a)
            for (int s = 0; s < kComboCount; ++s)
                if (!std::isnan(strategies[0][a][s])) {
                    EXPECT_EQ(strategies[0][a][s], strategies[1][a][s]);
                }
    }
}

}  // namespace
}  // namespace qv
