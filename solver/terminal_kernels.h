#pragma once
// Terminal evaluation: the values of the traverser's hands at showdowns and folds of one board
// state against the opponent's reach, with card removal, several terminals per call.
//
// A batch holds 1 to 8 terminals that share a board state. Each member has its own opponent reach
// vector and stake; the kernel writes the traverser's value vector of each member (stride floats,
// 0 for hands the board blocks). The kernels run the hands once and carry one vector lane per
// member, which is why batching pays: the showdown is a sequential walk over sorted hands.
#include <cstdint>

#include "cards/card.h"
#include "solver/hand_list.h"
#include "solver/layout.h"
#include "solver/showdown_table.h"

namespace qv {

struct TerminalBatch {
    int width = 0;
    const float* reach[kMaxBatch] = {};  // opponent reach, opponent hand index
    float* values[kMaxBatch] = {};       // traverser values, traverser hand index
    float stake[kMaxBatch] = {};         // showdown: the stake a; fold: +amount when the traverser wins, else -amount
    float rake[kMaxBatch] = {};          // showdown rake rate (0 = none)
};

// value(h) = sum of a x reach over weaker compatible opponent hands minus the same over stronger
// ones; with a rake rate r, wins pay a (1 - 2r), ties cost a r, losses cost a.
void evaluateShowdowns(const ShowdownTable& table, int traverser, const HandView& traverserHands,
                       const HandView& opponentHands, const TerminalBatch& batch, bool raked);
// The same value for one unraked showdown, as two separate walks: the weaker hands upwards and the
// stronger hands downwards (the "alt1" evaluation flag).
void evaluateShowdownTwoWalks(const ShowdownTable& table, int traverser, const HandView& traverserHands,
                              const HandView& opponentHands, const float* reach, float stake, float* values);

// value(h) = stake x (total compatible opponent reach).
void evaluateFolds(const HandView& traverserHands, const HandView& opponentHands, CardMask board,
                   const TerminalBatch& batch);

}  // namespace qv
