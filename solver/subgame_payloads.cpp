#include "solver/subgame_payloads.h"

#include <algorithm>
#include <cstring>

#include "solver/byte_stream.h"
#include "solver/resolve.h"
#include "solver/scratch.h"
#include "solver/segments.h"
#include "solver/strategy_access.h"

namespace qv {

namespace {

constexpr uint32_t kJobsMagic = 0x314A5651;  // "QVJ1"

// FNV-1a over the values that decide a state.
class Fingerprint {
public:
    template <typename T>
    void add(T value) {
        unsigned char bytes[sizeof value];
        std::memcpy(bytes, &value, sizeof value);
        for (unsigned char b : bytes) hash_ = (hash_ ^ b) * 0x100000001B3ull;
    }
    uint64_t value() const { return hash_; }

private:
    uint64_t hash_ = 0xCBF29CE484222325ull;
};

// Everything of PassSettings that changes what a job computes, but the traverser and the mode,
// which the command line of the request carries.
void writeSettings(ByteWriter& out, const PassSettings& s) {
    out.put<float>(s.weight);
    out.put<uint8_t>(s.riverAveraging);
    out.put<int32_t>(s.update.iteration);
    out.put<uint8_t>(s.update.adaptivePrecision);
    out.put<double>(s.update.precision);
    out.put<int32_t>(s.update.warmup);
    out.put<int32_t>(s.batchLimit);
    out.put<uint8_t>(s.twoWalkShowdowns);
    out.put<int32_t>(s.trainFrom);
}

PassSettings readSettings(ByteReader& in, int player, bool training) {
    PassSettings s;
    s.traverser = player;
    s.training = training;
    s.weight = in.get<float>();
    s.riverAveraging = in.get<uint8_t>() != 0;
    s.update.iteration = in.get<int32_t>();
    s.update.adaptivePrecision = in.get<uint8_t>() != 0;
    s.update.precision = in.get<double>();
    s.update.warmup = in.get<int32_t>();
    s.batchLimit = in.getIndex(1, kMaxBatch);
    s.twoWalkShowdowns = in.get<uint8_t>() != 0;
    s.trainFrom = in.getIndex(1, 3);
    return s;
}

// The chance slots that a list of jobs reads the reach of, each once, in slot order.
std::vector<int> slotsRead(const PassJobs& pass, const std::vector<int>& jobIndices) {
    std::vector<int> slots;
    for (int i : jobIndices) {
        const SubgameTicket& t = pass.jobs[size_t(i)].ticket;
        slots.insert(slots.end(), t.slots, t.slots + t.width);
    }
    std::sort(slots.begin(), slots.end());
    slots.erase(std::unique(slots.begin(), slots.end()), slots.end());
    return slots;
}

const float* reachOfSlot(const SubgameJob& job, int slot) {
    for (int j = 0; j < job.ticket.width; ++j)
        if (job.ticket.slots[j] == slot) return job.reach[j];
    return nullptr;
}

SubgameTicket readTicket(ByteReader& in, const SolverState& state, const Segment& segment) {
    SubgameTicket t;
    t.width = in.getIndex(1, kMaxBatch);
    for (int j = 0; j < t.width; ++j) {
        t.slots[j] = in.getIndex(0, int(segment.slots.size()) - 1);
        const SlotKind kind = segment.slots[size_t(t.slots[j])].kind;
        if (kind != SlotKind::NextStreet && kind != SlotKind::AllIn) throw EngineError("bad payload");
    }
    t.level = in.getIndex(segment.level + 1, state.boards().riverLevel());
    t.state = in.getIndex(0, int(state.boards().level(t.level).size()) - 1);
    t.card = state.boards().state(t.level, t.state).dealt;
    t.work[0] = in.get<double>();
    t.work[1] = in.get<double>();
    return t;
}

}  // namespace

uint64_t stateFingerprint(const SolverState& state) {
    Fingerprint f;
    for (const GameNode& n : state.nodes()) {
        f.add(uint8_t(n.type));
        f.add(n.parent);
        f.add(n.player);
        f.add(n.street);
        f.add(n.stake);
    }
    for (const HandList& hands : state.handLists()) {
        f.add(hands.count);
        for (int h = 0; h < hands.count; ++h) {
            f.add(hands.slot[size_t(h)]);
            f.add(hands.weight[size_t(h)]);
        }
    }
    for (int level = 0; level <= state.boards().riverLevel(); ++level) f.add(state.boards().level(level).size());
    f.add(state.actualCompression());
    f.add(state.rakeFraction());
    f.add(state.rakeCap());
    f.add(state.valueScale());
    f.add(state.definition().riverStrategy);
    return f.value();
}

std::vector<uint8_t> encodeJobsRequest(const Traversal& traversal, const PassJobs& pass,
                                       const std::vector<int>& jobIndices, uint64_t fingerprint) {
    ByteWriter out;
    out.put<uint32_t>(kJobsMagic);
    out.put<uint64_t>(fingerprint);
    writeSettings(out, traversal.settings());
    out.put<int32_t>(pass.segment);
    out.put<int32_t>(pass.stateIndex);
    const std::vector<int> slots = slotsRead(pass, jobIndices);
    const size_t stride = size_t(traversal.opponentStride());
    out.put<int32_t>(int32_t(slots.size()));
    for (int slot : slots) {
        const float* reach = nullptr;
        for (size_t k = 0; !reach && k < jobIndices.size(); ++k) reach = reachOfSlot(pass.jobs[size_t(jobIndices[k])], slot);
        out.put<int32_t>(slot);
        out.putFloats(reach, stride);
    }
    out.put<int32_t>(int32_t(jobIndices.size()));
    for (int i : jobIndices) {
        const SubgameTicket& t = pass.jobs[size_t(i)].ticket;
        out.put<int32_t>(t.width);
        for (int j = 0; j < t.width; ++j) out.put<int32_t>(t.slots[j]);
        out.put<int32_t>(t.level);
        out.put<int32_t>(t.state);
        out.put<double>(t.work[0]);
        out.put<double>(t.work[1]);
    }
    return std::move(out.bytes());
}

std::vector<uint8_t> answerJobsRequest(SolverState& state, int player, bool training,
                                       const std::vector<uint8_t>& request, int threads, int numaMode) {
    ByteReader in(request);
    if (in.get<uint32_t>() != kJobsMagic) throw EngineError("bad payload");
    if (in.get<uint64_t>() != stateFingerprint(state)) throw EngineError("the master's tree differs from this one");
    const PassSettings settings = readSettings(in, player, training);
    const int segmentIndex = in.getIndex(0, int(state.segments().size()) - 1);
    const Segment& segment = state.segments()[size_t(segmentIndex)];
    const int stateIndex = in.getIndex(0, int(state.boards().level(segment.level).size()) - 1);
    Traversal traversal(state, settings);
    ScratchStack& scratch = threadScratch();
    ScratchScope scope(scratch);
    const size_t reachStride = size_t(traversal.opponentStride());
    const size_t valueStride = size_t(traversal.traverserStride());
    std::vector<const float*> reachOf(segment.slots.size(), nullptr);
    const int slotCount = in.getIndex(0, int(segment.slots.size()));
    for (int k = 0; k < slotCount; ++k) {
        const int slot = in.getIndex(0, int(segment.slots.size()) - 1);
        float* reach = scratch.take<float>(reachStride);
        in.getFloats(reach, reachStride);
        reachOf[size_t(slot)] = reach;
    }
    const int jobCount = in.getIndex(0, 1 << 24);
    std::vector<SubgameJob> jobs;
    jobs.reserve(size_t(jobCount));
    for (int i = 0; i < jobCount; ++i) {
        SubgameJob job;
        job.ticket = readTicket(in, state, segment);
        for (int j = 0; j < job.ticket.width; ++j) {
            job.reach[j] = reachOf[size_t(job.ticket.slots[j])];
            if (!job.reach[j]) throw EngineError("bad payload");
            job.value[j] = scratch.take<float>(valueStride);
            job.best[j] = training ? nullptr : scratch.take<float>(valueStride);
        }
        jobs.push_back(job);
    }
    if (!in.atEnd()) throw EngineError("bad payload");
    traverseSubgamesLocally(traversal, PassJobs{segmentIndex, stateIndex, jobs}, threads, numaMode);

    ByteWriter out;
    for (const SubgameJob& job : jobs)
        for (int j = 0; j < job.ticket.width; ++j) {
            out.putFloats(job.value[j], valueStride);
            if (!training) out.putFloats(job.best[j], valueStride);
        }
    return std::move(out.bytes());
}

void decodeJobsAnswer(const Traversal& traversal, const PassJobs& pass, const std::vector<int>& jobIndices,
                      const std::vector<uint8_t>& answer) {
    ByteReader in(answer);
    const size_t stride = size_t(traversal.traverserStride());
    for (int i : jobIndices) {
        SubgameJob& job = pass.jobs[size_t(i)];
        for (int j = 0; j < job.ticket.width; ++j) {
            in.getFloats(job.value[j], stride);
            if (job.best[j]) in.getFloats(job.best[j], stride);
        }
    }
    if (!in.atEnd()) throw EngineError("bad payload");
}

SubgameRef heldSubgameOf(const SolverState& state, uint32_t node, int record) {
    return subgameOfStreet(state, node, record, state.firstStreet() + 1);
}

std::vector<int> subgameRecords(const SolverState& state, uint32_t node, const SubgameRef& subgame) {
    const BoardStates& boards = state.boards();
    const int top = state.segments()[size_t(subgame.segment)].level;
    std::vector<int> records{subgame.state};
    // Each level further down replaces every state by the states of the cards dealt below it.
    for (int level = top; level < state.nodes()[node].street - state.firstStreet(); ++level) {
        std::vector<int> next;
        for (int r : records) {
            const DealtBoard& s = boards.state(level, r);
            for (int i = 0; i < s.representativeCount; ++i) next.push_back(boards.representative(s, i));
        }
        records = std::move(next);
    }
    return records;
}

size_t recordStrategySize(const SolverState& state, uint32_t node, int record) {
    const GameNode& n = state.nodes()[node];
    const BoardLayout& layout = *state.boards().layout(n.player, n.street - state.firstStreet());
    return n.children.size() * size_t(layout.strides[size_t(record)]);
}

std::vector<uint8_t> encodeSubgameStrategy(const SolverState& state, const SubgameRef& subgame, uint32_t node,
                                           bool average) {
    const bool known = node < state.nodes().size() && state.nodes()[node].type == ActionType::Decision &&
                       subgame.segment >= 0 && size_t(subgame.segment) < state.segments().size() &&
                       subgame.state >= 0 &&
                       size_t(subgame.state) < state.boards().level(state.segments()[size_t(subgame.segment)].level).size();
    if (!known) throw EngineError("incorrect path");
    const std::vector<int> records = subgameRecords(state, node, subgame);
    const SubgameRef holder = heldSubgameOf(state, node, records.front());
    if (holder.segment != subgame.segment || holder.state != subgame.state) throw EngineError("incorrect path");
    ByteWriter out;
    std::vector<float> strategy;
    for (int record : records) {
        strategy.resize(recordStrategySize(state, node, record));
        recordStrategy(state, node, record, average, strategy.data());
        out.putFloats(strategy.data(), strategy.size());
    }
    return std::move(out.bytes());
}

}  // namespace qv
