#pragma once
// The board states of a tree and the chance structure between them (see layout.h).
//
// Level 0 is the first board; every state below the river has one child state per class of
// equivalent cards that can be dealt. Two cards are equivalent when a suit permutation keeps the
// board and both ranges (and the deck weights) unchanged and maps one card to the other; the
// smallest card of a class is its representative and the only one with a state of its own. The
// value of a non-representative card c = s(r) for hand h is the representative's value for the
// hand s^-1(h), so each dealt card lists the permutation that gathers it.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "cards/card.h"
#include "cards/suit_isomorphism.h"
#include "solver/hand_list.h"
#include "solver/node_store.h"
#include "solver/showdown_table.h"

namespace qv {

struct DealtCard {
    uint8_t card;
    uint8_t representative;  // index into the state's representatives
    int8_t gather;           // permutation that maps this card's hands to the representative's; -1 = none
    float weight;            // chance weight of the card
};

struct DealtBoard {
    CardMask cards = 0;
    int level = 0;
    int parent = -1;       // index at the level above
    int dealt = -1;        // the card dealt to reach this state
    int firstRepresentative = 0, representativeCount = 0;  // into BoardStates::representatives
    int firstDeal = 0, dealCount = 0;                      // into BoardStates::deals
    int showdown = -1;     // index of the showdown table (river states)
};

// Everything that decides which cards can come and how they are weighted.
struct DealRules {
    int lowCard = 0;                     // rank index of the lowest rank in play
    std::vector<double> deckWeights;     // 52 weights, or empty for a uniform deck
    bool isomorphism = false;            // merge cards that a suit symmetry makes equivalent
};

// Showdown strength of two hole cards on a full board: larger is stronger.
using ShowdownRanker = std::function<uint32_t(CardMask board, Card first, Card second)>;

class BoardStates {
public:
    BoardStates() = default;
    BoardStates(CardMask firstBoard, const std::array<HandList, 2>& hands, const DealRules& rules,
                const ShowdownRanker& ranker);

    int riverLevel() const { return riverLevel_; }
    const std::vector<DealtBoard>& level(int l) const { return levels_[l]; }
    const DealtBoard& state(int level, int index) const { return levels_[level][index]; }
    int representative(const DealtBoard& s, int i) const { return representatives_[s.firstRepresentative + i]; }
    const DealtCard& deal(const DealtBoard& s, int i) const { return deals_[s.firstDeal + i]; }
    const ShowdownTable& showdown(const DealtBoard& s) const { return tables_[s.showdown]; }
    // Below the first board, river states number their hands afresh: only the hands the board
    // leaves possible, by ascending showdown strength (list order among equals), so that the
    // showdown walks them in order. `compactAt` tells whether a level does so.
    bool compactAt(int level) const { return level == riverLevel_ && riverLevel_ > 0; }
    HandView riverHands(int state, int player) const;
    // List index of each hand of a river state's numbering.
    const uint16_t* riverListIndex(int state, int player) const {
        return listIndex_[player].data() + riverHands_[state][player].start;
    }
    // Record placement of a player's nodes at a level.
    const LayoutPointer& layout(int player, int level) const { return layouts_[player][level]; }
    // Hand permutation p of a player: index of the permuted hand, for every hand.
    const uint16_t* permutation(int player, int p) const { return permutations_[player][p].data(); }
    // Hands of a player that hold a card.
    const std::vector<uint16_t>& handsWithCard(int player, Card card) const { return handsWithCard_[player][card]; }
    // The state (at the level of the given cards) and permutation that hold the data of a board:
    // the cards dealt after the first board, in order. Returns false when a card cannot come.
    bool locate(const std::vector<Card>& dealt, int& stateIndex, int& gather) const;
    size_t tableBytes() const;

private:
    void addChildren(int level, int index, const std::array<HandList, 2>& hands, const DealRules& rules);
    void numberRiverHands(const std::array<HandList, 2>& hands, const ShowdownRanker& ranker);
    void rankFirstBoard(const std::array<HandList, 2>& hands, const ShowdownRanker& ranker);
    void buildLayouts(const std::array<HandList, 2>& hands);

    struct CompactHands {
        uint32_t start = 0;
        int count = 0;
    };

    int riverLevel_ = 0;
    std::array<std::vector<DealtBoard>, 3> levels_;
    std::vector<int> representatives_;
    std::vector<DealtCard> deals_;
    std::vector<ShowdownTable> tables_;
    std::vector<SuitPermutation> symmetries_;  // suit permutations that keep board, ranges and deck
    std::array<std::vector<std::vector<uint16_t>>, 2> permutations_;
    std::array<std::array<std::vector<uint16_t>, kCardCount>, 2> handsWithCard_;
    std::vector<std::array<CompactHands, 2>> riverHands_;
    std::array<std::vector<uint16_t>, 2> listIndex_;
    std::array<std::vector<uint8_t>, 2> lowCard_, highCard_;
    std::array<std::vector<int16_t>, 2> sameInOther_;
    std::array<std::array<LayoutPointer, 3>, 2> layouts_;
};

}  // namespace qv
