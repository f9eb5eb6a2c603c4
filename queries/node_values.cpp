#include "queries/node_values.h"

#include <cmath>
#include <limits>

#include "interpreter/errors.h"
#include "queries/node_ranges.h"
#include "solver/pass.h"
#include "solver/record_hands.h"
#include "solver/resolve.h"
#include "solver/scratch.h"
#include "solver/settings.h"
#include "solver/terminal_kernels.h"
#include "solver/traversal.h"

namespace qv {

namespace {

constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();

// The traversal's steps, run on one segment at one board state with only `slot` reached: every
// other slot outside its subtree stays unreached and is skipped.
void evaluateSubtree(Traversal& traversal, const Segment& segment, int record, const HandView* hands, int slot,
                     const float* reach, float* value) {
    ScratchScope scope(threadScratch());
    Traversal::Frame frame = traversal.openFrame(segment, hands);
    frame.reach[slot] = reach;
    traversal.descend(segment, record, frame);
    traversal.evaluateChances(segment, record, frame);
    traversal.evaluateTerminals(segment, record, frame);
    traversal.ascend(segment, record, frame);
    const int stride = hands[traversal.settings().traverser].stride;
    std::copy(frame.value[slot], frame.value[slot] + stride, value);
}

// A showdown reached before the river, at a board that has more of the cards dealt below it: on
// the full board the showdown itself, else the sum over the cards still to come.
void evaluateDealtShowdown(Traversal& traversal, const SolverState& state, const SegmentSlot& slot, int level,
                           int record, const HandView* hands, const float* reach, float* value) {
    if (state.boards().compactAt(level)) return traversal.allInShowdown(slot, record, hands, reach, value, nullptr);
    traversal.evaluateChild(slot, level, record, reach, value, nullptr);
}

}  // namespace

PointValues pointValues(SolverState& state, const TreePoint& point, int player) {
    const PointSlot at = findPointSlot(state, point);
    RecordHands mine, theirs;
    if (!locateRecordHands(state, player, at.level, point.turn, point.river, mine) ||
        !locateRecordHands(state, 1 - player, at.level, point.turn, point.river, theirs))
        throw EngineError("incorrect path");
    // The hands in the numbering of the point's record, as the traversal solves it.
    HandView views[2];
    views[player] = mine.view;
    views[1 - player] = theirs.view;

    ScratchStack& scratch = threadScratch();
    ScratchScope scope(scratch);
    float* reach = scratch.take<float>(size_t(theirs.view.stride));
    gatherFromSlots(theirs, rangeAtPoint(state, point, 1 - player), reach);
    float* value = scratch.take<float>(size_t(mine.view.stride));
    float* met = scratch.take<float>(size_t(mine.view.stride));

    // The pass reads every record below the point: subgames of a dropped street are solved first.
    solveDroppedBelow(state, at.segment, at.slot, mine.record);
    Traversal traversal(state, passSettings(state, solverSettings(), player, false));
    const Segment& segment = state.segments()[at.segment];
    if (at.level > segment.level)
        evaluateDealtShowdown(traversal, state, segment.slots[at.slot], at.level, mine.record, views, reach, value);
    else
        evaluateSubtree(traversal, segment, mine.record, views, at.slot, reach, value);

    // The opponent weight each hand meets: a fold of stake 1 won by the hand.
    TerminalBatch batch;
    batch.width = 1;
    batch.reach[0] = reach;
    batch.values[0] = met;
    batch.stake[0] = 1.0f;
    evaluateFolds(views[player], views[1 - player], mine.board, batch);
    for (int h = 0; h < mine.view.count; ++h)
        value[h] = met[h] > 0 ? value[h] / met[h] : std::numeric_limits<float>::quiet_NaN();

    PointValues out;
    out.ev.assign(kComboCount, kUndefined);
    scatterToSlots(mine, value, out.ev);
    out.weight = pointReach(state, point, player);
    const double root = totalReach(state, TreePoint{});
    for (int s = 0; s < kComboCount; ++s) {
        if (std::isnan(out.ev[s])) out.weight[s] = kUndefined;
        else if (root > 0) out.weight[s] /= root;
    }
    return out;
}

}  // namespace qv
