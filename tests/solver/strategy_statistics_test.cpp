// The statistics pass against a plain count over every dealt card and every combo, reading the
// strategies through the per-combo interface; suit isomorphism must not change what is counted.
#include <gtest/gtest.h>

#include "queries/query_fixture.h"
#include "solver/strategy_statistics.h"

namespace qv {
namespace {

using namespace qv::testing;

// Before averaging begins the statistics read current strategies, with an even split for hands
// that have no regret yet (which the per-combo reader shows as the iteration's default).
std::vector<std::vector<float>> undecidedAsEven(std::vector<std::vector<float>> sigma) {
    const size_t n = sigma.size();
    for (int s = 0; s < kComboCount; ++s) {
        bool asDefault = sigma[0][s] == std::max(1.0f / float(n), 0.9f);
        for (size_t a = 1; a < n; ++a) asDefault &= sigma[a][s] == (1 - std::max(1.0f / float(n), 0.9f)) / float(n - 1);
        if (asDefault)
            for (size_t a = 0; a < n; ++a) sigma[a][s] = 1.0f / float(n);
    }
    return sigma;
}

// Turn-rooted games only: one board on the turn, one per river card below.
StrategyStatistics plainCount(SolverState& state, double epsilon, int selection) {
    StrategyStatistics out;
    const CardMask first = firstUserBoard(state);
    const auto& nodes = state.nodes();
    for (uint32_t node = 0; node < nodes.size(); ++node) {
        const GameNode& n = nodes[node];
        if (n.type != ActionType::Decision || (selection != kBothPlayers && selection != n.player)) continue;
        std::vector<int> rivers{state.definition().river};
        if (n.street == 3) {
            rivers.clear();
            for (int c = 0; c < kCardCount; ++c)
                if (!(first & cardBit(c))) rivers.push_back(c);
        }
        StreetStatistics& s = out.streets[size_t(n.street - 1)];
        for (int river : rivers) {
            const CardMask board = first | (river >= 0 ? cardBit(river) : 0);
            const auto sigma = undecidedAsEven(nodeCurrentStrategy(state, node, state.definition().turn, river));
            std::vector<double> reach = state.definition().ranges[n.player];
            for (uint32_t child = node; nodes[child].parent != 0xFFFFFFFFu; child = nodes[child].parent) {
                const GameNode& p = nodes[nodes[child].parent];
                if (p.player != n.player) continue;
                const size_t a = std::find(p.children.begin(), p.children.end(), child) - p.children.begin();
                const auto up = undecidedAsEven(nodeCurrentStrategy(state, nodes[child].parent, state.definition().turn, river));
                for (int c = 0; c < kComboCount; ++c) reach[c] *= std::isnan(up[a][c]) ? 0.0 : up[a][c];
            }
            ++s.canonicalDecisions;
            ++s.decisionNodes;
            for (int c = 0; c < kComboCount; ++c) {
                if (!(state.definition().ranges[n.player][c] > 0) || (maskOfSlot(c) & board)) continue;
                ++s.infosets;
                s.infosetActions += int64_t(n.children.size());
                const bool reachable = reach[c] > epsilon;
                s.reachableInfosets += reachable;
                s.weightedReach += reach[c];
                int above = 0;
                for (const auto& action : sigma) above += action[c] > epsilon;
                if (above != 1) continue;
                ++s.pureStrategies;
                s.weightedPure += reach[c];
                s.reachablePure += reachable;
            }
        }
    }
    return out;
}

struct StatisticsCase {
    const char* name;
    bool isomorphism;
    double epsilon;
    int selection;
};

void PrintTo(const StatisticsCase& c, std::ostream* os) { *os << c.name; }

class StatisticsPass : public ::testing::TestWithParam<StatisticsCase> {};

TEST_P(StatisticsPass, CountsWhatAPlainWalkOverEveryCardCounts) {
    const StatisticsCase c = GetParam();
    SolverState state(definitionOf({"turn", 2, c.isomorphism, {"Kd", "Ks", "5d", "5s"}, 0, 12}));
    iterate(state, 8);
    const StrategyStatistics got = strategyStatistics(state, c.epsilon, c.selection);
    const StrategyStatistics want = plainCount(state, c.epsilon, c.selection);
    for (int street = 1; street < 3; ++street) {
        SCOPED_TRACE(street);
        const StreetStatistics& g = got.streets[size_t(street)];
        const StreetStatistics& w = want.streets[size_t(street)];
        EXPECT_EQ(g.decisionNodes, w.decisionNodes);
        if (c.isomorphism && street == 2) {
            EXPECT_LT(g.canonicalDecisions, w.canonicalDecisions);
        } else {
            EXPECT_EQ(g.canonicalDecisions, w.canonicalDecisions);
        }
        EXPECT_EQ(g.infosets, w.infosets);
        EXPECT_EQ(g.infosetActions, w.infosetActions);
        EXPECT_EQ(g.reachableInfosets, w.reachableInfosets);
        EXPECT_EQ(g.pureStrategies, w.pureStrategies);
        EXPECT_EQ(g.reachablePure, w.reachablePure);
        EXPECT_NEAR(g.weightedReach, w.weightedReach, 1e-4 * (1 + w.weightedReach));
        EXPECT_NEAR(g.weightedPure, w.weightedPure, 1e-4 * (1 + w.weightedPure));
        EXPECT_GT(w.infosets, 0);
    }
    EXPECT_EQ(got.streets[0].decisionNodes, 0);
}

INSTANTIATE_TEST_SUITE_P(Selections, StatisticsPass,
                         ::testing::Values(StatisticsCase{"both", false, 0.0, kBothPlayers},
                                           StatisticsCase{"oop_threshold", false, 0.05, 0},
                                           StatisticsCase{"ip_merged", true, 0.0, 1},
                                           StatisticsCase{"both_merged_threshold", true, 0.05, kBothPlayers}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StatisticsPass, UnsolvedNodesCountAsUndecided) {
    // Before any iteration every hand splits evenly, so only one-action nodes are pure.
    SolverState state(definitionOf({"flop", 1, true, {"Kd", "Ks", "5c"}, 0, 6}));
    const StrategyStatistics stats = strategyStatistics(state, 0.0, kBothPlayers);
    const StreetStatistics& flop = stats.streets[0];
    EXPECT_EQ(flop.canonicalDecisions, 3);  // OOP's first decision, IP facing the shove, IP's check
    EXPECT_EQ(flop.pureStrategies, state.hands(1).count);  // IP's check, its only action
    EXPECT_EQ(flop.reachableInfosets, flop.infosets);
    EXPECT_EQ(stats.streets[1].decisionNodes, 49 * 5);  // five decisions of the turn round per card
    EXPECT_EQ(stats.streets[2].decisionNodes, 49 * 48 * 4 * 5);  // four ways into the river round
    EXPECT_LT(stats.streets[1].canonicalDecisions, stats.streets[1].decisionNodes);
}

}  // namespace
}  // namespace qv
