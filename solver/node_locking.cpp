#include "solver/node_locking.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>
#include <stdexcept>

#include "interpreter/errors.h"
#include "solver/record_hands.h"
#include "solver/resolve.h"

namespace qv {

namespace {

constexpr float kWeightScale = 1000.0f;
// The largest sum of one hand's scaled weights over a node's actions: regret matching takes the
// reciprocal of such a sum, which a float holds down to sums of 2^126; the margin leaves room for
// the iteration's own regret updates.
constexpr double kLargestWeightSum = 0x1p100;

struct LockTarget {
    NodeStore* regrets = nullptr;
    NodeStore* sums = nullptr;  // may be null
    RecordHands hands;
};

// A node of a dropped street gets its stores back (empty) for the edit; solving its subgame again
// later keeps what was locked.
LockTarget lockTarget(SolverState& state, uint32_t node, int turn, int river) {
    if (node >= state.nodes().size()) throw EngineError("incorrect path");
    const GameNode& n = state.nodes()[node];
    state.ensureStores(node, Paging::Small);
    LockTarget target;
    target.regrets = state.regrets(node);
    target.sums = state.strategySums(node);
    if (n.type != ActionType::Decision || !target.regrets ||
        !locateRecordHands(state, n.player, n.street - state.firstStreet(), turn, river, target.hands))
        throw EngineError("incorrect path");
    return target;
}

// Held while a command edits a river record: a solver thread updates a river subgame's records
// under the same lock.
std::unique_lock<std::mutex> riverEditLock(SolverState& state, uint32_t node, const LockTarget& target) {
    if (state.nodes()[node].street != 3) return {};
    return std::unique_lock<std::mutex>(state.subgames().riverLock(riverSubgameOf(state, node, target.hands.record)));
}

// The records of both stores of the target.
std::vector<RecordHeader*> headersOf(const LockTarget& target) {
    std::vector<RecordHeader*> headers{&target.regrets->record(target.hands.record)};
    if (target.sums) headers.push_back(&target.sums->record(target.hands.record));
    return headers;
}

// The marker array stays with the record (the store frees it) and is reused by the next combo
// lock. Edits run while a background solve waits between iterations (SolverPause, taken by the
// handlers), so no pass reads a record while its flags, marks or regrets change.
void releaseMarks(RecordHeader& header) { header.flags &= ~uint32_t(RecordComboLocked); }

}  // namespace

void checkStrategyWeights(int actions, const std::vector<double>& weights) {
    const double largest = kLargestWeightSum / (double(kWeightScale) * std::max(actions, 1));
    for (double w : weights)
        if (!(w >= 0 && w <= largest)) throw std::out_of_range("strategy weight");
}

void setLockedStrategy(SolverState& state, uint32_t node, int turn, int river, int action,
                       const std::vector<double>& weights) {
    LockTarget target = lockTarget(state, node, turn, river);
    checkStrategyWeights(target.regrets->actions(), weights);
    const auto lock = riverEditLock(state, node, target);
    std::vector<float> values(size_t(target.regrets->stride(target.hands.record)), 0.0f);
    for (size_t h = 0; h < target.hands.slotOfHand.size(); ++h) {
        const int slot = target.hands.slotOfHand[h];
        if (slot >= 0) values[h] = float(weights[size_t(slot)]) * kWeightScale;
    }
    // Written in the store's own units: 16-bit regrets keep the weights' ratios as whole numbers,
    // where a conversion to regret units would round small weights to 0.
    target.regrets->writeAction(target.hands.record, action, values.data());
    if (target.sums && state.iteration() > state.tuning().averagingDelay) {
        std::fill(values.begin(), values.end(), 0.0f);
        target.sums->writeAction(target.hands.record, action, values.data());
    }
}

void setNodeLocked(SolverState& state, uint32_t node, int turn, int river, bool locked) {
    const LockTarget target = lockTarget(state, node, turn, river);
    const auto lock = riverEditLock(state, node, target);
    for (RecordHeader* header : headersOf(target)) {
        releaseMarks(*header);
        header->flags = locked ? header->flags | RecordLocked : header->flags & ~uint32_t(RecordLocked);
    }
}

void comboLockNode(SolverState& state, uint32_t node, int turn, int river, const std::vector<double>& values) {
    LockTarget target = lockTarget(state, node, turn, river);
    const auto lock = riverEditLock(state, node, target);
    const int record = target.hands.record;
    const int hands = target.regrets->hands(record);
    // The iteration's loops read the markers 8 wide up to the record's stride.
    const int stride = target.regrets->stride(record);
    for (RecordHeader* header : headersOf(target)) {
        // Markers first, flag last, so an iteration in progress never sees the flag without them.
        if (!header->lockMarks) header->lockMarks = new uint8_t[size_t(stride)]();
        for (int h = 0; h < hands; ++h) {
            const int slot = target.hands.slotOfHand[size_t(h)];
            header->lockMarks[h] = slot >= 0 && values[size_t(slot)] != 0 ? 1 : 0;
        }
        header->flags = (header->flags & ~uint32_t(RecordLocked)) | RecordComboLocked;
    }
}

std::vector<double> lockedCombos(SolverState& state, uint32_t node, int turn, int river) {
    LockTarget target = lockTarget(state, node, turn, river);
    const RecordHeader& header = target.regrets->record(target.hands.record);
    const int record = target.hands.record;
    std::vector<float> marks(size_t(target.regrets->stride(record)), 0.0f);
    for (int h = 0; h < target.regrets->hands(record); ++h) {
        if (header.flags & RecordLocked) marks[h] = 1.0f;
        else if ((header.flags & RecordComboLocked) && header.lockMarks) marks[h] = header.lockMarks[h];
    }
    std::vector<double> out(kComboCount, std::numeric_limits<double>::quiet_NaN());
    scatterToSlots(target.hands, marks.data(), out);
    return out;
}

}  // namespace qv
