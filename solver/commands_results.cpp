// Handlers that report on the solve: calc_results and the kernel performance counters.
#include "interpreter/reply.h"
#include "interpreter/variables.h"
#include "solver/commands.h"
#include "solver/perf_counters.h"
#include "solver/results.h"
#include "solver/settings.h"
#include "solver/solver_control.h"
#include "tree/built_tree.h"
#include "tree/tree_params.h"

namespace qv {

void cmdCalcResults(TokenList&) {
    BuiltTree& tree = builtTree();
    if (!tree.present || !tree.solver) valueError("missing/incorrect tree");
    if (isSolverRunning()) valueError("Can't do that when solver is running");
    ResultRecord r = computeResults(*tree.solver, solverSettings());
    const double half = treeParams().pot() * 0.5;
    VariableStore& vars = variables();
    vars.set("solver_ev_oop", formatText("%f", r.evOop + half));
    vars.set("solver_ev_ip", formatText("%f", r.evIp + half));
    vars.set("solver_mes_oop", formatText("%f", r.mesOop + half));
    vars.set("solver_mes_ip", formatText("%f", r.mesIp + half));
    vars.set("solver_exploitability", formatText("%f", r.exploitability));
    vars.set("solver_iterations", std::to_string(r.iteration));
    reply("EV OOP: %.3f\nEV IP: %.3f\nOOP's MES: %.3f\nIP's MES: %.3f\nExploitable for: %.3f\n", r.evOop + half,
          r.evIp + half, r.mesOop + half, r.mesIp + half, r.exploitability);
    replyEndLine();
}

void cmdShowPerfCounters(TokenList& tokens) {
    replyText(perfReport(perfTotals()));
    if (tokens.size() > 1 && tokens[1] == "reset") resetPerfCounters();
}

}  // namespace qv
