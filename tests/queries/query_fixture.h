#pragma once
// Solved test games and the points of them that the query tests visit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "queries/tree_point.h"
#include "solver/iteration.h"
#include "solver/naive_best_response.h"
#include "solver/settings.h"

namespace qv::testing {

struct GameSpec {
    const char* name;
    int street;        // first street: 1 flop, 2 turn, 3 river
    bool isomorphism;
    std::vector<const char*> board;
    int iterations;
    int picks;         // combos drawn for each range
};

inline void PrintTo(const GameSpec& spec, std::ostream* os) { *os << spec.name; }

inline GameDefinition definitionOf(const GameSpec& spec) {
    GameDefinition game;
    game.records = toyTree(spec.street, true);
    game.flop = flopOf(spec.board[0], spec.board[1], spec.board[2]);
    if (spec.street <= 2) game.turn = -1;
    if (spec.street >= 2) game.turn = card(spec.board[3]);
    if (spec.street == 3) game.river = card(spec.board[4]);
    const CardMask board = cardsOf(spec.board);
    game.ranges[0] = symmetricRange(board, 101, spec.picks, spec.isomorphism);
    game.ranges[1] = symmetricRange(board, 202, spec.picks, spec.isomorphism);
    game.isomorphism = spec.isomorphism;
    return game;
}

inline void iterate(SolverState& state, int iterations) {
    solverSettings().threadCount = 1;
    for (int i = 0; i < iterations; ++i) runIteration(state, solverSettings());
}

// A point named by the child indices from the first decision and the cards dealt on the way.
struct PointSpec {
    std::vector<int> actions;
    const char* turn = nullptr;
    const char* river = nullptr;
    bool split = false;
};

inline TreePoint pointOf(const SolverState& state, const PointSpec& spec) {
    TreePoint point;
    for (int a : spec.actions) point.node = state.nodes()[point.node].children[size_t(a)];
    const GameDefinition& game = state.definition();
    point.turn = spec.turn ? card(spec.turn) : game.turn;
    point.river = spec.river ? card(spec.river) : game.river;
    point.split = spec.split;
    return point;
}

// The cards dealt on the way to a point after the first board, as the naive best response takes them.
inline std::vector<int> dealtAt(const SolverState& state, const TreePoint& point) {
    std::vector<int> dealt;
    if (state.definition().turn < 0 && point.turn >= 0) dealt.push_back(point.turn);
    if (state.definition().river < 0 && point.river >= 0) dealt.push_back(point.river);
    return dealt;
}

inline std::string describe(const PointSpec& spec) {
    std::string text = "actions";
    for (int a : spec.actions) text.append(1, ' ').append(std::to_string(a));
    if (spec.turn) text += std::string(" turn ") + spec.turn;
    if (spec.river) text += std::string(" river ") + spec.river;
    if (spec.split) text += " (split)";
    return text;
}

// Dealt cards come in pairs that a suit swap of diamonds and spades exchanges, so that on boards
// without those suits one of each pair is solved through the other under suit isomorphism.
inline std::vector<PointSpec> pointsOf(int street) {
    if (street == 3) return {{{}}, {{0}}, {{0, 0}}, {{0, 1}}, {{0, 2}}, {{1, 0}}, {{1, 1}}};
    if (street == 2)
        return {{{}},
                {{0}},
                {{0, 1}, nullptr, nullptr, true},
                {{0, 1}, nullptr, "Qd"},
                {{0, 1}, nullptr, "Qs"},
                {{0, 1, 1, 0}, nullptr, "Qs"},
                {{1, 1, 1, 1}, nullptr, "3d"}};
    return {{{}},
            {{0}},
            {{0, 0}, nullptr, nullptr, true},  // an all-in call on the flop: a split into turn cards
            {{0, 0}, "Qd"},                    // one of its showdowns, over the rivers below that turn
            {{0, 1}},
            {{1, 0}, nullptr, nullptr, true},
            {{1, 0}, "Qd"},
            {{1, 0}, "Qs"},
            {{1, 0, 0, 0}, "Qs"},
            {{1, 0, 1, 1}, "Qs", nullptr, true},
            {{1, 0, 1, 1}, "Qd", "3s"},
            {{1, 0, 1, 1, 0}, "Qs", "3d"},
            {{1, 0, 1, 1, 0}, "2c", "3s"}};
}

}  // namespace qv::testing
