// Handlers of the strategy and range queries: what the player to act plays at a node, which of
// its combos are locked, a player's range on arrival at a node, and how often each player gets
// to a node and takes each action.
#include <cmath>

#include "cards/combo_tables.h"
#include "cards/game_setup.h"
#include "interpreter/errors.h"
#include "queries/commands.h"
#include "queries/node_equity.h"
#include "queries/node_ranges.h"
#include "queries/value_line.h"
#include "solver/node_locking.h"
#include "solver/strategy_access.h"
#include "tree/built_tree.h"
#include "tree/node_path.h"

namespace qv {

namespace {

// A decision node named by a path, with its average strategy per action in ComboIndex order.
struct DecisionPoint {
    NodeRef ref;
    TreePoint point;
    std::vector<std::vector<double>> strategy;
};

DecisionPoint decisionAt(const std::string& path) {
    DecisionPoint d;
    d.ref = resolveNodePath(path);
    if (!d.ref.isDecision()) throw EngineError("incorrect path");
    d.point = pointOf(d.ref);
    const std::vector<std::vector<float>> strategy =
        nodeAverageStrategy(builtSolver(), d.point.node, d.point.turn, d.point.river);
    if (strategy.empty()) throw EngineError("incorrect path");
    for (const std::vector<float>& action : strategy)
        d.strategy.push_back(toComboOrder(std::vector<double>(action.begin(), action.end())));
    return d;
}

}  // namespace

void cmdShowStrategy(TokenList& tokens) {
    for (const std::vector<double>& action : decisionAt(tokens[1]).strategy) replyText(valueLine(action, "%.12g", "0"));
    replyEndLine();
}

void cmdShowStrategyPp(TokenList& tokens) {
    const DecisionPoint d = decisionAt(tokens[1]);
    SolverState& state = builtSolver();
    const ShowdownEquity equity = pointEquity(state, d.point, state.nodes()[d.point.node].player);
    const CardTables& t = cardTables();
    for (int combo : combosByEquity(equity.raw)) {
        std::string line = t.comboName(combo) + ": ";
        char cell[32];
        for (const std::vector<double>& action : d.strategy) {
            std::snprintf(cell, sizeof cell, "  %.6f", action[combo]);
            line += cell;
        }
        replyText(line + "\n");
    }
    replyEndLine();
}

void cmdShowLockedCombos(TokenList& tokens) {
    const NodeRef ref = resolveNodePath(tokens[1]);
    if (!ref.isDecision()) throw EngineError("incorrect path");
    const TreePoint point = pointOf(ref);
    std::vector<double> locked = toComboOrder(lockedCombos(builtSolver(), point.node, point.turn, point.river));
    for (double& v : locked)
        if (std::isnan(v)) v = 0;
    replyText(valueLine(locked, "%.12g", "0"));
}

void cmdShowRange(TokenList& tokens) {
    SolverState& state = builtSolver();
    if (tokens.size() < 2) argError(tokens);
    const int player = parsePlayer(tokens[1]);
    std::vector<double> range = state.definition().ranges[player];
    if (tokens.size() > 2) {
        const NodeRef ref = resolveNodePath(tokens[2]);
        const TreePoint point = pointOf(ref);
        range = rangeAtPoint(state, point, player);
        CardMask dead = builtTree().flop;
        for (int card : {ref.turn, ref.river})
            if (card >= 0) dead |= cardBit(card);
        for (int s = 0; s < kComboCount; ++s)
            if (cardTables().maskOfSlot[s] & dead) range[s] = 0;
    }
    replyText(valueLine(toComboOrder(range), "%.12g", "0"));
}

void cmdShowRangeGrid(TokenList& tokens) {
    const int player = parsePlayer(tokens[1]);
    const std::vector<double>& range = gameSetup().ranges[player];
    const CardTables& t = cardTables();
    reply("  A  K  Q  J  T  9  8  7  6  5  4  3  2\n");
    const char* rows = "AKQJT98765432";
    for (int row = 0; row < 13; ++row) {
        const int a = 12 - row;
        std::string line = std::string(1, rows[row]) + " ";
        for (int col = 0; col < 13; ++col) {
            const int b = 12 - col;
            double sum = 0;
            const auto slots = t.classSlots(b * 13 + a);
            for (uint16_t slot : slots) sum += range.empty() ? 0.0 : range[slot];
            const int v = int(sum * 100 / double(slots.size()) + 0.5);
            if (col > 0) line += ' ';
            line += v >= 100 ? "**" : v >= 1 ? std::to_string(v) : "..";
        }
        replyText(line + "\n");
    }
    replyEndLine();
}

void cmdShowProbs(TokenList& tokens) {
    const NodeRef ref = resolveNodePath(tokens[1]);
    SolverState& state = builtSolver();
    const TreePoint point = pointOf(ref);
    const double reach[2] = {reachProbability(state, point, 0), reachProbability(state, point, 1)};
    std::string children;
    const int actor = ref.node ? ref.node->player : 0;
    if (ref.isDecision() && reach[actor] > 0) {
        char item[64];
        for (const NodeChild& child : nodeChildren(ref)) {
            const double frequency = reachProbability(state, pointOf(child.ref), actor) / reach[actor];
            std::snprintf(item, sizeof item, "%s%s %.12g", children.empty() ? "" : " ", child.label.c_str(), frequency);
            children += item;
        }
    }
    reply("OOP %.12g IP %.12g %s\n", reach[0], reach[1], children.c_str());
}

}  // namespace qv
