// Handlers of the equity queries: each combo's share of the pot at showdown against the
// opponent's range, on the board and ranges as set up, or at a node of the solved tree.
#include <cmath>

#include "cards/combo_tables.h"
#include "cards/commands.h"
#include "cards/game_setup.h"
#include "cards/hand_rules.h"
#include "interpreter/errors.h"
#include "queries/node_equity.h"
#include "queries/value_line.h"
#include "tree/node_path.h"

namespace qv {

namespace {

struct ComboEquity {
    std::vector<double> equity, weight;  // ComboIndex order
    std::vector<double> raw;             // HandSlot order
};

ComboEquity toEquity(const ShowdownEquity& values) {
    ComboEquity out{toComboOrder(values.raw), toComboOrder(values.weight), values.raw};
    for (double& e : out.equity) e = equityOf(e);
    return out;
}

ComboEquity setupEquity(const TokenList& tokens) {
    const GameSetup& setup = gameSetup();
    if (cardCount(setup.board.flop) != 3) throw EngineError("board not set");
    if (setup.ranges[0].empty() || setup.ranges[1].empty()) throw EngineError("ranges not set");
    if (tokens.size() < 2) argError(tokens);
    const int player = parsePlayer(tokens[1]);
    ShowdownEquityInput input;
    input.board = setup.board.flop | setup.board.turn | setup.board.river;
    input.ownRange = input.ownWeight = setup.ranges[player];
    input.opponentWeight = setup.ranges[1 - player];
    input.lowCard = handRules().lowCard;
    return toEquity(showdownEquity(input));
}

}  // namespace

void cmdCalcEq(TokenList& tokens) {
    const ComboEquity eq = setupEquity(tokens);
    const BoardState& board = gameSetup().board;
    const CardMask dead = board.flop | board.turn | board.river;
    const CardTables& t = cardTables();
    // An undefined equity reads "nan" for a combo the board blocks, "inf" for one out of range.
    replyText(valueLine(eq.equity, "%.9g", [&](size_t combo) { return (t.maskOfCombo[combo] & dead) ? "nan" : "inf"; }));
    replyText(valueLine(eq.weight, "%.9g", "0"));
    replyEndLine();
}

void cmdCalcEqPp(TokenList& tokens) {
    const ComboEquity eq = setupEquity(tokens);
    for (int combo : combosByEquity(eq.raw))
        reply("%s: %.2f; %.2f\n", cardTables().comboName(combo).c_str(), eq.equity[combo] * 100, eq.weight[combo]);
    replyEndLine();
}

void cmdCalcEqNode(TokenList& tokens) {
    if (tokens.size() < 3) argError(tokens);
    const int player = parsePlayer(tokens[1]);
    const TreePoint point = pointOf(resolveNodePath(tokens[2]));
    const ComboEquity eq = toEquity(pointEquity(*builtSolver(), point, player));
    double weighted = 0, weights = 0;
    for (int c = 0; c < kComboCount; ++c) {
        if (std::isnan(eq.weight[c])) continue;
        weights += eq.weight[c];
        if (!std::isnan(eq.equity[c])) weighted += eq.weight[c] * eq.equity[c];
    }
    replyText(valueLine(eq.equity, "%.9g", "nan"));
    replyText(valueLine(eq.weight, "%.9g", "0"));
    reply("%.9g\n", weights > 0 ? weighted / weights : 0.0);
    replyEndLine();
}

}  // namespace qv
