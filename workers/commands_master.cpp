// Handlers of the master side: connecting workers, measuring round trips, starting local workers.
#include <chrono>
#include <random>

#include "interpreter/session.h"
#include "platform/child_process.h"
#include "tree/built_tree.h"
#include "tree/tree_guards.h"
#include "workers/commands.h"
#include "workers/mirroring.h"
#include "workers/worker_host.h"
#include "workers/worker_list.h"

namespace qv {

namespace {

constexpr int kDefaultPort = 5251;
constexpr int kPingRounds = 10;
constexpr size_t kPingBytes = 65536;

std::vector<WorkerAddress> parseAddresses(TokenList& tokens) {
    if (tokens.size() < 3 || tokens.size() % 2 == 0) argError(tokens);
    std::vector<WorkerAddress> addresses;
    for (size_t i = 1; i + 1 < tokens.size(); i += 2) {
        WorkerAddress a;
        std::vector<std::string> parts = splitString(tokens[i], ':');
        if (parts.empty()) argError(tokens);
        a.host = parts[0];
        a.port = parts.size() > 1 ? std::stoi(parts[1]) : kDefaultPort;
        if (a.port < 0 || a.port >= 65536) argError(tokens);
        a.weight = std::stod(tokens[i + 1]);
        if (!(a.weight > 0) || a.weight > 10000) argError(tokens);
        addresses.push_back(a);
    }
    return addresses;
}

std::string initText(size_t index, const std::vector<double>& weights) {
    std::string text = "init_worker " + std::to_string(index);
    for (double w : weights) text += formatText(" %f", w);
    return text;
}

// Workers get the game from the lines mirrored to them, so a worker connected to a master that
// already holds a tree has none, or another one: it is refused here, and this process goes on
// alone with its tree, rather than every shared pass and query failing later.
void requireWorkersHoldTheTree(WorkerList& workers) {
    const BuiltTree& tree = builtTree();
    if (!tree.present || !tree.solver) return;
    try {
        checkWorkersReady(workers, *tree.solver);
    } catch (const RemoteFailure& failure) {
        for (size_t w = 0; w < workers.size(); ++w)
            if (workers.link(w).failed()) throw;  // lost on the way: the link's own text says so
        valueError(std::string(failure.what()) + ": connect workers before building the tree");
    }
}

double millisecondsOf(const std::function<void()>& round) {
    const auto start = std::chrono::steady_clock::now();
    round();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

void cmdConnectToWorkers(TokenList& tokens) {
    std::vector<WorkerAddress> addresses = parseAddresses(tokens);
    requireSolverIdle();
    // The old links go first: a worker that serves one client at a time must be free to accept.
    setSubgameHost(nullptr);
    replaceWorkerList(std::make_shared<WorkerList>());
    auto list = std::make_shared<WorkerList>(addresses, interpreter().flags.verbosity > 0);
    const std::vector<double> weights = list->weights();
    for (size_t i = 0; i < list->size(); ++i) {
        const ServerMessage answer = list->requestWorker(i, initText(i, weights));
        if (answer.text.rfind("ERROR", 0) == 0) valueError(list->link(i).name() + " answered: " + answer.text);
    }
    requireWorkersHoldTheTree(*list);
    replaceWorkerList(list);
    setSubgameHost(makeWorkerHost(list));
    installMirroring();
    replyOk(tokens);
}

void cmdPing(TokenList& tokens) {
    if (!hasWorkers()) {
        replyOk(tokens);
        return;
    }
    std::shared_ptr<WorkerList> list = workerList();
    std::vector<uint8_t> payload(kPingBytes);
    std::mt19937 random{std::random_device{}()};
    for (uint8_t& b : payload) b = uint8_t(random());
    reply("id   host                 port     time (avg of %d)\n", kPingRounds);
    for (size_t i = 0; i < list->size(); ++i) {
        double total = 0;
        for (int r = 0; r < kPingRounds; ++r) total += millisecondsOf([&] { list->requestWorker(i, "ping", payload); });
        const WorkerAddress& a = list->link(i).address();
        reply("%-4d %-20s %-8d %.1fms\n", int(i), a.host.c_str(), a.port, total / kPingRounds);
    }
    double total = 0;
    for (int r = 0; r < kPingRounds; ++r) total += millisecondsOf([&] { list->requestAllWorkers("ping", payload); });
    reply("*    multicast            *        %.1fms\n", total / kPingRounds);
    if (interpreter().endString.empty()) reply("END\n");
}

void cmdSpawn(TokenList& tokens) {
    std::vector<std::string> arguments(tokens.begin() + 1, tokens.end());
    if (startChildProgram(arguments, "quorvane_spawned_%d.log") < 0) valueError("can't start the process");
    replyOk(tokens);
}

}  // namespace qv
