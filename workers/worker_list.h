#pragma once
// The master's workers: the links in the order connect_to_workers gave them, and the requests
// that the commands and the solver send through them. Requests to several workers go out to all
// of them before the first answer is awaited, so the workers run side by side.
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "workers/worker_link.h"

namespace qv {

struct WorkerRequest {
    std::string text;               // empty: nothing for this worker
    std::vector<uint8_t> payload;
};

class WorkerList {
public:
    WorkerList() = default;
    // Connects to every address in order, saying so on the console when `verbose`; raises
    // RemoteFailure ("can't connect") when one cannot be reached, dropping the links already made.
    WorkerList(const std::vector<WorkerAddress>& addresses, bool verbose);

    size_t size() const { return links_.size(); }
    bool empty() const { return links_.empty(); }
    WorkerLink& link(size_t i) { return *links_[i]; }
    std::vector<double> weights() const;

    // Request i goes to worker i; the replies come back in worker order (empty where nothing was
    // asked). Every worker asked is waited for, each at most the worker time-out, before the
    // first failure is raised as a RemoteFailure.
    std::vector<ServerMessage> requestEach(const std::vector<WorkerRequest>& requests);
    ServerMessage requestWorker(size_t i, const std::string& text, const std::vector<uint8_t>& payload = {});
    std::vector<ServerMessage> requestAllWorkers(const std::string& text, const std::vector<uint8_t>& payload = {});

private:
    std::vector<std::unique_ptr<WorkerLink>> links_;
};

// The process-wide list; empty until connect_to_workers. Replaced only by the command thread
// while no solver runs.
std::shared_ptr<WorkerList> workerList();
void replaceWorkerList(std::shared_ptr<WorkerList> list);
bool hasWorkers();

// How long a request waits for a worker's reply and a connection for a worker to answer: the
// script variable worker_timeout in seconds, 300 when it is not set or not a positive number.
std::chrono::milliseconds workerTimeout();

}  // namespace qv
