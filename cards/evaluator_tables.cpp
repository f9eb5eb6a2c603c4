#include "cards/evaluator_tables.h"

#include <bit>
#include <mutex>

namespace qv {

EvaluatorTables evaluatorTables;

namespace {

constexpr uint32_t kWheel = (1u << 12) | 0xF;

uint32_t straightEntry(uint32_t mask) {
    for (int top = 12; top >= 4; --top) {
        uint32_t run = 0x1Fu << (top - 4);
        if ((mask & run) == run) return 0x4000000u + (uint32_t(top) << 16);
    }
    return (mask & kWheel) == kWheel ? 0x4030000u : 0;
}

uint32_t topFiveEntry(uint32_t mask) {
    uint32_t packed = 0;
    int taken = 0;
    for (int rank = 12; rank >= 0 && taken < 5; --rank) {
        if (!(mask & (1u << rank))) continue;
        packed = packed * 16 + uint32_t(rank);
        ++taken;
    }
    return packed;
}

void fillEvaluatorTables(EvaluatorTables& t) {
    for (uint32_t mask = 0; mask < uint32_t(kRankMaskEntries); ++mask) {
        t.bitCount[mask] = uint32_t(std::popcount(mask));
        t.topRank[mask] = mask ? uint32_t(31 - std::countl_zero(mask)) : 0;
        t.topFive[mask] = topFiveEntry(mask);
        t.straight[mask] = straightEntry(mask);
    }
}

// Engine test binaries get the tables without having to remember to build them.
[[maybe_unused]] const bool builtAtLoad = (buildEvaluatorTables(), true);

}  // namespace

void buildEvaluatorTables() {
    static std::once_flag once;
    std::call_once(once, [] { fillEvaluatorTables(evaluatorTables); });
}

}  // namespace qv
