#pragma once
// The evaluator's rule settings: a short deck, a custom category order and the hole-card rule.
#include <array>
#include <string>

namespace qv {

struct HandRules {
    int lowCard = 0;            // rank index 0..4 of the lowest rank in play; 0 = full deck
    int mustUseHoleCards = 0;   // 0 any five of seven, 1 exactly one hole card, 2 both hole cards
    std::array<int, 9> positionToCategory{0, 1, 2, 3, 4, 5, 6, 7, 8};
    std::array<int, 9> categoryToPosition{0, 1, 2, 3, 4, 5, 6, 7, 8};
    bool customOrder = false;
};

HandRules& handRules();

// "highcard", "pair", "twopair", "trips", "straight", "flush", "fullhouse", "quads",
// "straightflush" for categories 0..8.
const char* categoryName(int category);
// The category of an exact (case-sensitive) name, or -1.
int categoryOfName(const std::string& name);

// Installs an order given weakest first as a position-to-category table, deriving the inverse
// table and the custom flag. False (and nothing changed) unless it names each category once.
bool setHandTypeOrder(HandRules& rules, const std::array<int, 9>& positionToCategory);

}  // namespace qv
