// Per-combo EVs and reach at points of solved games against the naive best response, which reads
// the strategies combo by combo in the user's suits (so with suit isomorphism, a card solved through
// an equivalent one must answer with its own values), and the reach-weighted EV of the first
// decision against the solver's own result.
#include <gtest/gtest.h>

#include "queries/node_ranges.h"
#include "queries/node_values.h"
#include "query_fixture.h"
#include "solver/results.h"

namespace qv {
namespace {

using namespace qv::testing;

class PointValuesTest : public ::testing::TestWithParam<GameSpec> {};

// Each card dealt after the first board: 1/45 for a turn, 1/44 for a river.
double dealtProbability(const SolverState& state, const TreePoint& point) {
    const int dealt = findPointSlot(state, point).level;
    double p = 1;
    for (int level = 1; level <= dealt; ++level) p /= state.firstStreet() + level == 2 ? 45 : 44;
    return p;
}

TEST_P(PointValuesTest, EvsAndWeightsMatchTheNaiveBestResponse) {
    const GameSpec spec = GetParam();
    SolverState state(definitionOf(spec));
    iterate(state, spec.iterations);
    const std::vector<double>* ranges = state.definition().ranges.data();
    for (int player = 0; player < 2; ++player) {
        NaiveBestResponse reference(state, player);
        const std::vector<int>&mine = reference.combos(player), &theirs = reference.combos(1 - player);
        auto reachOf = [&](const std::vector<double>& range) {
            std::vector<double> reach;
            for (int o : theirs) reach.push_back(range[o]);
            return reach;
        };
        double rootTotal = 0;
        for (int s : mine) rootTotal += ranges[player][s] * reference.weightMet(reference.firstBoard(), s, reachOf(ranges[1 - player]));
        for (const PointSpec& ps : pointsOf(spec.street)) {
            SCOPED_TRACE(describe(ps) + " player " + std::to_string(player));
            const TreePoint point = pointOf(state, ps);
            const std::vector<int> dealt = dealtAt(state, point);
            const CardMask board = reference.boardOf(dealt);
            const PointValues values = pointValues(state, point, player);
            const std::vector<double> own = reference.rangeAt(player, point.node, dealt);
            const std::vector<double> reach = reachOf(reference.rangeAt(1 - player, point.node, dealt));
            std::vector<double> best, value;
            if (point.split) reference.deal(point.node, board, dealt, reach, best, value);
            else reference.evaluate(point.node, board, dealt, reach, best, value);
            for (int s = 0, i = 0; s < kComboCount; ++s) {
                const bool held = i < int(mine.size()) && mine[size_t(i)] == s;
                const double met = held ? reference.weightMet(board, s, reach) : 0;
                if (!(met > 0) || (maskOfSlot(s) & board)) {
                    EXPECT_TRUE(std::isnan(values.ev[s])) << s;
                } else {
                    const double ev = value[size_t(i)] / met;
                    EXPECT_NEAR(values.ev[s], ev, 2e-3 + 1e-4 * std::fabs(ev)) << s;
                    EXPECT_NEAR(values.weight[s], own[s] * met * dealtProbability(state, point) / rootTotal, 1e-6) << s;
                }
                i += held;
            }
        }
    }
}

TEST_P(PointValuesTest, ReachWeightedRootEvIsTheSolverEv) {
    const GameSpec spec = GetParam();
    SolverState state(definitionOf(spec));
    iterate(state, spec.iterations);
    const ResultRecord results = measureResults(state, solverSettings());
    for (int player = 0; player < 2; ++player) {
        const PointValues values = pointValues(state, TreePoint{}, player);
        double weighted = 0, weights = 0;
        for (int s = 0; s < kComboCount; ++s) {
            if (std::isnan(values.ev[s])) continue;
            weighted += values.weight[s] * values.ev[s];
            weights += values.weight[s];
        }
        EXPECT_NEAR(weights, 1.0, 1e-9);
        EXPECT_NEAR(weighted, player == 0 ? results.evOop : results.evIp, 1e-3) << player;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Games, PointValuesTest,
    ::testing::Values(GameSpec{"river", 3, false, {"2c", "7d", "9h", "Ts", "Kc"}, 20, 14},
                      GameSpec{"turn", 2, false, {"Kh", "9h", "5c", "2c"}, 12, 10},
                      GameSpec{"turn_isomorphic", 2, true, {"Kd", "Ks", "5d", "5s"}, 12, 8},
                      GameSpec{"flop", 1, false, {"Kh", "9h", "5c"}, 4, 6},
                      GameSpec{"flop_isomorphic", 1, true, {"Kd", "Ks", "5c"}, 4, 6}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qv
