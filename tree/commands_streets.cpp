// Handlers that drop the data of a street to save memory and bring it back.
#include "interpreter/session.h"
#include "solver/resolve.h"
#include "tree/built_tree.h"
#include "tree/commands.h"
#include "tree/tree_guards.h"
#include "workers/worker_role.h"

namespace qv {

namespace {

// The street a street word names, after the checks every street command makes.
int streetOf(const TokenList& tokens) {
    requireBuiltTree();
    requireSolverIdle();
    requireUnsharedSolve();
    if (tokens[1] == "turns") return 2;
    if (tokens[1] == "rivers") return 3;
    argError(tokens);
}

}  // namespace

void cmdForget(TokenList& tokens) {
    const size_t released = forgetStreet(*builtTree().solver, streetOf(tokens));
    if (interpreter().flags.verbosity > 0) reply("[stores released %.1f MB]\n", double(released) / 1048576);
    replyOk(tokens);
}

void cmdRebuildForgottenStreets(TokenList& tokens) {
    requireBuiltTree();
    requireSolverIdle();
    requireUnsharedSolve();
    rebuildForgottenStreets(*builtTree().solver);
    replyOk(tokens);
}

void cmdSolveAllSplits(TokenList& tokens) {
    const int street = streetOf(tokens);
    const bool verbose = interpreter().flags.verbosity > 0;
    SolveSubgames(*builtTree().solver, street, [&](int pass, int passes) {
        if (verbose) reply("[resolve %s iteration %d/%d]\n", street == 3 ? "river" : "turn", pass, passes);
    });
    replyOk(tokens);
}

}  // namespace qv
