// A river game with a known equilibrium: OOP holds nuts or air and may bet the pot; IP holds only
// bluff-catchers. At equilibrium OOP always bets the nuts and bets half of its air (one bluff per
// two value bets), IP calls half the time, and the EVs are +25 / -25 around each half pot.
#include <gtest/gtest.h>

#include <cmath>

#include "solver/iteration.h"
#include "solver/perf_counters.h"
#include "solver/results.h"
#include "solver/settings.h"
#include "solver/strategy_access.h"
#include "test_games.h"

namespace qv {
namespace {

using namespace qv::testing;

const int kNuts[] = {combo("Ac", "Ad"), combo("Ah", "As"), combo("Kc", "Kd"), combo("Kh", "Ks")};
const int kAir[] = {combo("Qc", "Qd"), combo("Qh", "Qs"), combo("Jc", "Jd"), combo("Jh", "Js")};
const int kCatchers[] = {combo("Tc", "Td"), combo("Th", "Ts"), combo("9c", "9d"), combo("9h", "9s")};

GameDefinition polarisedRiverGame() {
    GameDefinition game;
    game.records = toyTree(3, false);  // a pot of 100: OOP bets 100 or checks
    game.flop = flopOf("2c", "3d", "4h");
    game.turn = card("5s");
    game.river = card("7c");
    game.ranges[0].assign(kComboCount, 0.0);
    game.ranges[1].assign(kComboCount, 0.0);
    for (int c : kNuts) game.ranges[0][c] = 1.0;
    for (int c : kAir) game.ranges[0][c] = 1.0;
    for (int c : kCatchers) game.ranges[1][c] = 1.0;
    game.ranker = [](CardMask, Card a, Card b) -> uint32_t {
        int slot = handSlotOf(a, b);
        for (int c : kNuts)
            if (c == slot) return 3;
        for (int c : kCatchers)
            if (c == slot) return 2;
        return 1;
    };
    return game;
}

double meanOver(const std::vector<float>& values, const int* combos, int count) {
    double sum = 0;
    for (int i = 0; i < count; ++i) sum += values[combos[i]];
    return sum / count;
}

TEST(ToyRiverGame, ConvergesToTheClosedFormEquilibrium) {
    solverSettings().threadCount = 1;
    SolverState state(polarisedRiverGame());
    for (int i = 0; i < 4000; ++i) runIteration(state, solverSettings());
    ResultRecord r = measureResults(state, solverSettings());
    EXPECT_NEAR(r.evOop, 25.0, 0.3);
    EXPECT_NEAR(r.evIp, -25.0, 0.3);
    EXPECT_LT(r.exploitability, 0.3);
    EXPECT_GE(r.exploitability, -1e-6);

    auto oop = nodeAverageStrategy(state, 0, -1, -1);  // actions: bet, check
    auto ip = nodeAverageStrategy(state, 1, -1, -1);   // actions: call, fold
    EXPECT_NEAR(meanOver(oop[0], kNuts, 4), 1.0, 0.01);
    EXPECT_NEAR(meanOver(oop[0], kAir, 4), 0.5, 0.03);
    EXPECT_NEAR(meanOver(ip[0], kCatchers, 4), 0.5, 0.03);
    // Combos outside a range have no strategy.
    EXPECT_TRUE(std::isnan(oop[0][kCatchers[0]]));
}

// The averaging weight is capped, except in river trees. When averaging starts, and the iterations
// that packed river sums skip, change what every solve of the protocol scripts prints.
TEST(ToyRiverGame, AveragingWeightIsCappedOutsideRiverTrees) {
    EXPECT_EQ(averagingWeight(Tuning{}, 60 + 5000), 262143.0);
    EXPECT_GT(averagingWeight(tuningFor({0, 0}, 3), 60 + 5000), 262143.0);
}

TEST(ToyRiverGame, LockedRecordKeepsItsRegretsAndSums) {
    solverSettings().threadCount = 1;
    SolverState state(polarisedRiverGame());
    state.regrets(1)->record(0).flags |= RecordLocked;
    for (int i = 0; i < 80; ++i) runIteration(state, solverSettings());
    auto ip = nodeCurrentStrategy(state, 1, -1, -1);
    EXPECT_FLOAT_EQ(ip[0][kCatchers[0]], 0.9f);  // still the default strategy
    auto average = nodeAverageStrategy(state, 1, -1, -1);
    EXPECT_FLOAT_EQ(average[0][kCatchers[0]], 0.9f);  // no sums: falls back to the current strategy
}

TEST(ToyRiverGame, PerfCountersCountKernelCallsOnlyWhenSwitchedOn) {
    solverSettings().threadCount = 1;
    SolverState state(polarisedRiverGame());
    resetPerfCounters();
    runIteration(state, solverSettings());
    EXPECT_EQ(perfTotals().calls[0][1] + perfTotals().calls[0][2], 0u);
    solverSettings().perfCounters = true;
    runIteration(state, solverSettings());
    solverSettings().perfCounters = false;
    PerfTotals t = perfTotals();
    // Both showdowns of each pass share one kernel call; the fold is evaluated alone.
    EXPECT_EQ(t.calls[int(KernelKind::Showdown)][2], 2u);
    EXPECT_EQ(t.calls[int(KernelKind::Fold)][1], 2u);
    EXPECT_EQ(t.items[int(KernelKind::Showdown)][2], 2u * (8 + 4));
    EXPECT_EQ(t.batchSizes[int(KernelKind::Showdown)][2], 2u);
    std::string report = perfReport(t);
    for (const char* text : {"Batcheval usage: 66.67%\n \n", "Batch size", "Showdown", "WWOSD", "Averages: 2.00 1.00\n",
                             "Width", "Cycles", "Iterations", "C/I"})
        EXPECT_NE(report.find(text), std::string::npos) << text;
}

}  // namespace
}  // namespace qv
