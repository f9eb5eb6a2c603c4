#include "queries/tree_point.h"

#include <algorithm>

#include "cards/hand_rules.h"
#include "interpreter/errors.h"
#include "tree/built_tree.h"
#include "tree/node_path.h"

namespace qv {

TreePoint pointOf(const NodeRef& ref) {
    TreePoint point;
    point.turn = ref.turn;
    point.river = ref.river;
    point.split = ref.split;
    if (ref.node) {
        if (ref.recordIndex() < 0) throw EngineError("incorrect path");
        point.node = uint32_t(ref.recordIndex());
    }
    return point;
}

SolverState& builtSolver() {
    BuiltTree& tree = builtTree();
    if (!tree.present || !tree.solver) throw EngineError("missing/incorrect tree");
    return *tree.solver;
}

namespace {

// A showdown reached before the river is a split: its children name the cards dealt below it, and
// their data lie at the level of those cards.
int pointLevel(const SolverState& state, const TreePoint& point, const SegmentSlot& slot, int segmentLevel) {
    if (slot.kind != SlotKind::AllIn || point.split) return segmentLevel;
    const int dealt = state.firstStreet() == 1 ? (point.turn >= 0) + (point.river >= 0) : (point.river >= 0);
    return std::max(segmentLevel, dealt);
}

}  // namespace

PointSlot findPointSlot(const SolverState& state, const TreePoint& point) {
    // A next street's first decision appears twice: as a chance slot of the street above (the
    // split, before its card) and as the root slot of its own segment. A showdown reached by a
    // street-closing call has one slot whether or not cards are still to come.
    if (point.node >= state.nodes().size()) throw EngineError("incorrect path");
    const bool chance = point.split && state.nodes()[point.node].type == ActionType::Decision;
    const std::vector<Segment>& segments = state.segments();
    for (size_t s = 0; s < segments.size(); ++s)
        for (size_t i = 0; i < segments[s].slots.size(); ++i) {
            const SegmentSlot& slot = segments[s].slots[i];
            if (slot.node == point.node && (slot.kind == SlotKind::NextStreet) == chance)
                return {int(s), int(i), pointLevel(state, point, slot, segments[s].level)};
        }
    throw EngineError("incorrect path");
}

std::vector<PathStep> pathSteps(const SolverState& state, uint32_t node) {
    const std::vector<GameNode>& nodes = state.nodes();
    std::vector<PathStep> steps;
    for (uint32_t child = node; nodes[child].parent != 0xFFFFFFFFu; child = nodes[child].parent) {
        const uint32_t parent = nodes[child].parent;
        const GameNode& p = nodes[parent];
        PathStep step;
        step.node = parent;
        step.action = int(std::find(p.children.begin(), p.children.end(), child) - p.children.begin());
        step.player = p.player;
        step.level = p.street - state.firstStreet();
        steps.push_back(step);
    }
    std::reverse(steps.begin(), steps.end());
    return steps;
}

CardMask firstUserBoard(const SolverState& state) {
    const GameDefinition& game = state.definition();
    CardMask board = 0;
    for (int card : game.flop) board |= cardBit(card);
    for (int card : {game.turn, game.river})
        if (card >= 0) board |= cardBit(card);
    return board;
}

CardMask pointBoard(const SolverState& state, const TreePoint& point, int level) {
    CardMask board = firstUserBoard(state);
    const int first = state.firstStreet();
    if (level >= 1) {
        const int card = first == 1 ? point.turn : point.river;
        if (card >= 0) board |= cardBit(card);
    }
    if (level >= 2 && point.river >= 0) board |= cardBit(point.river);
    return board;
}

int treeLowCard(const SolverState& state) {
    const GameDefinition& game = state.definition();
    return game.lowCard ? *game.lowCard : handRules().lowCard;
}

}  // namespace qv
