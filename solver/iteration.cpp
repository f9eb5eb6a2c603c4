#include "solver/iteration.h"

#include <algorithm>
#include <cmath>

#include "solver/scratch.h"
#include "solver/settings.h"
#include "solver/subgames.h"
#include "solver/traversal.h"
#include "solver/vector_ops.h"

namespace qv {

namespace {

PassSettings passSettings(const SolverState& state, int player, bool training) {
    const SolverSettings& settings = solverSettings();
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
    return s;
}

// Phase 0 walks the first street and records a job per card below each chance slot; phase 1 runs
// the jobs in parallel; phase 2 combines their values and finishes the first street.
StrategyValues traverse(SolverState& state, const PassSettings& settings) {
    const int p = settings.traverser;
    state.currentPlayer = p;
    state.mode = settings.training ? 1 : 0;
    state.phase = 0;
    Traversal traversal(state, settings);
    ScratchStack& scratch = threadScratch();
    ScratchScope scope(scratch);
    const HandList& mine = state.hands(p);
    const HandList& theirs = state.hands(1 - p);
    const Segment& root = state.segments()[0];
    const HandView rootHands[2] = {state.hands(0).view(), state.hands(1).view()};
    Traversal::Frame frame = traversal.openFrame(root, rootHands);
    frame.reach[0] = theirs.weight.data();
    frame.value[0] = scratch.take<float>(size_t(mine.stride));
    frame.best[0] = settings.training ? nullptr : scratch.take<float>(size_t(mine.stride));
    traversal.descend(root, 0, frame);

    const BoardStates& boards = state.boards();
    const DealtBoard& top = boards.state(0, 0);
    // Next-street slots get a job per card; all-in slots are grouped, a job per group and card.
    std::vector<std::vector<int>> groups;
    const size_t limit = size_t(settings.batchLimit);
    for (int c : root.chances) {
        if (!frame.reach[c]) continue;
        const bool allIn = root.slots[c].kind == SlotKind::AllIn;
        if (!allIn || groups.empty() || root.slots[groups.back()[0]].kind != SlotKind::AllIn ||
            groups.back().size() == limit)
            groups.emplace_back();
        groups.back().push_back(c);
    }
    // Kept across traversals: a turn tree records thousands of jobs, and a fresh vector would map
    // and fault in new pages on every pass. One per thread, as a traversal never starts another
    // on its own thread.
    static thread_local std::vector<SubgameJob> jobs;
    jobs.clear();
    std::vector<int> firstJob(root.slots.size(), -1), laneOf(root.slots.size(), 0);
    for (const std::vector<int>& group : groups) {
        const SegmentSlot& first = root.slots[group[0]];
        double work = first.kind == SlotKind::NextStreet ? state.segments()[first.childSegment].work
                                                         : 45.0 * double(group.size());
        for (size_t j = 0; j < group.size(); ++j) {
            firstJob[group[j]] = int(jobs.size());
            laneOf[group[j]] = int(j);
        }
        for (int i = 0; i < top.representativeCount; ++i) {
            SubgameJob job;
            job.width = int(group.size());
            job.state = boards.representative(top, i);
            job.card = boards.state(1, job.state).dealt;
            for (int j = 0; j < job.width; ++j) {
                job.slot[j] = &root.slots[group[j]];
                job.reach[j] = frame.reach[group[j]];
                job.value[j] = scratch.take<float>(size_t(mine.stride));
                job.best[j] = settings.training ? nullptr : scratch.take<float>(size_t(mine.stride));
            }
            for (int q = 0; q < 2; ++q) job.work[q] = work * (state.hands(q).count + state.hands(1 - q).count);
            jobs.push_back(job);
        }
    }

    state.phase = 1;
    TraverseSubgames(traversal, jobs, std::max(1, solverSettings().threadCount), solverSettings().numa);

    state.phase = 2;
    std::vector<float*> values(size_t(top.representativeCount)), bests(size_t(top.representativeCount));
    for (int c : root.chances) {
        if (firstJob[c] < 0) continue;
        for (int i = 0; i < top.representativeCount; ++i) {
            values[i] = jobs[firstJob[c] + i].value[laneOf[c]];
            bests[i] = jobs[firstJob[c] + i].best[laneOf[c]];
        }
        frame.value[c] = scratch.take<float>(size_t(mine.stride));
        frame.best[c] = settings.training ? nullptr : scratch.take<float>(size_t(mine.stride));
        traversal.combineDeals(0, 0, values.data(), bests.data(), frame.value[c], frame.best[c]);
    }
    traversal.evaluateTerminals(root, 0, frame);
    traversal.ascend(root, 0, frame);

    const double deals = state.pairWeight() > 0 ? state.pairWeight() : 1.0;
    StrategyValues result;
    result.value = dotProduct(mine.weight.data(), frame.value[0], mine.count) / deals;
    if (frame.best[0]) result.best = dotProduct(mine.weight.data(), frame.best[0], mine.count) / deals;
    return result;
}

}  // namespace

double averagingWeight(const Tuning& tuning, int completedIterations) {
    if (completedIterations <= tuning.averagingDelay) return 0.0;
    return std::min(std::pow(double(completedIterations - tuning.averagingDelay), tuning.exponent), tuning.cap);
}

bool averagingFlag(int strategyCompression, int completedIterations, int delay) {
    if (strategyCompression == 0) return true;
    const int k = completedIterations - delay - 1;
    if (k < 0) return false;
    return k <= 6 || k % 7 == 0;
}

int chooseAveragingDelay(const SolverState& state, double accuracyChips, double accuracyFraction) {
    if (accuracyChips > 0 && state.counts().decision >= 1000) {
        if (accuracyFraction <= 0.0015001) return 360;
        if (accuracyFraction <= 0.0025001) return 260;
    }
    return 60;
}

IterationValues runIteration(SolverState& state, const PassListener& listener) {
    IterationValues v;
    v.ip = traverse(state, passSettings(state, 1, true)).value;
    if (listener) listener(0);
    v.oop = traverse(state, passSettings(state, 0, true)).value;
    if (listener) listener(1);
    state.setIteration(state.iteration() + 1);
    state.setFlag(SolverState::NewTree, false);
    v.mean = (v.ip + v.oop) * 0.5;
    return v;
}

StrategyValues evaluateStrategies(SolverState& state, int player, int mode) {
    return traverse(state, passSettings(state, player, mode != 0));
}

}  // namespace qv
