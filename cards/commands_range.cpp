// Handlers of the combo order, the ranges and the deck weighting.
#include "cards/combo_tables.h"
#include "cards/commands.h"
#include "cards/range_setup.h"
#include "interpreter/session.h"

namespace qv {

namespace {

std::vector<double> weightArguments(const TokenList& tokens, size_t first) {
    std::vector<double> weights;
    weights.reserve(tokens.size() - first);
    for (size_t i = first; i < tokens.size(); ++i) weights.push_back(parseWeight(tokens[i]));
    return weights;
}

}  // namespace

void cmdShowHandOrder(TokenList&) { reply("%s\n", cardTables().allComboNames()); }

void cmdSetRange(TokenList& tokens) {
    int player = parsePlayer(tokens[1]);
    std::vector<double> weights = weightArguments(tokens, 2);
    RangeReport report = setRange(gameSetup(), player, weights);
    if (interpreter().flags.verbosity > 0)
        reply("[set_range %d min %.8g max %.8g nonzero %d rtz %d]\n", player, report.smallest,
              report.largest, report.nonzero, report.roundedToZero);
    replyOk(tokens);
}

void cmdSetDeckDistribution(TokenList& tokens) {
    setDeckDistribution(gameSetup(), weightArguments(tokens, 1));
    if (interpreter().flags.verbosity > 0)
        reply("[set_deck_distribution (implicit set_isomorphism 0 0)]\n");
    replyOk(tokens);
}

}  // namespace qv
