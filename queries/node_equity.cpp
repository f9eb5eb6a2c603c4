#include "queries/node_equity.h"

#include <algorithm>
#include <cmath>

#include "cards/combo_tables.h"
#include "queries/node_ranges.h"

namespace qv {

ShowdownEquity pointEquity(SolverState& state, const TreePoint& point, int player) {
    const int level = findPointSlot(state, point).level;
    ShowdownEquityInput input;
    input.board = pointBoard(state, point, level);
    input.ownRange = state.definition().ranges[player];
    input.ownWeight = rangeAtPoint(state, point, player);
    input.opponentWeight = rangeAtPoint(state, point, 1 - player);
    for (double& w : input.ownWeight)
        if (std::isnan(w)) w = 0;
    input.lowCard = treeLowCard(state);
    return showdownEquity(input);
}

std::vector<int> combosByEquity(const std::vector<double>& raw) {
    const std::vector<double> byCombo = toComboOrder(raw);
    std::vector<int> combos;
    for (int c = 0; c < kComboCount; ++c)
        if (!std::isnan(byCombo[c])) combos.push_back(c);
    std::stable_sort(combos.begin(), combos.end(),
                     [&](int a, int b) { return equityOf(byCombo[a]) > equityOf(byCombo[b]); });
    return combos;
}

}  // namespace qv
