#include "solver/strategy_access.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "solver/resolve.h"
#include "solver/subgame_host.h"
#include "solver/vector_ops.h"

namespace qv {

namespace {

std::vector<std::vector<float>> strategyByCombo(SolverState& state, uint32_t node, int turn, int river,
                                                bool average) {
    const GameNode& n = state.nodes().at(node);
    if (n.type != ActionType::Decision) return {};
    int record = 0, gather = -1;
    const int level = n.street - state.firstStreet();
    if (!state.locateRecord(level, turn, river, record, gather)) return {};
    const int player = n.player;
    const HandList& hands = state.hands(player);
    const int actions = int(n.children.size());
    const size_t stride = size_t(state.boards().layout(player, level)->strides[size_t(record)]);
    std::vector<float> strategy(size_t(actions) * stride);
    readStrategy(state, node, record, average, strategy.data());

    const BoardStates& boards = state.boards();
    CardMask board = boards.state(level, record).cards;
    const uint16_t* perm = gather >= 0 ? boards.permutation(player, gather) : nullptr;
    // Records of river states number only the hands the board leaves possible.
    std::vector<int> position(size_t(hands.count));
    for (int h = 0; h < hands.count; ++h) position[h] = h;
    if (boards.compactAt(level)) {
        const uint16_t* listIndex = boards.riverListIndex(record, player);
        for (int i = 0; i < boards.riverHands(record, player).count; ++i) position[listIndex[i]] = i;
    }
    std::vector<std::vector<float>> out(size_t(actions), std::vector<float>(kComboCount, std::nanf("")));
    for (int h = 0; h < hands.count; ++h) {
        int stored = perm ? perm[h] : h;
        if (hands.mask[stored] & board) continue;
        int slot = handSlotOf(state.toUserCard(hands.lowCard[h]), state.toUserCard(hands.highCard[h]));
        for (int a = 0; a < actions; ++a) out[a][slot] = strategy[size_t(a) * stride + position[stored]];
    }
    return out;
}

}  // namespace

void recordStrategy(const SolverState& state, uint32_t node, int record, bool average, float* out) {
    const GameNode& n = state.nodes()[node];
    if (n.street > state.firstStreet() && readHeldStrategy(state, node, record, average, out)) return;
    const int actions = int(n.children.size());
    const BoardLayout& layout = *state.boards().layout(n.player, n.street - state.firstStreet());
    const size_t stride = size_t(layout.strides[size_t(record)]);
    NodeStore* regrets = state.regrets(node);
    if (!regrets) {
        const int count = layout.counts[size_t(record)];
        for (int a = 0; a < actions; ++a) {
            float* row = out + size_t(a) * stride;
            std::fill(row, row + count, a == 0 ? defaultFirstProbability(actions) : defaultOtherProbability(actions));
            std::fill(row + count, row + stride, 0.0f);
        }
        return;
    }
    regrets->currentStrategy(record, out);
    NodeStore* sums = state.strategySums(node);
    if (average && sums) sums->averageStrategy(record, out, out);
}

bool readHeldStrategy(const SolverState& state, uint32_t node, int record, bool average, float* out) {
    SubgameHost* host = subgameHost();
    return host && host->readStrategy(state, node, record, average, out);
}

void readStrategy(SolverState& state, uint32_t node, int record, bool average, float* out) {
    solveDroppedSubgame(state, node, record);
    recordStrategy(state, node, record, average, out);
}

std::vector<std::vector<float>> nodeAverageStrategy(SolverState& state, uint32_t node, int turn, int river) {
    return strategyByCombo(state, node, turn, river, true);
}

std::vector<std::vector<float>> nodeCurrentStrategy(SolverState& state, uint32_t node, int turn, int river) {
    return strategyByCombo(state, node, turn, river, false);
}

}  // namespace qv
