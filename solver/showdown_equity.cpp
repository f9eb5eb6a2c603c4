#include "solver/showdown_equity.h"

#include <array>
#include <limits>

#include "cards/combo_tables.h"
#include "solver/hand_list.h"
#include "solver/showdown_rank.h"
#include "solver/showdown_table.h"
#include "solver/terminal_kernels.h"

namespace qv {

namespace {

struct Runout {
    CardMask cards;
    double weight;
};

std::vector<Runout> runoutsOf(CardMask board, int lowCard) {
    std::vector<Card> free;
    for (Card c = 0; c < kCardCount; ++c)
        if (!(board & cardBit(c)) && rankOf(c) >= lowCard) free.push_back(c);
    const double turnWeight = 1.0 / (45 - 4 * lowCard), riverWeight = 1.0 / (44 - 4 * lowCard);
    std::vector<Runout> runouts;
    switch (cardCount(board)) {
        case 3:
            // Turn a then river b and turn b then river a reach the same board.
            for (size_t i = 0; i < free.size(); ++i)
                for (size_t j = i + 1; j < free.size(); ++j)
                    runouts.push_back({cardBit(free[i]) | cardBit(free[j]), 2 * turnWeight * riverWeight});
            break;
        case 4:
            for (Card c : free) runouts.push_back({cardBit(c), riverWeight});
            break;
        default:
            runouts.push_back({0, 1.0});
    }
    return runouts;
}

}  // namespace

ShowdownEquity showdownEquity(const ShowdownEquityInput& input) {
    // Player 0 of the lists is the valued player.
    const std::array<HandList, 2> hands = buildHandLists({input.ownRange, input.opponentWeight}, input.board);
    const HandList& mine = hands[0];
    const HandList& theirs = hands[1];
    ShowdownEquity out;
    out.raw.assign(kComboCount, std::numeric_limits<double>::quiet_NaN());
    out.weight = out.raw;
    // An empty range on either side meets nothing: every equity stays undefined, and the kernels
    // are never handed vectors of no hands.
    if (mine.count == 0 || theirs.count == 0) return out;
    const std::array<HandView, 2> views{mine.view(), theirs.view()};
    const ShowdownRanker rank = defaultShowdownRanker();
    std::vector<double> won(size_t(mine.count), 0.0), met(size_t(mine.count), 0.0);
    AlignedFloats reach(size_t(theirs.stride)), showdown(size_t(mine.stride)), fold(size_t(mine.stride));
    std::array<uint32_t, kComboCount> strength;
    std::array<int, kComboCount> rankedAt;  // the run-out a combo's strength was taken at
    rankedAt.fill(-1);

    const std::vector<Runout> runouts = runoutsOf(input.board, input.lowCard);
    for (int r = 0; r < int(runouts.size()); ++r) {
        const Runout& runout = runouts[size_t(r)];
        const CardMask full = input.board | runout.cards;
        for (const HandList& list : hands)
            for (int h = 0; h < list.count; ++h) {
                const int slot = list.slot[h];
                if (rankedAt[slot] == r) continue;
                rankedAt[slot] = r;
                strength[slot] = (list.mask[h] & full) ? 0xFFFFFFFFu : rank(full, list.lowCard[h], list.highCard[h]);
            }
        const ShowdownTable table = buildShowdownTable(
            views, [&](int player, int hand) { return strength[hands[player].slot[hand]]; });
        for (int h = 0; h < theirs.count; ++h) reach[h] = (theirs.mask[h] & runout.cards) ? 0.0f : theirs.weight[h];
        TerminalBatch batch;
        batch.width = 1;
        batch.reach[0] = reach.data();
        batch.stake[0] = 1.0f;
        batch.values[0] = showdown.data();
        evaluateShowdowns(table, 0, views[0], views[1], batch, false);
        batch.values[0] = fold.data();
        evaluateFolds(views[0], views[1], full, batch);
        for (int h = 0; h < mine.count; ++h) {
            won[h] += runout.weight * showdown[h];
            met[h] += runout.weight * fold[h];
        }
    }

    double opponentTotal = 0;
    for (int h = 0; h < theirs.count; ++h) opponentTotal += theirs.weight[h];
    for (int h = 0; h < mine.count; ++h) {
        if (!(met[h] > 0)) continue;
        const int slot = mine.slot[h];
        out.raw[slot] = won[h] / met[h];
        out.weight[slot] = input.ownWeight[slot] * met[h] / opponentTotal;
    }
    return out;
}

}  // namespace qv
