// The linear-time showdown: one walk over both players' hands sorted by strength, with a running
// total S and 52 per-card totals C of the opponent's weight. A hand's compatible weight below a
// strength is S - C[c1] - C[c2]: the per-card totals take out every opponent hand that shares a
// card with it, and the identical combo twice.
#include <cstring>
#include <vector>

#include "solver/kernel_lanes.h"
#include "solver/lane_rows.h"
#include "solver/scratch.h"
#include "solver/terminal_kernels.h"

namespace qv {

namespace {

template <int W, int P, bool Raked>
void showdownKernel(const ShowdownTable& table, int traverser, const HandView& mine, const HandView& theirs,
                    const TerminalBatch& batch) {
    ScratchStack& scratch = threadScratch();
    ScratchScope scope(scratch);
    Lane<P>* rows = reinterpret_cast<Lane<P>*>(scratch.take<float>(size_t(theirs.stride + P) * P));
    gatherRows<W, P>(batch, theirs.count, rows);
    Lane<P>* out = reinterpret_cast<Lane<P>*>(scratch.take<float>(size_t(mine.stride + P) * P));
    // The walk reads and writes hands in strength order. Hand lists in another order are gathered
    // into it and scattered back; their hands that the board blocks are in no group and get zeros.
    const StrengthOrder opp = table.order(1 - traverser, theirs), own = table.order(traverser, mine);
    if (opp.hand) {
        Lane<P>* sorted = reinterpret_cast<Lane<P>*>(scratch.take<float>(size_t(opp.count) * P));
        for (int k = 0; k < opp.count; ++k) sorted[k] = rows[opp.hand[k]];
        rows = sorted;
    }
    Lane<P>* ownValues = own.hand ? reinterpret_cast<Lane<P>*>(scratch.take<float>(size_t(own.count) * P)) : out;

    const std::vector<uint16_t>& oppEnd = table.groupEnd[1 - traverser];
    const std::vector<uint16_t>& ownEnd = table.groupEnd[traverser];
    // One walk up the groups: before and after each group is added, our hands of that group take
    // S - C[c1] - C[c2] (the compatible weight below the group, then up to its end). Their sum less
    // the compatible total, which the walk leaves in S and C, is weaker minus stronger; the same
    // combo cancels, as it is counted once in each part.
    Lane<P> S = {};
    CardTotals<P> C;
    size_t o = 0, t = 0;
    for (int g = 0; g < table.groups; ++g) {
        const size_t oEnd = oppEnd[g], tEnd = ownEnd[g];
        if (t < tEnd) {
            C.settle();
            for (size_t k = t; k < tEnd; ++k) ownValues[k] = S - C[own.lowCard[k]] - C[own.highCard[k]];
        }
        for (; o < oEnd; ++o) {
            S += rows[o];
            C.add(opp.lowCard[o], opp.highCard[o], rows[o]);
        }
        if (t < tEnd) {
            C.settle();
            for (; t < tEnd; ++t) ownValues[t] += S - C[own.lowCard[t]] - C[own.highCard[t]];
        }
    }
    C.settle();
    [[maybe_unused]] Lane<P> keep = {}, rake = {};
    if constexpr (Raked) {
        if constexpr (P == 1) {
            rake = batch.rake[0];
        } else {
            for (int j = 0; j < W; ++j) rake[j] = batch.rake[j];
        }
        keep = (Lane<P>{} + 1.0f) - rake;
    }
    for (int k = 0; k < own.count; ++k) {
        const Lane<P> compatible = S - C[own.lowCard[k]] - C[own.highCard[k]];
        Lane<P> value = ownValues[k] - compatible;
        if constexpr (Raked) {
            // The rake falls on the whole compatible weight: the same combo, taken out twice by
            // the card totals, is put back once.
            Lane<P> total = compatible;
            const int same = own.sameInOther[k];
            if (same >= 0) total += rows[same];
            value = keep * value - rake * total;
        }
        ownValues[k] = value;
    }
    if (own.hand) {
        std::memset(static_cast<void*>(out), 0, sizeof(Lane<P>) * size_t(mine.count + P));
        for (int k = 0; k < own.count; ++k) out[own.hand[k]] = ownValues[k];
    } else {
        std::memset(static_cast<void*>(out + mine.count), 0, sizeof(Lane<P>) * P);
    }
    scatterRows<W, P>(out, mine.count, mine.stride, batch);
}

template <bool Raked>
void dispatchWidth(const ShowdownTable& table, int traverser, const HandView& mine, const HandView& theirs,
                   const TerminalBatch& batch) {
    switch (batch.width) {
        case 1: return showdownKernel<1, paddedLanes(1), Raked>(table, traverser, mine, theirs, batch);
        case 2: return showdownKernel<2, paddedLanes(2), Raked>(table, traverser, mine, theirs, batch);
        case 3: return showdownKernel<3, paddedLanes(3), Raked>(table, traverser, mine, theirs, batch);
        case 4: return showdownKernel<4, paddedLanes(4), Raked>(table, traverser, mine, theirs, batch);
        case 5: return showdownKernel<5, paddedLanes(5), Raked>(table, traverser, mine, theirs, batch);
        case 6: return showdownKernel<6, paddedLanes(6), Raked>(table, traverser, mine, theirs, batch);
        case 7: return showdownKernel<7, paddedLanes(7), Raked>(table, traverser, mine, theirs, batch);
        case 8: return showdownKernel<8, paddedLanes(8), Raked>(table, traverser, mine, theirs, batch);
        default: return;
    }
}

// Adds the weight of every opponent hand strictly weaker (or, walking down, strictly stronger)
// than each of ours: groups are visited in order and a group's weight is added only after our
// hands of that group have taken their value.
template <bool Upwards>
void walkGroups(const ShowdownTable& table, int traverser, const HandView& mine, const HandView& theirs,
                const float* reach, float stake, float sign, float* values) {
    const StrengthOrder opp = table.order(1 - traverser, theirs), own = table.order(traverser, mine);
    const std::vector<uint16_t>& oppEnd = table.groupEnd[1 - traverser];
    const std::vector<uint16_t>& ownEnd = table.groupEnd[traverser];
    float total = 0;
    float byCard[kCardCount] = {};
    for (int step = 0; step < table.groups; ++step) {
        const int g = Upwards ? step : table.groups - 1 - step;
        const size_t ownBegin = g ? ownEnd[g - 1] : 0, oppBegin = g ? oppEnd[g - 1] : 0;
        for (size_t t = ownBegin; t < ownEnd[g]; ++t)
            values[own.handAt(t)] += sign * (total - byCard[own.lowCard[t]] - byCard[own.highCard[t]]);
        for (size_t k = oppBegin; k < oppEnd[g]; ++k) {
            const float w = stake * reach[opp.handAt(k)];
            total += w;
            byCard[opp.lowCard[k]] += w;
            byCard[opp.highCard[k]] += w;
        }
    }
}

}  // namespace

void evaluateShowdownTwoWalks(const ShowdownTable& table, int traverser, const HandView& traverserHands,
                              const HandView& opponentHands, const float* reach, float stake, float* values) {
    std::vector<float> copy(reach, reach + opponentHands.stride);  // the values may overwrite the reach
    std::memset(values, 0, sizeof(float) * size_t(traverserHands.stride));
    walkGroups<true>(table, traverser, traverserHands, opponentHands, copy.data(), stake, 1.0f, values);
    walkGroups<false>(table, traverser, traverserHands, opponentHands, copy.data(), stake, -1.0f, values);
}

void evaluateShowdowns(const ShowdownTable& table, int traverser, const HandView& traverserHands,
                       const HandView& opponentHands, const TerminalBatch& batch, bool raked) {
    if (raked)
        dispatchWidth<true>(table, traverser, traverserHands, opponentHands, batch);
    else
        dispatchWidth<false>(table, traverser, traverserHands, opponentHands, batch);
}

}  // namespace qv
