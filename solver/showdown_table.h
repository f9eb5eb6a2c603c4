#pragma once
// What a showdown at one river board needs: each player's unblocked hands sorted by strength and
// cut into groups of equal strength. Group numbers are shared by both players, so group g of the
// opponent ties with group g of the traverser.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "solver/hand_list.h"

namespace qv {

struct ShowdownEntry {
    uint16_t hand;  // index in the player's hand list
    uint8_t lowCard;
    uint8_t highCard;
};

struct ShowdownTable {
    std::array<std::vector<ShowdownEntry>, 2> sorted;  // ascending strength
    std::array<std::vector<uint16_t>, 2> groupEnd;     // end of group g in sorted[p]
    int groups = 0;
};

// Strength of hand h of player p at the board; larger is stronger, 0xFFFFFFFF marks a hand the
// board blocks.
using HandStrength = std::function<uint32_t(int player, int hand)>;

ShowdownTable buildShowdownTable(const std::array<HandView, 2>& hands, const HandStrength& strength);

}  // namespace qv
