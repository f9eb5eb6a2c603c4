#pragma once
// How the solver lays out its data. Everything the iteration reads in a hot loop is described here
// once, so the kernels, the stores and the traversal agree on it.
//
//  Hands. Each player has one hand list for the whole tree: the combos with a positive starting
//  weight that the tree's first board does not block, in ascending HandSlot order. On the first
//  street and the turn of a flop tree the same index names the same combo; a hand that a dealt
//  card blocks keeps its index, its opponent reach there is 0 and its own values are 0. River
//  states below the first board number their hands afresh: only the hands their cards leave
//  possible (about 8% fewer), by ascending showdown strength, with a map back to the list index.
//  Reach goes in and values come out through that map where a river card is dealt.
//
//      HandList (player p)         index:  0    1    2   ...  count-1 | pad to stride (x8)
//        slot, cards, mask, weight         per hand                   | weight 0
//      river state (player p)      index:  0 .. count(b)-1 -> list index
//
//  Per-hand vectors (reach, values, strategies) are float, 32-byte aligned, `stride` long
//  (count rounded up to 8) and zero in the padding, so loops run 8 wide; the helpers in
//  vector_ops.h still take any length and finish with a scalar tail.
//
//  Board states. Level 0 is the tree's first board; level 1 adds one dealt card, level 2 a second.
//  With suit isomorphism only one card of each class of equivalent cards gets a board state (the
//  representative); the others reuse its results through a hand permutation (board_states.h).
//  Board states of one level are numbered 0..n-1; that number is the record index of a store.
//
//  Stores. One store per decision node and role (regrets, strategy sums); a store holds one record
//  per board state of the node's level, records back to back (BoardLayout gives each record's
//  length and offset; river records differ in length from board to board):
//
//      store data:   [board 0: action 0 (stride 0) | action 1 | ... ] [board 1: ...] ...
//      headers:      [board 0: flags, scale, lock marks] [board 1: ...] ...
//
//  Flop and turn records are float; river records of flop trees are 16-bit (regrets in units of
//  1 / (value scale x record scale), strategy sums of the "fast" class with a float scale).
//
//  River showdowns. Each river board state keeps, per player, its unblocked hands sorted by
//  strength, cut into groups of equal strength numbered across both players (showdown_table.h),
//  so a showdown is two linear passes with 52 per-card accumulators.
//
//  Traversal. A segment is the part of one street that a street's first decision reaches before
//  the next card (segments.h). A segment is solved at one board state in three sweeps: top-down
//  reach and strategies, the terminals in batches of up to 8 (one vector lane per terminal), then
//  bottom-up values and regret updates. Scratch vectors come from a per-thread stack (scratch.h).
//  The all-in slots of a segment are dealt down to the river together, so each river board runs
//  one showdown call for all of them (one lane per slot; at the tree's root, one job per group of
//  all-ins and turn card). A kernel call of W terminals runs in 1, 4 or 8 vector lanes
//  (kernel_lanes.h), the spare lanes on zero reach.
//
//  Memory. Store arrays are mapped pages with 2 MB pages requested: an iteration sweeps every
//  store once, so the TLB misses and first-touch faults of 4 KB pages are avoided.
#include <cstddef>
#include <cstdint>

namespace qv {

constexpr int kLanes = 8;            // floats per AVX2 register
constexpr int kMaxBatch = 8;         // terminals evaluated together by one kernel call
constexpr size_t kVectorAlign = 32;  // bytes
constexpr float kSmallestNormal = 1.1754944e-38f;

inline int paddedLength(int count) { return (count + kLanes - 1) / kLanes * kLanes; }

// The first word of every store record.
enum RecordFlag : uint32_t { RecordLocked = 1, RecordComboLocked = 2 };

struct RecordHeader {
    uint32_t flags = 0;
    float scale = 1.0f;          // 16-bit records: the record scale (regrets) or value scale (sums)
    uint8_t* lockMarks = nullptr;  // one byte per hand when COMBO_LOCKED; owned by the store
};

}  // namespace qv
