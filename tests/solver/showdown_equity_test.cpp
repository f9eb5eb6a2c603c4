// Equities from the solver's showdown kernels against a plain enumeration: every opponent combo,
// every run-out, one comparison at a time (combos that meet nothing have no equity).
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "cards/showdown_value.h"
#include "solver/showdown_equity.h"
#include "solver/test_games.h"

namespace qv {
namespace {

using namespace qv::testing;

struct EquityCase {
    const char* name;
    int boardCards;
    unsigned seed;
};

void PrintTo(const EquityCase& c, std::ostream* os) { *os << c.name; }

class ShowdownEquityTest : public ::testing::TestWithParam<EquityCase> {};

CardMask randomBoard(std::mt19937& rng, int cards) {
    CardMask board = 0;
    std::uniform_int_distribution<int> pick(0, kCardCount - 1);
    while (cardCount(board) < cards) board |= cardBit(pick(rng));
    return board;
}

std::vector<double> randomWeights(std::mt19937& rng, CardMask board, int combos) {
    std::vector<double> range(kComboCount, 0.0);
    std::uniform_int_distribution<int> slot(0, kComboCount - 1);
    std::uniform_real_distribution<double> weight(0.1, 1.0);
    for (int i = 0; i < combos; ++i) {
        int s = slot(rng);
        if (!(maskOfSlot(s) & board)) range[s] = weight(rng);
    }
    return range;
}

// Share of the pot of `mine` against `theirs` over every completion of the board.
double enumeratedShare(CardMask board, int mine, int theirs) {
    std::vector<int> free;
    for (int c = 0; c < kCardCount; ++c)
        if (!((board | maskOfSlot(mine) | maskOfSlot(theirs)) & cardBit(c))) free.push_back(c);
    auto score = [&](CardMask full) {
        auto a = cardsOfSlot(mine), b = cardsOfSlot(theirs);
        HandValue x = showdownValue(full, a[0], a[1]), y = showdownValue(full, b[0], b[1]);
        return x > y ? 1.0 : x == y ? 0.5 : 0.0;
    };
    double total = 0;
    int count = 0;
    if (cardCount(board) == 5) return score(board);
    for (size_t i = 0; i < free.size(); ++i) {
        if (cardCount(board) == 4) {
            total += score(board | cardBit(free[i]));
            ++count;
            continue;
        }
        for (size_t j = i + 1; j < free.size(); ++j) {
            total += score(board | cardBit(free[i]) | cardBit(free[j]));
            ++count;
        }
    }
    return total / count;
}

TEST_P(ShowdownEquityTest, KernelEquitiesMatchPlainEnumeration) {
    const EquityCase c = GetParam();
    std::mt19937 rng(c.seed);
    const CardMask board = randomBoard(rng, c.boardCards);
    ShowdownEquityInput input;
    input.board = board;
    input.ownRange = randomWeights(rng, board, c.boardCards == 3 ? 20 : 40);
    input.ownWeight = input.ownRange;
    input.opponentWeight = randomWeights(rng, board, c.boardCards == 3 ? 20 : 40);
    const ShowdownEquity result = showdownEquity(input);

    double opponentTotal = 0;
    for (double w : input.opponentWeight) opponentTotal += w;
    int valued = 0;
    for (int h = 0; h < kComboCount; ++h) {
        double share = 0, met = 0;
        if (input.ownRange[h] > 0)
            for (int o = 0; o < kComboCount; ++o) {
                if (!(input.opponentWeight[o] > 0) || (maskOfSlot(o) & maskOfSlot(h))) continue;
                share += input.opponentWeight[o] * enumeratedShare(board, h, o);
                met += input.opponentWeight[o];
            }
        if (!(met > 0)) {
            EXPECT_TRUE(std::isnan(result.raw[h])) << h;
            EXPECT_TRUE(std::isnan(result.weight[h])) << h;
            continue;
        }
        ++valued;
        EXPECT_NEAR(equityOf(result.raw[h]), share / met, 2e-6) << cardsToText(maskOfSlot(h));
        EXPECT_NEAR(result.weight[h], input.ownWeight[h] * met / opponentTotal, 1e-6) << h;
    }
    EXPECT_GT(valued, 5);
}

INSTANTIATE_TEST_SUITE_P(Boards, ShowdownEquityTest,
                         ::testing::Values(EquityCase{"river_a", 5, 1}, EquityCase{"river_b", 5, 2},
                                           EquityCase{"turn_a", 4, 3}, EquityCase{"turn_b", 4, 4},
                                           EquityCase{"flop_a", 3, 5}, EquityCase{"flop_b", 3, 6}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qv
