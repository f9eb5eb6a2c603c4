// Handlers that run the solver: go, stop, wait_for_solver and the accuracy targets, with the
// lines the solver prints while it runs.
#include <memory>

#include "interpreter/progress_bar.h"
#include "interpreter/reply.h"
#include "interpreter/server.h"
#include "interpreter/session.h"
#include "interpreter/variables.h"
#include "platform/process.h"
#include "solver/commands.h"
#include "solver/settings.h"
#include "solver/solver_control.h"
#include "tree/accuracy.h"
#include "tree/built_tree.h"
#include "tree/tree_params.h"
#include "workers/worker_host.h"
#include "workers/worker_role.h"

namespace qv {

namespace {

// The solver's announcements and reports go to the console and, in server mode, to the client as
// notice frames between its replies.
void announce(const std::string& text, bool highlighted) {
    if (highlighted)
        printNotice("%s", text.c_str());
    else
        printLocked("%s", text.c_str());
    sendNotice(text);
}

class ConsoleListener : public SolverListener {
public:
    void started() override { announce("SOLVER: started\n", false); }

    void passDone(int completed, int pass) override {
        const int frequency = std::max(1, solverSettings().infoFrequency);
        drawProgressBar(completed % frequency + 1, pass == 1, frequency);
    }

    void iterationDone(int iterations) override { printLocked("#iterations %d\n", iterations); }

    void clearProgress() override { drawProgressBar(-1, false, std::max(1, solverSettings().infoFrequency)); }

    void report(const ResultRecord& r, double cpuSeconds) override {
        const double half = treeParams().pot() * 0.5;
        const char* format = interpreter().flags.compactMessages
                                 ? "SOLVER: running time: %.3f EV OOP: %.3f EV IP: %.3f OOP's MES: %.3f IP's MES: %.3f "
                                   "Exploitable for: %.3f\n"
                                 : "SOLVER:\nrunning time: %.3f\nEV OOP: %.3f\nEV IP: %.3f\nOOP's MES: %.3f\nIP's MES: "
                                   "%.3f\nExploitable for: %.3f\nEND\n";
        announce(formatText(format, r.runningTime, r.evOop + half, r.evIp + half, r.mesOop + half, r.mesIp + half,
                            r.exploitability),
                 true);
        variables().set("running_time", formatText("%f", r.runningTime));
        if (interpreter().flags.verbosity > 0) {
            long peak = peakResidentMegabytes();
            variables().set("cpu_time", formatText("%f", cpuSeconds));
            variables().set("peak_working_set", std::to_string(peak));
            printLocked("[%d iterations | cpu time %.1fs | peak working set %ld MB]\n", r.iteration, cpuSeconds, peak);
        }
        fflush(stdout);
    }

    void stopped(const char* reason) override { announce(formatText("SOLVER: stopped (%s)\n", reason), false); }
};

std::shared_ptr<SolverListener> consoleListener() {
    static auto listener = std::make_shared<ConsoleListener>();
    return listener;
}

SolveRequest parseGo(const TokenList& tokens) {
    SolveRequest request;
    const size_t n = tokens.size();
    if (n == 1) return request;
    if (n == 3 && tokens[2] == "block") {
        request.block = true;  // the amount is not read
        return request;
    }
    const bool limited = (n == 3 || n == 4) && (tokens[2] == "seconds" || tokens[2] == "steps");
    if (!limited || (n == 4 && tokens[3] != "block")) argError(tokens);
    request.amount = std::stoi(tokens[1]);
    request.isSteps = tokens[2] == "steps";
    request.block = n == 4;
    return request;
}

}  // namespace

void cmdGo(TokenList& tokens) {
    SolveRequest request = parseGo(tokens);
    const BuiltTree& tree = builtTree();
    if (!tree.present || !tree.solver) valueError("missing/incorrect tree");
    if (isSolverRunning()) valueError("Can't do that when solver is running");
    if (tree.solver->flags() & SolverState::IncompleteTree) valueError("incomplete tree");
    // A worker solves only what its master sends it: the go its master mirrors starts nothing.
    if (workerRole().initialised) {
        replyOk(tokens);
        return;
    }
    if (hasWorkers()) checkWorkersReady(*workerList(), *tree.solver);
    const bool verbose = interpreter().flags.verbosity > 0;
    if (verbose) reply("[go %d threads]\n", solverSettings().threadCount);
    int delay = prepareSolve();
    if (verbose && delay >= 0) reply("[avg delay %d]\n", delay);
    // The reply so far goes out before the solver's first line, and a background solve starts
    // iterating only once this command's reply is out: the output order never depends on timing.
    flushReply();
    bool started = startSolver(request, consoleListener(), [](ReleaseSolver release) { afterReplyDelivered(release); });
    if (!started) valueError("out of memory");
    replyOk(tokens);
}

void cmdStop(TokenList& tokens) {
    // The flag is set once the reply is out, so "stop ok!" always precedes the solver's stop line.
    afterReplyDelivered(requestSolverStop);
    replyOk(tokens);
}

void cmdWaitForSolver(TokenList& tokens) {
    flushReply();  // a solver started by a command whose reply is still pending is released here
    waitForSolver();
    if (!interpreter().endString.empty()) replyOk(tokens);
}

void cmdSetAccuracy(TokenList& tokens) {
    if (tokens.size() < 2) argError(tokens);
    double value = std::stod(tokens[1]);
    if (!(value >= 0)) argError(tokens);
    AccuracyTarget& accuracy = accuracyTarget();
    accuracy.rawValue = value;
    accuracy.asFraction = tokens.size() > 2 && tokens[2] == "fraction";
    accuracy.recompute(treeParams().pot());
    if (interpreter().flags.verbosity > 0) reply("[accuracy %.6g (%.6g fraction)]\n", accuracy.chips, accuracy.fraction);
    replyOk(tokens);
}

void cmdSetRecalcAccuracy(TokenList& tokens) {
    double values[3];
    for (int i = 0; i < 3; ++i) values[i] = std::stod(tokens[1 + i]) * treeParams().pot();
    for (int street = 1; street <= 3; ++street) solverSettings().recalcAccuracy[street] = values[street - 1];
    replyOk(tokens);
}

}  // namespace qv
