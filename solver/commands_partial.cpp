// Handlers that solve one subgame of a dropped street again: solve_partial and explo_partial.
#include "interpreter/session.h"
#include "queries/tree_point.h"
#include "solver/commands.h"
#include "solver/resolve.h"
#include "tree/node_path.h"
#include "tree/tree_guards.h"
#include "workers/worker_role.h"

namespace qv {

namespace {

// Re-solves that happen inside any command (a query reading a dropped street) are reported here.
[[maybe_unused]] const bool reportInstalled = (setSubgameReport([](const SubgameReport& report) {
    if (interpreter().flags.verbosity > 0) reply("[%s: %gms]\n", "SolveSubgame", report.milliseconds);
}),
                                               true);

// Solves the subgame that holds the path's node again; 0 when its street was not dropped.
double solvePartial(const TokenList& tokens) {
    const TreePoint point = pointOf(resolveNodePath(tokens[1]));
    requireSolverIdle();
    requireUnsharedSolve();
    SolverState& state = builtSolver();
    const SubgameRef subgame = subgameAt(state, point.node, point.turn, point.river);
    return subgame.valid() ? SolveSubgame(state, subgame, true) : 0.0;
}

}  // namespace

void cmdSolvePartial(TokenList& tokens) {
    solvePartial(tokens);
    replyOk(tokens);
}

void cmdExploPartial(TokenList& tokens) { reply("%.6g\n", solvePartial(tokens)); }

}  // namespace qv
