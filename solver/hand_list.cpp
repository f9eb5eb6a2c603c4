#include "solver/hand_list.h"

#include "solver/layout.h"

namespace qv {

std::array<Card, 2> cardsOfSlot(int slot) {
    const auto& cards = cardTables().cardsOfSlot[slot];
    return {cards[1], cards[0]};
}

std::array<HandList, 2> buildHandLists(const std::array<std::vector<double>, 2>& ranges, CardMask board) {
    std::array<HandList, 2> hands;
    for (int p = 0; p < 2; ++p) {
        HandList& list = hands[p];
        list.indexOfSlot.fill(-1);
        for (int slot = 0; slot < kComboCount; ++slot) {
            auto cards = cardsOfSlot(slot);
            CardMask mask = cardBit(cards[0]) | cardBit(cards[1]);
            if (mask & board) continue;
            if (size_t(slot) >= ranges[p].size() || !(ranges[p][slot] > 0)) continue;
            list.indexOfSlot[slot] = int16_t(list.count++);
            list.slot.push_back(uint16_t(slot));
            list.lowCard.push_back(uint8_t(cards[0]));
            list.highCard.push_back(uint8_t(cards[1]));
            list.mask.push_back(mask);
        }
        list.stride = paddedLength(list.count);
        list.weight.allocate(size_t(list.stride));
        for (int h = 0; h < list.count; ++h) list.weight[h] = float(ranges[p][list.slot[h]]);
    }
    for (int p = 0; p < 2; ++p) {
        HandList& list = hands[p];
        list.sameInOther.resize(size_t(list.count));
        for (int h = 0; h < list.count; ++h) list.sameInOther[h] = hands[1 - p].indexOfSlot[list.slot[h]];
    }
    return hands;
}

double compatiblePairWeight(const std::array<HandList, 2>& hands) {
    const HandList& a = hands[0];
    const HandList& b = hands[1];
    double total = 0;
    std::array<double, kCardCount> byCard{};
    for (int h = 0; h < b.count; ++h) {
        total += b.weight[h];
        byCard[b.lowCard[h]] += b.weight[h];
        byCard[b.highCard[h]] += b.weight[h];
    }
    double pairs = 0;
    for (int h = 0; h < a.count; ++h) {
        double same = a.sameInOther[h] >= 0 ? b.weight[a.sameInOther[h]] : 0.0;
        pairs += a.weight[h] * (total - byCard[a.lowCard[h]] - byCard[a.highCard[h]] + same);
    }
    return pairs;
}

}  // namespace qv
