// Handlers of node locking: fixing a node's strategy, and freezing it for all or some hands.
#include "cards/combo_tables.h"
#include "cards/range_setup.h"
#include "interpreter/errors.h"
#include "queries/tree_point.h"
#include "solver/commands.h"
#include "solver/node_locking.h"
#include "tree/node_path.h"

namespace qv {

namespace {

TreePoint decisionAt(const std::string& path) {
    const NodeRef ref = resolveNodePath(path);
    if (!ref.isDecision()) throw EngineError("incorrect path");
    return pointOf(ref);
}

// 1326 weights from `first` on, in ComboIndex order, returned in HandSlot order.
std::vector<double> comboWeights(const TokenList& tokens, size_t first) {
    std::vector<double> weights(kComboCount);
    for (int i = 0; i < kComboCount; ++i) weights[i] = parseWeight(tokens[first + size_t(i)]);
    return toSlotOrder(weights);
}

}  // namespace

void cmdLockNode(TokenList& tokens) {
    const TreePoint at = decisionAt(tokens[1]);
    setNodeLocked(*builtSolver(), at.node, at.turn, at.river, true);
    replyOk(tokens);
}

void cmdUnlockNode(TokenList& tokens) {
    const TreePoint at = decisionAt(tokens[1]);
    setNodeLocked(*builtSolver(), at.node, at.turn, at.river, false);
    replyOk(tokens);
}

void cmdSetStrategy(TokenList& tokens) {
    if (tokens.size() < 3) argError(tokens);
    const TreePoint at = decisionAt(tokens[1]);
    const HeldSolver held = builtSolver();
    SolverState& state = *held;
    // The built node's actions: lines added since the build show in the path's node, not here.
    const int count = int(state.nodes()[at.node].children.size());
    const size_t one = size_t(kComboCount) + 3, all = size_t(count) * kComboCount + 2;
    if (tokens.size() == one && tokens.size() != all) {
        const int child = std::stoi(tokens[2]);
        if (child < 0 || child >= count) valueError("invalid child index");
        setLockedStrategy(state, at.node, at.turn, at.river, child, comboWeights(tokens, 3));
    } else if (tokens.size() == all) {
        std::vector<std::vector<double>> actions;
        for (int a = 0; a < count; ++a) actions.push_back(comboWeights(tokens, 2 + size_t(a) * kComboCount));
        for (const std::vector<double>& weights : actions) checkStrategyWeights(count, weights);  // all or none
        for (int a = 0; a < count; ++a) setLockedStrategy(state, at.node, at.turn, at.river, a, actions[size_t(a)]);
    } else {
        argError(tokens);
    }
    replyOk(tokens);
}

void cmdComboLockNode(TokenList& tokens) {
    const TreePoint at = decisionAt(tokens[1]);
    comboLockNode(*builtSolver(), at.node, at.turn, at.river, comboWeights(tokens, 2));
    replyOk(tokens);
}

}  // namespace qv
