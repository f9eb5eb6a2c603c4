// Handlers of the EV and frequency queries: per-combo EVs at a node, and how often a node or a
// betting line is reached under the solved strategies.
#include <cmath>

#include "cards/combo_tables.h"
#include "queries/commands.h"
#include "queries/node_equity.h"
#include "queries/node_ranges.h"
#include "queries/node_values.h"
#include "queries/value_line.h"
#include "tree/built_tree.h"
#include "tree/node_path.h"
#include "tree/tree_params.h"

namespace qv {

namespace {

// In these commands the top of the tree means its first decision.
TreePoint pointAtPath(const std::string& path) {
    return pointOf(resolveNodePath(path == "r" ? "r:0" : path));
}

struct ComboValues {
    std::vector<double> ev, weight;  // ComboIndex order
    TreePoint point;
};

// EVs in chips with the player's half of the starting pot; all 0 for a tree loaded without EVs.
ComboValues valuesAt(const TokenList& tokens) {
    const int player = parsePlayer(tokens[1]);
    ComboValues out;
    out.point = pointAtPath(tokens[2]);
    PointValues values = pointValues(builtSolver(), out.point, player);
    const double offset = treeParams().pot() * 0.5;
    for (double& ev : values.ev)
        if (!std::isnan(ev)) ev = builtTree().noEv ? 0.0 : ev + offset;
    out.ev = toComboOrder(values.ev);
    out.weight = toComboOrder(values.weight);
    return out;
}

}  // namespace

void cmdCalcEv(TokenList& tokens) {
    const ComboValues values = valuesAt(tokens);
    replyText(valueLine(values.ev, "%.9g", "nan"));
    replyText(valueLine(values.weight, "%.9g", "0"));
    replyEndLine();
}

void cmdCalcEvPp(TokenList& tokens) {
    const ComboValues values = valuesAt(tokens);
    SolverState& state = builtSolver();
    const ShowdownEquity equity = pointEquity(state, values.point, state.nodes()[values.point.node].player);
    for (int combo : combosByEquity(equity.raw))
        reply("%s: %.2f; %.2f\n", cardTables().comboName(combo).c_str(), values.ev[combo], values.weight[combo]);
    replyEndLine();
}

void cmdCalcEvLine(TokenList& tokens) {
    parsePlayer(tokens[1]);
    pointAtPath(tokens[2]);
    replyText(valueLine(std::vector<double>(kComboCount, 0.0), "%.9g", "nan"));
    replyText(valueLine(std::vector<double>(kComboCount, 1.0), "%.9g", "0"));
    replyEndLine();
}

void cmdCalcLineFreq(TokenList& tokens) {
    const TreePoint point = pointAtPath(tokens[1]);
    reply("%.9g\n", lineFrequency(builtSolver(), point));
}

void cmdCalcGlobalFreq(TokenList& tokens) {
    const TreePoint point = pointAtPath(tokens[1]);
    reply("%.9g\n", globalFrequency(builtSolver(), point));
}

}  // namespace qv
