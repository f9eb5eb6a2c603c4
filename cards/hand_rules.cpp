#include "cards/hand_rules.h"

namespace qv {

namespace {

constexpr const char* kCategoryNames[9] = {"highcard", "pair",  "twopair",   "trips",
                                           "straight", "flush", "fullhouse", "quads",
                                           "straightflush"};

}  // namespace

HandRules& handRules() {
    static HandRules rules;
    return rules;
}

const char* categoryName(int category) {
    return category >= 0 && category < 9 ? kCategoryNames[category] : "";
}

int categoryOfName(const std::string& name) {
    for (int c = 0; c < 9; ++c)
        if (name == kCategoryNames[c]) return c;
    return -1;
}

bool setHandTypeOrder(HandRules& rules, const std::array<int, 9>& positionToCategory) {
    std::array<int, 9> inverse;
    inverse.fill(-1);
    for (int position = 0; position < 9; ++position) {
        int category = positionToCategory[position];
        if (category < 0 || category >= 9 || inverse[category] >= 0) return false;
        inverse[category] = position;
    }
    rules.positionToCategory = positionToCategory;
    rules.categoryToPosition = inverse;
    rules.customOrder = false;
    for (int position = 0; position < 9; ++position)
        if (positionToCategory[position] != position) rules.customOrder = true;
    return true;
}

}  // namespace qv
