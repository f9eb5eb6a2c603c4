#pragma once
// Hand strength of three to seven cards: a larger value is a stronger hand, equal values tie.
#include <cstdint>

#include "cards/card.h"

namespace qv {

using HandValue = uint32_t;

// Any count other than 3..7 gives 0.
HandValue evaluateHand(const Card* cards, int count);

}  // namespace qv
