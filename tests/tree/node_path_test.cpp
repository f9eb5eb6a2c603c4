// Resolving node paths against the built tree: the tree_paths protocol script shows paths of
// every kind, malformed ones, a missing tree and the children listings; these are what it cannot.
#include "cards/hand_rules.h"
#include "error_text.h"
#include "tree/node_path.h"
#include "tree_fixture.h"

namespace qv::test {
namespace {

// What a path resolves to, as text: "KIND turn river", or the error it raises.
std::string resolved(const std::string& path) {
    std::string node;
    const std::string error = errorOf([&] {
        NodeRef ref = resolveNodePath(path);
        auto card = [](int c) { return c < 0 ? std::string("-") : cardsToText(cardBit(c)); };
        node = std::string(nodeKindName(ref.kind())) + " " + card(ref.turn) + " " + card(ref.river);
    });
    return error.empty() ? node : error;
}

class NodePathTest : public TreeTest {
protected:
    void build(const std::string& board, const std::vector<std::string>& lines) {
        setBoard(board);
        addLines(lines);
        runBuildSteps();
    }
};

// Malformed paths that the tree_paths protocol script does not show.
TEST_F(NodePathTest, BetsThatAreNoNumberAndUpperCaseWordsAreNoPath) {
    build("QsJh2h", {"30 90"});
    for (const char* path : {"r:0:bnan", "r:0:binf", "r:0:C", "R:0", "::"}) EXPECT_EQ(resolved(path), "incorrect path") << path;
}

// The tree keeps the lowest rank it was built with, whatever the evaluator's setting says later.
TEST_F(NodePathTest, CardsBelowTheTreesLowestRankAreNoPath) {
    handRules().lowCard = 4;
    build("QsJh9h", {"0 0 0 0"});
    handRules().lowCard = 0;
    EXPECT_EQ(resolved("r:0:c:c:5d"), "incorrect path");
    EXPECT_EQ(resolved("r:0:c:c:6d"), "OOP_DEC 6d -");
    const std::vector<NodeChild> turns = nodeChildren(resolveNodePath("r:0:c:c"));
    ASSERT_EQ(turns.size(), 9u * 4 - 3);  // ranks 6 to A, less the flop, ace first
    EXPECT_EQ(turns.front().label + turns[1].label + turns[4].label + turns.back().label, "AsAhKs6c");
    EXPECT_EQ(turns.front().ref.turn, 51);
}

}  // namespace
}  // namespace qv::test
