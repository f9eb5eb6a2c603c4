// Handlers of the board and the suit isomorphism switches.
#include "cards/commands.h"
#include "cards/range_setup.h"

namespace qv {

void cmdSetBoard(TokenList& tokens) {
    gameSetup().board = parseBoard(TokenList(tokens.begin() + 1, tokens.end()));
    replyOk(tokens);
}

void cmdSetIsomorphism(TokenList& tokens) {
    // Only the one-character text 0 switches a street off; any other word switches it on.
    gameSetup().flopIsomorphism = tokens[1] != "0";
    gameSetup().turnIsomorphism = tokens[2] != "0";
    replyOk(tokens);
}

}  // namespace qv
