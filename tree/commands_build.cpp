// Handlers that build and discard the game tree.
#include "cards/game_setup.h"
#include "interpreter/session.h"
#include "platform/process.h"
#include "tree/build_reply.h"
#include "tree/built_tree.h"
#include "tree/commands.h"
#include "tree/tree_guards.h"
#include "tree/tree_params.h"
#include "workers/worker_list.h"

namespace qv {

BuildReport buildGameTreeWithReport() {
    BuildReport report = runBuildSteps();
    if (interpreter().flags.verbosity > 0) {
        reply("[nodes decision %d showdown %d wwosd %d]\n", report.counts.decision, report.counts.showdown,
              report.counts.fold);
        const SolverState& solver = *builtTree().solver;
        if (solver.requestedCompression() == CompressionAuto && solver.firstStreet() == 1)
            reply("[uncompressed storage %lld MB]\n", (long long)(solver.uncompressedStorage().total() / 1048576));
    }
    return report;
}

void cmdBuildTree(TokenList& tokens) {
    checkBuildInputs();
    // Workers share the subgames below the flop; trees that start later have none to share.
    const BoardState& board = gameSetup().board;
    if (hasWorkers() && (board.turn || board.river)) valueError("only flop trees supported");
    // Refused before the info lines are cleared, so a refused build changes nothing.
    requireSolverIdle();
    builtTree().noEv = false;
    treeParams().infoLines.clear();
    buildGameTreeWithReport();
    releaseReadOnlyFilePages();
    if (interpreter().flags.verbosity > 0) {
        const SolverState& solver = *builtTree().solver;
        reply("[compression set %d (%s) actual %d (%s)]\n", solver.requestedCompression(),
              compressionWord(solver.requestedCompression()), solver.actualCompression(),
              compressionWord(solver.actualCompression()));
    }
    replyOk(tokens);
}

void cmdFreeTree(TokenList& tokens) {
    requireSolverIdle();
    freeBuiltTree();
    replyOk(tokens);
}

void cmdIsTreePresent(TokenList&) { reply("%s\n", builtTree().present ? "true" : "false"); }

}  // namespace qv
