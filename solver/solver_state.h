#pragma once
// The solver engine's state for one built tree. It owns the node table made from the action
// records and every store attached to it.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tree/action_record.h"

namespace qv {

// What a tree build hands to the solver engine.
struct GameDefinition {
    std::vector<ActionRecord> records;
    std::array<int, 3> flop{};   // card indices
    int turn = -1;               // card index, or -1
    int river = -1;
    std::array<std::vector<double>, 2> ranges;  // 1326 weights each, HandSlot order
    bool isomorphism = false;
};

struct GameNode {
    ActionType type = ActionType::Decision;
    uint32_t parent = 0xFFFFFFFFu;
    int32_t player = 0;
    int32_t street = 1;
    double stake = 0;
    std::vector<uint32_t> children;
};

struct NodeCounts {
    int decision = 0;
    int showdown = 0;
    int fold = 0;
};

class SolverState {
public:
    explicit SolverState(const GameDefinition& game);

    const std::vector<GameNode>& nodes() const { return nodes_; }
    NodeCounts counts() const { return counts_; }
    double largestStake() const { return largestStake_; }
    uint32_t flags() const { return flags_; }

    enum Flag : uint32_t { IncompleteTree = 1, IsomorphismOn = 2, NewTree = 4 };

private:
    std::vector<GameNode> nodes_;
    NodeCounts counts_;
    double largestStake_ = 0;
    uint32_t flags_ = NewTree;
};

// Flag words of the tree ("INCOMPLETE_TREE ISOMORPHISM_ON NEW_TREE") and of one node at one
// board state ("LOCKED COMBO_LOCKED"); empty without a state or a store.
std::string treeFlagsText(const SolverState* state);
std::string nodeFlagsText(const SolverState& state, int recordIndex, int turn, int river);

}  // namespace qv
