#include "solver/solver_state.h"

#include <cmath>

namespace qv {

SolverState::SolverState(const GameDefinition& game) {
    nodes_.reserve(game.records.size());
    for (const ActionRecord& record : game.records) {
        GameNode node;
        node.type = record.type;
        node.parent = record.parent;
        node.stake = record.stake;
        const GameNode* parent = record.parent == 0xFFFFFFFFu ? nullptr : &nodes_[record.parent];
        if (record.type == ActionType::Decision) {
            node.player = record.player;
            node.street = record.street;
            ++counts_.decision;
        } else {
            node.player = parent ? parent->player : 0;
            node.street = record.type == ActionType::Showdown ? 3 : (parent ? parent->street : 1);
            record.type == ActionType::Showdown ? ++counts_.showdown : ++counts_.fold;
            largestStake_ = std::max(largestStake_, std::fabs(record.stake));
        }
        nodes_.push_back(node);
        if (record.parent != 0xFFFFFFFFu) nodes_[record.parent].children.push_back(uint32_t(nodes_.size() - 1));
    }
    if (game.isomorphism) flags_ |= IsomorphismOn;
}

std::string treeFlagsText(const SolverState* state) {
    if (!state) return {};
    static const char* words[] = {"INCOMPLETE_TREE", "ISOMORPHISM_ON", "NEW_TREE"};
    std::string text;
    for (int bit = 0; bit < 3; ++bit) {
        if (!(state->flags() & (1u << bit))) continue;
        if (!text.empty()) text += ' ';
        text += words[bit];
    }
    return text;
}

std::string nodeFlagsText(const SolverState&, int, int, int) { return {}; }

}  // namespace qv
