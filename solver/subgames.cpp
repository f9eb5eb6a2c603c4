#include "solver/subgames.h"

#include <omp.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/numa.h"
#include "solver/packed_rows.h"
#include "solver/scratch.h"
#include "solver/subgame_host.h"
#include "solver/vector_ops.h"

namespace qv {

namespace {

void runJob(Traversal& traversal, const Segment& segment, SubgameJob& job) {
    ScratchScope scope(threadScratch());
    // A job visits the records below its card row by row: each packed row is decoded once and
    // stored once.
    HoldRowsScope rows;
    const SubgameTicket& ticket = job.ticket;
    const size_t bytes = sizeof(float) * size_t(traversal.traverserStride());
    Traversal::SlotBatch batches[2];  // all-in lanes, next-street lanes
    for (int j = 0; j < ticket.width; ++j) {
        const SegmentSlot& slot = segment.slots[size_t(ticket.slots[j])];
        float* masked = traversal.maskedReach(job.reach[j], ticket.card);
        if (!anyPositive(masked, traversal.opponentStride())) {
            std::memset(job.value[j], 0, bytes);
            if (job.best[j]) std::memset(job.best[j], 0, bytes);
            continue;
        }
        batches[slot.kind == SlotKind::AllIn ? 0 : 1].add(slot, masked, job.value[j], job.best[j]);
    }
    for (const Traversal::SlotBatch& batch : batches)
        if (batch.width) traversal.evaluateSlots(batch, ticket.level, ticket.state);
}

}  // namespace

namespace {

// River jobs last some microseconds, about as long as a thread takes to claim one from the team's
// shared counter and to bring over the cache lines that the other thread wrote last (the job
// records and outputs of its neighbours, the subgame locks): a chunk of river jobs is claimed as
// one run (a run starts at each group's first job and never spans two groups, so runs and chunks
// coincide). Runs of four, half a chunk, left a chunk's last job adding up the other thread's
// outputs half the time (turn game, 2 threads: 2.5% slower). Longer jobs go one by one, which
// keeps the threads' finishing times close. Cuts the jobs, in run order, into runs; run r is
// [runs[r], runs[r + 1]). Gives the run count.
template <typename JobAt>
size_t cutIntoRuns(size_t jobs, const JobAt& jobAt, int riverLevel, uint32_t* runs) {
    size_t count = 0;
    for (uint32_t i = 0; i < jobs; ++i) {
        const SubgameTicket& t = jobAt(i).ticket;
        const bool joins = count > 0 && t.level == riverLevel && i - runs[count - 1] < kChunkCards &&
                           jobAt(runs[count - 1]).ticket.slots[0] == t.slots[0];
        if (!joins) runs[count++] = i;
    }
    runs[count] = uint32_t(jobs);
    return count;
}

bool splitsByNumaNode(int numaMode) { return (numaMode == 1 && numaNodeCount() >= 2) || numaMode == 2; }

}  // namespace

bool hostTakes(int segment, int stateIndex) { return subgameHost() && segment == 0 && stateIndex == 0; }

bool runsJobsInOrder(const PassJobs& pass, int numaMode) {
    return !hostTakes(pass.segment, pass.stateIndex) && !splitsByNumaNode(numaMode);
}

void TraverseSubgames(Traversal& traversal, const PassJobs& pass, int threads, int numaMode) {
    if (pass.jobs.empty()) return;
    if (hostTakes(pass.segment, pass.stateIndex)) {
        subgameHost()->traverse(traversal, pass);
        return;
    }
    traverseSubgamesLocally(traversal, pass, threads, numaMode);
}

void traverseSubgamesLocally(Traversal& traversal, const PassJobs& pass, int threads, int numaMode) {
    if (pass.jobs.empty()) return;
    if (splitsByNumaNode(numaMode)) {
        TraverseSubgamesNUMA(traversal, pass, threads, numaMode == 2);
        return;
    }
    const int player = traversal.settings().traverser;
    const Segment& segment = traversal.state().segments()[size_t(pass.segment)];
    // Largest first keeps every thread busy to the end; ties keep their collection order. A pass
    // collects its jobs in that order already; a list from elsewhere (a master's share) is put in it here.
    const auto larger = [player](const SubgameJob& a, const SubgameJob& b) {
        return a.ticket.work[player] > b.ticket.work[player];
    };
    std::vector<SubgameJob*> order;
    if (!std::is_sorted(pass.jobs.begin(), pass.jobs.end(), larger)) {
        for (SubgameJob& job : pass.jobs) order.push_back(&job);
        std::stable_sort(order.begin(), order.end(),
                         [&](const SubgameJob* a, const SubgameJob* b) { return larger(*a, *b); });
    }
    const auto jobAt = [&](size_t i) -> SubgameJob& { return order.empty() ? pass.jobs[i] : *order[i]; };
    ScratchStack& scratch = threadScratch();
    ScratchScope scope(scratch);
    uint32_t* runs = scratch.take<uint32_t>(pass.jobs.size() + 1);
    const long count = long(cutIntoRuns(pass.jobs.size(), jobAt, traversal.state().boards().riverLevel(), runs));
    JobHooks* hooks = pass.hooks;
#pragma omp parallel for schedule(dynamic, 1) num_threads(threads)
    for (long r = 0; r < count; ++r)
        for (uint32_t i = runs[r]; i < runs[r + 1]; ++i) {
            SubgameJob& job = jobAt(i);
            if (hooks) hooks->begin(job);
            runJob(traversal, segment, job);
            if (hooks) hooks->end(job);
        }
}

void TraverseSubgamesNUMA(Traversal& traversal, const PassJobs& pass, int threads, bool fake) {
    // Jobs of even and odd cards go to the two groups, so each group keeps the records of its cards.
    std::vector<SubgameJob*> lists[2];
    for (SubgameJob& job : pass.jobs) lists[job.ticket.card % 2].push_back(&job);
    const Segment& segment = traversal.state().segments()[size_t(pass.segment)];
    std::atomic<size_t> next[2] = {0, 0};
#pragma omp parallel num_threads(threads)
    {
        int group = (fake ? omp_get_thread_num() / 2 : currentNumaNode()) % 2;
        // A thread drains its own group's list, then helps with the other one.
        for (int round = 0; round < 2; ++round) {
            int g = (group + round) % 2;
            for (size_t i = next[g]++; i < lists[g].size(); i = next[g]++) runJob(traversal, segment, *lists[g][i]);
        }
    }
}

}  // namespace qv
