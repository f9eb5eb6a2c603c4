#pragma once
// Per-hand loops of the iteration: regret matching, the damped regret update, strategy
// accumulation and the small vector helpers of the traversal. Every loop runs 8 floats at a time
// with a scalar tail. Arrays of a record are laid out action after action, `stride` floats apart.
#include <cstddef>
#include <cstdint>

namespace qv {

// Probabilities of the default strategy of a node with `actions` actions: the first action gets
// max(1/n, 0.9), every other one shares the rest.
float defaultFirstProbability(int actions);
float defaultOtherProbability(int actions);

// The damped increment sign(r) * |r|^0.75, 0 when |r| is below the smallest normal float.
float dampedIncrement(float r);

// Current strategy by regret matching; a hand whose regrets sum below the smallest normal float
// plays the default strategy.
void regretMatch(const float* regrets, int actions, size_t stride, int n, float* strategy);
void regretMatch16(const uint16_t* regrets, int actions, size_t stride, int n, float* strategy);

// Average strategy from strategy sums: sums normalised per hand; a hand whose sums total below the
// smallest normal float takes `fallback` (same layout as the output).
void normaliseSums(const float* sums, int actions, size_t stride, int n, const float* fallback, float* strategy);
void normaliseSums16(const uint16_t* sums, int actions, size_t stride, int n, const float* fallback, float* strategy);

// R(a,h) += damped(childValue[a][h] - nodeValue[h]), floored at 0. Hands with skip[h] != 0 keep
// their regrets (skip may be null).
void updateRegrets(float* regrets, int actions, size_t stride, int n, const float* const* childValues,
                   const float* nodeValue, const uint8_t* skip);
// The same on 16-bit regrets: the difference is multiplied by `scale` first and the sum is rounded
// and saturated to 0..65535. Returns the largest value of the record afterwards.
uint16_t updateRegrets16(uint16_t* regrets, int actions, size_t stride, int n, const float* const* childValues,
                         const float* nodeValue, float scale, const uint8_t* skip);
// Multiplies every value of a 16-bit record by `factor` (rounded, saturated).
void rescale16(uint16_t* values, size_t count, float factor);

// sums[h] += w * add[h], except for skipped hands.
void accumulate(float* sums, const float* add, float w, int n, const uint8_t* skip);
// 16-bit sums: stored value = sum x scale. Adds w * add[a] for every action, lowering the scale by
// halves when a value would pass `limit` (at most 65535). `temp` holds actions x stride floats.
void accumulate16(uint16_t* sums, int actions, size_t stride, int n, const float* const* add, float w,
                  float& scale, float limit, const uint8_t* skip, float* temp);

// out = sum over actions of strategy[a] * values[a]; a null value pointer counts as zeros.
void weightedSum(float* out, const float* strategy, int actions, size_t stride, const float* const* values, int n);
// out = a * b; returns whether any product is positive.
bool multiplyInto(float* out, const float* a, const float* b, int n);
void addInto(float* out, const float* v, int n);
void addScaledInto(float* out, const float* v, float factor, int n);
void maxInto(float* out, const float* v, int n);
// out[h] = v[index[h]] for every h.
void gatherInto(float* out, const float* v, const uint16_t* index, int n);
// out[h] += factor * v[index[h]] for every h.
void gatherAddScaled(float* out, const float* v, const uint16_t* index, float factor, int n);
bool anyPositive(const float* v, int n);
// Sum of a[h] * b[h]: 8 fused multiply-add lanes added pairwise, then the scalar tail.
// Asks for the cache lines of `bytes` bytes at `p` ahead of their use.
void prefetchBytes(const void* p, size_t bytes);

double dotProduct(const float* a, const float* b, int n);

}  // namespace qv
