#pragma once
// Readable form of a hand value, as eval_hand prints it.
#include <string>

#include "cards/evaluator.h"

namespace qv {

// The true category of a value under the current order (bits 24..31 are its position).
int categoryOfValue(HandValue value);

// "aces, king nine seven kicker", "kings over nines", "five four trey deuce ace", ...
std::string describeHand(HandValue value);

}  // namespace qv
