// Sending standard output to a file and back.
#include "interpreter/commands.h"
#include "platform/process.h"

namespace qv {

namespace {

void redirect(TokenList& tokens, bool append) {
    if (!redirectStandardOutput(tokens[1], append)) valueError("freopen failed");
    replyOk(tokens);  // written into the file: the reply is flushed after the switch
}

}  // namespace

void cmdStdoutredi(TokenList& tokens) { redirect(tokens, false); }
void cmdStdoutrediAppend(TokenList& tokens) { redirect(tokens, true); }

void cmdStdoutback(TokenList& tokens) {
    restoreStandardOutput();
    replyOk(tokens);
}

}  // namespace qv
