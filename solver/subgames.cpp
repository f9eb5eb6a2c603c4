#include "solver/subgames.h"

#include <omp.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "solver/packed_rows.h"
#include "solver/scratch.h"
#include "platform/numa.h"
#include "solver/vector_ops.h"

namespace qv {

namespace {

void runJob(Traversal& traversal, SubgameJob& job) {
    ScratchScope scope(threadScratch());
    // A job visits the records below its card row by row: each packed row is decoded once and
    // stored once.
    HoldRowsScope rows;
    const size_t bytes = sizeof(float) * size_t(traversal.traverserStride());
    Traversal::AllInBatch allIns;
    for (int j = 0; j < job.width; ++j) {
        float* masked = traversal.maskedReach(job.reach[j], job.card);
        if (!anyPositive(masked, traversal.opponentStride())) {
            std::memset(job.value[j], 0, bytes);
            if (job.best[j]) std::memset(job.best[j], 0, bytes);
            continue;
        }
        if (job.slot[j]->kind != SlotKind::AllIn) {
            traversal.evaluateChild(*job.slot[j], 1, job.state, masked, job.value[j], job.best[j]);
            continue;
        }
        const int k = allIns.width++;
        allIns.slots[k] = job.slot[j];
        allIns.reach[k] = masked;
        allIns.value[k] = job.value[j];
        allIns.best[k] = job.best[j];
    }
    if (allIns.width) traversal.evaluateAllIns(allIns, 1, job.state);
}

}  // namespace

void TraverseSubgames(Traversal& traversal, std::vector<SubgameJob>& jobs, int threads, int numaMode) {
    if (jobs.empty()) return;
    if ((numaMode == 1 && numaNodeCount() >= 2) || numaMode == 2) {
        TraverseSubgamesNUMA(traversal, jobs, threads, numaMode == 2);
        return;
    }
    const int player = traversal.settings().traverser;
    std::vector<SubgameJob*> order(jobs.size());
    for (size_t i = 0; i < jobs.size(); ++i) order[i] = &jobs[i];
    // Largest first keeps every thread busy to the end; ties keep their collection order.
    std::stable_sort(order.begin(), order.end(),
                     [player](const SubgameJob* a, const SubgameJob* b) { return a->work[player] > b->work[player]; });
    const long count = long(order.size());
#pragma omp parallel for schedule(dynamic, 1) num_threads(threads)
    for (long i = 0; i < count; ++i) runJob(traversal, *order[i]);
}

void TraverseSubgamesNUMA(Traversal& traversal, std::vector<SubgameJob>& jobs, int threads, bool fake) {
    // Jobs of even and odd cards go to the two groups, so each group keeps the records of its cards.
    std::vector<SubgameJob*> lists[2];
    for (SubgameJob& job : jobs) lists[job.card % 2].push_back(&job);
    std::atomic<size_t> next[2] = {0, 0};
#pragma omp parallel num_threads(threads)
    {
        int group = (fake ? omp_get_thread_num() / 2 : currentNumaNode()) % 2;
        // A thread drains its own group's list, then helps with the other one.
        for (int pass = 0; pass < 2; ++pass) {
            int g = (group + pass) % 2;
            for (size_t i = next[g]++; i < lists[g].size(); i = next[g]++) runJob(traversal, *lists[g][i]);
        }
    }
}

}  // namespace qv
