// Fold values with card removal: with T the total opponent weight and C[c] the weight of the
// opponent hands holding card c, a hand's compatible weight is T - C[c1] - C[c2] + w(same combo),
// the identical combo having been removed twice.
#include <cmath>
#include <cstring>
#include <vector>

#include "solver/terminal_kernels.h"

namespace qv {

namespace {

template <int W>
void foldKernel(const HandView& mine, const HandView& theirs, CardMask board, const TerminalBatch& batch) {
    static thread_local std::vector<float> rowStore;
    rowStore.resize(size_t(theirs.count + 1) * W);
    float* rows = rowStore.data();
    for (int j = 0; j < W; ++j) {
        const float* reach = batch.reach[j];
        for (int k = 0; k < theirs.count; ++k) rows[k * W + j] = batch.stake[j] * reach[k];
    }
    alignas(32) float T[W] = {};
    alignas(32) float C[kCardCount][W] = {};
    for (int k = 0; k < theirs.count; ++k) {
        const float* w = rows + k * W;
        float* low = C[theirs.lowCard[k]];
        float* high = C[theirs.highCard[k]];
        for (int j = 0; j < W; ++j) {
            T[j] += w[j];
            low[j] += w[j];
            high[j] += w[j];
        }
    }
    bool live[W];
    for (int j = 0; j < W; ++j) live[j] = std::fabs(T[j]) >= kSmallestNormal;
    for (int j = 0; j < W; ++j) std::memset(batch.values[j], 0, sizeof(float) * size_t(mine.stride));
    for (int h = 0; h < mine.count; ++h) {
        if (mine.mask && (mine.mask[h] & board)) continue;
        const float* low = C[mine.lowCard[h]];
        const float* high = C[mine.highCard[h]];
        const int same = mine.sameInOther[h];
        for (int j = 0; j < W; ++j) {
            float value = T[j] - low[j] - high[j];
            if (same >= 0) value += rows[same * W + j];
            batch.values[j][h] = live[j] ? value : 0.0f;
        }
    }
}

}  // namespace

void evaluateFolds(const HandView& traverserHands, const HandView& opponentHands, CardMask board,
                   const TerminalBatch& batch) {
    switch (batch.width) {
        case 1: return foldKernel<1>(traverserHands, opponentHands, board, batch);
        case 2: return foldKernel<2>(traverserHands, opponentHands, board, batch);
        case 3: return foldKernel<3>(traverserHands, opponentHands, board, batch);
        case 4: return foldKernel<4>(traverserHands, opponentHands, board, batch);
        case 5: return foldKernel<5>(traverserHands, opponentHands, board, batch);
        case 6: return foldKernel<6>(traverserHands, opponentHands, board, batch);
        case 7: return foldKernel<7>(traverserHands, opponentHands, board, batch);
        case 8: return foldKernel<8>(traverserHands, opponentHands, board, batch);
        default: return;
    }
}

}  // namespace qv
