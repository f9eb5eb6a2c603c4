// The queries tied to each other through the commands a user types: action frequencies follow
// the strategies, global frequencies multiply down the tree and line frequencies sum them over the
// cards. (Reach-weighted EVs against the solver's are the point-values test's.)
#include <gtest/gtest.h>

#include <cmath>

#include "command_fixture.h"

namespace qv {
namespace {

using namespace qv::testing;

class QueryCommands : public CommandTest {
protected:
    static std::string actorAt(const char* path) {
        return run(std::string("show_node ") + path).find("OOP_DEC") != std::string::npos ? "OOP" : "IP";
    }
};

double weightedAverage(const std::vector<double>& weights, const std::vector<double>& values) {
    double sum = 0, total = 0;
    for (size_t i = 0; i < weights.size(); ++i) {
        if (!(weights[i] > 0)) continue;
        sum += weights[i] * values[i];
        total += weights[i];
    }
    return sum / total;
}

// Decision nodes of the turn game, on the turn and on the river below a dealt card.
const char* kTurnGamePaths[] = {"r:0", "r:0:c", "r:0:b50", "r:0:b50:b125", "r:0:c:c:7s", "r:0:c:c:7s:b50",
                                "r:0:b50:c:Kd", "r:0:b50:c:Kd:c"};

// A child's frequency is the strategy averaged over the actor's range (they sum to one), and its
// global frequency is the parent's times that average over the actor's reach.
TEST_F(QueryCommands, ChildFrequenciesAverageTheStrategyAndGlobalFrequenciesMultiplyDown) {
    solveGame("solver_turn_game.txt", 12);
    for (const char* path : kTurnGamePaths) {
        SCOPED_TRACE(path);
        const auto probs = pairs(run(std::string("show_probs ") + path));
        const auto strategy = numbers(run(std::string("show_strategy ") + path));
        const auto range = numbers(run("show_range " + actorAt(path) + " " + path)).at(0);
        const auto reach = numbers(run("calc_ev " + actorAt(path) + " " + path)).at(1);
        const double parent = number(run(std::string("calc_global_freq ") + path));
        ASSERT_EQ(probs.size(), 2 + strategy.size());
        double sum = 0;
        for (size_t a = 0; a < strategy.size(); ++a) {
            const double frequency = probs[2 + a].second;
            sum += frequency;
            EXPECT_NEAR(frequency, weightedAverage(range, strategy[a]), 1e-6) << probs[2 + a].first;
            const std::string child = std::string(path) + ":" + probs[2 + a].first;
            EXPECT_NEAR(number(run("calc_global_freq " + child)), parent * weightedAverage(reach, strategy[a]), 1e-7)
                << child;
        }
        EXPECT_NEAR(sum, 1.0, 1e-6);
    }
}

TEST_F(QueryCommands, LineFrequencySumsTheGlobalFrequencyOverEveryCard) {
    solveGame("solver_turn_game.txt", 12);
    // Whatever card the path names, the line is summed over all of them.
    const double line = number(run("calc_line_freq r:0:b50:c:Kd:b50"));
    EXPECT_EQ(number(run("calc_line_freq r:0:b50:c:2c:b50")), line);
    double sum = 0;
    for (const char* rank : {"A", "K", "Q", "J", "T", "9", "8", "7", "6", "5", "4", "3", "2"})
        for (const char* suit : {"c", "d", "h", "s"}) {
            const std::string path = std::string("r:0:b50:c:") + rank + suit + ":b50";
            const std::string reply = run("calc_global_freq " + path);
            if (reply.rfind("ERROR", 0) == 0) continue;  // a card of the board
            sum += number(reply);
        }
    EXPECT_NEAR(line, sum, 1e-9);
    // The first river decision is reached on every card the split before it leads to.
    EXPECT_NEAR(number(run("calc_line_freq r:0:b50:c:Kd")), number(run("calc_global_freq r:0:b50:c")), 1e-9);
    EXPECT_EQ(number(run("calc_global_freq r")), 1.0);
    EXPECT_EQ(number(run("calc_line_freq r:0:b50")), number(run("calc_global_freq r:0:b50")));
}

}  // namespace
}  // namespace qv
