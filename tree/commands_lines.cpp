// Handlers of the game description's betting side: pot, lines, rake and the tree info lines.
#include <cmath>
#include <limits>
#include <stdexcept>

#include "cards/card.h"
#include "interpreter/session.h"
#include "tree/accuracy.h"
#include "tree/built_tree.h"
#include "tree/commands.h"
#include "tree/schematic_tree.h"
#include "tree/tree_guards.h"
#include "tree/tree_params.h"

namespace qv {

namespace {

// A line amount in whole chips. Amounts must fit a 32-bit chip count (the effective stack is
// one), and a NaN would break the ordering of the children.
double lineAmount(const std::string& token) {
    const double value = std::stod(token);
    if (!(std::fabs(value) < 1e18)) throw std::out_of_range(token);
    // Rounded down through a whole number: the program does without the math library's floor.
    double amount = double(int64_t(value));
    if (amount > value) amount -= 1;
    if (!(std::fabs(amount) <= std::numeric_limits<int32_t>::max())) throw std::out_of_range(token);
    return amount + 0.0;  // -0 is the check key 0
}

void addLine(TokenList& tokens, bool prune) {
    if (tokens.size() < 2 || tokens.size() > kMaxLineAmounts + 1) argError(tokens);
    LineWriter line(schematicRoot(), prune);
    for (size_t i = 1; i < tokens.size(); ++i)
        if (!line.add(lineAmount(tokens[i]))) argError(tokens);
    replyOk(tokens);
}

}  // namespace

void cmdSetPot(TokenList& tokens) {
    double values[3];
    for (int i = 0; i < 3; ++i) values[i] = std::stoi(tokens[i + 1]);
    TreeParams& params = treeParams();
    for (int i = 0; i < 3; ++i) params.potValues[i] = values[i];
    AccuracyTarget& accuracy = accuracyTarget();
    accuracy.recompute(params.pot());
    if (interpreter().flags.verbosity > 0) reply("[accuracy %.6g (%.6g fraction)]\n", accuracy.chips, accuracy.fraction);
    replyOk(tokens);
}

void cmdSetEffStack(TokenList& tokens) { replyOk(tokens); }

void cmdClearLines(TokenList& tokens) {
    clearLines();
    replyOk(tokens);
}

void cmdAddLine(TokenList& tokens) { addLine(tokens, false); }

void cmdForceLine(TokenList& tokens) { addLine(tokens, true); }

void cmdRemoveLine(TokenList& tokens) {
    if (tokens.size() < 2 || tokens.size() > kMaxLineAmounts + 1) argError(tokens);
    std::vector<double> amounts;
    for (size_t i = 1; i < tokens.size(); ++i) amounts.push_back(lineAmount(tokens[i]));
    removeLine(schematicRoot(), removalKeys(amounts));
    replyOk(tokens);
}

void cmdSetRake(TokenList& tokens) {
    requireBuiltTree();
    requireSolverIdle();
    double fraction = std::stod(tokens[1]);
    double cap = std::stod(tokens[2]);
    if (!(fraction >= 0 && fraction <= 1) || !(cap >= 0)) argError(tokens);
    treeParams().rakeFraction = float(fraction);
    treeParams().rakeCap = float(cap);
    builtTree().solver->setRake(float(fraction), float(cap));
    replyOk(tokens);
}

void cmdShowEffectiveStack(TokenList&) {
    requireBuiltTree();
    reply("%d\n", builtTree().effectiveStack);
}

void cmdShowTreeParams(TokenList&) {
    const BuiltTree& tree = builtTree();
    std::string board = cardsToText(tree.flop);
    for (CardMask card : {tree.turn, tree.river})
        if (card) board.append(" ").append(cardsToText(card));
    reply("board: %s\n", board.c_str());
    reply("pot: %g %g %g\n", 0.0, 0.0, treeParams().pot());
    reply("bet_sizes: \n");
    reply("donk_bet: FALSE\n");
    replyEndLine();
}

void cmdResetTreeInfo(TokenList& tokens) {
    treeParams().infoLines.clear();
    replyOk(tokens);
}

// The rest of the line is the text, so an unquoted "#Board#Qs Jh 2h" keeps its blanks.
void cmdAddInfoLine(TokenList& tokens) {
    if (tokens.size() < 2) argError(tokens);
    treeParams().infoLines.push_back(joinTokens(tokens, 1, tokens.size()));
    replyOk(tokens);
}

void cmdShowTreeInfo(TokenList&) {
    // The info lines carry the "#" metadata lines of tree files, which a reply would drop.
    allowHashLinesForThisReply();
    for (const std::string& line : treeParams().infoLines) replyText(line + "\n");
    replyEndLine();
}

}  // namespace qv
