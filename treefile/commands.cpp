// Handlers of the tree file commands.
#include "interpreter/server.h"
#include "platform/files.h"
#include "solver/settings.h"
#include "tree/tree_guards.h"
#include "treefile/commands.h"
#include "treefile/tree_file.h"
#include "workers/worker_role.h"

namespace qv {

namespace {

// The words after the file name of dump_tree.
SaveChoices saveChoicesOf(const TokenList& tokens) {
    SaveChoices choices;
    for (size_t i = 2; i < tokens.size(); ++i) {
        if (tokens[i] == "no_ev") {
            choices.values = false;
        } else if (tokens[i] == "resolve_turns") {
            choices.resolvedStreet = 2;
        } else if (tokens[i] == "plain") {
            choices.plain = true;
        } else {
            argError(tokens);
        }
    }
    return choices;
}

}  // namespace

void cmdDumpTree(TokenList& tokens) {
    if (tokens.size() < 2) argError(tokens);
    const SaveChoices choices = saveChoicesOf(tokens);
    requireSolverIdle();
    requireBuiltTree();
    // The turn and river stores of a shared solve are with the workers.
    requireUnsharedSolve();
    saveTree(tokens[1], choices);
    replyOk(tokens);
}

void cmdLoadTree(TokenList& tokens) {
    requireSolverIdle();
    const bool received = serverSessionExists();
    const std::string path = received ? receivedFilePath() : tokens[1];
    const bool notify = solverSettings().uiNotifications;
    struct RemoveReceived {
        bool active;
        std::string path;
        ~RemoveReceived() {
            if (active) removeFile(path);
        }
    } removal{received, path};
    loadTree(path, [notify](int percent) {
        if (notify) printLocked("#progress %d\n", percent);
    });
    replyOk(tokens);
}

void cmdShowMetadata(TokenList& tokens) {
    requireSolverIdle();
    if (serverSessionExists()) valueError("remote server not supported");
    const std::string text = describeTreeFile(tokens[1]);
    allowHashLinesForThisReply();
    keepEmptyLinesForThisReply();
    replyText(text);
    replyOk(tokens);
}

}  // namespace qv
