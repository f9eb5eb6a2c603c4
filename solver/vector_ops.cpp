#include "solver/vector_ops.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "solver/layout.h"

namespace qv {

namespace {

inline __m256 load16(const uint16_t* p) {
    return _mm256_cvtepi32_ps(_mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))));
}

// Eight floats at eight indices, loaded one by one: the vector gather instruction took about 1.7
// times as long (measured on the 2-core benchmark machines).
inline __m256 gather8(const float* v, const uint16_t* i) {
    const __m128 low = _mm_setr_ps(v[i[0]], v[i[1]], v[i[2]], v[i[3]]);
    const __m128 high = _mm_setr_ps(v[i[4]], v[i[5]], v[i[6]], v[i[7]]);
    return _mm256_set_m128(high, low);
}

// Rounds to nearest, saturates to 0..65535 and stores 8 values; returns them packed.
inline __m128i store16(uint16_t* p, __m256 v) {
    __m256i i = _mm256_cvtps_epi32(_mm256_min_ps(_mm256_max_ps(v, _mm256_setzero_ps()), _mm256_set1_ps(65535.0f)));
    __m128i packed = _mm_packus_epi32(_mm256_castsi256_si128(i), _mm256_extracti128_si256(i, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), packed);
    return packed;
}

uint16_t largestOf(__m128i packed) {
    alignas(16) uint16_t lanes[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), packed);
    return *std::max_element(lanes, lanes + 8);
}

inline uint16_t round16(float v) { return uint16_t(std::lrint(std::clamp(v, 0.0f, 65535.0f))); }

// sign(r) |r|^0.75 as sqrt|r| x sqrt(sqrt|r|); magnitudes below the smallest normal give 0. Exact
// square roots, as in dampedIncrement: the processors' approximate reciprocals differ between
// makers, and solves must give the same figures on every machine.
inline __m256 dampedVector(__m256 r) {
    const __m256 signMask = _mm256_set1_ps(-0.0f);
    __m256 x = _mm256_andnot_ps(signMask, r);
    __m256 live = _mm256_cmp_ps(x, _mm256_set1_ps(kSmallestNormal), _CMP_GE_OQ);
    __m256 root = _mm256_sqrt_ps(x);
    __m256 magnitude = _mm256_and_ps(_mm256_mul_ps(root, _mm256_sqrt_ps(root)), live);
    return _mm256_or_ps(magnitude, _mm256_and_ps(r, signMask));
}

inline __m256 flushTiny(__m256 v) {
    return _mm256_and_ps(v, _mm256_cmp_ps(v, _mm256_set1_ps(kSmallestNormal), _CMP_GE_OQ));
}

inline float flushTiny(float v) { return v >= kSmallestNormal ? v : 0.0f; }

// Runs `body` over a record, then restores the values of the skipped hands.
template <typename T, typename Body>
void withSkippedHandsKept(T* values, int actions, size_t stride, int n, const uint8_t* skip, Body body) {
    if (!skip) {
        body();
        return;
    }
    std::vector<T> kept(size_t(actions) * n);
    for (int a = 0; a < actions; ++a)
        for (int h = 0; h < n; ++h) kept[size_t(a) * n + h] = values[a * stride + h];
    body();
    for (int a = 0; a < actions; ++a)
        for (int h = 0; h < n; ++h)
            if (skip[h]) values[a * stride + h] = kept[size_t(a) * n + h];
}

template <typename Load, typename LoadScalar>
void regretMatchWith(int actions, size_t stride, int n, float* strategy, Load load, LoadScalar loadScalar) {
    const float first = defaultFirstProbability(actions);
    const float other = defaultOtherProbability(actions);
    const __m256 firstVector = _mm256_set1_ps(first), otherVector = _mm256_set1_ps(other);
    // Nodes of up to kCached actions keep the loaded regrets in registers between the two passes.
    constexpr int kCached = 8;
    __m256 r[kCached];
    int h = 0;
    for (; h + kLanes <= n; h += kLanes) {
        __m256 sum = _mm256_setzero_ps();
        for (int a = 0; a < actions; ++a) {
            const __m256 v = load(a * stride + h);
            if (a < kCached) r[a] = v;
            sum = _mm256_add_ps(sum, v);
        }
        __m256 live = _mm256_cmp_ps(sum, _mm256_set1_ps(kSmallestNormal), _CMP_GE_OQ);
        const __m256 inv = _mm256_div_ps(_mm256_set1_ps(1.0f), sum);
        for (int a = 0; a < actions; ++a) {
            const __m256 v = a < kCached ? r[a] : load(a * stride + h);
            __m256 p = _mm256_min_ps(_mm256_set1_ps(1.0f), _mm256_mul_ps(v, inv));
            _mm256_storeu_ps(strategy + a * stride + h, _mm256_blendv_ps(a == 0 ? firstVector : otherVector, p, live));
        }
    }
    for (; h < n; ++h) {
        float sum = 0;
        for (int a = 0; a < actions; ++a) sum += loadScalar(a * stride + h);
        const float inv = 1.0f / sum;  // as the vector loop computes it, to the last bit
        for (int a = 0; a < actions; ++a)
            strategy[a * stride + h] =
                sum >= kSmallestNormal ? std::min(1.0f, loadScalar(a * stride + h) * inv) : (a == 0 ? first : other);
    }
}

template <typename Load, typename LoadScalar>
void normaliseWith(int actions, size_t stride, int n, const float* fallback, float* strategy, Load load,
                   LoadScalar loadScalar) {
    int h = 0;
    for (; h + kLanes <= n; h += kLanes) {
        __m256 sum = _mm256_setzero_ps();
        for (int a = 0; a < actions; ++a) sum = _mm256_add_ps(sum, load(a * stride + h));
        __m256 live = _mm256_cmp_ps(sum, _mm256_set1_ps(kSmallestNormal), _CMP_GE_OQ);
        if (_mm256_movemask_ps(live) == 0) {
            // No sums here (always so before averaging starts): the divisions would all be
            // discarded, and they were a fifth of an exploitability check.
            if (fallback != strategy)
                for (int a = 0; a < actions; ++a)
                    _mm256_storeu_ps(strategy + a * stride + h, _mm256_loadu_ps(fallback + a * stride + h));
            continue;
        }
        __m256 safe = _mm256_blendv_ps(_mm256_set1_ps(1.0f), sum, live);
        for (int a = 0; a < actions; ++a) {
            __m256 p = _mm256_div_ps(load(a * stride + h), safe);
            __m256 f = _mm256_loadu_ps(fallback + a * stride + h);
            _mm256_storeu_ps(strategy + a * stride + h, _mm256_blendv_ps(f, p, live));
        }
    }
    for (; h < n; ++h) {
        float sum = 0;
        for (int a = 0; a < actions; ++a) sum += loadScalar(a * stride + h);
        for (int a = 0; a < actions; ++a)
            strategy[a * stride + h] =
                sum >= kSmallestNormal ? loadScalar(a * stride + h) / sum : fallback[a * stride + h];
    }
}

}  // namespace

float defaultFirstProbability(int actions) { return std::max(1.0f / float(actions), 0.9f); }

float defaultOtherProbability(int actions) {
    return actions > 1 ? (1.0f - defaultFirstProbability(actions)) / float(actions - 1) : 0.0f;
}

float dampedIncrement(float r) {
    float x = std::fabs(r);
    if (x < kSmallestNormal) return 0.0f;
    float root = std::sqrt(x);
    return std::copysign(root * std::sqrt(root), r);
}

void regretMatch(const float* regrets, int actions, size_t stride, int n, float* strategy) {
    regretMatchWith(
        actions, stride, n, strategy, [&](size_t i) { return _mm256_loadu_ps(regrets + i); },
        [&](size_t i) { return regrets[i]; });
}

void regretMatch16(const uint16_t* regrets, int actions, size_t stride, int n, float* strategy) {
    regretMatchWith(
        actions, stride, n, strategy, [&](size_t i) { return load16(regrets + i); },
        [&](size_t i) { return float(regrets[i]); });
}

void normaliseSums(const float* sums, int actions, size_t stride, int n, const float* fallback, float* strategy) {
    normaliseWith(
        actions, stride, n, fallback, strategy, [&](size_t i) { return _mm256_loadu_ps(sums + i); },
        [&](size_t i) { return sums[i]; });
}

void normaliseSums16(const uint16_t* sums, int actions, size_t stride, int n, const float* fallback,
                     float* strategy) {
    normaliseWith(
        actions, stride, n, fallback, strategy, [&](size_t i) { return load16(sums + i); },
        [&](size_t i) { return float(sums[i]); });
}

void updateRegrets(float* regrets, int actions, size_t stride, int n, const float* const* childValues,
                   const float* nodeValue, const uint8_t* skip) {
    withSkippedHandsKept(regrets, actions, stride, n, skip, [&] {
        for (int a = 0; a < actions; ++a) {
            float* r = regrets + a * stride;
            const float* child = childValues[a];
            int h = 0;
            for (; h + kLanes <= n; h += kLanes) {
                __m256 diff = _mm256_sub_ps(_mm256_loadu_ps(child + h), _mm256_loadu_ps(nodeValue + h));
                __m256 sum = _mm256_add_ps(_mm256_loadu_ps(r + h), dampedVector(diff));
                _mm256_storeu_ps(r + h, flushTiny(sum));
            }
            for (; h < n; ++h) r[h] = flushTiny(r[h] + dampedIncrement(child[h] - nodeValue[h]));
        }
    });
}

uint16_t updateRegrets16(uint16_t* regrets, int actions, size_t stride, int n, const float* const* childValues,
                         const float* nodeValue, float scale, const uint8_t* skip) {
    const __m256 scaleVector = _mm256_set1_ps(scale);
    uint16_t largest = 0;
    withSkippedHandsKept(regrets, actions, stride, n, skip, [&] {
        // The largest value is gathered as the values are written, so the record is swept once.
        __m128i most = _mm_setzero_si128();
        for (int a = 0; a < actions; ++a) {
            uint16_t* r = regrets + a * stride;
            const float* child = childValues[a];
            int h = 0;
            for (; h + kLanes <= n; h += kLanes) {
                __m256 diff = _mm256_sub_ps(_mm256_loadu_ps(child + h), _mm256_loadu_ps(nodeValue + h));
                __m256 sum = _mm256_add_ps(load16(r + h), dampedVector(_mm256_mul_ps(diff, scaleVector)));
                most = _mm_max_epu16(most, store16(r + h, sum));
            }
            for (; h < n; ++h) {
                r[h] = round16(float(r[h]) + dampedIncrement((child[h] - nodeValue[h]) * scale));
                largest = std::max(largest, r[h]);
            }
        }
        largest = std::max(largest, largestOf(most));
    });
    if (skip) {
        // Restored locked hands count too.
        largest = 0;
        for (int a = 0; a < actions; ++a)
            for (int h = 0; h < n; ++h) largest = std::max(largest, regrets[a * stride + h]);
    }
    return largest;
}

void rescale16(uint16_t* values, size_t count, float factor) {
    const __m256 f = _mm256_set1_ps(factor);
    size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) store16(values + i, _mm256_mul_ps(load16(values + i), f));
    for (; i < count; ++i) values[i] = round16(float(values[i]) * factor);
}

void accumulate(float* sums, const float* add, float w, int n, const uint8_t* skip) {
    withSkippedHandsKept(sums, 1, 0, n, skip, [&] {
        const __m256 weight = _mm256_set1_ps(w);
        int h = 0;
        for (; h + kLanes <= n; h += kLanes)
            _mm256_storeu_ps(sums + h, _mm256_fmadd_ps(weight, _mm256_loadu_ps(add + h), _mm256_loadu_ps(sums + h)));
        for (; h < n; ++h) sums[h] = std::fma(w, add[h], sums[h]);
    });
}

void accumulate16(uint16_t* sums, int actions, size_t stride, int n, const float* const* add, float w,
                  float& scale, float limit, const uint8_t* skip, float* temp) {
    const __m256 weight = _mm256_set1_ps(w);
    const __m256 inverse = _mm256_set1_ps(1.0f / scale);
    __m256 largestVector = _mm256_setzero_ps();
    float largest = 0;
    for (int a = 0; a < actions; ++a) {
        const uint16_t* s = sums + a * stride;
        float* t = temp + a * stride;
        int h = 0;
        for (; h + kLanes <= n; h += kLanes) {
            __m256 v = _mm256_fmadd_ps(weight, _mm256_loadu_ps(add[a] + h), _mm256_mul_ps(load16(s + h), inverse));
            largestVector = _mm256_max_ps(largestVector, v);
            _mm256_storeu_ps(t + h, v);
        }
        for (; h < n; ++h) {
            t[h] = std::fma(w, add[a][h], float(s[h]) / scale);
            largest = std::max(largest, t[h]);
        }
    }
    alignas(32) float lanes[kLanes];
    _mm256_store_ps(lanes, largestVector);
    for (float v : lanes) largest = std::max(largest, v);
    float newScale = scale;
    while (largest * newScale > limit && newScale > 1e-30f) newScale *= 0.5f;
    withSkippedHandsKept(sums, actions, stride, n, skip, [&] {
        const __m256 s = _mm256_set1_ps(newScale);
        for (int a = 0; a < actions; ++a) {
            uint16_t* out = sums + a * stride;
            const float* t = temp + a * stride;
            int h = 0;
            for (; h + kLanes <= n; h += kLanes) store16(out + h, _mm256_mul_ps(_mm256_loadu_ps(t + h), s));
            for (; h < n; ++h) out[h] = round16(t[h] * newScale);
        }
    });
    if (skip && newScale != scale) {
        // Locked hands keep their sums, but in the record's new units.
        for (int a = 0; a < actions; ++a)
            for (int h = 0; h < n; ++h)
                if (skip[h]) sums[a * stride + h] = round16(float(sums[a * stride + h]) * (newScale / scale));
    }
    scale = newScale;
}

void weightedSum(float* out, const float* strategy, int actions, size_t stride, const float* const* values, int n) {
    int h = 0;
    for (; h + kLanes <= n; h += kLanes) {
        __m256 sum = _mm256_setzero_ps();
        for (int a = 0; a < actions; ++a)
            if (values[a])
                sum = _mm256_fmadd_ps(_mm256_loadu_ps(strategy + a * stride + h), _mm256_loadu_ps(values[a] + h), sum);
        _mm256_storeu_ps(out + h, sum);
    }
    for (; h < n; ++h) {
        float sum = 0;
        for (int a = 0; a < actions; ++a)
            if (values[a]) sum = std::fma(strategy[a * stride + h], values[a][h], sum);
        out[h] = sum;
    }
}

bool multiplyInto(float* out, const float* a, const float* b, int n) {
    __m256 any = _mm256_setzero_ps();
    int h = 0;
    for (; h + kLanes <= n; h += kLanes) {
        __m256 p = _mm256_mul_ps(_mm256_loadu_ps(a + h), _mm256_loadu_ps(b + h));
        _mm256_storeu_ps(out + h, p);
        any = _mm256_or_ps(any, _mm256_cmp_ps(p, _mm256_setzero_ps(), _CMP_GT_OQ));
    }
    bool positive = _mm256_movemask_ps(any) != 0;
    for (; h < n; ++h) {
        out[h] = a[h] * b[h];
        positive |= out[h] > 0;
    }
    return positive;
}

void addInto(float* out, const float* v, int n) {
    int h = 0;
    for (; h + kLanes <= n; h += kLanes)
        _mm256_storeu_ps(out + h, _mm256_add_ps(_mm256_loadu_ps(out + h), _mm256_loadu_ps(v + h)));
    for (; h < n; ++h) out[h] += v[h];
}

void addScaledInto(float* out, const float* v, float factor, int n) {
    const __m256 f = _mm256_set1_ps(factor);
    int h = 0;
    for (; h + kLanes <= n; h += kLanes)
        _mm256_storeu_ps(out + h, _mm256_fmadd_ps(f, _mm256_loadu_ps(v + h), _mm256_loadu_ps(out + h)));
    for (; h < n; ++h) out[h] = std::fma(factor, v[h], out[h]);
}

void maxInto(float* out, const float* v, int n) {
    int h = 0;
    for (; h + kLanes <= n; h += kLanes)
        _mm256_storeu_ps(out + h, _mm256_max_ps(_mm256_loadu_ps(out + h), _mm256_loadu_ps(v + h)));
    for (; h < n; ++h) out[h] = std::max(out[h], v[h]);
}

void gatherAddScaled(float* out, const float* v, const uint16_t* index, float factor, int n) {
    const __m256 f = _mm256_set1_ps(factor);
    int h = 0;
    for (; h + kLanes <= n; h += kLanes)
        _mm256_storeu_ps(out + h, _mm256_fmadd_ps(f, gather8(v, index + h), _mm256_loadu_ps(out + h)));
    for (; h < n; ++h) out[h] = std::fma(factor, v[index[h]], out[h]);
}

void gatherInto(float* out, const float* v, const uint16_t* index, int n) {
    int h = 0;
    for (; h + kLanes <= n; h += kLanes) _mm256_storeu_ps(out + h, gather8(v, index + h));
    for (; h < n; ++h) out[h] = v[index[h]];
}

bool anyPositive(const float* v, int n) {
    __m256 any = _mm256_setzero_ps();
    int h = 0;
    for (; h + kLanes <= n; h += kLanes)
        any = _mm256_or_ps(any, _mm256_cmp_ps(_mm256_loadu_ps(v + h), _mm256_setzero_ps(), _CMP_GT_OQ));
    bool positive = _mm256_movemask_ps(any) != 0;
    for (; h < n; ++h) positive |= v[h] > 0;
    return positive;
}

void prefetchBytes(const void* p, size_t bytes) {
    const char* c = static_cast<const char*>(p);
    for (size_t offset = 0; offset < bytes; offset += 64) _mm_prefetch(c + offset, _MM_HINT_T0);
}

double dotProduct(const float* a, const float* b, int n) {
    __m256 lanes = _mm256_setzero_ps();
    int h = 0;
    for (; h + kLanes <= n; h += kLanes) lanes = _mm256_fmadd_ps(_mm256_loadu_ps(a + h), _mm256_loadu_ps(b + h), lanes);
    alignas(32) float part[kLanes];
    _mm256_store_ps(part, lanes);
    double pairs[4];
    for (int i = 0; i < 4; ++i) pairs[i] = double(part[2 * i]) + double(part[2 * i + 1]);
    double total = (pairs[0] + pairs[1]) + (pairs[2] + pairs[3]);
    for (; h < n; ++h) total += double(a[h]) * double(b[h]);
    return total;
}

}  // namespace qv
