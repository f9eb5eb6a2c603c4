#include "solver/strategy_access.h"

#include <cmath>
#include <limits>

namespace qv {

namespace {

std::vector<std::vector<float>> readStrategy(const SolverState& state, uint32_t node, int turn, int river,
                                             bool average) {
    const GameNode& n = state.nodes().at(node);
    NodeStore* regrets = state.regrets(node);
    if (n.type != ActionType::Decision || !regrets) return {};
    int record = 0, gather = -1;
    const int level = n.street - state.firstStreet();
    if (!state.locateRecord(level, turn, river, record, gather)) return {};
    const int player = n.player;
    const HandList& hands = state.hands(player);
    const int actions = int(n.children.size());
    std::vector<float> strategy(size_t(actions) * size_t(regrets->stride(record)));
    regrets->currentStrategy(record, strategy.data());
    if (average && state.strategySums(node)) state.strategySums(node)->averageStrategy(record, strategy.data(), strategy.data());

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
    const size_t stride = size_t(regrets->stride(record));
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

std::vector<std::vector<float>> nodeAverageStrategy(const SolverState& state, uint32_t node, int turn, int river) {
    return readStrategy(state, node, turn, river, true);
}

std::vector<std::vector<float>> nodeCurrentStrategy(const SolverState& state, uint32_t node, int turn, int river) {
    return readStrategy(state, node, turn, river, false);
}

}  // namespace qv
