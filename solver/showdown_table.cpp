#include "solver/showdown_table.h"

#include <algorithm>

namespace qv {

StrengthOrder ShowdownTable::order(int player, const HandView& list) const {
    if (!ranked) return {list.count, nullptr, list.lowCard, list.highCard, list.sameInOther};
    const RankedHands& r = (*ranked)[player];
    return {int(r.hand.size()), r.hand.data(), r.lowCard.data(), r.highCard.data(), r.sameInOther.data()};
}

void rankKeys(int count, int player, const HandStrength& strength, std::vector<uint64_t>& keys) {
    keys.clear();
    for (int h = 0; h < count; ++h) {
        const uint32_t value = strength(player, h);
        if (value != 0xFFFFFFFFu) keys.push_back(uint64_t(value) << 16 | uint64_t(h));
    }
    std::sort(keys.begin(), keys.end());
}

void cutGroups(const std::array<std::vector<uint64_t>, 2>& keys, ShowdownTable& table) {
    // Groups: the distinct strengths of both players, merged in ascending order.
    std::vector<uint32_t> distinct;
    distinct.reserve(keys[0].size() + keys[1].size());
    size_t i = 0, j = 0;
    while (i < keys[0].size() || j < keys[1].size()) {
        const uint32_t a = i < keys[0].size() ? uint32_t(keys[0][i] >> 16) : 0xFFFFFFFFu;
        const uint32_t b = j < keys[1].size() ? uint32_t(keys[1][j] >> 16) : 0xFFFFFFFFu;
        const uint32_t next = std::min(a, b);
        if (distinct.empty() || distinct.back() != next) distinct.push_back(next);
        (a <= b ? i : j) += 1;
    }
    table.groups = int(distinct.size());
    for (int p = 0; p < 2; ++p) {
        table.groupEnd[p].assign(distinct.size(), 0);
        size_t position = 0;
        for (size_t g = 0; g < distinct.size(); ++g) {
            while (position < keys[p].size() && uint32_t(keys[p][position] >> 16) == distinct[g]) ++position;
            table.groupEnd[p][g] = uint16_t(position);
        }
    }
}

void writeStrengthOrder(const std::array<HandView, 2>& lists, const std::array<std::vector<uint64_t>, 2>& keys,
                        const std::array<OrderedHands, 2>& out, std::array<std::vector<int16_t>, 2>& positionOf) {
    for (int p = 0; p < 2; ++p)
        for (size_t k = 0; k < keys[p].size(); ++k) {
            const int h = keyHand(keys[p][k]);
            out[p].hand[k] = uint16_t(h);
            out[p].lowCard[k] = lists[p].lowCard[h];
            out[p].highCard[k] = lists[p].highCard[h];
            positionOf[p][size_t(h)] = int16_t(k);
        }
    // The same combo is blocked for both players or for neither, so its position is this order's.
    for (int p = 0; p < 2; ++p)
        for (size_t k = 0; k < keys[p].size(); ++k) {
            const int other = lists[p].sameInOther ? lists[p].sameInOther[out[p].hand[k]] : -1;
            out[p].sameInOther[k] = other >= 0 ? positionOf[1 - p][size_t(other)] : int16_t(-1);
        }
}

ShowdownTable buildShowdownTable(const std::array<HandView, 2>& hands, const HandStrength& strength) {
    std::array<std::vector<uint64_t>, 2> keys;
    for (int p = 0; p < 2; ++p) rankKeys(hands[p].count, p, strength, keys[p]);
    ShowdownTable table;
    cutGroups(keys, table);
    table.ranked = std::make_unique<std::array<RankedHands, 2>>();
    std::array<OrderedHands, 2> out;
    std::array<std::vector<int16_t>, 2> positionOf;
    for (int p = 0; p < 2; ++p) {
        RankedHands& r = (*table.ranked)[p];
        const size_t n = keys[p].size();
        r.hand.resize(n);
        r.lowCard.resize(n);
        r.highCard.resize(n);
        r.sameInOther.resize(n);
        out[p] = {r.hand.data(), r.lowCard.data(), r.highCard.data(), r.sameInOther.data()};
        positionOf[p].assign(size_t(hands[p].count), -1);
    }
    writeStrengthOrder(hands, keys, out, positionOf);
    return table;
}

}  // namespace qv
