// The two conversions between combo order and slot order are inverse permutations. Ranges go in
// through one and come out through the other, so a fault shared by both never shows in a session;
// the tables themselves show in what the protocol scripts print (the combo order, ranges, strategies
// and saved trees) and in the range-consistency test (which slots share a grid cell, in what order).
#include <gtest/gtest.h>

#include <numeric>
#include <set>

#include "cards/combo_tables.h"

namespace qv {
namespace {

TEST(ComboOrder, ConversionsAreInversePermutations) {
    std::vector<double> combos(kComboCount);
    std::iota(combos.begin(), combos.end(), 0.5);
    std::vector<double> slots = toSlotOrder(combos);
    EXPECT_EQ(toComboOrder(slots), combos);
    EXPECT_EQ(std::set<double>(slots.begin(), slots.end()).size(), size_t(kComboCount));
    EXPECT_EQ(slots[78], combos[0]);  // 2c2d
}

}  // namespace
}  // namespace qv
