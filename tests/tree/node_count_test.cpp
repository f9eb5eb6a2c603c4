// A flop game with two bet sizes and up to two raises per street, enumerated by a betting model
// of its own: the built tree must hold exactly the nodes the model counts. (How a turn or river
// tree weighs its streets is what node_count prints for them in tree_listings.)
#include <functional>

#include "tree/node_count.h"
#include "tree_fixture.h"

namespace qv::test {
namespace {

constexpr double kPot = 100;
constexpr double kStack = 200;
constexpr int kMaxBetsPerStreet = 3;  // a bet and two raises

struct ModelCounts {
    int decisions = 0, folds = 0, showdowns = 0;
    NodeCountTable weighted;
};

// Enumerates the game street by street and action by action, independently of the schematic tree.
class BettingModel {
public:
    std::vector<std::string> lines;
    ModelCounts counts;

    void run() { decide(State{}, ""); }

private:
    struct State {
        double level = 0, previous = 0;  // current bet level and the level before the last bet
        int street = 0, bets = 0, player = 0;
        bool checked = false;
    };

    static int64_t weight(int street) { return dealWeight(1 + street); }

    std::vector<double> raisesFrom(const State& s) const {
        std::vector<double> sizes;
        if (s.level >= kStack || s.bets >= kMaxBetsPerStreet) return sizes;
        if (s.bets == 0) {
            for (double fraction : {0.33, 0.75}) sizes.push_back(std::floor(s.level + fraction * (kPot + 2 * s.level)));
        } else {
            sizes.push_back(3 * s.level - 2 * s.previous);
        }
        for (double& size : sizes) size = std::min(size, kStack);
        std::sort(sizes.begin(), sizes.end());
        sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
        return sizes;
    }

    void decide(const State& s, const std::string& line) {
        ++counts.decisions;
        if (!line.empty()) fileDecision(s);
        for (double size : raisesFrom(s)) {
            State next = s;
            next.previous = s.level;
            next.level = size;
            ++next.bets;
            next.player = 1 - s.player;
            next.checked = false;
            ++counts.folds;  // the opponent may fold to every bet
            counts.weighted.ends[s.street] += weight(s.street);
            decide(next, line + " " + std::to_string(int(size)));
        }
        std::string closing = line + " " + std::to_string(int(s.level));
        if (s.bets == 0 && !s.checked) {
            State next = s;
            next.checked = true;
            next.player = 1 - s.player;
            decide(next, closing);
            return;
        }
        // A call or a check-back closes the street: the hand is shown down or goes on.
        counts.weighted.splits[s.street] += weight(s.street);
        if (s.street == 2 || s.level >= kStack) {
            ++counts.showdowns;
            counts.weighted.ends[s.street] += weight(s.street);
            lines.push_back(closing.substr(1));
            return;
        }
        State next;
        next.level = next.previous = s.level;
        next.street = s.street + 1;
        decide(next, closing);
    }

    void fileDecision(const State& s) {
        auto& counts_ = s.player == 1 ? counts.weighted.ipDecisions : counts.weighted.oopDecisions;
        counts_[s.street] += weight(s.street);
    }
};

class NodeCountTest : public TreeTest {};

TEST_F(NodeCountTest, FlopTreeHoldsExactlyTheNodesOfItsBettingModel) {
    BettingModel model;
    model.run();
    ASSERT_GT(model.lines.size(), 100u);
    addLines(model.lines);
    runBuildSteps();

    NodeCounts built = builtTree().solver->counts();
    EXPECT_EQ(built.decision, model.counts.decisions);
    EXPECT_EQ(built.fold, model.counts.folds);
    EXPECT_EQ(built.showdown, model.counts.showdowns);

    NodeCountTable table = countNodes(schematicRoot(), builtTree().firstStreet);
    const NodeCountTable& expected = model.counts.weighted;
    EXPECT_EQ(table.ipDecisions, expected.ipDecisions);
    EXPECT_EQ(table.oopDecisions, expected.oopDecisions);
    EXPECT_EQ(table.splits, expected.splits);
    EXPECT_EQ(table.ends, expected.ends);
    EXPECT_EQ(table.grandTotal(), NodeCountTable::total(expected.ipDecisions) +
                                      NodeCountTable::total(expected.oopDecisions) +
                                      NodeCountTable::total(expected.splits) + NodeCountTable::total(expected.ends) + 1);
}

}  // namespace
}  // namespace qv::test
