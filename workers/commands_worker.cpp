// Handlers of the worker side: what a master asks of this process over its connection.
#include <chrono>

#include "interpreter/server.h"
#include "platform/process.h"
#include "solver/settings.h"
#include "solver/subgame_payloads.h"
#include "tree/built_tree.h"
#include "tree/tree_guards.h"
#include "workers/commands.h"
#include "workers/worker_data.h"
#include "workers/worker_role.h"

namespace qv {

namespace {

SolverState& workerSolver() {
    requireBuiltTree();
    requireSolverIdle();
    return *builtTree().solver;
}

int flagArgument(TokenList& tokens, size_t i) {
    const int value = std::stoi(tokens[i]);
    if (value < 0 || value > 1) argError(tokens);
    return value;
}

}  // namespace

void cmdInitWorker(TokenList& tokens) {
    if (tokens.size() < 3) argError(tokens);
    const int index = std::stoi(tokens[1]);
    std::vector<double> weights;
    for (size_t i = 2; i < tokens.size(); ++i) weights.push_back(std::stod(tokens[i]));
    if (index < 0 || index >= int(weights.size())) argError(tokens);
    WorkerRole& role = workerRole();
    role.initialised = true;
    role.index = index;
    role.weights = weights;
    replyOk(tokens);
}

void cmdGetWorkerData(TokenList& tokens) {
    const WorkerRole& role = workerRole();
    if (role.initialised) {
        WorkerData data;
        const BuiltTree& tree = builtTree();
        if (tree.present && tree.solver) data.fingerprint = stateFingerprint(*tree.solver);
        data.passes = role.passes;
        data.traversalSeconds = role.traversalSeconds;
        data.cpuSeconds = processCpuSeconds();
        data.peakMegabytes = peakResidentMegabytes();
        outgoingPayload() = encodeWorkerData(data);
    }
    replyOk(tokens);
}

void cmdGetWorkerStrategy(TokenList& tokens) {
    if (!workerRole().initialised) return;
    SubgameRef subgame;
    subgame.segment = std::stoi(tokens[1]);
    subgame.state = std::stoi(tokens[2]);
    const long node = std::stol(tokens[3]);
    const bool average = flagArgument(tokens, 4) != 0;
    if (node < 0 || node > long(UINT32_MAX)) valueError("incorrect path");
    outgoingPayload() = encodeSubgameStrategy(workerSolver(), subgame, uint32_t(node), average);
    replyOk(tokens);
}

void cmdTraverseSubgames(TokenList& tokens) {
    const int player = flagArgument(tokens, 1);
    const bool training = flagArgument(tokens, 2) != 0;
    SolverState& state = workerSolver();
    const auto start = std::chrono::steady_clock::now();
    const SolverSettings& settings = solverSettings();
    outgoingPayload() =
        answerJobsRequest(state, player, training, incomingPayload(), std::max(1, settings.threadCount), settings.numa);
    WorkerRole& role = workerRole();
    ++role.passes;
    role.traversalSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    replyOk(tokens);
}

}  // namespace qv
