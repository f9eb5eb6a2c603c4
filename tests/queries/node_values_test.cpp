// Per-combo EVs and reach at points of solved games against the reference evaluator, and the
// reach-weighted EV of the first decision against the solver's own result.
#include <gtest/gtest.h>

#include "queries/node_ranges.h"
#include "queries/node_values.h"
#include "query_fixture.h"
#include "solver/settings.h"
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

TEST_P(PointValuesTest, EvsAndWeightsMatchTheReferenceEvaluation) {
    const GameSpec spec = GetParam();
    SolverState state(definitionOf(spec));
    iterate(state, spec.iterations);
    const std::vector<double>* ranges = state.definition().ranges.data();
    for (int player = 0; player < 2; ++player) {
        ReferenceGame reference(state, player);
        const Deal first{firstUserBoard(state)};
        double rootTotal = 0;
        for (int s = 0; s < kComboCount; ++s)
            if (ranges[player][s] > 0 && !(maskOfSlot(s) & first.board))
                rootTotal += ranges[player][s] * reference.compatibleWeight(first, s, reference.reachOf(ranges[1 - player]));
        for (const PointSpec& ps : pointsOf(spec.street)) {
            SCOPED_TRACE(describe(ps) + " player " + std::to_string(player));
            const TreePoint point = pointOf(state, ps);
            const Deal deal = dealOf(state, point);
            const PointValues values = pointValues(state, point, player);
            const std::vector<double> own = reference.rangeAt(player, point.node, deal);
            const std::vector<double> reach = reference.reachOf(reference.rangeAt(1 - player, point.node, deal));
            for (int s = 0; s < kComboCount; ++s) {
                const double met = reference.compatibleWeight(deal, s, reach);
                if (!(ranges[player][s] > 0) || (maskOfSlot(s) & deal.board) || !(met > 0)) {
                    EXPECT_TRUE(std::isnan(values.ev[s])) << s;
                    continue;
                }
                auto v = point.split ? reference.dealNext(point.node, deal, s, reach)
                                     : reference.evaluate(point.node, deal, s, reach);
                const double ev = v.value / met;
                EXPECT_NEAR(values.ev[s], ev, 2e-3 + 1e-4 * std::fabs(ev)) << s;
                EXPECT_NEAR(values.weight[s], own[s] * met * dealtProbability(state, point) / rootTotal, 1e-6) << s;
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
