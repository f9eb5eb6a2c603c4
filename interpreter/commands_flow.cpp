// Flow control and small script helpers: conditional skipping, label search, printing, pausing.
#include <algorithm>
#include <chrono>
#include <thread>

#include "interpreter/commands.h"
#include "interpreter/pattern_match.h"
#include "interpreter/session.h"
#include "platform/files.h"
#include "solver/solver_control.h"

namespace qv {

namespace {

void pauseMilliseconds(long long milliseconds) {
    // A negative duration pauses not at all.
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace

void cmdIfMatch(TokenList& tokens) {
    interpreter().ifSkipping = !patternFound(tokens[1], tokens[2]);
}

void cmdSkipIfDone(TokenList& tokens) {
    if (fileIsPresent(tokens[1])) interpreter().soughtLabel = tokens[2];
    replyOk(tokens);
}

void cmdRepeat(TokenList& tokens) {
    if (tokens.size() < 3) argError(tokens);
    int count = std::stoi(tokens[1]);
    if (count < 1 || count > 99999) argError(tokens);
    const std::string text = joinTokens(tokens, 2, tokens.size()) + "\n";
    // Line by line, so that a reply over the size limit stops at the limit, not after the whole.
    for (int i = 0; i < count; ++i) replyText(text);
    replyEndLine();
}

void cmdEcho(TokenList& tokens) {
    if (tokens.size() < 2) argError(tokens);
    replyText(joinTokens(tokens, 1, tokens.size()) + "\n");
}

void cmdSleep(TokenList& tokens) { pauseMilliseconds(std::stoi(tokens[1])); }

void cmdTakeABreak(TokenList& tokens) {
    long long seconds = std::stoi(tokens[1]);
    if (isSolverRunning()) requestSolverStop();
    pauseMilliseconds(seconds * 1000);
    replyOk(tokens);
}

}  // namespace qv
