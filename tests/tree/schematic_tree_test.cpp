// Line semantics of the schematic tree: which nodes a line creates and what they record.
#include "tree_fixture.h"

namespace qv::test {
namespace {

// One line per node below the root, pre-order in action order:
// "path player/street/bets amount invested-OOP/invested-IP".
void dumpBelow(const SchematicNode& node, const std::string& path, std::string& out) {
    for (const auto& [key, child] : node.children) {
        std::string childPath = path + ":" + childLabel(node, key);
        char text[160];
        snprintf(text, sizeof text, "%s %d/%d/%d %g %g/%g\n", childPath.c_str(), child->player, child->street,
                 child->bets, child->amount, child->invested[0], child->invested[1]);
        out += text;
        dumpBelow(*child, childPath, out);
    }
}

std::string dumpTree() {
    std::string out;
    dumpBelow(schematicRoot(), "0", out);
    return out;
}

class SchematicTreeTest : public TreeTest {};

TEST_F(SchematicTreeTest, LinesCreateTheClosingChildren) {
    struct Case {
        std::vector<std::string> lines;
        std::string tree;
    };
    const Case cases[] = {
        // A check gets the check-back, a leaf still on the same street.
        {{"0"}, "0:c 1/0/0 0 0/0\n"
                "0:c:c 0/0/0 0 0/0\n"},
        // A bet gets the call before the fold; the folder keeps what he had put in.
        {{"30"}, "0:b30 1/0/1 30 30/0\n"
                 "0:b30:c 0/0/0 30 30/30\n"
                 "0:b30:f 0/0/0 0 30/0\n"},
        // Two checks close the street: the line goes on with OOP on the next street.
        {{"0 0 20"}, "0:c 1/0/0 0 0/0\n"
                     "0:c:c 0/1/0 0 0/0\n"
                     "0:c:c:b20 1/1/1 20 20/0\n"
                     "0:c:c:b20:c 0/1/0 20 20/20\n"
                     "0:c:c:b20:f 0/1/0 0 20/0\n"},
        // A raise: the fold below it gives the bettor's level back to the folder.
        {{"30 90"}, "0:b30 1/0/1 30 30/0\n"
                    "0:b30:b90 0/0/2 90 30/90\n"
                    "0:b30:b90:c 0/0/0 90 90/90\n"
                    "0:b30:b90:f 0/0/0 30 30/90\n"
                    "0:b30:c 0/0/0 30 30/30\n"
                    "0:b30:f 0/0/0 0 30/0\n"},
        // Amounts are floored; the same line twice changes nothing; bets come largest first.
        {{"30.9", "75", "30"}, "0:b75 1/0/1 75 75/0\n"
                               "0:b75:c 0/0/0 75 75/75\n"
                               "0:b75:f 0/0/0 0 75/0\n"
                               "0:b30 1/0/1 30 30/0\n"
                               "0:b30:c 0/0/0 30 30/30\n"
                               "0:b30:f 0/0/0 0 30/0\n"},
        // A call closes the street and the next street starts at the called level.
        {{"30 30 30"}, "0:b30 1/0/1 30 30/0\n"
                       "0:b30:c 0/1/0 30 30/30\n"
                       "0:b30:c:c 1/1/0 30 30/30\n"
                       "0:b30:c:c:c 0/1/0 30 30/30\n"
                       "0:b30:f 0/0/0 0 30/0\n"},
    };
    for (const Case& c : cases) {
        clearLines();
        addLines(c.lines);
        EXPECT_EQ(dumpTree(), c.tree) << c.lines[0];
    }
}

TEST_F(SchematicTreeTest, AmountBelowTheLevelStopsTheLineButKeepsWhatWasAdded) {
    EXPECT_FALSE(addLineText("30 20"));
    EXPECT_EQ(dumpTree(), "0:b30 1/0/1 30 30/0\n0:b30:c 0/0/0 30 30/30\n0:b30:f 0/0/0 0 30/0\n");
    EXPECT_FALSE(addLineText("-1"));
}

TEST_F(SchematicTreeTest, ForcedLinePrunesEveryOtherActionAlongIt) {
    addLines({"30", "0 0", "0 45"});
    ASSERT_TRUE(addLineText("0 30", true));
    EXPECT_EQ(dumpTree(), "0:c 1/0/0 0 0/0\n"
                          "0:c:b30 0/0/1 30 0/30\n"
                          "0:c:b30:c 0/0/0 30 30/30\n"
                          "0:c:b30:f 0/0/0 0 0/30\n");
}

TEST_F(SchematicTreeTest, RemovalFollowsKeysAndNamesTheFoldWithZero) {
    struct Case {
        std::vector<double> amounts;
        bool removed;
        std::vector<std::string> remaining;  // paths of the root's grandchildren after removal
    };
    const Case cases[] = {
        {{30, 0}, true, {"0:b30:c"}},
        {{30}, true, {}},
        {{45}, false, {"0:b30:c", "0:b30:f"}},
        {{30, 30, 30}, false, {"0:b30:c", "0:b30:f"}},
    };
    for (const Case& c : cases) {
        clearLines();
        addLines({"30"});
        EXPECT_EQ(removeLine(schematicRoot(), removalKeys(c.amounts)), c.removed);
        std::vector<std::string> paths;
        for (const auto& [key, child] : schematicRoot().children)
            for (const auto& [grandKey, grandChild] : child->children)
                paths.push_back("0:" + childLabel(schematicRoot(), key) + ":" + childLabel(*child, grandKey));
        EXPECT_EQ(paths, c.remaining);
    }
}

}  // namespace
}  // namespace qv::test
