// Handlers of the storage compression level.
#include "interpreter/reply.h"
#include "solver/commands.h"
#include "solver/compression.h"
#include "solver/solver_control.h"
#include "tree/built_tree.h"
#include "tree/tree_params.h"

namespace qv {

void cmdSetCompression(TokenList& tokens) {
    const int level = parseCompressionLevel(tokens[1]);
    BuiltTree& tree = builtTree();
    if (tree.present && tree.solver) {
        if (isSolverRunning()) valueError("Can't do that when solver is running");
        // A new level means new stores: the solve restarts from iteration 0.
        GameDefinition game = tree.solver->definition();
        game.compression = level;
        const float fraction = tree.solver->rakeFraction(), cap = tree.solver->rakeCap();
        tree.solver.reset();
        tree.solver = std::make_unique<SolverState>(game);
        tree.solver->setRake(fraction, cap);
    }
    treeParams().requestedCompression = level;
    replyOk(tokens);
}

void cmdGetActualCompression(TokenList&) {
    const BuiltTree& tree = builtTree();
    reply("compression %d\n", tree.present && tree.solver ? tree.solver->actualCompression()
                                                          : treeParams().requestedCompression);
}

}  // namespace qv
