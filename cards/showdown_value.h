#pragma once
// What a combo is worth at showdown on a board, under the hole-card rule of handRules():
// 0 any five of the cards, 1 exactly one hole card with four board cards, 2 both hole cards with
// three board cards. On boards too short for the rule, all board cards are used.
#include <array>

#include "cards/combo_tables.h"
#include "cards/evaluator.h"

namespace qv {

// Marks a combo that shares a card with the board.
constexpr HandValue kImpossibleHand = 0xFFFFFFFF;

HandValue showdownValue(CardMask board, Card first, Card second);

// One value per HandSlot.
void showdownValues(CardMask board, std::array<HandValue, kComboCount>& values);

}  // namespace qv
