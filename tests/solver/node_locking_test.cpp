// Locked nodes keep the strategy written into them, the opponent learns to exploit it, and a combo
// lock freezes exactly the marked hands. (A strategy written past the averaging delay replaces the
// average: the background-solve tests write one and read it back.)
#include <gtest/gtest.h>

#include "queries/query_fixture.h"
#include "solver/settings.h"
#include "solver/node_locking.h"
#include "solver/results.h"

namespace qv {
namespace {

using namespace qv::testing;

// Random weights per action for every combo, some combos all zero.
std::vector<std::vector<double>> randomStrategy(int actions, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> weight(0.0, 1.0);
    auto w = std::vector<std::vector<double>>(size_t(actions), std::vector<double>(kComboCount));
    for (int s = 0; s < kComboCount; ++s) {
        const bool silent = weight(rng) < 0.1;
        for (int a = 0; a < actions; ++a) w[a][s] = silent ? 0.0 : weight(rng) < 0.3 ? 0.0 : weight(rng);
    }
    return w;
}

// Equal arrays, NaN matching NaN.
bool sameStrategy(const std::vector<std::vector<float>>& a, const std::vector<std::vector<float>>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        for (int s = 0; s < kComboCount; ++s)
            if (!(a[i][s] == b[i][s] || (std::isnan(a[i][s]) && std::isnan(b[i][s])))) return false;
    return true;
}

void lockTo(SolverState& state, const TreePoint& p, const std::vector<std::vector<double>>& weights) {
    for (size_t a = 0; a < weights.size(); ++a) setLockedStrategy(state, p.node, p.turn, p.river, int(a), weights[a]);
    setNodeLocked(state, p.node, p.turn, p.river, true);
}

struct LockCase {
    const char* name;
    GameSpec game;
    PointSpec point;
    int iterations;
    double tolerance;  // 16-bit regrets hold the weights times 1000 as whole numbers
};

void PrintTo(const LockCase& c, std::ostream* os) { *os << c.name; }

class LockedNode : public ::testing::TestWithParam<LockCase> {};

TEST_P(LockedNode, PlaysTheWrittenWeightsExactlyThroughFurtherIterations) {
    const LockCase c = GetParam();
    SolverState state(definitionOf(c.game));
    iterate(state, 2);
    const TreePoint p = pointOf(state, c.point);
    const GameNode& node = state.nodes()[p.node];
    const auto weights = randomStrategy(int(node.children.size()), 7);
    lockTo(state, p, weights);
    const auto locked = nodeAverageStrategy(state, p.node, p.turn, p.river);
    const std::vector<double>& range = state.definition().ranges[node.player];
    for (int s = 0; s < kComboCount; ++s) {
        if (std::isnan(locked[0][s]) || !(range[s] > 0)) continue;
        double total = 0;
        for (const auto& w : weights) total += w[s];
        for (size_t a = 0; a < weights.size(); ++a) {
            const double expected = total > 0 ? weights[a][s] / total : a == 0 ? 0.9 : 0.1 / double(weights.size() - 1);
            EXPECT_NEAR(locked[a][s], expected, c.tolerance) << s;
        }
    }
    iterate(state, c.iterations);
    EXPECT_TRUE(sameStrategy(nodeAverageStrategy(state, p.node, p.turn, p.river), locked));
    EXPECT_TRUE(sameStrategy(nodeCurrentStrategy(state, p.node, p.turn, p.river), locked));
}

INSTANTIATE_TEST_SUITE_P(
    Nodes, LockedNode,
    ::testing::Values(
        // Past the averaging delay, so the written actions' sums are cleared and stay clear.
        LockCase{"river_root", {"river", 3, false, {"2c", "7d", "9h", "Ts", "Kc"}, 0, 20}, {{}}, 80, 1e-6},
        LockCase{"turn_ip", {"turn", 2, false, {"Kh", "9h", "5c", "2c"}, 0, 10}, {{0}}, 6, 1e-6},
        LockCase{"merged_river_card", {"turn", 2, true, {"Kd", "Ks", "5d", "5s"}, 0, 10}, {{0, 1}, nullptr, "Qs"}, 6,
                 1e-6},
        LockCase{"flop_tree_river", {"flop", 1, false, {"Kh", "9h", "5c"}, 0, 5}, {{1, 0, 1, 1}, "Qd", "3s"}, 2, 2e-3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NodeLocking, OpponentLearnsTheBestResponseToALockedNode) {
    SolverState state(definitionOf({"river", 3, false, {"2c", "7d", "9h", "Ts", "Kc"}, 0, 20}));
    const TreePoint root{};
    lockTo(state, root, randomStrategy(2, 11));
    iterate(state, 300);
    const ResultRecord r = measureResults(state, solverSettings());
    // The solver's best response of IP against the locked OOP is the plain recursion's.
    EXPECT_NEAR(r.mesIp, NaiveBestResponse(state, 1).run().first, 1e-3);
    // And IP's solved strategy comes close to it: the lock is exploited.
    EXPECT_LT(r.mesIp - r.evIp, 0.01 * std::fabs(r.mesIp) + 0.5);
}

TEST(NodeLocking, ComboLockFreezesOnlyTheMarkedHands) {
    SolverState state(definitionOf({"turn", 2, false, {"Kh", "9h", "5c", "2c"}, 0, 14}));
    iterate(state, 3);
    const TreePoint p{};
    std::vector<double> marks(kComboCount, 0.0);
    for (int s = 0; s < kComboCount; s += 2) marks[s] = 1;
    comboLockNode(state, p.node, p.turn, p.river, marks);
    const auto before = nodeCurrentStrategy(state, p.node, p.turn, p.river);
    iterate(state, 10);
    const auto after = nodeCurrentStrategy(state, p.node, p.turn, p.river);
    const std::vector<double> locked = lockedCombos(state, p.node, p.turn, p.river);
    int frozen = 0, moved = 0;
    for (int s = 0; s < kComboCount; ++s) {
        if (std::isnan(before[0][s])) {
            EXPECT_TRUE(std::isnan(locked[s]));
            continue;
        }
        EXPECT_EQ(locked[s], marks[s]) << s;
        bool same = true;
        for (size_t a = 0; a < before.size(); ++a) same &= before[a][s] == after[a][s];
        if (marks[s] != 0) {
            EXPECT_TRUE(same) << s;
            ++frozen;
        } else {
            moved += !same;
        }
    }
    EXPECT_GT(frozen, 0);
    EXPECT_GT(moved, 0);
}

}  // namespace
}  // namespace qv
