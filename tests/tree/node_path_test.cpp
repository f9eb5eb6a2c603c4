// Resolving node paths against the built tree (the protocol's tree_paths script shows turn trees,
// a missing tree and the children listings).
#include <stdexcept>

#include "cards/hand_rules.h"
#include "interpreter/errors.h"
#include "tree/node_path.h"
#include "tree_fixture.h"

namespace qv::test {
namespace {

// What a path resolves to, as text: "KIND turn river", or the error it raises.
std::string resolved(const std::string& path) {
    try {
        NodeRef ref = resolveNodePath(path);
        auto card = [](int c) { return c < 0 ? std::string("-") : cardsToText(cardBit(c)); };
        return std::string(nodeKindName(ref.kind())) + " " + card(ref.turn) + " " + card(ref.river);
    } catch (const EngineError& e) {
        return e.what();
    } catch (const ReplyError& e) {
        return e.what();
    } catch (const std::invalid_argument&) {
        return "Invalid value";
    }
}

class NodePathTest : public TreeTest {
protected:
    void build(const std::string& board, const std::vector<std::string>& lines) {
        setBoard(board);
        addLines(lines);
        runBuildSteps();
    }
};

TEST_F(NodePathTest, FlopTreePathsResolveActionsAndDealtCards) {
    build("QsJh2h", {"30 90", "0 0 0 0", "0 0 20 20 20"});
    const std::pair<std::string, std::string> cases[] = {
        {"r", "ROOT - -"},
        {"r:0", "OOP_DEC - -"},
        {"r::0:", "OOP_DEC - -"},
        {"r:0:c", "IP_DEC - -"},
        {"r:0:c:c", "SPLIT_NODE - -"},
        {"r:0:c:c:Kh", "OOP_DEC Kh -"},
        {"r:0:c:c:kh:c", "IP_DEC Kh -"},
        {"r:0:c:c:Kh:c:c", "SPLIT_NODE Kh -"},  // the line ends: one showdown per river card
        {"r:0:c:c:Kh:c:c:Ah", "END_NODE Kh Ah"},
        {"r:0:c:c:Kh:b20:c:Ad", "OOP_DEC Kh Ad"},
        {"r:0:c:c:b20", "IP_DEC - -"},  // a card may be left out
        {"r:0:b30", "IP_DEC - -"},
        {"r:0:b30.0", "IP_DEC - -"},
        {"r:0:b30:fold", "END_NODE - -"},
        {"r:0:b30:b90:c", "END_NODE - -"},  // a call nobody walked through is no split
        // Malformed paths.
        {"r:0:b30.5", "incorrect path"},
        {"r:0:bx", "Invalid value"},
        {"r:0:bnan", "incorrect path"},
        {"r:0:Kh", "incorrect path"},                // no card before the first decision
        {"r:0:c:c:Qs", "incorrect path"},            // on the flop
        {"r:0:c:c:Kh:Kd", "incorrect path"},         // the turn given twice
        {"r:0:c:c:Kh:c:c:Kh", "incorrect path"},     // river equal to the turn
        {"r:0:c:c:Kh:b20:Ad", "incorrect path"},     // not right after the deal
        {"r:0:c:c:Khd", "incorrect path"},           // three characters
        {"r:0:c:c:Kx", "ERROR: invalid card\n"},
        {"r:0:C", "incorrect path"},                 // action letters are lower case
        {"r:0:b30:b90:c:c", "incorrect path"},
        {"r:1", "incorrect path"},
        {"R:0", "incorrect path"},
        {"::", "incorrect path"},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(resolved(path), expected) << path;
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
