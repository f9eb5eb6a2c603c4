// The linear-time showdown: a running total S and 52 per-card totals C over the opponent's hands
// sorted by strength. Starting from minus everything, each group of equal strength is added once
// before its traverser hands are valued and once after, so at that moment S is the weight of the
// weaker hands minus the weight of the stronger ones and C[c] the same for hands holding card c;
// S - C[c1] - C[c2] then leaves out every opponent hand that shares a card with the hand, and the
// identical combo (in the same group) counts zero.
#include <cstring>
#include <vector>

#include "solver/terminal_kernels.h"

namespace qv {

namespace {

template <int W>
struct Lanes {
    float v[W];
};

template <int W>
inline void addLanes(float* to, const float* w) {
    for (int j = 0; j < W; ++j) to[j] += w[j];
}

template <int W>
inline void subLanes(float* to, const float* w) {
    for (int j = 0; j < W; ++j) to[j] -= w[j];
}

// Opponent reach times stake, transposed to one row of W lanes per opponent hand.
template <int W>
void transposeWeights(const TerminalBatch& batch, int count, float* rows) {
    for (int j = 0; j < W; ++j) {
        const float* reach = batch.reach[j];
        const float stake = batch.stake[j];
        for (int k = 0; k < count; ++k) rows[k * W + j] = stake * reach[k];
    }
}

template <int W, bool Raked>
void showdownKernel(const ShowdownTable& table, int traverser, const HandView& mine, const HandView& theirs,
                    const TerminalBatch& batch) {
    static thread_local std::vector<float> rowStore;
    rowStore.resize(size_t(theirs.count + 1) * W);
    float* rows = rowStore.data();
    transposeWeights<W>(batch, theirs.count, rows);
    for (int j = 0; j < W; ++j) std::memset(batch.values[j], 0, sizeof(float) * size_t(mine.stride));

    const std::vector<ShowdownEntry>& opp = table.sorted[1 - traverser];
    const std::vector<ShowdownEntry>& own = table.sorted[traverser];
    const std::vector<uint16_t>& oppEnd = table.groupEnd[1 - traverser];
    const std::vector<uint16_t>& ownEnd = table.groupEnd[traverser];

    alignas(32) float S[W] = {};
    alignas(32) float C[kCardCount][W] = {};
    for (const ShowdownEntry& e : opp) {
        const float* w = rows + e.hand * W;
        subLanes<W>(S, w);
        subLanes<W>(C[e.lowCard], w);
        subLanes<W>(C[e.highCard], w);
    }
    alignas(32) float S0[W];
    alignas(32) float C0[kCardCount][W];
    float keep[W];
    if constexpr (Raked) {
        std::memcpy(S0, S, sizeof S);
        std::memcpy(C0, C, sizeof C);
        for (int j = 0; j < W; ++j) keep[j] = 1.0f - batch.rake[j];
    }

    size_t o = 0, t = 0;
    for (int g = 0; g < table.groups; ++g) {
        const size_t oEnd = oppEnd[g], tEnd = ownEnd[g];
        if (t == tEnd) {
            // No hand of ours here: add the group twice in one go.
            for (size_t k = o; k < oEnd; ++k) {
                const float* w = rows + opp[k].hand * W;
                for (int j = 0; j < W; ++j) {
                    const float twice = w[j] + w[j];
                    S[j] += twice;
                    C[opp[k].lowCard][j] += twice;
                    C[opp[k].highCard][j] += twice;
                }
            }
            o = oEnd;
            continue;
        }
        for (size_t k = o; k < oEnd; ++k) {
            const float* w = rows + opp[k].hand * W;
            addLanes<W>(S, w);
            addLanes<W>(C[opp[k].lowCard], w);
            addLanes<W>(C[opp[k].highCard], w);
        }
        for (; t < tEnd; ++t) {
            const ShowdownEntry& e = own[t];
            const int same = mine.sameInOther[e.hand];
            for (int j = 0; j < W; ++j) {
                float value = S[j] - C[e.lowCard][j] - C[e.highCard][j];
                if constexpr (Raked) {
                    float total = -(S0[j] - C0[e.lowCard][j] - C0[e.highCard][j]);
                    if (same >= 0) total += rows[same * W + j];
                    value = keep[j] * value - batch.rake[j] * total;
                }
                batch.values[j][e.hand] = value;
            }
        }
        for (size_t k = o; k < oEnd; ++k) {
            const float* w = rows + opp[k].hand * W;
            addLanes<W>(S, w);
            addLanes<W>(C[opp[k].lowCard], w);
            addLanes<W>(C[opp[k].highCard], w);
        }
        o = oEnd;
    }
}

template <bool Raked>
void dispatchWidth(const ShowdownTable& table, int traverser, const HandView& mine, const HandView& theirs,
                   const TerminalBatch& batch) {
    switch (batch.width) {
        case 1: return showdownKernel<1, Raked>(table, traverser, mine, theirs, batch);
        case 2: return showdownKernel<2, Raked>(table, traverser, mine, theirs, batch);
        case 3: return showdownKernel<3, Raked>(table, traverser, mine, theirs, batch);
        case 4: return showdownKernel<4, Raked>(table, traverser, mine, theirs, batch);
        case 5: return showdownKernel<5, Raked>(table, traverser, mine, theirs, batch);
        case 6: return showdownKernel<6, Raked>(table, traverser, mine, theirs, batch);
        case 7: return showdownKernel<7, Raked>(table, traverser, mine, theirs, batch);
        case 8: return showdownKernel<8, Raked>(table, traverser, mine, theirs, batch);
        default: return;
    }
}

// Adds the weight of every opponent hand strictly weaker (or, walking down, strictly stronger)
// than each of ours: groups are visited in order and a group's weight is added only after our
// hands of that group have taken their value.
template <bool Upwards>
void walkGroups(const ShowdownTable& table, int traverser, const float* reach, float stake, float sign, float* values) {
    const std::vector<ShowdownEntry>& opp = table.sorted[1 - traverser];
    const std::vector<ShowdownEntry>& own = table.sorted[traverser];
    const std::vector<uint16_t>& oppEnd = table.groupEnd[1 - traverser];
    const std::vector<uint16_t>& ownEnd = table.groupEnd[traverser];
    float total = 0;
    float byCard[kCardCount] = {};
    for (int step = 0; step < table.groups; ++step) {
        const int g = Upwards ? step : table.groups - 1 - step;
        const size_t ownBegin = g ? ownEnd[g - 1] : 0, oppBegin = g ? oppEnd[g - 1] : 0;
        for (size_t t = ownBegin; t < ownEnd[g]; ++t) {
            const ShowdownEntry& e = own[t];
            values[e.hand] += sign * (total - byCard[e.lowCard] - byCard[e.highCard]);
        }
        for (size_t k = oppBegin; k < oppEnd[g]; ++k) {
            const float w = stake * reach[opp[k].hand];
            total += w;
            byCard[opp[k].lowCard] += w;
            byCard[opp[k].highCard] += w;
        }
    }
}

}  // namespace

void evaluateShowdownTwoWalks(const ShowdownTable& table, int traverser, const HandView& traverserHands,
                              const HandView& opponentHands, const float* reach, float stake, float* values) {
    std::vector<float> copy(reach, reach + opponentHands.stride);  // the values may overwrite the reach
    std::memset(values, 0, sizeof(float) * size_t(traverserHands.stride));
    walkGroups<true>(table, traverser, copy.data(), stake, 1.0f, values);
    walkGroups<false>(table, traverser, copy.data(), stake, -1.0f, values);
}

void evaluateShowdowns(const ShowdownTable& table, int traverser, const HandView& traverserHands,
                       const HandView& opponentHands, const TerminalBatch& batch, bool raked) {
    if (raked)
        dispatchWidth<true>(table, traverser, traverserHands, opponentHands, batch);
    else
        dispatchWidth<false>(table, traverser, traverserHands, opponentHands, batch);
}

}  // namespace qv
