#pragma once
// The 1326 two-card combos in their two orders and the 169 cells of the starting-hand grid.
//
// ComboIndex (external order): with the card ordinal k = 4 x rank + suit, a combo of ordinals
// a > b has index a(a-1)/2 + b, so the order starts 2d2c 2h2c 2h2d 2s2c and ends AsAh. Every
// 1326-value array on the command interface uses it.
// HandSlot (internal order): a combo of card integers h > l has slot h(h-1)/2 + l. Every
// 1326-value array held inside the engine uses it.
// HandClass: grid cell row x 13 + col; pairs on the diagonal, suited combos min x 13 + max,
// offsuit combos max x 13 + min.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cards/card.h"

namespace qv {

using ComboIndex = int;
using HandSlot = int;
using HandClass = int;

constexpr int kHandClassCount = 169;

constexpr HandSlot handSlotOf(Card a, Card b) {
    Card h = a > b ? a : b, l = a > b ? b : a;
    return h * (h - 1) / 2 + l;
}

constexpr HandClass handClassOf(Card a, Card b) {
    int ra = a % 13, rb = b % 13;
    int lo = ra < rb ? ra : rb, hi = ra < rb ? rb : ra;
    if (ra == rb) return ra * 13 + ra;
    return a / 13 == b / 13 ? lo * 13 + hi : hi * 13 + lo;
}

struct CardTables {
    std::array<CardMask, kComboCount> maskOfCombo{};   // by ComboIndex
    std::array<uint16_t, kComboCount> slotOfCombo{};   // by ComboIndex
    std::array<uint16_t, kComboCount> comboOfSlot{};   // by HandSlot
    std::array<CardMask, kComboCount> maskOfSlot{};    // by HandSlot
    std::array<std::array<uint8_t, 2>, kComboCount> cardsOfSlot{};  // by HandSlot: high, low
    std::array<uint8_t, kComboCount> classOfSlot{};    // by HandSlot
    // classSlots(c) lists the slots of cell c in ascending ComboIndex order.
    std::array<uint16_t, kComboCount> classSlotList{};
    std::array<uint16_t, kHandClassCount + 1> classStart{};
    std::array<char, kComboCount * 5> comboNames{};    // "2d2c 2h2c ... AsAh" with NUL at the end

    std::span<const uint16_t> classSlots(HandClass cell) const {
        return {classSlotList.data() + classStart[cell],
                size_t(classStart[cell + 1] - classStart[cell])};
    }
    std::string comboName(ComboIndex combo) const {
        return std::string(comboNames.data() + 5 * combo, 4);
    }
    // All 1326 names in ComboIndex order separated by single blanks.
    const char* allComboNames() const { return comboNames.data(); }
};

// Built before the first command (buildCardTables); read-only afterwards.
const CardTables& cardTables();
void buildComboTables();

// out[i] = in[slotOfCombo[i]]: an array in HandSlot order to ComboIndex order.
template <class T>
std::vector<T> toComboOrder(std::span<const T> slotOrdered) {
    const CardTables& t = cardTables();
    std::vector<T> out(kComboCount);
    for (int i = 0; i < kComboCount; ++i) out[i] = slotOrdered[t.slotOfCombo[i]];
    return out;
}

// out[s] = in[comboOfSlot[s]]: an array in ComboIndex order to HandSlot order.
template <class T>
std::vector<T> toSlotOrder(std::span<const T> comboOrdered) {
    const CardTables& t = cardTables();
    std::vector<T> out(kComboCount);
    for (int s = 0; s < kComboCount; ++s) out[s] = comboOrdered[t.comboOfSlot[s]];
    return out;
}

template <class T>
std::vector<T> toComboOrder(const std::vector<T>& slotOrdered) {
    return toComboOrder(std::span<const T>(slotOrdered));
}
template <class T>
std::vector<T> toSlotOrder(const std::vector<T>& comboOrdered) {
    return toSlotOrder(std::span<const T>(comboOrdered));
}

}  // namespace qv
