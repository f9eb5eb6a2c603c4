#pragma once
// The node table cut into segments: the nodes of one street that a street's first decision (or the
// tree's root) reaches before the next card comes. A segment is solved at one board state at a
// time; its leaves are terminals or "chance slots" whose value needs more cards (the first
// decision of the next street, or a showdown reached before the river: an all-in).
#include <cstdint>
#include <limits>
#include <vector>

#include "solver/solver_state.h"

namespace qv {

enum class SlotKind : uint8_t { Decision, Fold, Showdown, NextStreet, AllIn };

struct SegmentSlot {
    uint32_t node = 0;
    SlotKind kind = SlotKind::Decision;
    int8_t player = 0;        // decision: the player to act; fold: the player who wins
    uint16_t actions = 0;     // decision: number of children
    uint32_t firstChild = 0;  // decision: into Segment::children
    float stake = 0;
    float rake = 0;           // showdown and all-in: rake rate
    int childSegment = -1;    // next street: the segment it starts
};

struct Segment {
    uint32_t root = 0;
    int level = 0;                     // board level of the segment's street
    int street = 1;
    std::vector<SegmentSlot> slots;    // pre-order; slot 0 is the root
    std::vector<uint32_t> children;    // slot indices
    std::vector<int> decisions;        // decision slots in pre-order
    std::vector<int> terminals;        // fold and showdown slots
    std::vector<int> chances;          // next-street and all-in slots
    double work = 0;                   // estimated cost of one solve at one board, hands not counted
};

// Consecutive slots of a segment: whole subtrees, as slots are in pre-order. Threads that share
// a segment solve take one range each.
struct SlotRange {
    int first = 0;
    int end = std::numeric_limits<int>::max();
};

std::vector<Segment> buildSegments(const std::vector<GameNode>& nodes, int firstStreet);

// Rake rate of a showdown with stake s under the tree's rake settings: the fraction, lowered
// so that the rake of the whole pot 2s stays within the cap; 0 without a cap or stake.
float rakeRate(float fraction, float cap, double stake);

}  // namespace qv
