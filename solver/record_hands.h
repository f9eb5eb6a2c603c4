#pragma once
// The hands of one player at the store record that holds a board's data, matched to the user's
// combos. With suit isomorphism a board's data may live in the record of an equivalent board, and
// the tree may be solved in relabelled suits; river records below the first board number only the
// hands their board leaves possible. This map says which hand of the record stands for which of
// the user's HandSlots, so every per-combo read and write goes through one place.
#include <vector>

#include "solver/solver_state.h"

namespace qv {

struct RecordHands {
    int player = 0;
    int level = 0;
    int record = 0;                // board state index at the level
    CardMask board = 0;            // the record's board, in the suits the tree is solved in
    HandView view;                 // the player's hands in the record's numbering
    std::vector<int> slotOfHand;   // per hand of the record: the user's HandSlot, or -1 when the board blocks it
    std::vector<int> listIndex;    // per hand of the record: its index in the player's hand list
};

// The record of the board made of the first board and the given dealt cards (user suits) at a
// level. False when the level needs a card that is missing or cannot come.
bool locateRecordHands(const SolverState& state, int player, int level, int turn, int river, RecordHands& out);

// bySlot[slot] = stored[h] for every hand of the record the board leaves; other entries are untouched.
void scatterToSlots(const RecordHands& hands, const float* stored, std::vector<double>& bySlot);
// stored[h] = bySlot[slot] for every hand of the record (0 for blocked hands and non-numbers); the
// padding up to the record's stride is zeroed.
void gatherFromSlots(const RecordHands& hands, const std::vector<double>& bySlot, float* stored);

}  // namespace qv
