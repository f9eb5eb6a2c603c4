#pragma once
// Lookup tables of the hand evaluator, indexed by a 13-bit rank mask (bit r for rank r). Seven
// cards make at most seven ranks, so the largest mask is ace through eight, 8128.
#include <cstdint>

namespace qv {

constexpr int kRankMaskEntries = 8129;

struct EvaluatorTables {
    uint32_t bitCount[kRankMaskEntries];
    uint32_t topRank[kRankMaskEntries];
    // The highest five ranks as nibbles, highest first, right-aligned: ranks a > b > c give
    // a*256 + b*16 + c.
    uint32_t topFive[kRankMaskEntries];
    // 0 without five ranks in sequence, else 0x4000000 + (top rank << 16) of the highest
    // straight; the ace-to-five straight counts as top rank 3.
    uint32_t straight[kRankMaskEntries];
};

extern EvaluatorTables evaluatorTables;

void buildEvaluatorTables();

}  // namespace qv
