// Commands given while a solve runs in the background: queries, lock edits and setting changes
// all answer, the solve goes on with the settings it started with, and the edits take effect.
// Built with -DQUORVANE_TSAN=ON this is the test that shows the command thread and the solver
// threads never touch the same memory unordered.
#include <chrono>
#include <cmath>
#include <initializer_list>
#include <string>
#include <thread>

#include "queries/command_fixture.h"
#include "solver/solver_control.h"

namespace qv::testing {
namespace {

class BackgroundSolveTest : public CommandTest {
protected:
    void TearDown() override {
        run("stop");
        waitForSolver();
        solverSettings() = SolverSettings{};
        run("set_compression auto");
        run("clear_lines");  // the next game's script adds its own lines
        CommandTest::TearDown();
    }

    // Every line answers without an error.
    static void runAll(std::initializer_list<std::string> lines) {
        for (const std::string& line : lines) ASSERT_EQ(run(line).rfind("ERROR", 0), std::string::npos) << line;
    }

    // Every line answers with the ok line of its command word.
    static void expectOk(std::initializer_list<std::string> lines) {
        for (const std::string& line : lines) EXPECT_EQ(run(line), line.substr(0, line.find(' ')) + " ok!\n");
    }

    // Stops the solve, which must still be running; then the strategy of every combo that has one
    // is the node's first action, and the results are numbers.
    static void stopAndExpectFirstAction(const std::string& path) {
        EXPECT_TRUE(isSolverRunning());
        run("stop");
        waitForSolver();
        const auto strategy = numbers(run("show_strategy " + path));
        ASSERT_GE(strategy.size(), 2u) << path;
        int held = 0;
        for (size_t combo = 0; combo < strategy[0].size(); ++combo) {
            double sum = 0;
            for (const auto& action : strategy) sum += action[combo];
            if (!(sum > 0)) continue;
            ++held;
            EXPECT_NEAR(strategy[0][combo], 1.0, 1e-6) << path << " " << combo;
        }
        EXPECT_GT(held, 0) << path;
        const std::string results = run("calc_results");
        EXPECT_EQ(results.find("nan"), std::string::npos) << results;
        EXPECT_EQ(results.find("inf"), std::string::npos) << results;
    }

    static std::string repeated(const std::string& word, int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += (i ? " " : "") + word;
        return text;
    }
};

TEST_F(BackgroundSolveTest, CommandsDuringASolveAnswerAndTakeEffect) {
    solveGame("solver_turn_game.txt", 0);
    run("set_threads 2");
    run("set_info_freq 3");
    ASSERT_EQ(run("go 100000 steps"), "go ok!\n");
    ASSERT_TRUE(isSolverRunning());
    const std::string ones = repeated("1", 1326), zeros = repeated("0", 1326);
    // r:0 has three actions: all of its play goes to the first one.
    const std::string firstAction = ones + " " + zeros + " " + zeros;
    for (int round = 0; round < 12; ++round) {
        runAll({"show_strategy r:0", "show_strategy r:0:c:c:Ah", "calc_ev OOP r:0", "show_node r:0",
                "show_children r:0:c", "show_range IP r:0:c", "calc_global_freq r:0:c:c:Ah:c",
                "show_locked_combos r:0:b50", "calc_eq_node OOP r:0:c", "show_stats"});
        expectOk({"combo_lock_node r:0:b50 " + repeated(round % 2 ? "1" : "0", 1326), "lock_node r:0:c:c:Kd",
                  "set_strategy r:0:c:c:Kd 0 " + ones, "unlock_node r:0:c:c:Kd", "set_threads " + std::to_string(1 + round % 2),
                  "set_info_freq " + std::to_string(2 + round % 5), "set_accuracy 0.001 fraction",
                  "enable_progress_bar " + std::to_string(round % 2)});
    }
    expectOk({"lock_node r:0", "set_strategy r:0 " + firstAction});
    stopAndExpectFirstAction("r:0");
}

// The same at every level that packs river records: the command thread decodes, writes and stores
// rows that the solve's threads decode and store between its pauses, and compactions move.
class PackedBackgroundSolveTest : public BackgroundSolveTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PackedBackgroundSolveTest, RiverQueriesAndLockEditsDuringASolve) {
    solveGame("solver_river_game.txt", 0);
    ASSERT_NO_FATAL_FAILURE(runAll({"set_board QsJh2h", "clear_lines", "add_line 0 0 0 0 0 0",
                                    "add_line 0 0 0 0 0 50 50", "build_tree",
                                    std::string("set_compression ") + GetParam(), "set_threads 2",
                                    "set_info_freq 100000", "go 1 steps block"}));
    // Averaging from now on, so that a strategy set below replaces the node's sums; and no
    // iteration cap, so that the solve outlasts the commands.
    builtTree().solver->tuning().averagingDelay = 0;
    builtTree().solver->tuning().iterationCap = 1 << 30;
    ASSERT_EQ(run("go"), "go ok!\n");
    ASSERT_TRUE(isSolverRunning());
    // IP's river decisions after checks (check or bet), on two turn cards: two rows of each store.
    const std::string river = "r:0:c:c:As:c:c:Kd:c", other = "r:0:c:c:9d:c:c:3s:c";
    const std::string ones = repeated("1", 1326), zeros = repeated("0", 1326), mixed = repeated("1 0", 663);
    // Each command waits for the iteration in progress, which takes seconds in the ThreadSanitizer
    // build at the entropy-coded levels: one round.
    runAll({"show_strategy " + river, "show_strategy " + other, "calc_ev_pp OOP " + other, "calc_eq_node IP " + river,
            "calc_line_freq " + other + ":b50", "show_locked_combos " + other, "show_node " + river});
    expectOk({"combo_lock_node " + other + " " + mixed, "set_strategy " + other + " 1 " + mixed,
              "set_strategy " + river + " " + zeros + " " + ones, "lock_node " + river,
              "set_strategy " + river + " " + ones + " " + zeros});
    stopAndExpectFirstAction(river);
}

INSTANTIATE_TEST_SUITE_P(Levels, PackedBackgroundSolveTest, ::testing::Values("low", "medium", "high", "max"));

// While a command holds the pause, the solver thread does not start another iteration.
TEST_F(BackgroundSolveTest, APauseHoldsTheSolverBetweenIterations) {
    solveGame("solver_river_game.txt", 0);
    ASSERT_EQ(run("go 1000000 steps"), "go ok!\n");
    const SolverState& state = *builtTree().solver;
    for (int round = 0; round < 5; ++round) {
        const SolverPause pause;
        const int before = state.iteration();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(state.iteration(), before);
    }
    EXPECT_TRUE(isSolverRunning());
}

}  // namespace
}  // namespace qv::testing
