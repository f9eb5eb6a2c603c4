#include "solver/pass.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/cpu.h"
#include "solver/aligned_buffer.h"
#include "solver/scratch.h"
#include "solver/settings.h"
#include "solver/spin_lock.h"
#include "solver/subgames.h"
#include "solver/iteration.h"

namespace qv {

namespace {

// Chance slots that run as one job per dealt card: neighbouring all-in slots up to the batch limit,
// next-street slots a few at a time (their segments are solved side by side and share kernel calls).
struct JobGroup {
    int width = 0;
    int slots[kMaxBatch] = {};
    double work = 0;  // estimated cost of one of its jobs, hands not counted
};

// The groups of the reached chance slots, largest job first (ties in slot order): the jobs are
// collected in the order the thread team runs them, so no pass sorts its job list.
size_t collectJobGroups(const Traversal& traversal, const Segment& segment, const Traversal::Frame& frame,
                        int nextStreetLanes, JobGroup* groups) {
    const SolverState& state = traversal.state();
    const int limit = traversal.settings().batchLimit;
    size_t count = 0;
    JobGroup* nextStreets = nullptr;  // the group that the next next-street slot joins
    for (int c : segment.chances) {
        if (!frame.reach[c]) continue;
        JobGroup* last = count ? &groups[count - 1] : nullptr;
        JobGroup* group = nullptr;
        if (segment.slots[c].kind == SlotKind::AllIn) {
            const bool joins = last && segment.slots[last->slots[0]].kind == SlotKind::AllIn && last->width < limit;
            group = joins ? last : &(groups[count++] = JobGroup{});
        } else {
            if (!nextStreets || nextStreets->width == nextStreetLanes) nextStreets = &(groups[count++] = JobGroup{});
            group = nextStreets;
        }
        group->slots[group->width++] = c;
    }
    for (size_t g = 0; g < count; ++g) {
        JobGroup& group = groups[g];
        for (int j = 0; j < group.width; ++j) {
            const SegmentSlot& slot = segment.slots[group.slots[j]];
            group.work += slot.kind == SlotKind::NextStreet ? state.segments()[slot.childSegment].work : 45.0;
        }
    }
    std::sort(groups, groups + count, [](const JobGroup& a, const JobGroup& b) {
        return a.work > b.work || (a.work == b.work && a.slots[0] < b.slots[0]);
    });
    return count;
}

// Where the jobs of a pass leave their values, and their sums into the values of the chance slots.
// A group's cards are added up in the order of the board's deals, as combineDeals does, so the sums
// do not depend on which thread ran which job, nor when. The jobs of a group are cut into chunks
// of neighbouring cards; a chunk's outputs (per card a vector per lane, then the best responses)
// take a block of a small pool from the start of its first job, its cards' deals are added when
// every job of the chunk and of the chunks before it is done, and the block goes back once the
// last deal of each of its cards is in. Taken in list order, the jobs keep a few blocks busy; a
// pool too small grows, so no job waits for another. A job writes shared state once, when it
// counts itself done; only a chunk's first and last jobs take the lock (a lock per job made the
// jobs' hooks half as costly again on two threads). A turn game's evaluation pass held 0.9 MB of
// outputs when every open group kept all its cards.
class JobOutputs final : public JobHooks {
public:
    JobOutputs(Traversal& traversal, const Traversal::Frame& frame, const DealtBoard& top,
               std::vector<SubgameJob>& jobs, size_t blocks, size_t cardFloats)
        : traversal_(traversal), frame_(frame), top_(top), jobs_(jobs), cards_(size_t(top.representativeCount)),
          chunksPerGroup_((cards_ + kChunkCards - 1) / kChunkCards), blockFloats_(kChunkCards * cardFloats),
          cardFloats_(cardFloats) {
        ScratchStack& scratch = threadScratch();
        const size_t groups = jobs.size() / cards_, chunks = groups * chunksPerGroup_;
        open_ = scratch.take<std::atomic<float*>>(chunks);
        remaining_ = scratch.take<std::atomic<int>>(chunks);
        for (size_t k = 0; k < chunks; ++k) {
            new (&open_[k]) std::atomic<float*>(nullptr);
            const size_t first = k % chunksPerGroup_ * kChunkCards;
            new (&remaining_[k]) std::atomic<int>(int(std::min(kChunkCards, cards_ - first)));
        }
        done_ = scratch.take<bool>(chunks);
        std::fill_n(done_, chunks, false);
        // Per chunk of a group: the last deal of its cards or of an earlier chunk's, so that blocks go
        // back in chunk order.
        lastDeal_ = scratch.take<int>(chunksPerGroup_);
        for (int d = 0; d < top.dealCount; ++d) lastDeal_[deal(d).representative / kChunkCards] = d;
        for (size_t c = 1; c < chunksPerGroup_; ++c) lastDeal_[c] = std::max(lastDeal_[c], lastDeal_[c - 1]);
        next_ = scratch.take<int>(groups);
        std::fill_n(next_, groups, 0);
        kept_ = scratch.take<size_t>(groups);
        std::fill_n(kept_, groups, size_t(0));
        adding_ = scratch.take<bool>(groups);
        std::fill_n(adding_, groups, false);
        free_ = scratch.take<float*>(chunks);
        for (size_t k = 0; k < std::min(blocks, chunks); ++k) free_[freeCount_++] = scratch.take<float>(blockFloats_);
        const size_t bytes = sizeof(float) * size_t(traversal.traverserStride());
        for (size_t g = 0; g < groups; ++g)
            for (int j = 0; j < jobs[g * cards_].ticket.width; ++j) {
                const int c = jobs[g * cards_].ticket.slots[j];
                std::memset(frame.value[c], 0, bytes);
                if (frame.best[c]) std::memset(frame.best[c], 0, bytes);
            }
    }

    void begin(SubgameJob& job) override {
        const size_t index = size_t(&job - jobs_.data()), card = index % cards_;
        std::atomic<float*>& open = open_[chunkOf(index)];
        float* block = open.load(std::memory_order_acquire);
        if (!block) {
            std::lock_guard<SpinLock> lock(lock_);
            block = open.load(std::memory_order_relaxed);
            if (!block) open.store(block = takeBlock(), std::memory_order_release);
        }
        float* slot = block + card % kChunkCards * cardFloats_;
        const size_t stride = size_t(traversal_.traverserStride()), width = size_t(job.ticket.width);
        for (size_t j = 0; j < width; ++j) {
            job.value[j] = slot + j * stride;
            job.best[j] = frame_.best[job.ticket.slots[j]] ? slot + (width + j) * stride : nullptr;
        }
    }

    void end(SubgameJob& job) override {
        const size_t index = size_t(&job - jobs_.data()), group = index / cards_;
        if (remaining_[chunkOf(index)].fetch_sub(1, std::memory_order_acq_rel) != 1) return;
        std::unique_lock<SpinLock> lock(lock_);
        done_[chunkOf(index)] = true;
        // One thread at a time adds a group's cards; it takes up the chunks that come done meanwhile.
        if (adding_[group]) return;
        adding_[group] = true;
        const size_t firstChunk = group * chunksPerGroup_;
        while (true) {
            const int first = next_[group];
            int end = first;
            while (end < top_.dealCount && done_[firstChunk + size_t(deal(end).representative) / kChunkCards]) ++end;
            if (end == first) break;
            next_[group] = end;
            lock.unlock();
            addDeals(group, first, end);
            lock.lock();
            for (size_t& c = kept_[group]; c < chunksPerGroup_ && lastDeal_[c] < end; ++c)
                free_[freeCount_++] = open_[firstChunk + c].load(std::memory_order_relaxed);
        }
        adding_[group] = false;
    }

private:
    const DealtCard& deal(int d) const { return traversal_.state().boards().deal(top_, d); }
    size_t chunkOf(size_t index) const { return index / cards_ * chunksPerGroup_ + index % cards_ / kChunkCards; }

    void addDeals(size_t group, int first, int end) {
        for (int d = first; d < end; ++d) {
            const SubgameJob& card = jobs_[group * cards_ + deal(d).representative];
            for (int j = 0; j < card.ticket.width; ++j) {
                const int c = card.ticket.slots[j];
                traversal_.addDeal(deal(d), card.value[j], card.best[j], frame_.value[c], frame_.best[c]);
            }
        }
    }

    // Under the lock. A block from the heap stays in the pool to the end of the pass.
    float* takeBlock() {
        if (freeCount_) return free_[--freeCount_];
        return grown_.emplace_back(blockFloats_, Paging::Small).data();
    }

    Traversal& traversal_;
    const Traversal::Frame& frame_;
    const DealtBoard& top_;
    std::vector<SubgameJob>& jobs_;
    const size_t cards_, chunksPerGroup_, blockFloats_, cardFloats_;
    std::atomic<float*>* open_ = nullptr;  // per chunk: its block
    std::atomic<int>* remaining_ = nullptr;  // per chunk: jobs not done
    // Under the lock:
    bool* done_ = nullptr;     // per chunk: all its jobs are done
    int* lastDeal_ = nullptr;  // per chunk of a group: the last deal of its cards and the chunks before
    int* next_ = nullptr;      // per group: its next deal to add
    size_t* kept_ = nullptr;   // per group: its first chunk that still holds its block
    bool* adding_ = nullptr;   // per group: a thread is adding its cards
    SpinLock lock_;
    float** free_ = nullptr;
    size_t freeCount_ = 0;
    std::vector<AlignedArray<float>> grown_;
};

// The work of a run of slots, hands not counted: a decision's loops run once per action; a
// terminal's kernel call costs about as much as one of them.
double slotWork(const Segment& segment, int first, int end) {
    double work = 0;
    for (int k = first; k < end; ++k) {
        const SegmentSlot& slot = segment.slots[size_t(k)];
        work += slot.kind == SlotKind::Decision ? slot.actions : 1.0;
    }
    return work;
}

// Runs of the root's neighbouring subtrees, one per thread, of about equal work: cut where the
// running work comes nearest to an even share. Gives their number, 1 when the segment does not
// divide (one subtree holds nearly all the work). The threads meet every few microseconds, so no
// more of them than the processor runs at once: a thread waiting for its turn on a core would
// hold every meeting up (four threads on two cores took four times as long as one).
int shareOut(const Segment& segment, int threads, SlotRange* ranges) {
    const SegmentSlot& root = segment.slots[0];
    const int parts = std::min({threads, int(root.actions), hardwareThreadCount()});
    if (parts < 2 || root.kind != SlotKind::Decision) return 1;
    const uint32_t* kids = &segment.children[root.firstChild];
    const int slots = int(segment.slots.size());
    const double total = slotWork(segment, 1, slots);
    double done = 0, largest = 0;
    int part = 0;
    ranges[0].first = int(kids[0]);
    for (int a = 0; a < root.actions; ++a) {
        const double work = slotWork(segment, int(kids[a]), a + 1 < root.actions ? int(kids[a + 1]) : slots);
        const double share = total * double(part + 1) / parts;
        if (part + 1 < parts && a > 0 && std::abs(done - share) < std::abs(done + work - share)) {
            ranges[part].end = int(kids[a]);
            ranges[++part].first = int(kids[a]);
        }
        done += work;
        largest = std::max(largest, work);
    }
    ranges[part].end = slots;
    return largest > 0.75 * total ? 1 : part + 1;
}

// The root's visit down, and its children's value vectors on this thread's scratch, so that they
// outlast the scratch scopes of the threads that solve the subtrees.
void openRoot(Traversal& traversal, const Segment& segment, int stateIndex, Traversal::Frame& frame) {
    traversal.descend(segment, stateIndex, frame, {0, 1});
    const SegmentSlot& root = segment.slots[0];
    const uint32_t* kids = &segment.children[root.firstChild];
    const size_t stride = size_t(traversal.traverserStride());
    for (int a = 0; a < root.actions; ++a) {
        const uint32_t kid = kids[a];
        if (!frame.reach[kid]) continue;
        frame.value[kid] = threadScratch().take<float>(stride);
        // A terminal's best-response values are its values.
        if (!traversal.settings().training)
            frame.best[kid] = segment.slots[kid].kind == SlotKind::Decision ? threadScratch().take<float>(stride)
                                                                            : frame.value[kid];
    }
}

// The subtrees of a range, on a frame of this thread's own that starts from the shared one's: the
// threads would otherwise write neighbouring pointers of the same cache lines.
void solveRange(Traversal& traversal, const Segment& segment, int stateIndex, const Traversal::Frame& shared,
                SlotRange range) {
    ScratchScope scope(threadScratch());
    Traversal::Frame frame = traversal.openFrame(segment, shared.hands);
    const size_t first = size_t(range.first), count = size_t(range.end - range.first);
    std::copy_n(shared.reach + first, count, frame.reach + first);
    std::copy_n(shared.value + first, count, frame.value + first);
    std::copy_n(shared.best + first, count, frame.best + first);
    traversal.descend(segment, stateIndex, frame, range);
    traversal.evaluateTerminals(segment, stateIndex, frame, range);
    traversal.ascend(segment, stateIndex, frame, range);
}

// A segment without chance slots (a river-rooted tree) gives the thread team no subgames: the
// root's subtrees are shared out instead, its own visits come before and after. Solves one pass, or
// several whose subtrees depend only on the same subtrees of the passes before them (a thread runs
// them one after the other); their frames hold the root's reach and value vectors. Gives false,
// having done nothing, when the segment does not divide.
bool solveShared(Traversal* const* passes, Traversal::Frame* frames, int count, const Segment& segment,
                 int stateIndex, int threads) {
    SlotRange* ranges = threadScratch().take<SlotRange>(size_t(std::max(threads, 1)));
    const int parts = shareOut(segment, threads, ranges);
    if (parts < 2) return false;
    for (int p = 0; p < count; ++p) openRoot(*passes[p], segment, stateIndex, frames[p]);
#pragma omp parallel for schedule(static, 1) num_threads(parts)
    for (int k = 0; k < parts; ++k)
        for (int p = 0; p < count; ++p) solveRange(*passes[p], segment, stateIndex, frames[p], ranges[k]);
    for (int p = 0; p < count; ++p) passes[p]->ascend(segment, stateIndex, frames[p], {0, 1});
    return true;
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

bool runPassesShared(SolverState& state, const PassSettings (&settings)[2], float* const (&values)[2]) {
    const Segment& segment = state.segments()[0];
    if (!segment.chances.empty() || segment.slots[0].player != 0 || !settings[0].training) return false;
    ScratchScope scope(threadScratch());
    std::optional<std::lock_guard<std::mutex>> riverLock;
    if (segment.street == 3) riverLock.emplace(state.subgames().riverLock({0, 0}));
    HandView hands[2];
    handsAt(state, 0, 0, hands);
    // IP's pass first, as in an iteration.
    std::optional<Traversal> traversals[2];
    Traversal* passes[2];
    Traversal::Frame frames[2];
    for (int k = 0; k < 2; ++k) {
        const int p = 1 - k;
        passes[k] = &traversals[k].emplace(state, settings[p]);
        frames[k] = passes[k]->openFrame(segment, hands);
        frames[k].reach[0] = state.hands(1 - p).weight.data();
        frames[k].value[0] = values[p];
    }
    return solveShared(passes, frames, 2, segment, 0, settings[0].threads);
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
    Traversal* self = &traversal;
    if (segment.chances.empty() && solveShared(&self, &frame, 1, segment, start.stateIndex, settings.threads)) return;
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
    // Workers own the subgames below the root slot by slot and card by card: a job they take holds
    // one next-street slot.
    const int nextStreetLanes = hostTakes(start.segment, start.stateIndex) ? 1 : traversal.segmentLanes();
    const size_t groupCount = collectJobGroups(traversal, segment, frame, nextStreetLanes, groups);
    // Grown to its size at once: growing by doubling left the outgrown copies on the heap.
    jobs.reserve(groupCount * size_t(top.representativeCount));
    int widest = 0;
    for (size_t g = 0; g < groupCount; ++g) {
        const JobGroup& group = groups[g];
        widest = std::max(widest, group.width);
        for (int j = 0; j < group.width; ++j) {
            frame.value[group.slots[j]] = scratch.take<float>(stride);
            frame.best[group.slots[j]] = settings.training ? nullptr : scratch.take<float>(stride);
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
            }
            for (int q = 0; q < 2; ++q)
                ticket.work[q] = group.work * (state.hands(q).count + state.hands(1 - q).count);
            jobs.push_back(job);
        }
    }

    if (groupCount > 0) {
        PassJobs pass{start.segment, start.stateIndex, jobs};
        const bool inOrder = runsJobsInOrder(pass, settings.numa);
        // In list order each thread holds the block of the chunk it works on, and the chunks
        // done ahead of a slower thread's keep theirs; otherwise every chunk keeps its block to
        // the end.
        const size_t blocks = inOrder ? size_t(settings.threads) + 2 : jobs.size();
        JobOutputs outputs(traversal, frame, top, jobs, blocks, size_t(widest) * stride * (settings.training ? 1 : 2));
        if (inOrder) {
            pass.hooks = &outputs;
            TraverseSubgames(traversal, pass, settings.threads, settings.numa);
        } else {
            for (SubgameJob& job : jobs) outputs.begin(job);
            TraverseSubgames(traversal, pass, settings.threads, settings.numa);
            for (SubgameJob& job : jobs) outputs.end(job);
        }
    }
    traversal.evaluateTerminals(segment, start.stateIndex, frame);
    traversal.ascend(segment, start.stateIndex, frame);
}

}  // namespace qv
