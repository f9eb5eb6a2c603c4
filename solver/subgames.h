#pragma once
// The subgames below the chance slots of a pass's first segment: each (chance slot, dealt card)
// becomes a job that the OpenMP team runs in parallel. Jobs write only records below their own
// card and their own output vectors, so no two jobs write one record (river records are written
// under their subgame's lock only so that a command's edit cannot interleave), and the caller
// combines the outputs in a fixed order: the results do not depend on the number of threads.
#include <vector>

#include "solver/traversal.h"

namespace qv {

// What a job is, in terms that any process holding the same tree understands: one next-street
// slot, or up to a batch of all-in slots evaluated together, at one dealt card.
struct SubgameTicket {
    int width = 1;
    int slots[kMaxBatch] = {};  // chance slots of the pass's segment
    int level = 1;              // board level of the dealt card
    int state = 0;              // board state (at `level`) of the representative card
    int card = -1;
    double work[2] = {0, 0};    // estimate, per traverser
};

// Neighbouring cards of one group (jobs of the same slots) whose jobs go together: the job outputs
// keep a chunk's values in one block and add them up once all its jobs are done, and a thread
// claims a chunk of river jobs at once, so that what it adds up is in its own cache.
constexpr size_t kChunkCards = 8;

// A ticket with the vectors it reads and fills, one per lane.
struct SubgameJob {
    SubgameTicket ticket;
    const float* reach[kMaxBatch] = {};  // opponent reach at the slot, before the card is removed
    float* value[kMaxBatch] = {};        // traverser values (output)
    float* best[kMaxBatch] = {};         // best-response values (output, evaluation mode)
};

// Called by the thread that runs a job, just before and just after it.
class JobHooks {
public:
    virtual void begin(SubgameJob& job) = 0;
    virtual void end(SubgameJob& job) = 0;

protected:
    ~JobHooks() = default;
};

// The jobs of one pass, below the chance slots of `segment` at board state `stateIndex`.
struct PassJobs {
    int segment = 0;
    int stateIndex = 0;
    std::vector<SubgameJob>& jobs;
    JobHooks* hooks = nullptr;  // only where runsJobsInOrder
};

// Whether the subgame host takes the jobs below a segment at a board state (subgame_host.h).
bool hostTakes(int segment, int stateIndex);
// Whether TraverseSubgames runs the jobs on this process's thread team, handing them out largest
// first (in list order for a list collected that way; river jobs a chunk at a time); only then
// does it call a pass's hooks.
bool runsJobsInOrder(const PassJobs& pass, int numaMode);
// Runs every job; returns when all are done. A pass over the whole tree hands its jobs to the
// subgame host when one is installed (subgame_host.h); every other pass runs on the thread team.
void TraverseSubgames(Traversal& traversal, const PassJobs& pass, int threads, int numaMode);
// The thread team alone, largest job first.
void traverseSubgamesLocally(Traversal& traversal, const PassJobs& pass, int threads, int numaMode);
// The NUMA-aware variant: two job lists, each thread first drains the list of its group.
void TraverseSubgamesNUMA(Traversal& traversal, const PassJobs& pass, int threads, bool fake);

}  // namespace qv
