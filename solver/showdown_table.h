#pragma once
// What a showdown at one river board needs: each player's hands that the board leaves, by
// ascending strength, cut into groups of equal strength. Group numbers are shared by both players,
// so group g of the opponent ties with group g of the traverser.
//
// The river states below a first board number their hands by strength (board_states.h): their
// hand order is the strength order, and a table needs only the group ends. A hand list in any other
// order (the first board's own, an equity's run-out) gets the strength order spelled out.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "solver/hand_list.h"

namespace qv {

// One player's hands in strength order, read through the kernels' common view.
struct StrengthOrder {
    int count = 0;
    const uint16_t* hand = nullptr;  // index in the hand list; null when the list is in this order
    const uint8_t* lowCard = nullptr;
    const uint8_t* highCard = nullptr;
    const int16_t* sameInOther = nullptr;  // position of the same combo in the other's order, or -1

    int handAt(size_t k) const { return hand ? hand[k] : int(k); }
};

struct RankedHands {
    std::vector<uint16_t> hand;
    std::vector<uint8_t> lowCard, highCard;
    std::vector<int16_t> sameInOther;
};

struct ShowdownTable {
    std::array<std::vector<uint16_t>, 2> groupEnd;  // end of group g in the strength order of p
    int groups = 0;
    std::unique_ptr<std::array<RankedHands, 2>> ranked;  // null when the lists are in strength order

    // The strength order of a player whose hands in list order are `list`.
    StrengthOrder order(int player, const HandView& list) const;
};

// Strength of hand h of player p at the board; larger is stronger, 0xFFFFFFFF marks a hand the
// board blocks.
using HandStrength = std::function<uint32_t(int player, int hand)>;

// The hands of a list that the board leaves, as sort keys: strength in the high bits and the list
// index in the low 16, so that one plain sort orders by strength and keeps list order among equals.
void rankKeys(int count, int player, const HandStrength& strength, std::vector<uint64_t>& keys);
inline int keyHand(uint64_t key) { return int(key & 0xFFFF); }
// The group ends of both players' sorted keys.
void cutGroups(const std::array<std::vector<uint64_t>, 2>& keys, ShowdownTable& table);

// Where one player's hands go in strength order: arrays of one entry per key.
struct OrderedHands {
    uint16_t* hand;
    uint8_t* lowCard;
    uint8_t* highCard;
    int16_t* sameInOther;
};
// Writes both players' hands in the order of their sorted keys: list index, cards, and the same
// combo's position in the other player's order. `positionOf` is scratch of each list's length.
void writeStrengthOrder(const std::array<HandView, 2>& lists, const std::array<std::vector<uint64_t>, 2>& keys,
                        const std::array<OrderedHands, 2>& out, std::array<std::vector<int16_t>, 2>& positionOf);

// The table of two hand lists in list order.
ShowdownTable buildShowdownTable(const std::array<HandView, 2>& hands, const HandStrength& strength);

}  // namespace qv
