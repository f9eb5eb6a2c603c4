#pragma once
// The subgames below the chance slots of a pass's first segment: each (chance slot, dealt card)
// becomes a job that the OpenMP team runs in parallel. Jobs write only records below their own
// card and their own output vectors, so no two jobs write one record (river records are written
// under their subgame's lock only so that a command's edit cannot interleave), and the caller
// combines the outputs in a fixed order: the results do not depend on the number of threads.
#include <vector>

#include "solver/traversal.h"

namespace qv {

// A job is one next-street slot, or up to a batch of all-in slots evaluated together, at one card.
struct SubgameJob {
    int width = 1;
    const SegmentSlot* slot[kMaxBatch] = {};
    int level = 1;                // board level of the dealt card
    int state = 0;                // board state (at `level`) of the representative card
    int card = -1;
    const float* reach[kMaxBatch] = {};  // opponent reach at the slot, before the card is removed
    float* value[kMaxBatch] = {};        // traverser values (output)
    float* best[kMaxBatch] = {};         // best-response values (output, evaluation mode)
    double work[2] = {0, 0};             // estimate, per traverser
};

// Runs every job; returns when all are done.
void TraverseSubgames(Traversal& traversal, std::vector<SubgameJob>& jobs, int threads, int numaMode);
// The NUMA-aware variant: two job lists, each thread first drains the list of its group.
void TraverseSubgamesNUMA(Traversal& traversal, std::vector<SubgameJob>& jobs, int threads, bool fake);

}  // namespace qv
