#include "workers/worker_host.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

#include "interpreter/reply.h"
#include "solver/segments.h"
#include "solver/subgame_payloads.h"
#include "workers/worker_data.h"

namespace qv {

namespace {

// Which worker holds each subgame below the first segment, for one tree and one worker list.
struct Ownership {
    const SolverState* state = nullptr;
    uint64_t fingerprint = 0;
    std::vector<std::vector<int>> owner;  // [chance slot of the first segment][state of its card]
    std::vector<int> slotOfSegment;       // the chance slot that starts a segment, or -1
};

struct FetchedStrategy {
    std::vector<int> records;
    std::vector<size_t> offsets;
    std::vector<float> values;
};

using FetchKey = std::tuple<uint32_t, int, int, bool>;  // node, segment, state, average

// Fetched strategies can take a lot of memory (a whole-tree statistic fetches every record):
// beyond this the cache starts afresh.
constexpr size_t kFetchCacheBytes = size_t(256) << 20;

struct SharedSolveCache {
    std::mutex mutex;
    std::shared_ptr<const Ownership> ownership;
    int iteration = -1;
    size_t bytes = 0;
    std::map<FetchKey, FetchedStrategy> fetched;

    void clear() {
        ownership.reset();
        fetched.clear();
        bytes = 0;
        iteration = -1;
    }
};

SharedSolveCache& cache() {
    static SharedSolveCache c;
    return c;
}

bool isError(const ServerMessage& reply) { return reply.text.rfind("ERROR", 0) == 0; }

[[noreturn]] void answeredError(WorkerLink& link, const ServerMessage& reply) {
    std::string text = reply.text;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    throw RemoteFailure(link.name() + " answered: " + text);
}

size_t lightestWorker(const std::vector<double>& load, const std::vector<double>& weights, double work) {
    size_t best = 0;
    for (size_t w = 1; w < weights.size(); ++w)
        if ((load[w] + work) / weights[w] < (load[best] + work) / weights[best]) best = w;
    return best;
}

std::shared_ptr<const Ownership> dealSubgames(const SolverState& state, uint64_t fingerprint,
                                              const std::vector<double>& weights) {
    auto result = std::make_shared<Ownership>();
    result->state = &state;
    result->fingerprint = fingerprint;
    const Segment& first = state.segments()[0];
    const int states = int(state.boards().level(first.level + 1).size());
    result->owner.assign(first.slots.size(), std::vector<int>(size_t(states), -1));
    result->slotOfSegment.assign(state.segments().size(), -1);
    struct Piece {
        int slot, card;
        double work;
    };
    std::vector<Piece> pieces;
    const DealtBoard& top = state.boards().state(first.level, 0);
    for (int c : first.chances) {
        const SegmentSlot& slot = first.slots[size_t(c)];
        if (slot.kind != SlotKind::NextStreet) continue;
        result->slotOfSegment[size_t(slot.childSegment)] = c;
        for (int i = 0; i < top.representativeCount; ++i)
            pieces.push_back({c, state.boards().representative(top, i), state.segments()[size_t(slot.childSegment)].work});
    }
    std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.work > b.work; });
    std::vector<double> load(weights.size(), 0.0);
    for (const Piece& piece : pieces) {
        const size_t best = lightestWorker(load, weights, piece.work);
        load[best] += piece.work;
        result->owner[size_t(piece.slot)][size_t(piece.card)] = int(best);
    }
    return result;
}

// The ownership of `state`'s subgames, after checking that the workers hold the same tree.
// Called with the cache locked.
std::shared_ptr<const Ownership> ownershipFor(WorkerList& workers, const SolverState& state, uint64_t fingerprint) {
    SharedSolveCache& c = cache();
    if (c.ownership && c.ownership->state == &state && c.ownership->fingerprint == fingerprint) return c.ownership;
    c.clear();
    checkWorkersReady(workers, state);
    c.ownership = dealSubgames(state, fingerprint, workers.weights());
    return c.ownership;
}

class WorkerHost : public SubgameHost {
public:
    explicit WorkerHost(std::shared_ptr<WorkerList> workers) : workers_(std::move(workers)) {}

    void traverse(Traversal& traversal, const PassJobs& pass) override {
        const SolverState& state = traversal.state();
        const uint64_t fingerprint = stateFingerprint(state);
        std::shared_ptr<const Ownership> ownership;
        {
            std::lock_guard<std::mutex> lock(cache().mutex);
            ownership = ownershipFor(*workers_, state, fingerprint);
        }
        const int player = traversal.settings().traverser;
        const std::vector<double> weights = workers_->weights();
        std::vector<std::vector<int>> share(workers_->size());
        std::vector<double> load(workers_->size(), 0.0);
        std::vector<int> loose;
        for (size_t k = 0; k < pass.jobs.size(); ++k) {
            const SubgameTicket& t = pass.jobs[k].ticket;
            const int owner = ownership->owner[size_t(t.slots[0])][size_t(t.state)];
            if (owner < 0) {
                loose.push_back(int(k));
                continue;
            }
            share[size_t(owner)].push_back(int(k));
            load[size_t(owner)] += t.work[player];
        }
        for (int k : loose) {
            const double work = pass.jobs[size_t(k)].ticket.work[player];
            const size_t w = lightestWorker(load, weights, work);
            share[w].push_back(k);
            load[w] += work;
        }
        std::vector<WorkerRequest> requests(workers_->size());
        const std::string text = formatText("traverse_subgames %d %d", player, traversal.settings().training ? 1 : 0);
        for (size_t w = 0; w < requests.size(); ++w)
            if (!share[w].empty()) requests[w] = {text, encodeJobsRequest(traversal, pass, share[w], fingerprint)};
        std::vector<ServerMessage> replies = workers_->requestEach(requests);
        for (size_t w = 0; w < replies.size(); ++w) {
            if (share[w].empty()) continue;
            if (isError(replies[w])) answeredError(workers_->link(w), replies[w]);
            try {
                decodeJobsAnswer(traversal, pass, share[w], replies[w].payload);
            } catch (const EngineError&) {
                throw RemoteFailure(workers_->link(w).name() + " sent a bad answer");
            }
        }
    }

    bool readStrategy(const SolverState& state, uint32_t node, int record, bool average, float* out) override {
        const SubgameRef subgame = heldSubgameOf(state, node, record);
        if (!subgame.valid()) return false;
        SharedSolveCache& c = cache();
        std::lock_guard<std::mutex> lock(c.mutex);
        if (!c.ownership || c.ownership->state != &state) ownershipFor(*workers_, state, stateFingerprint(state));
        if (c.iteration != state.iteration()) {
            c.fetched.clear();
            c.bytes = 0;
            c.iteration = state.iteration();
        }
        const FetchKey key{node, subgame.segment, subgame.state, average};
        auto it = c.fetched.find(key);
        if (it == c.fetched.end()) it = c.fetched.emplace(key, fetch(state, subgame, node, average)).first;
        const FetchedStrategy& f = it->second;
        const size_t at = size_t(std::find(f.records.begin(), f.records.end(), record) - f.records.begin());
        const size_t size = recordStrategySize(state, node, record);
        std::copy(f.values.begin() + long(f.offsets[at]), f.values.begin() + long(f.offsets[at] + size), out);
        return true;
    }

private:
    // Called with the cache locked.
    FetchedStrategy fetch(const SolverState& state, const SubgameRef& subgame, uint32_t node, bool average) {
        SharedSolveCache& c = cache();
        const int slot = c.ownership->slotOfSegment[size_t(subgame.segment)];
        const size_t worker = size_t(c.ownership->owner[size_t(slot)][size_t(subgame.state)]);
        WorkerLink& link = workers_->link(worker);
        const ServerMessage reply = workers_->requestWorker(
            worker, formatText("get_worker_strategy %d %d %u %d", subgame.segment, subgame.state, node, average ? 1 : 0));
        if (isError(reply)) answeredError(link, reply);
        FetchedStrategy f;
        f.records = subgameRecords(state, node, subgame);
        size_t total = 0;
        for (int r : f.records) {
            f.offsets.push_back(total);
            total += recordStrategySize(state, node, r);
        }
        if (reply.payload.size() != total * sizeof(float)) throw RemoteFailure(link.name() + " sent a bad answer");
        if (c.bytes + reply.payload.size() > kFetchCacheBytes) {
            c.fetched.clear();
            c.bytes = 0;
        }
        c.bytes += reply.payload.size();
        f.values.resize(total);
        std::memcpy(f.values.data(), reply.payload.data(), reply.payload.size());
        return f;
    }

    std::shared_ptr<WorkerList> workers_;
};

}  // namespace

std::shared_ptr<SubgameHost> makeWorkerHost(std::shared_ptr<WorkerList> workers) {
    forgetFetchedStrategies();
    return std::make_shared<WorkerHost>(std::move(workers));
}

void checkWorkersReady(WorkerList& workers, const SolverState& state) {
    const uint64_t fingerprint = stateFingerprint(state);
    std::vector<ServerMessage> replies = workers.requestAllWorkers("get_worker_data");
    for (size_t w = 0; w < replies.size(); ++w) {
        WorkerLink& link = workers.link(w);
        if (isError(replies[w])) answeredError(link, replies[w]);
        WorkerData data;
        try {
            data = decodeWorkerData(replies[w].payload);
        } catch (const EngineError&) {
            throw RemoteFailure(link.name() + " is not initialised");
        }
        if (data.fingerprint == 0) throw RemoteFailure(link.name() + " has no tree");
        if (data.fingerprint != fingerprint) throw RemoteFailure(link.name() + " holds a different tree");
    }
}

void forgetFetchedStrategies() {
    std::lock_guard<std::mutex> lock(cache().mutex);
    cache().clear();
}

}  // namespace qv
