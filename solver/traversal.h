#pragma once
// One pass over the tree for one traverser: the segment walk (top-down reach and strategies,
// batched terminals, bottom-up values and regret updates) and the chance sums between segments.
#include <cstdint>
#include <span>
#include <vector>

#include "solver/perf_counters.h"
#include "solver/segments.h"
#include "solver/solver_state.h"

namespace qv {

struct PassSettings {
    int traverser = 0;
    bool training = true;
    float weight = 0;             // averaging weight this iteration; 0 = nothing is accumulated
    bool riverAveraging = false;  // river nodes accumulate too
    RegretUpdate update;
    int batchLimit = kMaxBatch;   // terminals per kernel call
    bool perfCounters = false;
    bool twoWalkShowdowns = false;  // single unraked showdowns by the two-walk kernel
    int threads = 1;              // the OpenMP team of the parallel subgames
    int numa = 0;                 // NUMA placement of the subgames: 0 off, 1 on, 2 simulated
    // Training changes only the records of this street and later; nodes of earlier streets play
    // their average strategy and keep their records (re-solving the subgames of a street).
    int trainFrom = 1;
};

class Traversal {
public:
    // Per-slot vectors of one segment solve.
    struct Frame {
        const HandView* hands = nullptr;  // both players' hands at the segment's board
        const float** reach = nullptr;  // opponent reach; null = not reached
        float** value = nullptr;        // traverser values
        float** best = nullptr;         // best-response values (evaluation mode)
        float** strategy = nullptr;     // the traverser's decision slots: its strategy
    };

    Traversal(SolverState& state, const PassSettings& settings);

    const PassSettings& settings() const { return settings_; }
    // Next-street slots solved side by side, at most: four river segments fill the kernels' lanes
    // with their two or three showdowns each, and segments before the river gather their slots
    // into the river for that. Two where best responses are kept as well, so that the values held
    // per lane and dealt card take no more room than in training.
    int segmentLanes() const { return settings_.training ? 4 : 2; }
    SolverState& state() const { return state_; }
    int traverserStride() const { return rootHands_[settings_.traverser].stride; }
    int opponentStride() const { return rootHands_[1 - settings_.traverser].stride; }

    // The value of a chance slot at a board state one or more cards below its segment's board.
    void evaluateChild(const SegmentSlot& slot, int level, int stateIndex, const float* reach, float* value,
                       float* best);
    // The cards dealt at a board state: their representatives' values, gathered and weighted.
    void combineDeals(int level, int stateIndex, float* const* representativeValues,
                      float* const* representativeBest, float* value, float* best);
    // One card's share of those values, added to them: combineDeals adds the cards of the state
    // this way in the order of its deals (after zeroing), and so must anyone who adds them up.
    void addDeal(const DealtCard& deal, const float* representativeValue, const float* representativeBest,
                 float* value, float* best);
    // A copy of the opponent reach with every hand holding the card at 0.
    float* maskedReach(const float* reach, int card);

    // Chance slots of one segment and one kind, evaluated together, one vector lane per slot: all-in
    // slots share one showdown kernel call per river board; next-street slots whose segments start
    // on the river share the kernel calls of their segments' terminals.
    struct SlotBatch {
        int width = 0;
        const SegmentSlot* slots[kMaxBatch] = {};
        const float* reach[kMaxBatch] = {};  // opponent reach, already without the state's cards
        float* value[kMaxBatch] = {};
        float* best[kMaxBatch] = {};

        void add(const SegmentSlot& slot, const float* slotReach, float* slotValue, float* slotBest) {
            slots[width] = &slot;
            reach[width] = slotReach;
            value[width] = slotValue;
            best[width++] = slotBest;
        }
    };
    // The slots' values at a board state one or more cards below their segment's board.
    void evaluateSlots(const SlotBatch& batch, int level, int stateIndex);

    // A showdown reached before the river, at one river state (hands in that state's numbering).
    void allInShowdown(const SegmentSlot& slot, int stateIndex, const HandView* hands, const float* reach,
                       float* value, float* best);

    // The steps of a segment solve, over the slots of a range (all by default); the top of the tree
    // calls them around the parallel subgames.
    Frame openFrame(const Segment& segment, const HandView* hands);
    void descend(const Segment& segment, int stateIndex, Frame& frame, SlotRange range = {});
    void evaluateTerminals(const Segment& segment, int stateIndex, Frame& frame, SlotRange range = {});
    // The terminals of several segments that start at the same board state, batched together.
    void evaluateTerminals(const Segment* const* segments, Frame* frames, int count, int stateIndex,
                           SlotRange range = {});
    void evaluateChances(const Segment& segment, int stateIndex, Frame& frame);
    // The chance slots of several segments that start at the same board state, batched together.
    void evaluateChances(const Segment* const* segments, Frame* frames, int count, int stateIndex);
    void ascend(const Segment& segment, int stateIndex, Frame& frame, SlotRange range = {});

private:
    // The slots of a list (decisions or terminals, ascending) that lie in a range.
    static std::span<const int> within(const std::vector<int>& slots, SlotRange range);
    void chanceValue(const SegmentSlot& slot, int level, int stateIndex, const float* reach, float* value,
                     float* best);
    // The cards dealt below a board state for a batch of slots (reach still with those cards).
    void dealSlots(const SlotBatch& batch, int level, int stateIndex);
    void riverAllIns(const SlotBatch& batch, int stateIndex);
    // Next-street slots whose segments start at a river state: solved side by side, so that their
    // terminals fill the kernels' lanes (a river segment alone has two or three showdowns).
    void riverSegments(const SlotBatch& batch, int stateIndex);
    // Next-street slots whose segments start before the river, solved side by side: their chance
    // slots into the river then make batches across segments, and their terminals share kernels.
    void segmentsBeforeRiver(const SlotBatch& batch, int stateIndex);
    // The opponent reach in a river state's own hand numbering (scratch), and traverser values
    // carried back into the list numbering (other hands keep their values).
    const float* riverReachOf(const float* reach, int stateIndex);
    void scatterRiverValues(const float* riverValue, int stateIndex, float* value);
    // A terminal slot of one of the segments being solved.
    struct TerminalRef {
        Frame* frame;
        const SegmentSlot* slot;
        int index;  // in the segment's slots
    };
    void runBatch(KernelKind kind, int level, int stateIndex, const HandView* hands, const TerminalRef* terminals,
                  size_t count);
    // A slot's value at a river state whose hands are numbered afresh: reach and values are
    // carried between the two numberings.
    void evaluateRiverChild(const SegmentSlot& slot, int stateIndex, const float* reach, float* value, float* best);
    // Asks for the records that a decision slot's visit will read: the regrets, and the sums
    // where the visit reads or adds to them.
    void prefetchDecision(const Segment& segment, int d, int record);
    bool accumulatesAt(int street) const;
    bool learnsAt(int street) const { return settings_.training && street >= settings_.trainFrom; }

    SolverState& state_;
    PassSettings settings_;
    HandView rootHands_[2];
};

}  // namespace qv
