#include "solver/pass.h"

#include <algorithm>
#include <mutex>
#include <optional>

#include "solver/scratch.h"
#include "solver/settings.h"
#include "solver/subgames.h"
#include "solver/iteration.h"

namespace qv {

namespace {

// Chance slots that run as one job per dealt card: a next-street slot alone, or neighbouring
// all-in slots up to the batch limit.
struct JobGroup {
    int width = 0;
    int slots[kMaxBatch] = {};
    double work = 0;  // estimated cost of one of its jobs, hands not counted
};

// The groups of the reached chance slots, largest job first (ties in slot order): the jobs are
// collected in the order the thread team runs them, so no pass sorts its job list.
size_t collectJobGroups(const SolverState& state, const Segment& segment, const Traversal::Frame& frame, int limit,
                        JobGroup* groups) {
    size_t count = 0;
    for (int c : segment.chances) {
        if (!frame.reach[c]) continue;
        const bool allIn = segment.slots[c].kind == SlotKind::AllIn;
        if (!allIn || count == 0 || segment.slots[groups[count - 1].slots[0]].kind != SlotKind::AllIn ||
            groups[count - 1].width == limit)
            groups[count++] = JobGroup{};
        JobGroup& group = groups[count - 1];
        group.slots[group.width++] = c;
    }
    for (size_t g = 0; g < count; ++g) {
        const SegmentSlot& first = segment.slots[groups[g].slots[0]];
        groups[g].work = first.kind == SlotKind::NextStreet ? state.segments()[first.childSegment].work
                                                            : 45.0 * double(groups[g].width);
    }
    std::sort(groups, groups + count, [](const JobGroup& a, const JobGroup& b) {
        return a.work > b.work || (a.work == b.work && a.slots[0] < b.slots[0]);
    });
    return count;
}

}  // namespace

PassSettings passSettings(const SolverState& state, const SolverSettings& settings, int player, bool training) {
    const int t = state.iteration();
    PassSettings s;
    s.traverser = player;
    s.training = training;
    s.weight = float(averagingWeight(state.tuning(), t));
    s.riverAveraging = averagingFlag(state.components().strategy, t, state.tuning().averagingDelay);
    s.update.iteration = t;
    s.update.adaptivePrecision = settings.adaptivePrecision;
    s.update.precision = settings.precision;
    s.update.warmup = state.tuning().warmup;
    s.batchLimit = std::clamp(settings.simdLevel, 1, kMaxBatch);
    s.perfCounters = settings.perfCounters;
    s.twoWalkShowdowns = (settings.evalFlags & 1) != 0;
    s.threads = std::max(1, settings.threadCount);
    s.numa = settings.numa;
    return s;
}

void handsAt(const SolverState& state, int level, int stateIndex, HandView hands[2]) {
    for (int p = 0; p < 2; ++p)
        hands[p] = state.boards().compactAt(level) ? state.boards().riverHands(stateIndex, p) : state.hands(p).view();
}

void runPass(SolverState& state, const PassSettings& settings, const PassStart& start, float* value, float* best) {
    const int p = settings.traverser;
    const Segment& segment = state.segments()[start.segment];
    std::optional<std::lock_guard<std::mutex>> riverLock;
    if (segment.street == 3) riverLock.emplace(state.subgames().riverLock({start.segment, start.stateIndex}));
    Traversal traversal(state, settings);
    ScratchStack& scratch = threadScratch();
    ScratchScope scope(scratch);
    const size_t stride = size_t(start.hands[p].stride);
    Traversal::Frame frame = traversal.openFrame(segment, start.hands);
    frame.reach[0] = start.reach;
    frame.value[0] = value;
    frame.best[0] = settings.training ? nullptr : best;
    traversal.descend(segment, start.stateIndex, frame);

    const BoardStates& boards = state.boards();
    const int level = segment.level;
    const DealtBoard& top = boards.state(level, start.stateIndex);
    // Kept across passes: a turn tree records thousands of jobs, and a fresh vector would map and
    // fault in new pages on every pass. One per thread, as a pass never starts another on its own
    // thread.
    static thread_local std::vector<SubgameJob> jobs;
    jobs.clear();
    JobGroup* groups = scratch.take<JobGroup>(segment.chances.size());
    const size_t groupCount = collectJobGroups(state, segment, frame, settings.batchLimit, groups);
    int* firstJob = scratch.take<int>(segment.slots.size());
    int* laneOf = scratch.take<int>(segment.slots.size());
    std::fill(firstJob, firstJob + segment.slots.size(), -1);
    for (size_t g = 0; g < groupCount; ++g) {
        const JobGroup& group = groups[g];
        for (int j = 0; j < group.width; ++j) {
            firstJob[group.slots[j]] = int(jobs.size());
            laneOf[group.slots[j]] = j;
        }
        for (int i = 0; i < top.representativeCount; ++i) {
            SubgameJob job;
            SubgameTicket& ticket = job.ticket;
            ticket.width = group.width;
            ticket.level = level + 1;
            ticket.state = boards.representative(top, i);
            ticket.card = boards.state(level + 1, ticket.state).dealt;
            for (int j = 0; j < ticket.width; ++j) {
                ticket.slots[j] = group.slots[j];
                job.reach[j] = frame.reach[group.slots[j]];
                job.value[j] = scratch.take<float>(stride);
                job.best[j] = settings.training ? nullptr : scratch.take<float>(stride);
            }
            for (int q = 0; q < 2; ++q)
                ticket.work[q] = group.work * (state.hands(q).count + state.hands(1 - q).count);
            jobs.push_back(job);
        }
    }

    TraverseSubgames(traversal, PassJobs{start.segment, start.stateIndex, jobs}, settings.threads, settings.numa);

    float** values = scratch.take<float*>(size_t(top.representativeCount));
    float** bests = scratch.take<float*>(size_t(top.representativeCount));
    for (int c : segment.chances) {
        if (firstJob[c] < 0) continue;
        for (int i = 0; i < top.representativeCount; ++i) {
            values[i] = jobs[firstJob[c] + i].value[laneOf[c]];
            bests[i] = jobs[firstJob[c] + i].best[laneOf[c]];
        }
        frame.value[c] = scratch.take<float>(stride);
        frame.best[c] = settings.training ? nullptr : scratch.take<float>(stride);
        traversal.combineDeals(level, start.stateIndex, values, bests, frame.value[c], frame.best[c]);
    }
    traversal.evaluateTerminals(segment, start.stateIndex, frame);
    traversal.ascend(segment, start.stateIndex, frame);
}

}  // namespace qv
