// Dropping a street and solving its subgames again, checked against a best response written for
// the test and against the solve that kept every street.
#include <gtest/gtest.h>

#include <cmath>

#include "naive_best_response.h"
#include "solver/iteration.h"
#include "solver/node_locking.h"
#include "solver/resolve.h"
#include "solver/results.h"
#include "solver/settings.h"

namespace qv {
namespace {

using namespace qv::testing;

struct SubgameFigures {
    double exploitability = 0;  // half the sum of both best responses' gains, per reaching deal
    double value[2] = {0, 0};   // each player's value on the average strategies, per reaching deal
};

// The subgame below `root` on the first board plus `dealt` (user suits), valued by the naive best
// response from the reach that the streets above give each player.
SubgameFigures naiveSubgame(SolverState& state, uint32_t root, const std::vector<int>& dealt) {
    NaiveBestResponse players[2] = {{state, 0}, {state, 1}};
    const CardMask board = players[0].boardOf(dealt);
    std::array<std::vector<double>, 2> reach;
    for (int q = 0; q < 2; ++q) {
        const std::vector<double> range = players[0].rangeAt(q, root, dealt);
        for (int slot : players[0].combos(q)) reach[q].push_back(range[size_t(slot)]);
    }
    double joint = 0;
    for (size_t i = 0; i < reach[0].size(); ++i)
        joint += reach[0][i] * players[0].weightMet(board, players[0].combos(0)[i], reach[1]);
    SubgameFigures out;
    double gain = 0;
    for (int p = 0; p < 2; ++p) {
        std::vector<double> best, value;
        players[p].evaluate(root, board, dealt, reach[1 - p], best, value);
        for (size_t i = 0; i < reach[p].size(); ++i) {
            gain += reach[p][i] * (best[i] - value[i]);
            out.value[p] += reach[p][i] * value[i] / joint;
        }
    }
    out.exploitability = 0.5 * gain / joint;
    return out;
}

uint32_t firstDecisionOfStreet(const SolverState& state, int street) {
    for (uint32_t node = 0; node < state.nodes().size(); ++node)
        if (state.nodes()[node].type == ActionType::Decision && state.nodes()[node].street == street) return node;
    return 0;
}

// Counts the re-solves and keeps the last report.
struct Reports {
    int count = 0;
    SubgameReport last;
    Reports() {
        setSubgameReport([this](const SubgameReport& r) {
            ++count;
            last = r;
        });
    }
    ~Reports() { setSubgameReport({}); }
};

struct Case {
    const char* name;
    int street;        // the street dropped
    bool isomorphism;
};

class Resolve : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        solverSettings().threadCount = 1;
        GameDefinition game = symmetricFlopGame(51, 10);
        game.isomorphism = GetParam().isomorphism;
        state_ = std::make_unique<SolverState>(game);
    }
    void TearDown() override { solverSettings().recalcAccuracy = {}; }

    std::unique_ptr<SolverState> state_;
};

TEST_P(Resolve, DroppedSubgameIsSolvedOnceOnReadAndMatchesTheFullSolveAndANaiveBestResponse) {
    const Case c = GetParam();
    SolverState& state = *state_;
    for (int i = 0; i < 80; ++i) runIteration(state, solverSettings());
    const uint32_t root = firstDecisionOfStreet(state, c.street);
    // Diamonds and spades are interchangeable on this board: 3s is solved as its image 3d.
    const std::vector<int> dealt = c.street == 3 ? std::vector<int>{card("Td"), card("3s")} : std::vector<int>{card("Td")};
    const int turn = dealt[0], river = c.street == 3 ? dealt[1] : -1;
    const SubgameFigures full = naiveSubgame(state, root, dealt);
    const ResultRecord before = computeResults(state, solverSettings());
    const size_t bytes = state.storeBytes();

    forgetStreet(state, c.street);
    EXPECT_TRUE(state.flags() & SolverState::IncompleteTree);
    EXPECT_EQ(state.regrets(root), nullptr);
    EXPECT_LT(state.storeBytes(), bytes);
    EXPECT_EQ(computeResults(state, solverSettings()).evOop, before.evOop);  // the results were kept

    const double target = 0.2;  // chips
    solverSettings().recalcAccuracy[size_t(c.street)] = target;
    Reports reports;
    const auto first = nodeAverageStrategy(state, root, turn, river);
    EXPECT_EQ(reports.count, 1);
    const auto second = nodeAverageStrategy(state, root, turn, river);
    for (size_t a = 0; a < first.size(); ++a)
        for (int slot = 0; slot < kComboCount; ++slot)
            if (!std::isnan(first[a][slot])) { ASSERT_EQ(second[a][slot], first[a][slot]); }
    EXPECT_EQ(reports.count, 1);  // solved once
    EXPECT_LE(reports.last.exploitability, target);

    const SubgameFigures resolved = naiveSubgame(state, root, dealt);
    EXPECT_NEAR(resolved.exploitability, reports.last.exploitability, 1e-4 * (1 + resolved.exploitability));
    // Both solutions are near equilibria of the same subgame: each value lies within twice the
    // exploitability of the subgame's value.
    for (int p = 0; p < 2; ++p)
        EXPECT_NEAR(resolved.value[p], full.value[p], 2 * (full.exploitability + resolved.exploitability) + 1e-6);

    // Forced: solved again from where it stands; the exploitability it returns is the naive one.
    const double forced = SolveSubgame(state, subgameAt(state, root, turn, river), true);
    EXPECT_EQ(reports.count, 2);
    EXPECT_NEAR(forced, naiveSubgame(state, root, dealt).exploitability, 1e-4 * (1 + forced));
    EXPECT_EQ(state.iteration(), 80);
    EXPECT_TRUE(state.flags() & SolverState::IncompleteTree);
}

TEST_P(Resolve, SolvingAllSplitsGivesACompleteTreeThatConvergesToTheSameValues) {
    const Case c = GetParam();
    SolverState& state = *state_;
    for (int i = 0; i < 40; ++i) runIteration(state, solverSettings());
    const ResultRecord kept = measureResults(state, solverSettings());
    forgetStreet(state, c.street);
    SolveSubgames(state, c.street, {});
    EXPECT_FALSE(state.flags() & SolverState::IncompleteTree);
    EXPECT_EQ(state.iteration(), 40);
    EXPECT_FALSE(subgameOf(state, firstDecisionOfStreet(state, 3), 0).valid());  // nothing dropped
    for (uint32_t node = 0; node < state.nodes().size(); ++node)
        if (state.nodes()[node].type == ActionType::Decision) { ASSERT_NE(state.regrets(node), nullptr); }
    const ResultRecord resolved = measureResults(state, solverSettings());
    EXPECT_LT(resolved.exploitability, 2 * kept.exploitability);  // as far along as the solve it replaces
    for (int i = 0; i < 40; ++i) runIteration(state, solverSettings());
    const ResultRecord continued = measureResults(state, solverSettings());
    EXPECT_LT(continued.exploitability, resolved.exploitability + 0.1);
    for (const ResultRecord& r : {resolved, continued}) {
        const double bound = 2 * (kept.exploitability + r.exploitability);
        EXPECT_NEAR(r.evOop, kept.evOop, bound);
        EXPECT_NEAR(r.evIp, kept.evIp, bound);
    }
}

INSTANTIATE_TEST_SUITE_P(Streets, Resolve,
                         ::testing::Values(Case{"rivers", 3, false}, Case{"rivers_isomorphic", 3, true},
                                           Case{"turns", 2, false}, Case{"turns_isomorphic", 2, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ResolveEdges, RecalculationAccuracyDecidesWhenARe_SolveStops) {
    solverSettings().threadCount = 1;
    SolverState state(symmetricFlopGame(61, 8));
    for (int i = 0; i < 20; ++i) runIteration(state, solverSettings());
    forgetStreet(state, 3);
    const SubgameRef subgame = subgameAt(state, firstDecisionOfStreet(state, 3), card("2c"), card("7d"));
    ASSERT_TRUE(subgame.valid());
    Reports reports;
    solverSettings().recalcAccuracy[3] = 1e9;
    SolveSubgame(state, subgame, true);
    EXPECT_EQ(reports.last.iterations, 50);  // the first check already meets it
    solverSettings().recalcAccuracy[3] = 0;
    SolveSubgame(state, subgame, true);
    if (reports.last.exploitability > 0) { EXPECT_EQ(reports.last.iterations, 1000); }
    solverSettings().recalcAccuracy = {};
}

TEST(ResolveEdges, SolvingAllSplitsOfAnUnsolvedTreeRunsOnePass) {
    solverSettings().threadCount = 1;
    SolverState state(symmetricFlopGame(71, 8));
    const uint32_t river = firstDecisionOfStreet(state, 3);
    const auto untouched = nodeCurrentStrategy(state, river, card("2c"), card("7d"));
    SolveSubgames(state, 3, {});
    EXPECT_EQ(state.iteration(), 1);
    EXPECT_NE(nodeCurrentStrategy(state, river, card("2c"), card("7d")), untouched);
}

TEST(ResolveEdges, ANodeLockedWhileDroppedKeepsItsPlayThroughTheRe_Solve) {
    solverSettings().threadCount = 1;
    SolverState state(symmetricFlopGame(81, 8));
    for (int i = 0; i < 20; ++i) runIteration(state, solverSettings());
    forgetStreet(state, 3);
    const uint32_t river = firstDecisionOfStreet(state, 3);
    const int turnCard = card("2c"), riverCard = card("7d");
    const int actions = int(state.nodes()[river].children.size());
    for (int a = 0; a < actions; ++a)
        setLockedStrategy(state, river, turnCard, riverCard, a, std::vector<double>(kComboCount, a == actions - 1));
    setNodeLocked(state, river, turnCard, riverCard, true);
    Reports reports;
    const auto sigma = nodeAverageStrategy(state, river, turnCard, riverCard);
    EXPECT_EQ(reports.count, 1);
    for (int slot = 0; slot < kComboCount; ++slot) {
        if (!std::isnan(sigma[0][slot])) {
            EXPECT_EQ(sigma[size_t(actions - 1)][slot], 1.0f) << slot;
        }
    }
}

}  // namespace
}  // namespace qv
