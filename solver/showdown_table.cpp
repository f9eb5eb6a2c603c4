#include "solver/showdown_table.h"

#include <algorithm>

namespace qv {

ShowdownTable buildShowdownTable(const std::array<HandView, 2>& hands, const HandStrength& strength) {
    // Strength in the high bits and the hand in the low ones: one plain sort orders by strength
    // and keeps list order among equals.
    std::array<std::vector<uint64_t>, 2> ranked;
    for (int p = 0; p < 2; ++p) {
        ranked[p].reserve(size_t(hands[p].count));
        for (int h = 0; h < hands[p].count; ++h) {
            uint32_t value = strength(p, h);
            if (value != 0xFFFFFFFFu) ranked[p].push_back(uint64_t(value) << 16 | uint64_t(h));
        }
        std::sort(ranked[p].begin(), ranked[p].end());
    }
    // Groups: the distinct strengths of both players, merged in ascending order.
    std::vector<uint32_t> distinct;
    distinct.reserve(ranked[0].size() + ranked[1].size());
    size_t i = 0, j = 0;
    while (i < ranked[0].size() || j < ranked[1].size()) {
        uint32_t a = i < ranked[0].size() ? uint32_t(ranked[0][i] >> 16) : 0xFFFFFFFFu;
        uint32_t b = j < ranked[1].size() ? uint32_t(ranked[1][j] >> 16) : 0xFFFFFFFFu;
        uint32_t next = std::min(a, b);
        if (distinct.empty() || distinct.back() != next) distinct.push_back(next);
        (a <= b ? i : j) += 1;
    }

    ShowdownTable table;
    table.groups = int(distinct.size());
    for (int p = 0; p < 2; ++p) {
        table.groupEnd[p].assign(distinct.size(), 0);
        table.sorted[p].reserve(ranked[p].size());
        size_t position = 0;
        for (size_t g = 0; g < distinct.size(); ++g) {
            while (position < ranked[p].size() && uint32_t(ranked[p][position] >> 16) == distinct[g]) {
                int h = int(ranked[p][position] & 0xFFFF);
                table.sorted[p].push_back({uint16_t(h), hands[p].lowCard[h], hands[p].highCard[h]});
                ++position;
            }
            table.groupEnd[p][g] = uint16_t(position);
        }
    }
    return table;
}

}  // namespace qv
