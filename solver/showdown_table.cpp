#include "solver/showdown_table.h"

#include <algorithm>

namespace qv {

ShowdownTable buildShowdownTable(const std::array<HandView, 2>& hands, const HandStrength& strength) {
    std::array<std::vector<std::pair<uint32_t, int>>, 2> ranked;
    std::vector<uint32_t> distinct;
    for (int p = 0; p < 2; ++p) {
        for (int h = 0; h < hands[p].count; ++h) {
            uint32_t value = strength(p, h);
            if (value == 0xFFFFFFFFu) continue;
            ranked[p].push_back({value, h});
            distinct.push_back(value);
        }
        std::stable_sort(ranked[p].begin(), ranked[p].end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());

    ShowdownTable table;
    table.groups = int(distinct.size());
    for (int p = 0; p < 2; ++p) {
        table.groupEnd[p].assign(distinct.size(), 0);
        size_t position = 0;
        for (size_t g = 0; g < distinct.size(); ++g) {
            while (position < ranked[p].size() && ranked[p][position].first == distinct[g]) {
                int h = ranked[p][position].second;
                table.sorted[p].push_back({uint16_t(h), hands[p].lowCard[h], hands[p].highCard[h]});
                ++position;
            }
            table.groupEnd[p][g] = uint16_t(position);
        }
    }
    return table;
}

}  // namespace qv
