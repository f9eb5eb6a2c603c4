#include "solver/showdown_rank.h"

#include "interpreter/errors.h"

namespace qv {

ShowdownRanker defaultShowdownRanker() {
    return [](CardMask, Card, Card) -> uint32_t { throw EngineError("evaluator not available"); };
}

}  // namespace qv
