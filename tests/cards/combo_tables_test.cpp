// The combo tables against each other (show_hand_order in cards_set_range prints the whole order).
#include <gtest/gtest.h>

#include <numeric>
#include <set>

#include "cards/combo_tables.h"

namespace qv {
namespace {

ComboIndex comboOfName(const std::string& name) {
    const CardTables& t = cardTables();
    for (ComboIndex i = 0; i < kComboCount; ++i)
        if (t.comboName(i) == name) return i;
    return -1;
}

TEST(ComboOrder, SlotsFollowCardIntegers) {
    const CardTables& t = cardTables();
    EXPECT_EQ(handSlotOf(0, 13), 78);
    EXPECT_EQ(handSlotOf(51, 38), 1313);
    EXPECT_EQ(t.slotOfCombo[comboOfName("2d2c")], 78);
    EXPECT_EQ(t.slotOfCombo[comboOfName("AsAh")], 1313);
    for (ComboIndex i = 0; i < kComboCount; ++i) {
        CardMask mask = t.maskOfCombo[i];
        ASSERT_EQ(cardCount(mask), 2);
        HandSlot slot = t.slotOfCombo[i];
        EXPECT_EQ(slot, handSlotOf(highestCard(mask), lowestCard(mask)));
        EXPECT_EQ(t.comboOfSlot[slot], i);
        EXPECT_EQ(t.maskOfSlot[slot], mask);
        EXPECT_EQ(cardBit(t.cardsOfSlot[slot][0]) | cardBit(t.cardsOfSlot[slot][1]), mask);
    }
}

TEST(ComboOrder, ConversionsAreInversePermutations) {
    std::vector<double> combos(kComboCount);
    std::iota(combos.begin(), combos.end(), 0.5);
    std::vector<double> slots = toSlotOrder(combos);
    EXPECT_EQ(toComboOrder(slots), combos);
    EXPECT_EQ(std::set<double>(slots.begin(), slots.end()).size(), size_t(kComboCount));
    EXPECT_EQ(slots[78], combos[0]);  // 2c2d
}

TEST(HandClasses, PartitionTheSlotsIntoGridCells) {
    const CardTables& t = cardTables();
    std::vector<int> seen(kComboCount, 0);
    for (HandClass cell = 0; cell < kHandClassCount; ++cell) {
        int row = cell / 13, col = cell % 13;
        size_t expected = row == col ? 6 : row < col ? 4 : 12;
        auto slots = t.classSlots(cell);
        EXPECT_EQ(slots.size(), expected) << cell;
        int previousCombo = -1;
        for (uint16_t slot : slots) {
            ++seen[slot];
            EXPECT_EQ(t.classOfSlot[slot], cell);
            EXPECT_GT(int(t.comboOfSlot[slot]), previousCombo) << "cell lists follow ComboIndex";
            previousCombo = t.comboOfSlot[slot];
            Card h = t.cardsOfSlot[slot][0], l = t.cardsOfSlot[slot][1];
            bool suited = suitOf(h) == suitOf(l);
            EXPECT_EQ(suited, row < col);
            EXPECT_EQ(std::max(rankOf(h), rankOf(l)), std::max(row, col));
            EXPECT_EQ(std::min(rankOf(h), rankOf(l)), std::min(row, col));
        }
    }
    for (int count : seen) EXPECT_EQ(count, 1);
    EXPECT_EQ(handClassOf(12, 11), 11 * 13 + 12);  // AcKc: suited
    EXPECT_EQ(handClassOf(12, 24), 12 * 13 + 11);                          // AcKd: offsuit
}

}  // namespace
}  // namespace qv
