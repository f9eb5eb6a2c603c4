// Handlers that build and discard the game tree.
#include "interpreter/session.h"
#include "tree/build_reply.h"
#include "tree/built_tree.h"
#include "tree/commands.h"
#include "tree/tree_guards.h"
#include "tree/tree_params.h"

namespace qv {

BuildReport buildGameTreeWithReport(const BuildOptions& options) {
    BuildReport report = runBuildSteps(options);
    if (interpreter().flags.verbosity > 0)
        reply("[nodes decision %d showdown %d wwosd %d]\n", report.counts.decision, report.counts.showdown,
              report.counts.fold);
    return report;
}

void cmdBuildTree(TokenList& tokens) {
    checkBuildInputs();
    // Refused before the info lines are cleared, so a refused build changes nothing.
    requireSolverIdle();
    builtTree().noEv = false;
    treeParams().infoLines.clear();
    buildGameTreeWithReport(BuildOptions{});
    replyOk(tokens);
}

void cmdFreeTree(TokenList& tokens) {
    requireSolverIdle();
    freeBuiltTree();
    replyOk(tokens);
}

void cmdIsTreePresent(TokenList&) { reply("%s\n", builtTree().present ? "true" : "false"); }

}  // namespace qv
