#include "workers/mirroring.h"

#include <array>
#include <string_view>

#include "interpreter/line_forwarding.h"
#include "workers/worker_host.h"
#include "workers/worker_list.h"

namespace qv {

namespace {

constexpr std::array<std::string_view, 12> kLocalOnlyCommands = {
    "connect",        "connect_to_workers", "disconnect",    "calc_results",
    "load_script",    "ping",               "wait_for_solver", "exit",
    "dump_tree",      "show_strategy",      "show_strategy_pp", "show_range",
};

void mirrorLine(const std::string& line, const TokenList& tokens) {
    if (tokens.empty() || !hasWorkers() || isLocalOnlyCommand(tokens[0])) return;
    // A mirrored line may change what the workers hold.
    forgetFetchedStrategies();
    // A worker whose failure was reported already is left out until the workers are connected
    // again, so that every later line does not report it anew.
    std::shared_ptr<WorkerList> workers = workerList();
    std::vector<WorkerRequest> requests(workers->size());
    for (size_t i = 0; i < requests.size(); ++i)
        if (!workers->link(i).failed()) requests[i].text = line;
    try {
        workers->requestEach(requests);
    } catch (const RemoteFailure& e) {
        // The master's own run of the line goes on; the broken worker fails every later request
        // until the workers are connected again.
        printLocked("ERROR: %s %s\n", tokens[0].c_str(), e.what());
    }
}

}  // namespace

bool isLocalOnlyCommand(const std::string& word) {
    for (std::string_view local : kLocalOnlyCommands)
        if (word == local) return true;
    return false;
}

void installMirroring() { setLineForwarder(mirrorLine); }

}  // namespace qv
