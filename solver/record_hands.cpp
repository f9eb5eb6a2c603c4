#include "solver/record_hands.h"

#include <cmath>

namespace qv {

bool locateRecordHands(const SolverState& state, int player, int level, int turn, int river, RecordHands& out) {
    int record = 0, gather = -1;
    if (!state.locateRecord(level, turn, river, record, gather)) return false;
    const BoardStates& boards = state.boards();
    const HandList& list = state.hands(player);
    out.player = player;
    out.level = level;
    out.record = record;
    out.board = boards.state(level, record).cards;
    out.view = list.view();
    out.listIndex.resize(size_t(list.count));
    std::vector<int> position(size_t(list.count));  // record numbering of each list hand
    for (int h = 0; h < list.count; ++h) out.listIndex[h] = position[h] = h;
    if (boards.compactAt(level)) {
        out.view = boards.riverHands(record, player);
        out.listIndex.assign(boards.riverListIndex(record, player), boards.riverListIndex(record, player) + out.view.count);
        std::fill(position.begin(), position.end(), -1);
        for (int i = 0; i < out.view.count; ++i) position[out.listIndex[i]] = i;
    }
    out.slotOfHand.assign(size_t(out.view.count), -1);
    // Hand h of the asked board is list hand perm[h] of the record's board.
    const uint16_t* perm = gather >= 0 ? boards.permutation(player, gather) : nullptr;
    for (int h = 0; h < list.count; ++h) {
        const int stored = perm ? perm[h] : h;
        if ((list.mask[stored] & out.board) || position[stored] < 0) continue;
        out.slotOfHand[position[stored]] =
            handSlotOf(state.toUserCard(list.lowCard[h]), state.toUserCard(list.highCard[h]));
    }
    return true;
}

void scatterToSlots(const RecordHands& hands, const float* stored, std::vector<double>& bySlot) {
    for (size_t h = 0; h < hands.slotOfHand.size(); ++h)
        if (hands.slotOfHand[h] >= 0) bySlot[size_t(hands.slotOfHand[h])] = stored[h];
}

void gatherFromSlots(const RecordHands& hands, const std::vector<double>& bySlot, float* stored) {
    for (int h = 0; h < hands.view.stride; ++h) stored[h] = 0.0f;
    for (size_t h = 0; h < hands.slotOfHand.size(); ++h) {
        const int slot = hands.slotOfHand[h];
        if (slot < 0) continue;
        const double v = bySlot[size_t(slot)];
        stored[h] = std::isnan(v) ? 0.0f : float(v);
    }
}

}  // namespace qv
