// Handlers of the evaluator's rule settings and of eval_hand.
#include <stdexcept>
#include <vector>

#include "cards/commands.h"
#include "cards/hand_description.h"
#include "cards/hand_rules.h"

namespace qv {

void cmdSetLowCard(TokenList& tokens) {
    size_t used = 0;
    int lowest = std::stoi(tokens[1], &used);
    if (used != tokens[1].size()) throw std::invalid_argument("not an integer");
    if (lowest < 2 || lowest > 6) argError(tokens);
    handRules().lowCard = lowest - 2;
    replyOk(tokens);
}

// A list that does not name every category exactly once is refused as a whole.
void cmdSetHandTypeOrder(TokenList& tokens) {
    std::array<int, 9> order;
    for (int position = 0; position < 9; ++position) {
        order[position] = categoryOfName(tokens[position + 1]);
        if (order[position] < 0) argError(tokens);
    }
    if (!setHandTypeOrder(handRules(), order)) argError(tokens);
    replyOk(tokens);
}

void cmdEvalHand(TokenList& tokens) {
    CardMask mask = parseCards(tokens[1]);
    int count = cardCount(mask);
    if (count < 5 || count > 7) argError(tokens);
    std::vector<Card> cards;
    for (CardMask rest = mask; rest; rest &= rest - 1) cards.push_back(lowestCard(rest));
    HandValue value = evaluateHand(cards.data(), count);
    reply("%s | %d cards | %08x | %13s | %s\n", tokens[1].c_str(), count, value,
          categoryName(categoryOfValue(value)), describeHand(value).c_str());
}

}  // namespace qv
