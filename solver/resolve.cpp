#include "solver/resolve.h"

#include <algorithm>
#include <chrono>
#include <limits>

#include "solver/iteration.h"
#include "solver/pass.h"
#include "solver/results.h"
#include "solver/scratch.h"
#include "solver/settings.h"
#include "solver/strategy_access.h"
#include "solver/terminal_kernels.h"
#include "solver/vector_ops.h"

namespace qv {

namespace {

constexpr int kMaxSubgameIterations = 1000;
constexpr int kFirstCheck = 50;
constexpr int kCheckEvery = 25;
constexpr uint32_t kNoParent = 0xFFFFFFFFu;

std::function<void(const SubgameReport&)>& subgameReport() {
    static std::function<void(const SubgameReport&)> report;
    return report;
}

int levelOf(const SolverState& state, uint32_t node) { return state.nodes()[node].street - state.firstStreet(); }

int ancestorState(const SolverState& state, int level, int stateIndex, int target) {
    for (; level > target; --level) stateIndex = state.boards().state(level, stateIndex).parent;
    return stateIndex;
}

int segmentStartedBy(const SolverState& state, uint32_t node) {
    const std::vector<Segment>& segments = state.segments();
    for (size_t s = 0; s < segments.size(); ++s)
        if (segments[s].root == node) return int(s);
    return -1;
}

}  // namespace

SubgameRef subgameOfStreet(const SolverState& state, uint32_t node, int stateIndex, int street) {
    const std::vector<GameNode>& nodes = state.nodes();
    if (street < 0 || nodes[node].type != ActionType::Decision || nodes[node].street < street) return {};
    uint32_t root = node;
    while (nodes[root].parent != kNoParent && nodes[nodes[root].parent].street >= street) root = nodes[root].parent;
    SubgameRef subgame;
    subgame.segment = segmentStartedBy(state, root);
    subgame.state = ancestorState(state, levelOf(state, node), stateIndex, levelOf(state, root));
    return subgame;
}

namespace {

bool isBelow(const SolverState& state, uint32_t ancestor, uint32_t node) {
    for (; node != kNoParent; node = state.nodes()[node].parent)
        if (node == ancestor) return true;
    return false;
}

// Calls `visit` for a segment and every segment below it.
template <typename Visit>
void forEachSegmentBelow(const SolverState& state, int segment, const Visit& visit) {
    visit(state.segments()[segment]);
    for (int c : state.segments()[segment].chances) {
        const SegmentSlot& slot = state.segments()[segment].slots[c];
        if (slot.kind == SlotKind::NextStreet) forEachSegmentBelow(state, slot.childSegment, visit);
    }
}

// Where a subgame's passes start: both players' hands at its board and the reach each brings
// from the kept streets above (its starting range times its own average strategy on the way).
struct SubgameStart {
    HandView hands[2];
    AlignedFloats reach[2];
    double joint = 0;  // over every pair of hands that share no card: the product of their reach

    PassStart forTraverser(const SubgameRef& subgame, int player) const {
        PassStart start;
        start.segment = subgame.segment;
        start.stateIndex = subgame.state;
        start.hands[0] = hands[0];
        start.hands[1] = hands[1];
        start.reach = reach[1 - player].data();
        return start;
    }
};

SubgameStart subgameStart(const SolverState& state, const SubgameRef& subgame) {
    const BoardStates& boards = state.boards();
    const Segment& segment = state.segments()[subgame.segment];
    SubgameStart start;
    handsAt(state, segment.level, subgame.state, start.hands);
    std::vector<float> reach[2];
    for (int p = 0; p < 2; ++p) {
        const HandList& list = state.hands(p);
        reach[p].assign(list.weight.data(), list.weight.data() + list.stride);
    }
    // Decisions above a subgame lie on streets before the river, whose records number every hand.
    std::vector<float> strategy;
    for (uint32_t child = segment.root; state.nodes()[child].parent != kNoParent;) {
        const uint32_t parent = state.nodes()[child].parent;
        const GameNode& n = state.nodes()[parent];
        const size_t stride = size_t(state.hands(n.player).stride);
        const size_t action = size_t(std::find(n.children.begin(), n.children.end(), child) - n.children.begin());
        strategy.resize(n.children.size() * stride);
        recordStrategy(state, parent, ancestorState(state, segment.level, subgame.state, levelOf(state, parent)), true,
                       strategy.data());
        for (size_t h = 0; h < stride; ++h) reach[n.player][h] *= strategy[action * stride + h];
        child = parent;
    }
    const CardMask board = boards.state(segment.level, subgame.state).cards;
    for (int p = 0; p < 2; ++p) {
        const HandList& list = state.hands(p);
        for (int h = 0; h < list.count; ++h)
            if (list.mask[h] & board) reach[p][h] = 0.0f;
        start.reach[p].allocate(size_t(start.hands[p].stride), Paging::Small);
        if (boards.compactAt(segment.level))
            gatherInto(start.reach[p].data(), reach[p].data(), boards.riverListIndex(subgame.state, p),
                       start.hands[p].count);
        else
            std::copy(reach[p].begin(), reach[p].begin() + start.hands[p].count, start.reach[p].data());
    }
    // Each of OOP's hands meets the reach of IP's hands that share no card with it: a fold of stake 1.
    AlignedFloats met(size_t(start.hands[0].stride), Paging::Small);
    TerminalBatch batch;
    batch.width = 1;
    batch.reach[0] = start.reach[1].data();
    batch.values[0] = met.data();
    batch.stake[0] = 1.0f;
    evaluateFolds(start.hands[0], start.hands[1], board, batch);
    start.joint = dotProduct(start.reach[0].data(), met.data(), start.hands[0].count);
    return start;
}

// The settings of a re-solve's pass. A re-solve counts its passes from 0 so that its averaging
// schedule starts again, but the warm-up of coarse river regrets belongs to the tree's own count:
// once the tree is past it, re-solved records take coarse units from their first pass. Replaying
// the warm-up (whose fine units make the damped steps of those passes smaller in chips) left
// re-solved rivers about twice as quick to change as re-solves in coarse units, and a solve going
// on from there rocked turns and rivers against each other.
PassSettings resolvePassSettings(const SolverState& state, int treeIterations, int player, bool training) {
    PassSettings settings = passSettings(state, solverSettings(), player, training);
    settings.update.warmup = treeIterations >= state.tuning().warmup ? 0 : std::numeric_limits<int>::max();
    return settings;
}

// One pass of a player over the subgame: the player's values weighted by the player's own reach.
StrategyValues subgamePass(SolverState& state, const SubgameRef& subgame, const SubgameStart& start,
                           int treeIterations, int player, bool training) {
    ScratchStack& scratch = threadScratch();
    ScratchScope scope(scratch);
    const HandView& mine = start.hands[player];
    float* value = scratch.take<float>(size_t(mine.stride));
    float* best = training ? nullptr : scratch.take<float>(size_t(mine.stride));
    runPass(state, resolvePassSettings(state, treeIterations, player, training), start.forTraverser(subgame, player),
            value, best);
    StrategyValues out;
    out.value = dotProduct(start.reach[player].data(), value, mine.count);
    if (best) out.best = dotProduct(start.reach[player].data(), best, mine.count);
    return out;
}

double exploitabilityOf(SolverState& state, const SubgameRef& subgame, const SubgameStart& start, int treeIterations) {
    if (!(start.joint > 0)) return 0;
    double gain = 0;
    for (int p = 0; p < 2; ++p) {
        const StrategyValues v = subgamePass(state, subgame, start, treeIterations, p, false);
        gain += v.best - v.value;
    }
    return 0.5 * gain / start.joint;
}

}  // namespace

size_t forgetStreet(SolverState& state, int street) {
    computeResults(state, solverSettings());
    const int previous = state.subgames().droppedStreet();
    const int dropped = previous < 0 ? street : std::min(previous, street);
    const size_t before = state.storeBytes();
    state.releaseStores(dropped);
    state.subgames().setDroppedStreet(dropped);
    state.setFlag(SolverState::IncompleteTree, true);
    return before - state.storeBytes();
}

void rebuildForgottenStreets(SolverState& state) {
    for (uint32_t node = 0; node < state.nodes().size(); ++node) state.ensureStores(node, Paging::Huge);
    state.subgames().setDroppedStreet(-1);
    state.setFlag(SolverState::IncompleteTree, false);
}

SubgameRef subgameOf(const SolverState& state, uint32_t node, int stateIndex) {
    return subgameOfStreet(state, node, stateIndex, state.subgames().droppedStreet());
}

SubgameRef riverSubgameOf(const SolverState& state, uint32_t node, int stateIndex) {
    return subgameOfStreet(state, node, stateIndex, 3);
}

SubgameRef subgameAt(const SolverState& state, uint32_t node, int turn, int river) {
    if (node >= state.nodes().size() || state.nodes()[node].type != ActionType::Decision) return {};
    int record = 0, gather = -1;
    if (!state.locateRecord(levelOf(state, node), turn, river, record, gather)) return {};
    return subgameOf(state, node, record);
}

double subgameExploitability(SolverState& state, const SubgameRef& subgame) {
    return exploitabilityOf(state, subgame, subgameStart(state, subgame), state.iteration());
}

double SolveSubgame(SolverState& state, const SubgameRef& subgame, bool force) {
    SubgameMarks& marks = state.subgames();
    if (!force && marks.solved(subgame)) return 0;
    const auto begin = std::chrono::steady_clock::now();
    forEachSegmentBelow(state, subgame.segment, [&](const Segment& segment) {
        for (int d : segment.decisions) state.ensureStores(segment.slots[d].node, Paging::Small);
    });
    const int savedIteration = state.iteration();
    const bool incomplete = state.flags() & SolverState::IncompleteTree;
    state.setIteration(0);
    state.setFlag(SolverState::IncompleteTree, false);
    const SubgameStart start = subgameStart(state, subgame);
    const double target = solverSettings().recalcAccuracy[size_t(state.segments()[subgame.segment].street)];
    double exploitability = 0;
    for (int i = 0; i < kMaxSubgameIterations; ++i) {
        for (int player : {1, 0}) subgamePass(state, subgame, start, savedIteration, player, true);
        state.setIteration(state.iteration() + 1);
        const int t = state.iteration();
        if (t < kFirstCheck || t % kCheckEvery != 0) continue;
        exploitability = exploitabilityOf(state, subgame, start, savedIteration);
        if (!(exploitability > target)) break;
    }
    marks.markSolved(subgame);
    const int iterations = state.iteration();
    state.setIteration(savedIteration);
    state.setFlag(SolverState::IncompleteTree, incomplete);
    if (subgameReport())
        subgameReport()({std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count(),
                         iterations, exploitability});
    return exploitability;
}

void setSubgameReport(std::function<void(const SubgameReport&)> report) { subgameReport() = std::move(report); }

void solveDroppedSubgame(SolverState& state, uint32_t node, int stateIndex) {
    const SubgameRef subgame = subgameOf(state, node, stateIndex);
    if (subgame.valid() && !state.subgames().solved(subgame)) SolveSubgame(state, subgame, false);
}

void solveDroppedBelow(SolverState& state, int segmentIndex, int slotIndex, int stateIndex) {
    const int street = state.subgames().droppedStreet();
    if (street < 0) return;
    const Segment& segment = state.segments()[segmentIndex];
    if (segment.street >= street) return solveDroppedSubgame(state, segment.root, stateIndex);
    const BoardStates& boards = state.boards();
    const DealtBoard& board = boards.state(segment.level, stateIndex);
    for (int c : segment.chances) {
        const SegmentSlot& chance = segment.slots[c];
        if (chance.kind != SlotKind::NextStreet || !isBelow(state, segment.slots[slotIndex].node, chance.node)) continue;
        for (int i = 0; i < board.representativeCount; ++i)
            solveDroppedBelow(state, chance.childSegment, 0, boards.representative(board, i));
    }
}

void SolveSubgames(SolverState& state, int street, const std::function<void(int pass, int passes)>& progress) {
    const int dropped = state.subgames().droppedStreet();
    // Data dropped from an earlier street are gone too: they are solved with the rest.
    const int from = dropped < 0 ? street : std::min(street, dropped);
    for (uint32_t node = 0; node < state.nodes().size(); ++node) state.ensureStores(node, Paging::Huge);
    const int treeIterations = state.iteration();
    const int passes = std::max(1, treeIterations);
    state.setIteration(0);
    for (int pass = 1; pass <= passes; ++pass) {
        if (progress) progress(pass, passes);
        for (int player : {1, 0}) {
            PassSettings settings = resolvePassSettings(state, treeIterations, player, true);
            settings.trainFrom = from;
            traverseTree(state, settings);
        }
        state.setIteration(state.iteration() + 1);
    }
    state.subgames().setDroppedStreet(-1);
    state.setIteration(passes);
    state.setFlag(SolverState::IncompleteTree, false);
}

}  // namespace qv
