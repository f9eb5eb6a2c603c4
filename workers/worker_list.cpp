#include "workers/worker_list.h"

#include <exception>
#include <mutex>

#include "interpreter/reply.h"
#include "interpreter/variables.h"
#include "solver/subgame_host.h"

namespace qv {

namespace {

constexpr double kDefaultTimeoutSeconds = 300;

std::shared_ptr<WorkerList>& installedList() {
    static std::shared_ptr<WorkerList> list = std::make_shared<WorkerList>();
    return list;
}

}  // namespace

WorkerList::WorkerList(const std::vector<WorkerAddress>& addresses, bool verbose) {
    for (size_t i = 0; i < addresses.size(); ++i) {
        if (verbose) printLocked("[trying to connect to %s:%d...]\n", addresses[i].host.c_str(), addresses[i].port);
        links_.push_back(std::make_unique<WorkerLink>(int(i), addresses[i], workerTimeout()));
    }
}

std::vector<double> WorkerList::weights() const {
    std::vector<double> out;
    for (const auto& link : links_) out.push_back(link->address().weight);
    return out;
}

std::vector<ServerMessage> WorkerList::requestEach(const std::vector<WorkerRequest>& requests) {
    const auto timeout = workerTimeout();
    std::vector<std::unique_lock<std::mutex>> held;
    // Always in worker order: two threads asking overlapping sets of workers cannot deadlock.
    for (size_t i = 0; i < links_.size(); ++i)
        if (!requests[i].text.empty()) held.emplace_back(links_[i]->requestMutex());
    std::vector<ServerMessage> replies(links_.size());
    std::vector<bool> sent(links_.size(), false);
    std::exception_ptr failure;
    for (size_t i = 0; i < links_.size(); ++i) {
        if (requests[i].text.empty()) continue;
        try {
            links_[i]->send(requests[i].text, requests[i].payload);
            sent[i] = true;
        } catch (const RemoteFailure&) {
            if (!failure) failure = std::current_exception();
        }
    }
    // Every request sent is answered before the links are handed to anyone else, so that no
    // reply can be taken for the answer to a later request.
    for (size_t i = 0; i < links_.size(); ++i) {
        if (!sent[i]) continue;
        try {
            replies[i] = links_[i]->receive(timeout);
        } catch (const RemoteFailure&) {
            if (!failure) failure = std::current_exception();
        }
    }
    if (failure) std::rethrow_exception(failure);
    return replies;
}

ServerMessage WorkerList::requestWorker(size_t i, const std::string& text, const std::vector<uint8_t>& payload) {
    std::vector<WorkerRequest> requests(links_.size());
    requests[i] = {text, payload};
    return std::move(requestEach(requests)[i]);
}

std::vector<ServerMessage> WorkerList::requestAllWorkers(const std::string& text, const std::vector<uint8_t>& payload) {
    return requestEach(std::vector<WorkerRequest>(links_.size(), WorkerRequest{text, payload}));
}

std::shared_ptr<WorkerList> workerList() { return installedList(); }

void replaceWorkerList(std::shared_ptr<WorkerList> list) { installedList() = std::move(list); }

bool hasWorkers() { return !installedList()->empty(); }

std::chrono::milliseconds workerTimeout() {
    double seconds = kDefaultTimeoutSeconds;
    if (std::optional<std::string> text = variables().get("worker_timeout")) {
        try {
            const double value = std::stod(*text);
            if (value > 0 && value < 1e7) seconds = value;
        } catch (const std::logic_error&) {
        }
    }
    return std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
}

}  // namespace qv
