// Handlers of the evaluator's rule settings and of eval_hand.
#include <stdexcept>

#include "cards/commands.h"
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

}  // namespace qv
