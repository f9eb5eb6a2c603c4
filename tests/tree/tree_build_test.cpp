// Building the game tree: the checks and what a failed build leaves behind (lines that go past the
// river are tree_lines's, node counts of the benchmark line sets tree_listings's).
#include "error_text.h"
#include "interpreter/errors.h"
#include "tree_fixture.h"

namespace qv::test {
namespace {

class TreeBuildTest : public TreeTest {
protected:
    static std::string buildError() {
        return errorOf([] {
            checkBuildInputs();
            runBuildSteps();
        });
    }
};

TEST_F(TreeBuildTest, ChecksComeInOrderAndChangeNothing) {
    addLines({"30"});
    EXPECT_EQ(buildError(), "");
    builtTree().effectiveStack = -7;  // marks the tree: a refused build must leave it alone
    gameSetup().ranges[1].assign(kComboCount, 0.0);
    gameSetup().board.flop = 0;
    clearLines();
    EXPECT_EQ(buildError(), "ranges not set");
    gameSetup().ranges[1].assign(kComboCount, 1.0);
    EXPECT_EQ(buildError(), "board not set");
    setBoard("QsJh2h");
    handRules().lowCard = 1;
    EXPECT_EQ(buildError(), "invalid card");
    handRules().lowCard = 0;
    EXPECT_EQ(buildError(), "lines not set");
    EXPECT_EQ(builtTree().effectiveStack, -7);
    EXPECT_TRUE(builtTree().present);
}

TEST_F(TreeBuildTest, FailedBuildKeepsTheTreeAndItsRecordIndices) {
    addLines({"30", "0 0 0 0 0"});
    runBuildSteps();
    const SolverState* solver = builtTree().solver.get();
    SchematicNode* bet = schematicRoot().child(30);
    int betIndex = bet->recordIndex;
    setBoard("QsJh2h8d");  // the board of a tree that must not be served with the old state
    addLines({"0 0 0 0 0 0 0"});
    EXPECT_THROW(runBuildSteps(), EngineError);
    EXPECT_TRUE(builtTree().present);
    EXPECT_EQ(builtTree().solver.get(), solver);
    EXPECT_EQ(builtTree().turn, 0u);
    EXPECT_EQ(bet->recordIndex, betIndex);
}

TEST_F(TreeBuildTest, SuccessfulBuildResetsRakeAndBoostsAndNumbersTheNodes) {
    addLines({"0 0 20", "75"});
    runBuildSteps();
    treeParams().rakeFraction = 0.05f;
    treeParams().rakeCap = 3;
    builtTree().evBoost[0] = 0.5f;
    runBuildSteps();
    EXPECT_FALSE(treeParams().rakeOn());
    EXPECT_EQ(builtTree().evBoost[0], 0.0f);
    EXPECT_EQ(builtTree().effectiveStack, 75);
    // Record indices follow the walk: the root first, then the largest bet's subtree.
    EXPECT_EQ(schematicRoot().recordIndex, 0);
    EXPECT_EQ(schematicRoot().child(75)->recordIndex, 1);
    EXPECT_EQ(schematicRoot().child(0)->recordIndex, 4);
}

}  // namespace
}  // namespace qv::test
