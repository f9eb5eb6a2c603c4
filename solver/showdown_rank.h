#pragma once
// The showdown strength the solver uses by default: the evaluator under the current hole-card rule.
#include "solver/board_states.h"

namespace qv {

ShowdownRanker defaultShowdownRanker();

}  // namespace qv
