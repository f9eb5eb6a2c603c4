#pragma once
// Shared set-up of the tree tests: a clean game description with full ranges, a board, lines.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "cards/card.h"
#include "cards/game_setup.h"
#include "cards/hand_rules.h"
#include "tree/built_tree.h"
#include "tree/schematic_tree.h"
#include "tree/tree_builder.h"
#include "tree/tree_params.h"

namespace qv::test {

// Adds one line written as in add_line ("0 33 83"); false when an amount goes down.
inline bool addLineText(const std::string& line, bool prune = false) {
    LineWriter writer(schematicRoot(), prune);
    std::istringstream in(line);
    for (std::string amount; in >> amount;)
        if (!writer.add(std::floor(std::stod(amount)))) return false;
    return true;
}

inline void addLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) ASSERT_TRUE(addLineText(line)) << line;
}

class TreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        forgetProcessState();
        gameSetup().ranges[0].assign(kComboCount, 1.0);
        gameSetup().ranges[1].assign(kComboCount, 1.0);
        setBoard("QsJh2h");
    }
    // Forgets every game and tree setting, as a fresh process starts.
    static void forgetProcessState() {
        clearLines();
        freeBuiltTree();
        treeParams() = TreeParams{};
        handRules() = HandRules{};
        gameSetup() = GameSetup{};
    }
    void TearDown() override {
        clearLines();
        freeBuiltTree();
    }
    // Cards in two-character pieces: three for the flop, then the turn and the river.
    static void setBoard(const std::string& cards) {
        BoardState& board = gameSetup().board;
        board = BoardState{};
        board.flop = parseCards(cards.substr(0, 6));
        if (cards.size() >= 8) board.turn = parseCards(cards.substr(6, 2));
        if (cards.size() >= 10) board.river = parseCards(cards.substr(8, 2));
    }
};

}  // namespace qv::test
