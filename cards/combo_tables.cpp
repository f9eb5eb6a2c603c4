#include "cards/combo_tables.h"

#include <mutex>

namespace qv {

namespace {

CardTables tables;

// Card of the ordinal k = 4 x rank + suit.
Card cardOfOrdinal(int k) { return 13 * (k % 4) + k / 4; }

void fillComboTables(CardTables& t) {
    std::array<std::vector<uint16_t>, kHandClassCount> cells;
    int combo = 0;
    for (int a = 1; a < kCardCount; ++a) {
        for (int b = 0; b < a; ++b, ++combo) {
            std::string name = cardText(cardOfOrdinal(a)) + cardText(cardOfOrdinal(b));
            for (int i = 0; i < 4; ++i) t.comboNames[5 * combo + i] = name[i];
            t.comboNames[5 * combo + 4] = ' ';
            CardMask mask = parseCards(name);
            Card h = highestCard(mask), l = lowestCard(mask);
            HandSlot slot = handSlotOf(h, l);
            t.maskOfCombo[combo] = mask;
            t.slotOfCombo[combo] = uint16_t(slot);
            t.comboOfSlot[slot] = uint16_t(combo);
            t.maskOfSlot[slot] = mask;
            t.cardsOfSlot[slot] = {uint8_t(h), uint8_t(l)};
            t.classOfSlot[slot] = uint8_t(handClassOf(h, l));
            cells[handClassOf(h, l)].push_back(uint16_t(slot));
        }
    }
    t.comboNames[5 * kComboCount - 1] = '\0';
    int next = 0;
    for (int cell = 0; cell < kHandClassCount; ++cell) {
        t.classStart[cell] = uint16_t(next);
        for (uint16_t slot : cells[cell]) t.classSlotList[next++] = slot;
    }
    t.classStart[kHandClassCount] = uint16_t(next);
}

// Every engine test binary gets the tables without having to remember to build them.
[[maybe_unused]] const bool builtAtLoad = (buildComboTables(), true);

}  // namespace

const CardTables& cardTables() { return tables; }

void buildComboTables() {
    static std::once_flag once;
    std::call_once(once, [] { fillComboTables(tables); });
}

}  // namespace qv
