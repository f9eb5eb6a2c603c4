#include "solver/showdown_rank.h"

#include "cards/showdown_value.h"

namespace qv {

ShowdownRanker defaultShowdownRanker() {
    return [](CardMask board, Card first, Card second) -> uint32_t { return showdownValue(board, first, second); };
}

}  // namespace qv
