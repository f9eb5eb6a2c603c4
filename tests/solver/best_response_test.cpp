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
#include "solver/strategy_access.h"
#include "test_games.h"

namespace qv {
namespace {

using namespace qv::testing;

class NaiveBestResponse {
public:
    NaiveBestResponse(SolverState& state, int player) : state_(state), game_(state.definition()), p_(player) {
        for (int q = 0; q < 2; ++q)
            for (int slot = 0; slot < kComboCount; ++slot)
                if (game_.ranges[q][slot] > 0 && !(maskOf(slot) & firstBoard())) combos_[q].push_back(slot);
    }

    // Best-response value and strategy value of the player, in chips per deal.
    std::pair<double, double> run() {
        std::vector<double> reach;
        for (int slot : combos_[1 - p_]) reach.push_back(game_.ranges[1 - p_][slot]);
        std::vector<double> best, value;
        evaluate(0, firstBoard(), {}, reach, best, value);
        double br = 0, ev = 0, deals = 0;
        for (size_t i = 0; i < combos_[p_].size(); ++i) {
            double w = game_.ranges[p_][combos_[p_][i]];
            br += w * best[i];
            ev += w * value[i];
            for (int o : combos_[1 - p_])
                if (!(maskOf(o) & maskOf(combos_[p_][i]))) deals += w * game_.ranges[1 - p_][o];
        }
        return {br / deals, ev / deals};
    }

private:
    static CardMask maskOf(int slot) {
        auto c = cardsOfSlot(slot);
        return cardBit(c[0]) | cardBit(c[1]);
    }
    CardMask firstBoard() const {
        CardMask m = cardBit(game_.flop[0]) | cardBit(game_.flop[1]) | cardBit(game_.flop[2]);
        if (game_.turn >= 0) m |= cardBit(game_.turn);
        if (game_.river >= 0) m |= cardBit(game_.river);
        return m;
    }
    int turnOf(const std::vector<int>& dealt) const {
        return game_.turn >= 0 ? game_.turn : (dealt.empty() ? -1 : dealt[0]);
    }
    int riverOf(const std::vector<int>& dealt) const {
        if (game_.river >= 0) return game_.river;
        if (game_.turn >= 0) return dealt.empty() ? -1 : dealt[0];
        return dealt.size() > 1 ? dealt[1] : -1;
    }

    // Deals one more card, then evaluates `node` on the bigger board.
    void deal(uint32_t node, CardMask board, const std::vector<int>& dealt, const std::vector<double>& reach,
              std::vector<double>& best, std::vector<double>& value) {
        const size_t n = combos_[p_].size();
        best.assign(n, 0.0);
        value.assign(n, 0.0);
        const int low = game_.lowCard.value_or(0);
        const double base = 1.0 / ((__builtin_popcountll(board) == 3 ? 45 : 44) - 4 * low);
        double deckTotal = 0, dealable = 0;
        for (int c = 0; c < kCardCount; ++c)
            if (!(board & cardBit(c)) && rankOf(c) >= low) {
                deckTotal += game_.deck.empty() ? 1.0 : game_.deck[c];
                dealable += 1;
            }
        for (int c = 0; c < kCardCount; ++c) {
            if ((board & cardBit(c)) || rankOf(c) < low) continue;
            const double weight = base * (game_.deck.empty() ? 1.0 : game_.deck[c] * dealable / deckTotal);
            if (weight == 0) continue;  // a card the deck never deals
            std::vector<double> masked = reach;
            for (size_t j = 0; j < masked.size(); ++j)
                if (maskOf(combos_[1 - p_][j]) & cardBit(c)) masked[j] = 0;
            std::vector<int> more = dealt;
            more.push_back(c);
            std::vector<double> b, v;
            evaluate(node, board | cardBit(c), more, masked, b, v);
            for (size_t i = 0; i < n; ++i) {
                if (maskOf(combos_[p_][i]) & cardBit(c)) continue;
                best[i] += weight * b[i];
                value[i] += weight * v[i];
            }
        }
    }

    void evaluate(uint32_t node, CardMask board, const std::vector<int>& dealt, const std::vector<double>& reach,
                  std::vector<double>& best, std::vector<double>& value) {
        const GameNode& n = state_.nodes()[node];
        const std::vector<int>& mine = combos_[p_];
        const std::vector<int>& theirs = combos_[1 - p_];
        best.assign(mine.size(), 0.0);
        value.assign(mine.size(), 0.0);
        if (n.type == ActionType::Showdown && __builtin_popcountll(board) < 5) return deal(node, board, dealt, reach, best, value);
        if (n.type != ActionType::Decision) {
            const bool fold = n.type == ActionType::Fold;
            auto strengths = [&](const std::vector<int>& list) {
                std::vector<uint32_t> out(list.size());
                for (size_t i = 0; i < list.size(); ++i) {
                    auto c = cardsOfSlot(list[i]);
                    out[i] = fold || (maskOf(list[i]) & board) ? 0 : game_.ranker(board, c[0], c[1]);
                }
                return out;
            };
            const std::vector<uint32_t> own = strengths(mine), other = strengths(theirs);
            for (size_t i = 0; i < mine.size(); ++i) {
                if (maskOf(mine[i]) & board) continue;
                double v = 0;
                for (size_t j = 0; j < theirs.size(); ++j) {
                    if ((maskOf(theirs[j]) & (board | maskOf(mine[i])))) continue;
                    double sign = fold ? (n.player == p_ ? -1 : 1)  // the folder is the parent's player
                                       : own[i] > other[j] ? 1 - 2 * rake(n.stake)
                                       : own[i] < other[j] ? -1
                                                           : -rake(n.stake);
                    v += sign * n.stake * reach[j];
                }
                best[i] = value[i] = v;
            }
            return;
        }
        auto strategy = nodeAverageStrategy(state_, node, turnOf(dealt), riverOf(dealt));
        for (size_t a = 0; a < n.children.size(); ++a) {
            uint32_t child = n.children[a];
            std::vector<double> childReach = reach;
            if (n.player != p_)
                for (size_t j = 0; j < theirs.size(); ++j) {
                    float s = strategy[a][theirs[j]];
                    childReach[j] *= std::isnan(s) ? 0.0 : s;
                }
            std::vector<double> b, v;
            const GameNode& c = state_.nodes()[child];
            if (c.type == ActionType::Decision && c.street > n.street)
                deal(child, board, dealt, childReach, b, v);
            else
                evaluate(child, board, dealt, childReach, b, v);
            for (size_t i = 0; i < mine.size(); ++i) {
                if (n.player == p_) {
                    float s = strategy[a][mine[i]];
                    value[i] += (std::isnan(s) ? 0.0 : s) * v[i];
                    best[i] = a == 0 ? b[i] : std::max(best[i], b[i]);
                } else {
                    value[i] += v[i];
                    best[i] += b[i];
                }
            }
        }
    }

    // The share of a showdown pot of 2 x stake that the house takes.
    double rake(double stake) const {
        const double fraction = state_.rakeFraction(), cap = state_.rakeCap();
        if (cap <= 0 || stake <= 0) return 0;
        return 2 * stake * fraction > cap ? cap / (2 * stake) : fraction;
    }

    SolverState& state_;
    const GameDefinition& game_;
    int p_;
    std::array<std::vector<int>, 2> combos_;
};

double naiveExploitability(SolverState& state) {
    auto oop = NaiveBestResponse(state, 0).run();
    auto ip = NaiveBestResponse(state, 1).run();
    return 0.5 * (oop.first + ip.first - oop.second - ip.second);
}

// A street's betting: OOP bets 100 or checks; IP calls or folds, or checks back. `next` builds
// what follows a call or a check-back: a new street's block or a showdown.
template <typename Next>
void streetBlock(RecordBuilder& b, int parent, int street, double stake, Next next) {
    int root = b.decision(parent, 0, street);
    int bet = b.decision(root, 1, street);
    next(bet, stake + 100);
    b.fold(bet, stake);
    int check = b.decision(root, 1, street);
    next(check, stake);
}

std::vector<ActionRecord> riverTree() {
    RecordBuilder b;
    streetBlock(b, -1, 3, 50, [&](int parent, double s) { b.showdown(parent, s); });
    return b.records;
}

std::vector<ActionRecord> turnTree() {
    RecordBuilder b;
    streetBlock(b, -1, 2, 50, [&](int parent, double s) {
        streetBlock(b, parent, 3, s, [&](int p2, double s2) { b.showdown(p2, s2); });
    });
    return b.records;
}

// Flop: OOP shoves (IP calls to an all-in showdown or folds) or checks to the turn and river blocks.
std::vector<ActionRecord> flopTree() {
    RecordBuilder b;
    int root = b.decision(-1, 0, 1);
    int shove = b.decision(root, 1, 1);
    b.showdown(shove, 250);
    b.fold(shove, 50);
    int check = b.decision(root, 1, 1);
    streetBlock(b, check, 2, 50, [&](int parent, double s) {
        streetBlock(b, parent, 3, s, [&](int p2, double s2) { b.showdown(p2, s2); });
    });
    return b.records;
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

class BestResponse : public ::testing::TestWithParam<Case> {};

TEST_P(BestResponse, SolverExploitabilityEqualsNaiveBestResponse) {
    const Case c = GetParam();
    solverSettings().threadCount = 1;
    GameDefinition game;
    game.records = c.street == 3 ? riverTree() : c.street == 2 ? turnTree() : flopTree();
    game.flop = flopOf(c.board[0], c.board[1], c.board[2]);
    if (c.street >= 2) game.turn = card(c.board[3]);
    if (c.street == 3) game.river = card(c.board[4]);
    CardMask board = 0;
    for (int i = 0; i < 3 + (c.street >= 2) + (c.street == 3); ++i) board |= cardBit(card(c.board[i]));
    int picks = c.street == 1 ? 6 : 14;
    game.ranges[0] = symmetricRange(board, 11, picks);
    game.ranges[1] = symmetricRange(board, 12, picks);
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
    SolverState state(game);
    state.setRake(c.rake, 30.0f);
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < c.iterations; ++i) runIteration(state);
        ResultRecord r = measureResults(state);
        double naive = naiveExploitability(state);
        EXPECT_NEAR(r.exploitability, naive, 1e-3 * (1 + std::fabs(naive))) << "after " << state.iteration();
        EXPECT_GE(r.exploitability, -1e-4);
    }
}

TEST(BestResponse, ExploitabilityGoesTowardZero) {
    solverSettings().threadCount = 1;
    GameDefinition game;
    game.records = turnTree();
    game.flop = flopOf("2c", "7d", "9h");
    game.turn = card("Ts");
    CardMask board = cardBit(card("2c")) | cardBit(card("7d")) | cardBit(card("9h")) | cardBit(card("Ts"));
    game.ranges[0] = symmetricRange(board, 41, 20);
    game.ranges[1] = symmetricRange(board, 42, 20);
    game.ranker = suitBlindStrength;
    SolverState state(game);
    std::vector<double> exploitability;
    for (int checkpoint : {10, 100, 400}) {
        while (state.iteration() < checkpoint) runIteration(state);
        exploitability.push_back(measureResults(state).exploitability);
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
                      Case{"turn_weighted_deck", 2, false, {"2c", "7d", "9h", "Ts"}, 30, 0, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

// The flop game on Kh 9h 5c with ranges that treat diamonds and spades alike, so isomorphism
// can merge them; `seed` draws OOP's range and seed + 1 IP's.
GameDefinition symmetricFlopGame(int seed, int size) {
    GameDefinition game;
    game.records = flopTree();
    game.flop = flopOf("Kh", "9h", "5c");
    CardMask board = cardBit(card("Kh")) | cardBit(card("9h")) | cardBit(card("5c"));
    game.ranges[0] = symmetricRange(board, seed, size);
    game.ranges[1] = symmetricRange(board, seed + 1, size);
    game.ranker = suitBlindStrength;
    return game;
}

TEST(BestResponse, IsomorphismMergesEquivalentCardsAndKeepsTheSolution) {
    // The same flop game with and without merging equivalent cards gives the same values.
    solverSettings().threadCount = 1;
    GameDefinition game = symmetricFlopGame(21, 6);
    SolverState plain(game);
    game.isomorphism = true;
    SolverState merged(game);
    EXPECT_EQ(plain.boards().level(1).size(), 49u);
    EXPECT_EQ(merged.boards().level(1).size(), 49u - 13u);  // diamonds and spades pair up
    for (int i = 0; i < 20; ++i) {
        runIteration(plain);
        runIteration(merged);
    }
    ResultRecord a = measureResults(plain), b = measureResults(merged);
    EXPECT_NEAR(a.evOop, b.evOop, 1e-3);
    EXPECT_NEAR(a.exploitability, b.exploitability, 1e-3);
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

using namespace qv::testing;

TEST(Determinism, OneAndTwoThreadsGiveBitIdenticalResults) {
    GameDefinition game = symmetricFlopGame(31, 12);
    game.isomorphism = true;
    std::vector<ResultRecord> results;
    std::vector<std::vector<std::vector<float>>> strategies;
    for (int threads : {1, 2}) {
        solverSettings().threadCount = threads;
        SolverState state(game);
        for (int i = 0; i < 62; ++i) runIteration(state);
        results.push_back(measureResults(state));
        strategies.push_back(nodeAverageStrategy(state, uint32_t(state.nodes().size() - 2), card("2d"), card("3s")));
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

}  // namespace
}  // namespace qv
