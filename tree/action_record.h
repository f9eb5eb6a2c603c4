#pragma once
// The flattened form of the schematic tree that a build hands to the solver engine: one record
// per schematic node, depth first, pre-order, children in descending key order.
#include <cstdint>

namespace qv {

enum class ActionType : uint32_t { Decision = 0, Showdown = 1, Fold = 2 };

struct ActionRecord {
    ActionType type = ActionType::Decision;
    uint32_t parent = 0xFFFFFFFFu;  // index of the parent record; none for the first record
    int32_t player = -1;            // decision: 0 OOP, 1 IP; terminal: -1
    int32_t street = -1;            // decision: 1 flop, 2 turn, 3 river; terminal: -1
    double stake = 0;               // terminal: half the pot plus the node's amount
};

}  // namespace qv
