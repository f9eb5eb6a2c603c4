#include "solver/traversal.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>

#include "cards/card.h"
#include "solver/scratch.h"
#include "solver/strategy_access.h"
#include "solver/terminal_kernels.h"
#include "solver/vector_ops.h"

namespace qv {

namespace {

// The values of a child that was not visited: zeros of any hand list's length. Shared by every
// traversal, so a pass allocates nothing for them.
alignas(kVectorAlign) const float kZeros[(kComboCount + kLanes - 1) / kLanes * kLanes + kLanes] = {};

}  // namespace

Traversal::Traversal(SolverState& state, const PassSettings& settings)
    : state_(state), settings_(settings), rootHands_{state.hands(0).view(), state.hands(1).view()} {}

bool Traversal::accumulatesAt(int street) const {
    return learnsAt(street) && settings_.weight > 0 && (street < 3 || settings_.riverAveraging);
}

Traversal::Frame Traversal::openFrame(const Segment& segment, const HandView* hands) {
    ScratchStack& scratch = threadScratch();
    const size_t n = segment.slots.size();
    Frame f;
    f.hands = hands;
    f.reach = scratch.take<const float*>(n);
    f.value = scratch.take<float*>(n);
    f.best = scratch.take<float*>(n);
    f.strategy = scratch.take<float*>(n);
    std::memset(static_cast<void*>(f.reach), 0, n * sizeof(void*));
    std::memset(static_cast<void*>(f.value), 0, n * sizeof(void*));
    std::memset(static_cast<void*>(f.best), 0, n * sizeof(void*));
    std::memset(static_cast<void*>(f.strategy), 0, n * sizeof(void*));
    return f;
}

void Traversal::prefetchDecision(const Segment& segment, int d, int record) {
    const int node = segment.slots[d].node;
    if (NodeStore* regrets = state_.regrets(node)) regrets->prefetchRecord(record);
    // Evaluation reads the sums at every slot; training adds to the opponent's while averaging.
    const bool learning = learnsAt(segment.street);
    const bool sums = !learning || (segment.slots[d].player != settings_.traverser && accumulatesAt(segment.street));
    if (NodeStore* store = state_.strategySums(node); store && sums) store->prefetchRecord(record);
}

std::span<const int> Traversal::within(const std::vector<int>& slots, SlotRange range) {
    const auto first = std::lower_bound(slots.begin(), slots.end(), range.first);
    return {first, std::lower_bound(first, slots.end(), range.end)};
}

void Traversal::descend(const Segment& segment, int record, Frame& frame, SlotRange range) {
    ScratchStack& scratch = threadScratch();
    const int p = settings_.traverser;
    const std::span<const int> decisions = within(segment.decisions, range);
    // Each slot asks for the next slot's records, which arrive while it is worked on.
    if (!decisions.empty()) prefetchDecision(segment, decisions[0], record);
    for (size_t k = 0; k < decisions.size(); ++k) {
        const int d = decisions[k];
        const float* reach = frame.reach[d];
        if (!reach) continue;
        if (k + 1 < decisions.size()) prefetchDecision(segment, decisions[k + 1], record);
        const SegmentSlot& slot = segment.slots[d];
        const int q = slot.player;
        const int actions = slot.actions;
        const int stride = frame.hands[q].stride;
        const bool own = q == p;
        // The opponent's child reaches outlive this visit and its strategy does not: the reaches are
        // taken first, the strategy above them goes with the visit (river segments solved side by
        // side keep all their vectors at once).
        float** childReach = nullptr;
        if (!own) {
            childReach = scratch.take<float*>(size_t(actions));
            for (int a = 0; a < actions; ++a) childReach[a] = scratch.take<float>(size_t(stride));
        }
        std::optional<ScratchScope> visit;
        if (!own) visit.emplace(scratch);
        float* sigma = scratch.take<float>(size_t(actions) * stride);
        NodeStore* regrets = state_.regrets(slot.node);
        NodeStore* sums = state_.strategySums(slot.node);
        const bool learning = learnsAt(segment.street);
        // The traverser's regrets stay open until ascend has added to them.
        if (regrets) regrets->openRecord(record);
        const bool averaging = sums && accumulatesAt(segment.street) && !own &&
                               !(regrets->record(record).flags & RecordLocked);
        if (sums && (averaging || !learning)) sums->openRecord(record);
        recordStrategy(state_, slot.node, record, !learning, sigma);
        if (regrets && !own) regrets->closeRecord(record);
        const uint32_t* kids = &segment.children[slot.firstChild];
        if (own) {
            frame.strategy[d] = sigma;
            for (int a = 0; a < actions; ++a) frame.reach[kids[a]] = reach;
            if (sums && !learning) sums->closeRecord(record);
            continue;
        }
        const float** grown = scratch.take<const float*>(size_t(actions));
        for (int a = 0; a < actions; ++a) {
            const bool live = multiplyInto(childReach[a], reach, sigma + size_t(a) * stride, stride);
            grown[a] = live ? childReach[a] : nullptr;
            frame.reach[kids[a]] = grown[a];
        }
        if (averaging)
            sums->accumulateStrategy(record, grown, settings_.weight, scratch.take<float>(size_t(actions) * stride));
        if (sums && (averaging || !learning)) sums->closeRecord(record);
    }
}

void Traversal::evaluateChances(const Segment& segment, int stateIndex, Frame& frame) {
    const Segment* segments[1] = {&segment};
    evaluateChances(segments, &frame, 1, stateIndex);
}

void Traversal::evaluateChances(const Segment* const* segments, Frame* frames, int count, int stateIndex) {
    ScratchStack& scratch = threadScratch();
    const int n = traverserStride();
    const BoardStates& boards = state_.boards();
    const int level = segments[0]->level;
    const int limit = std::max(1, std::min(settings_.batchLimit, kMaxBatch));
    // All-in slots below the river and next-street slots into the river go in batches, across the
    // segments being solved together.
    const bool allInsTogether = level < boards.riverLevel();
    const bool segmentsTogether = boards.compactAt(level + 1);
    SlotBatch batches[2];  // all-in slots, next-street slots
    for (int k = 0; k < count; ++k) {
        const Segment& segment = *segments[k];
        Frame& frame = frames[k];
        for (int c : segment.chances) {
            if (!frame.reach[c]) continue;
            frame.value[c] = scratch.take<float>(size_t(n));
            frame.best[c] = settings_.training ? nullptr : scratch.take<float>(size_t(n));
            const SegmentSlot& slot = segment.slots[c];
            const bool allIn = slot.kind == SlotKind::AllIn;
            if (!(allIn ? allInsTogether : slot.kind == SlotKind::NextStreet && segmentsTogether)) {
                chanceValue(slot, level, stateIndex, frame.reach[c], frame.value[c], frame.best[c]);
                continue;
            }
            SlotBatch& batch = batches[allIn ? 0 : 1];
            batch.add(slot, frame.reach[c], frame.value[c], frame.best[c]);
            if (batch.width == (allIn ? limit : segmentLanes())) {
                dealSlots(batch, level, stateIndex);
                batch.width = 0;
            }
        }
    }
    for (const SlotBatch& batch : batches)
        if (batch.width) dealSlots(batch, level, stateIndex);
}

void Traversal::evaluateTerminals(const Segment& segment, int stateIndex, Frame& frame, SlotRange range) {
    const Segment* segments[1] = {&segment};
    evaluateTerminals(segments, &frame, 1, stateIndex, range);
}

void Traversal::evaluateTerminals(const Segment* const* segments, Frame* frames, int count, int stateIndex,
                                  SlotRange range) {
    // The slot lists live on the scratch stack: this runs once per segment solve, thousands of
    // times a pass, and two heap vectors each time showed in the allocator's profile.
    ScratchStack& scratch = threadScratch();
    size_t n = 0;
    for (int k = 0; k < count; ++k) n += segments[k]->terminals.size();
    TerminalRef* showdowns = scratch.take<TerminalRef>(n);
    TerminalRef* folds = scratch.take<TerminalRef>(n);
    size_t showdownCount = 0, foldCount = 0;
    for (int k = 0; k < count; ++k) {
        for (int t : within(segments[k]->terminals, range)) {
            if (!frames[k].reach[t]) continue;
            const SegmentSlot& slot = segments[k]->slots[t];
            (slot.kind == SlotKind::Fold ? folds[foldCount++] : showdowns[showdownCount++]) = {&frames[k], &slot, t};
        }
    }
    const int level = segments[0]->level;
    if (showdownCount) runBatch(KernelKind::Showdown, level, stateIndex, frames[0].hands, showdowns, showdownCount);
    if (foldCount) runBatch(KernelKind::Fold, level, stateIndex, frames[0].hands, folds, foldCount);
}

void Traversal::runBatch(KernelKind kind, int level, int stateIndex, const HandView* hands, const TerminalRef* terminals,
                         size_t count) {
    ScratchStack& scratch = threadScratch();
    const int p = settings_.traverser;
    const HandView& mine = hands[p];
    const HandView& theirs = hands[1 - p];
    const DealtBoard& board = state_.boards().state(level, stateIndex);
    const int limit = std::max(1, std::min(settings_.batchLimit, kMaxBatch));
    if (settings_.perfCounters) recordBatchSize(kind, int(count));
    // Calls of even width: eleven terminals run as six and five in eight lanes each, rather than
    // eight and three, whose call would cost about as much per hand for fewer lanes.
    const size_t calls = (count + size_t(limit) - 1) / size_t(limit);
    for (size_t call = 0, first = 0; call < calls; ++call) {
        TerminalBatch batch;
        batch.width = int(count / calls + (call < count % calls ? 1 : 0));
        bool raked = false;
        for (int j = 0; j < batch.width; ++j) {
            const TerminalRef& terminal = terminals[first + j];
            const SegmentSlot& slot = *terminal.slot;
            // A vector given beforehand is kept: the top of a segment shared by threads reads it.
            float*& value = terminal.frame->value[terminal.index];
            if (!value) value = scratch.take<float>(size_t(mine.stride));
            terminal.frame->best[terminal.index] = settings_.training ? nullptr : value;
            batch.reach[j] = terminal.frame->reach[terminal.index];
            batch.values[j] = value;
            batch.stake[j] = kind == KernelKind::Fold && slot.player != p ? -slot.stake : slot.stake;
            batch.rake[j] = kind == KernelKind::Fold ? 0.0f : slot.rake;
            raked |= batch.rake[j] > 0;
        }
        uint64_t start = settings_.perfCounters ? readCycleCounter() : 0;
        if (kind == KernelKind::Showdown && batch.width == 1 && !raked && settings_.twoWalkShowdowns)
            evaluateShowdownTwoWalks(state_.boards().showdown(board), p, mine, theirs, batch.reach[0], batch.stake[0],
                                     batch.values[0]);
        else if (kind == KernelKind::Showdown)
            evaluateShowdowns(state_.boards().showdown(board), p, mine, theirs, batch, raked);
        else
            evaluateFolds(mine, theirs, board.cards, batch);
        if (settings_.perfCounters)
            recordKernelCall(kind, batch.width, readCycleCounter() - start, uint64_t(batch.width) * mine.count);
        first += size_t(batch.width);
    }
}

void Traversal::ascend(const Segment& segment, int record, Frame& frame, SlotRange range) {
    ScratchStack& scratch = threadScratch();
    const int p = settings_.traverser;
    const int n = frame.hands[p].stride;
    const std::span<const int> decisions = within(segment.decisions, range);
    for (auto it = decisions.rbegin(); it != decisions.rend(); ++it) {
        const int d = *it;
        if (!frame.reach[d]) continue;
        const SegmentSlot& slot = segment.slots[d];
        const int actions = slot.actions;
        const uint32_t* kids = &segment.children[slot.firstChild];
        const float** values = scratch.take<const float*>(size_t(actions));
        for (int a = 0; a < actions; ++a) values[a] = frame.value[kids[a]];
        float* out = frame.value[d] ? frame.value[d] : scratch.take<float>(size_t(n));
        frame.value[d] = out;
        float* best = nullptr;
        if (!settings_.training) {
            best = frame.best[d] ? frame.best[d] : scratch.take<float>(size_t(n));
            frame.best[d] = best;
        }
        if (slot.player == p) {
            weightedSum(out, frame.strategy[d], actions, size_t(n), values, n);
            if (best) {
                std::memcpy(best, frame.best[kids[0]] ? frame.best[kids[0]] : kZeros, sizeof(float) * size_t(n));
                for (int a = 1; a < actions; ++a) maxInto(best, frame.best[kids[a]] ? frame.best[kids[a]] : kZeros, n);
            }
            NodeStore* regrets = state_.regrets(slot.node);
            if (learnsAt(segment.street) && regrets && !(regrets->record(record).flags & RecordLocked)) {
                for (int a = 0; a < actions; ++a)
                    if (!values[a]) values[a] = kZeros;
                regrets->addRegrets(record, values, out, settings_.update);
            }
            if (regrets) regrets->closeRecord(record);
        } else {
            std::memset(out, 0, sizeof(float) * size_t(n));
            if (best) std::memset(best, 0, sizeof(float) * size_t(n));
            for (int a = 0; a < actions; ++a) {
                if (values[a]) addInto(out, values[a], n);
                if (best && frame.best[kids[a]]) addInto(best, frame.best[kids[a]], n);
            }
        }
    }
}

float* Traversal::maskedReach(const float* reach, int card) {
    const int stride = opponentStride();
    float* masked = threadScratch().take<float>(size_t(stride));
    std::memcpy(masked, reach, sizeof(float) * size_t(stride));
    for (uint16_t h : state_.boards().handsWithCard(1 - settings_.traverser, card)) masked[h] = 0.0f;
    return masked;
}

void Traversal::chanceValue(const SegmentSlot& slot, int level, int stateIndex, const float* reach, float* value,
                            float* best) {
    ScratchStack& scratch = threadScratch();
    ScratchScope scope(scratch);
    const BoardStates& boards = state_.boards();
    const DealtBoard& s = boards.state(level, stateIndex);
    const size_t n = size_t(traverserStride());
    float** values = scratch.take<float*>(size_t(s.representativeCount));
    float** bests = scratch.take<float*>(size_t(s.representativeCount));
    for (int i = 0; i < s.representativeCount; ++i) {
        const int child = boards.representative(s, i);
        // The values are kept to the end, the masked reach only through the child's visit.
        values[i] = scratch.take<float>(n);
        bests[i] = best ? scratch.take<float>(n) : nullptr;
        ScratchScope childScope(scratch);
        const float* masked = maskedReach(reach, boards.state(level + 1, child).dealt);
        if (!anyPositive(masked, opponentStride())) {
            values[i] = bests[i] = nullptr;
            continue;
        }
        evaluateChild(slot, level + 1, child, masked, values[i], bests[i]);
    }
    combineDeals(level, stateIndex, values, bests, value, best);
}

void Traversal::evaluateSlots(const SlotBatch& batch, int level, int stateIndex) {
    const BoardStates& boards = state_.boards();
    const bool nextStreet = batch.slots[0]->kind == SlotKind::NextStreet;
    if (!settings_.twoWalkShowdowns && boards.compactAt(level)) {
        if (nextStreet)
            riverSegments(batch, stateIndex);
        else
            riverAllIns(batch, stateIndex);
        return;
    }
    if (!settings_.twoWalkShowdowns && !nextStreet && level < boards.riverLevel()) {
        dealSlots(batch, level, stateIndex);
        return;
    }
    if (!settings_.twoWalkShowdowns && nextStreet) {
        segmentsBeforeRiver(batch, stateIndex);
        return;
    }
    for (int j = 0; j < batch.width; ++j)
        evaluateChild(*batch.slots[j], level, stateIndex, batch.reach[j], batch.value[j], batch.best[j]);
}

void Traversal::segmentsBeforeRiver(const SlotBatch& batch, int stateIndex) {
    ScratchScope scope(threadScratch());
    const Segment* segments[kMaxBatch];
    Frame frames[kMaxBatch];
    for (int j = 0; j < batch.width; ++j) {
        segments[j] = &state_.segments()[batch.slots[j]->childSegment];
        Frame& frame = frames[j];
        frame = openFrame(*segments[j], rootHands_);
        frame.reach[0] = batch.reach[j];
        frame.value[0] = batch.value[j];
        frame.best[0] = batch.best[j];
        descend(*segments[j], stateIndex, frame);
    }
    evaluateChances(segments, frames, batch.width, stateIndex);
    evaluateTerminals(segments, frames, batch.width, stateIndex);
    for (int j = 0; j < batch.width; ++j) ascend(*segments[j], stateIndex, frames[j]);
}

void Traversal::dealSlots(const SlotBatch& batch, int level, int stateIndex) {
    ScratchStack& scratch = threadScratch();
    ScratchScope scope(scratch);
    const BoardStates& boards = state_.boards();
    const DealtBoard& s = boards.state(level, stateIndex);
    const size_t n = size_t(traverserStride());
    const int reps = s.representativeCount;
    // Lane j's values of representative i at [j * reps + i], the layout combineDeals reads.
    float** values = scratch.take<float*>(size_t(batch.width) * reps);
    float** bests = scratch.take<float*>(size_t(batch.width) * reps);
    for (int i = 0; i < reps; ++i) {
        const int child = boards.representative(s, i);
        const int card = boards.state(level + 1, child).dealt;
        // The values are kept to the end, the masked reaches only through the card's visit.
        for (int j = 0; j < batch.width; ++j) {
            values[size_t(j) * reps + i] = scratch.take<float>(n);
            bests[size_t(j) * reps + i] = batch.best[j] ? scratch.take<float>(n) : nullptr;
        }
        ScratchScope cardScope(scratch);
        SlotBatch live;
        for (int j = 0; j < batch.width; ++j) {
            float*& v = values[size_t(j) * reps + i];
            float*& b = bests[size_t(j) * reps + i];
            const float* masked = maskedReach(batch.reach[j], card);
            if (!anyPositive(masked, opponentStride())) {
                v = b = nullptr;
                continue;
            }
            live.add(*batch.slots[j], masked, v, b);
        }
        if (live.width) evaluateSlots(live, level + 1, child);
    }
    for (int j = 0; j < batch.width; ++j)
        combineDeals(level, stateIndex, values + size_t(j) * reps, bests + size_t(j) * reps, batch.value[j],
                     batch.best[j]);
}

void Traversal::riverAllIns(const SlotBatch& batch, int stateIndex) {
    ScratchStack& scratch = threadScratch();
    ScratchScope scope(scratch);
    const BoardStates& boards = state_.boards();
    const int p = settings_.traverser;
    const HandView mine = boards.riverHands(stateIndex, p);
    const HandView theirs = boards.riverHands(stateIndex, 1 - p);
    const size_t rootBytes = sizeof(float) * size_t(traverserStride());
    TerminalBatch kernel;
    int lane[kMaxBatch];
    bool raked = false;
    for (int j = 0; j < batch.width; ++j) {
        std::memset(batch.value[j], 0, rootBytes);
        if (batch.best[j]) std::memset(batch.best[j], 0, rootBytes);
        const float* riverReach = riverReachOf(batch.reach[j], stateIndex);
        if (!anyPositive(riverReach, theirs.stride)) continue;
        const int k = kernel.width++;
        lane[k] = j;
        kernel.reach[k] = riverReach;
        kernel.values[k] = scratch.take<float>(size_t(mine.stride));
        kernel.stake[k] = batch.slots[j]->stake;
        kernel.rake[k] = batch.slots[j]->rake;
        raked |= kernel.rake[k] > 0;
    }
    if (!kernel.width) return;
    const ShowdownTable& table = boards.showdown(boards.state(boards.riverLevel(), stateIndex));
    evaluateShowdowns(table, p, mine, theirs, kernel, raked);
    for (int k = 0; k < kernel.width; ++k) {
        scatterRiverValues(kernel.values[k], stateIndex, batch.value[lane[k]]);
        if (batch.best[lane[k]]) scatterRiverValues(kernel.values[k], stateIndex, batch.best[lane[k]]);
    }
}

void Traversal::riverSegments(const SlotBatch& batch, int stateIndex) {
    ScratchStack& scratch = threadScratch();
    ScratchScope scope(scratch);
    const BoardStates& boards = state_.boards();
    const int p = settings_.traverser;
    const HandView hands[2] = {boards.riverHands(stateIndex, 0), boards.riverHands(stateIndex, 1)};
    const size_t rootBytes = sizeof(float) * size_t(traverserStride());
    int lanes[kMaxBatch];
    const Segment* segments[kMaxBatch];
    Frame frames[kMaxBatch];
    int count = 0;
    for (int j = 0; j < batch.width; ++j) {
        std::memset(batch.value[j], 0, rootBytes);
        if (batch.best[j]) std::memset(batch.best[j], 0, rootBytes);
        const float* riverReach = riverReachOf(batch.reach[j], stateIndex);
        if (!anyPositive(riverReach, hands[1 - p].stride)) continue;
        const Segment& segment = state_.segments()[batch.slots[j]->childSegment];
        Frame& frame = frames[count];
        frame = openFrame(segment, hands);
        frame.reach[0] = riverReach;
        frame.value[0] = scratch.take<float>(size_t(hands[p].stride));
        frame.best[0] = batch.best[j] ? scratch.take<float>(size_t(hands[p].stride)) : nullptr;
        segments[count] = &segment;
        lanes[count++] = j;
    }
    if (count == 0) return;
    // The segments' locks (a lock may guard more than one subgame), each once and in address
    // order: no thread then waits for a lock while it holds one that another waits for.
    std::mutex* mutexes[kMaxBatch];
    for (int k = 0; k < count; ++k)
        mutexes[k] = &state_.subgames().riverLock({batch.slots[lanes[k]]->childSegment, stateIndex});
    std::sort(mutexes, mutexes + count);
    const int distinct = int(std::unique(mutexes, mutexes + count) - mutexes);
    std::unique_lock<std::mutex> locks[kMaxBatch];
    for (int k = 0; k < distinct; ++k) locks[k] = std::unique_lock<std::mutex>(*mutexes[k]);
    for (int k = 0; k < count; ++k) descend(*segments[k], stateIndex, frames[k]);
    evaluateTerminals(segments, frames, count, stateIndex);
    for (int k = 0; k < count; ++k) {
        ascend(*segments[k], stateIndex, frames[k]);
        scatterRiverValues(frames[k].value[0], stateIndex, batch.value[lanes[k]]);
        if (frames[k].best[0]) scatterRiverValues(frames[k].best[0], stateIndex, batch.best[lanes[k]]);
    }
}

const float* Traversal::riverReachOf(const float* reach, int stateIndex) {
    const HandView theirs = state_.boards().riverHands(stateIndex, 1 - settings_.traverser);
    float* riverReach = threadScratch().take<float>(size_t(theirs.stride));
    gatherInto(riverReach, reach, state_.boards().riverListIndex(stateIndex, 1 - settings_.traverser), theirs.count);
    std::fill(riverReach + theirs.count, riverReach + theirs.stride, 0.0f);
    return riverReach;
}

void Traversal::scatterRiverValues(const float* riverValue, int stateIndex, float* value) {
    const int p = settings_.traverser;
    const int count = state_.boards().riverHands(stateIndex, p).count;
    const uint16_t* myIndex = state_.boards().riverListIndex(stateIndex, p);
    for (int i = 0; i < count; ++i) value[myIndex[i]] = riverValue[i];
}

void Traversal::evaluateChild(const SegmentSlot& slot, int level, int stateIndex, const float* reach, float* value,
                              float* best) {
    const BoardStates& boards = state_.boards();
    if (boards.compactAt(level)) {
        evaluateRiverChild(slot, stateIndex, reach, value, best);
        return;
    }
    if (slot.kind == SlotKind::NextStreet) {
        SlotBatch one;
        one.add(slot, reach, value, best);
        segmentsBeforeRiver(one, stateIndex);
        return;
    }
    if (level < boards.riverLevel()) {
        chanceValue(slot, level, stateIndex, reach, value, best);
        return;
    }
    allInShowdown(slot, stateIndex, rootHands_, reach, value, best);
}

void Traversal::allInShowdown(const SegmentSlot& slot, int stateIndex, const HandView* hands, const float* reach,
                              float* value, float* best) {
    const BoardStates& boards = state_.boards();
    const ShowdownTable& table = boards.showdown(boards.state(boards.riverLevel(), stateIndex));
    const int p = settings_.traverser;
    if (slot.rake == 0 && settings_.twoWalkShowdowns) {
        evaluateShowdownTwoWalks(table, p, hands[p], hands[1 - p], reach, slot.stake, value);
    } else {
        TerminalBatch batch;
        batch.width = 1;
        batch.reach[0] = reach;
        batch.values[0] = value;
        batch.stake[0] = slot.stake;
        batch.rake[0] = slot.rake;
        evaluateShowdowns(table, p, hands[p], hands[1 - p], batch, slot.rake > 0);
    }
    if (best) std::memcpy(best, value, sizeof(float) * size_t(hands[p].stride));
}

void Traversal::evaluateRiverChild(const SegmentSlot& slot, int stateIndex, const float* reach, float* value,
                                   float* best) {
    if (slot.kind == SlotKind::NextStreet) {
        SlotBatch one;
        one.add(slot, reach, value, best);
        riverSegments(one, stateIndex);
        return;
    }
    ScratchStack& scratch = threadScratch();
    ScratchScope scope(scratch);
    const BoardStates& boards = state_.boards();
    const int p = settings_.traverser;
    const HandView hands[2] = {boards.riverHands(stateIndex, 0), boards.riverHands(stateIndex, 1)};
    const HandView& mine = hands[p];
    const HandView& theirs = hands[1 - p];
    const size_t rootStride = size_t(traverserStride());
    std::memset(value, 0, sizeof(float) * rootStride);
    if (best) std::memset(best, 0, sizeof(float) * rootStride);

    const float* riverReach = riverReachOf(reach, stateIndex);
    if (!anyPositive(riverReach, theirs.stride)) return;

    float* riverValue = scratch.take<float>(size_t(mine.stride));
    float* riverBest = best ? scratch.take<float>(size_t(mine.stride)) : nullptr;
    allInShowdown(slot, stateIndex, hands, riverReach, riverValue, riverBest);
    scatterRiverValues(riverValue, stateIndex, value);
    if (best) scatterRiverValues(riverBest, stateIndex, best);
}

void Traversal::combineDeals(int level, int stateIndex, float* const* representativeValues,
                             float* const* representativeBest, float* value, float* best) {
    const BoardStates& boards = state_.boards();
    const DealtBoard& s = boards.state(level, stateIndex);
    const size_t n = size_t(traverserStride());
    std::memset(value, 0, sizeof(float) * n);
    if (best) std::memset(best, 0, sizeof(float) * n);
    for (int i = 0; i < s.dealCount; ++i) {
        const DealtCard& deal = boards.deal(s, i);
        const float* v = representativeValues[deal.representative];
        if (v) addDeal(deal, v, best ? representativeBest[deal.representative] : nullptr, value, best);
    }
}

void Traversal::addDeal(const DealtCard& deal, const float* representativeValue, const float* representativeBest,
                        float* value, float* best) {
    if (deal.gather < 0) {
        const int n = traverserStride();
        addScaledInto(value, representativeValue, deal.weight, n);
        if (representativeBest) addScaledInto(best, representativeBest, deal.weight, n);
        return;
    }
    const uint16_t* perm = state_.boards().permutation(settings_.traverser, deal.gather);
    const int count = rootHands_[settings_.traverser].count;
    gatherAddScaled(value, representativeValue, perm, deal.weight, count);
    if (representativeBest) gatherAddScaled(best, representativeBest, perm, deal.weight, count);
}

}  // namespace qv
