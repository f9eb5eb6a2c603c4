#pragma once
// Moving a terminal batch between its per-member vectors and the kernels' lane rows (one row of P
// lanes per hand, lane j for member j). Blocks of P hands are transposed in registers: the
// element-by-element version spent a third of a wide kernel's time inserting and extracting
// single floats. The arithmetic is the element-wise one, so results do not change.
#include <immintrin.h>

#include <cstring>

#include "solver/kernel_lanes.h"
#include "solver/terminal_kernels.h"

namespace qv {

namespace lane_rows_detail {

inline void transpose8(__m256 r[8]) {
    const __m256 t0 = _mm256_unpacklo_ps(r[0], r[1]), t1 = _mm256_unpackhi_ps(r[0], r[1]);
    const __m256 t2 = _mm256_unpacklo_ps(r[2], r[3]), t3 = _mm256_unpackhi_ps(r[2], r[3]);
    const __m256 t4 = _mm256_unpacklo_ps(r[4], r[5]), t5 = _mm256_unpackhi_ps(r[4], r[5]);
    const __m256 t6 = _mm256_unpacklo_ps(r[6], r[7]), t7 = _mm256_unpackhi_ps(r[6], r[7]);
    const __m256 s0 = _mm256_shuffle_ps(t0, t2, 0x44), s1 = _mm256_shuffle_ps(t0, t2, 0xEE);
    const __m256 s2 = _mm256_shuffle_ps(t1, t3, 0x44), s3 = _mm256_shuffle_ps(t1, t3, 0xEE);
    const __m256 s4 = _mm256_shuffle_ps(t4, t6, 0x44), s5 = _mm256_shuffle_ps(t4, t6, 0xEE);
    const __m256 s6 = _mm256_shuffle_ps(t5, t7, 0x44), s7 = _mm256_shuffle_ps(t5, t7, 0xEE);
    r[0] = _mm256_permute2f128_ps(s0, s4, 0x20);
    r[1] = _mm256_permute2f128_ps(s1, s5, 0x20);
    r[2] = _mm256_permute2f128_ps(s2, s6, 0x20);
    r[3] = _mm256_permute2f128_ps(s3, s7, 0x20);
    r[4] = _mm256_permute2f128_ps(s0, s4, 0x31);
    r[5] = _mm256_permute2f128_ps(s1, s5, 0x31);
    r[6] = _mm256_permute2f128_ps(s2, s6, 0x31);
    r[7] = _mm256_permute2f128_ps(s3, s7, 0x31);
}

inline void transpose4(__m128 r[4]) { _MM_TRANSPOSE4_PS(r[0], r[1], r[2], r[3]); }

template <int P>
struct RegisterOf {
    using type = __m128;
};
template <>
struct RegisterOf<8> {
    using type = __m256;
};
template <int P>
using Register = typename RegisterOf<P>::type;

template <int P>
inline Register<P> loadLanes(const float* p) {
    if constexpr (P == 8)
        return _mm256_loadu_ps(p);
    else
        return _mm_loadu_ps(p);
}

template <int P>
inline void storeLanes(float* p, Register<P> v) {
    if constexpr (P == 8)
        _mm256_storeu_ps(p, v);
    else
        _mm_storeu_ps(p, v);
}

template <int P>
inline void transpose(Register<P> r[P]) {
    if constexpr (P == 8)
        transpose8(r);
    else
        transpose4(r);
}

}  // namespace lane_rows_detail

// rows[k][j] = stake[j] x reach[j][k] for the first `count` hands rounded up to P, zero in lanes
// j >= W. Reads the reach vectors up to `count` rounded up to P (within their padded stride).
template <int W, int P>
void gatherRows(const TerminalBatch& batch, int count, Lane<P>* rows) {
    if constexpr (P == 1) {
        const float* reach = batch.reach[0];
        const float stake = batch.stake[0];
        for (int k = 0; k < count; ++k) rows[k] = stake * reach[k];
    } else {
        using namespace lane_rows_detail;
        Lane<P> stake = {};
        for (int j = 0; j < W; ++j) stake[j] = batch.stake[j];
        for (int k = 0; k < count; k += P) {
            Register<P> r[P];
            for (int j = 0; j < P; ++j) r[j] = j < W ? loadLanes<P>(batch.reach[j] + k) : Register<P>{};
            transpose<P>(r);
            for (int i = 0; i < P; ++i) rows[k + i] = reinterpret_cast<const Lane<P>&>(r[i]) * stake;
        }
    }
}

// values[j][h] = rows[h][j] for j < W over the first `count` hands rounded up to P; the rest of
// each value vector up to `stride` is zeroed. Rows from `count` on must hold zeros.
template <int W, int P>
void scatterRows(const Lane<P>* rows, int count, int stride, const TerminalBatch& batch) {
    int h = 0;
    if constexpr (P == 1) {
        float* values = batch.values[0];
        for (; h < count; ++h) values[h] = rows[h];
    } else {
        using namespace lane_rows_detail;
        for (; h < count; h += P) {
            Register<P> r[P];
            for (int i = 0; i < P; ++i) r[i] = reinterpret_cast<const Register<P>&>(rows[h + i]);
            transpose<P>(r);
            for (int j = 0; j < W; ++j) storeLanes<P>(batch.values[j] + h, r[j]);
        }
    }
    if (h < stride)
        for (int j = 0; j < W; ++j) std::memset(batch.values[j] + h, 0, sizeof(float) * size_t(stride - h));
}

}  // namespace qv
