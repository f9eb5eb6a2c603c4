// Fold values with card removal: with T the total opponent weight and C[c] the weight of the
// opponent hands holding card c, a hand's compatible weight is T - C[c1] - C[c2] + w(same combo),
// the identical combo having been removed twice.
#include <cmath>
#include <cstring>
#include <vector>

#include "solver/kernel_lanes.h"
#include "solver/lane_rows.h"
#include "solver/scratch.h"
#include "solver/terminal_kernels.h"

namespace qv {

namespace {

template <int W, int P>
void foldKernel(const HandView& mine, const HandView& theirs, CardMask board, const TerminalBatch& batch) {
    ScratchStack& scratch = threadScratch();
    ScratchScope scope(scratch);
    Lane<P>* rows = reinterpret_cast<Lane<P>*>(scratch.take<float>(size_t(theirs.stride + P) * P));
    Lane<P>* out = reinterpret_cast<Lane<P>*>(scratch.take<float>(size_t(mine.stride + P) * P));
    gatherRows<W, P>(batch, theirs.count, rows);
    const Lane<P> zero = {};
    Lane<P> T = zero;
    CardTotals<P> C;
    for (int k = 0; k < theirs.count; ++k) {
        const Lane<P> w = rows[k];
        T += w;
        C.add(theirs.lowCard[k], theirs.highCard[k], w);
    }
    C.settle();
    // Members whose opponent has no weight left get zeros, whatever rounding left in T.
    Lane<P> live = zero;
    if constexpr (P == 1)
        live = std::fabs(T) >= kSmallestNormal ? 1.0f : 0.0f;
    else
        for (int j = 0; j < W; ++j) live[j] = std::fabs(T[j]) >= kSmallestNormal ? 1.0f : 0.0f;
    for (int h = 0; h < mine.count; ++h) {
        if (mine.mask && (mine.mask[h] & board)) {
            out[h] = zero;
            continue;
        }
        Lane<P> value = T - C[mine.lowCard[h]] - C[mine.highCard[h]];
        const int same = mine.sameInOther[h];
        if (same >= 0) value += rows[same];
        out[h] = live > zero ? value : zero;
    }
    for (int h = mine.count; h < mine.count + P; ++h) out[h] = zero;
    scatterRows<W, P>(out, mine.count, mine.stride, batch);
}

}  // namespace

void evaluateFolds(const HandView& traverserHands, const HandView& opponentHands, CardMask board,
                   const TerminalBatch& batch) {
    switch (batch.width) {
        case 1: return foldKernel<1, paddedLanes(1)>(traverserHands, opponentHands, board, batch);
        case 2: return foldKernel<2, paddedLanes(2)>(traverserHands, opponentHands, board, batch);
        case 3: return foldKernel<3, paddedLanes(3)>(traverserHands, opponentHands, board, batch);
        case 4: return foldKernel<4, paddedLanes(4)>(traverserHands, opponentHands, board, batch);
        case 5: return foldKernel<5, paddedLanes(5)>(traverserHands, opponentHands, board, batch);
        case 6: return foldKernel<6, paddedLanes(6)>(traverserHands, opponentHands, board, batch);
        case 7: return foldKernel<7, paddedLanes(7)>(traverserHands, opponentHands, board, batch);
        case 8: return foldKernel<8, paddedLanes(8)>(traverserHands, opponentHands, board, batch);
        default: return;
    }
}

}  // namespace qv
