#pragma once
// The transform every compressor applies before coding an array: values become zigzag-coded
// differences, so arrays whose neighbouring values are close turn into small numbers and arrays
// that change little against a reference turn into zeros.
//
//   first order   F[0] = zz(c[0] - r[0]) with a reference, zz(c[0]) without; F[i] = zz(c[i] - c[i-1])
//   second order  S[0] = zz(c[0] - r[0]); S[i] = zz((c[i] - c[i-1]) - (r[i] - r[i-1]))
//
// With a reference the second order form is taken when it has strictly fewer non-zero values.
// Differences wrap modulo 2^32 and are read as signed 32-bit numbers.
#include <cstdint>

namespace qv {

inline uint32_t zigzag(uint32_t difference) {
    return (difference << 1) ^ uint32_t(int32_t(difference) >> 31);
}
inline uint32_t unzigzag(uint32_t u) { return (u >> 1) ^ (0u - (u & 1)); }

// Fills `coded` with the form to code; returns whether it is the second order (relative) form.
bool transformArray(const uint32_t* values, int n, const uint32_t* reference, uint32_t* coded);
// Rebuilds the values from the coded differences.
void restoreArray(const uint32_t* coded, int n, const uint32_t* reference, bool relative, uint32_t* values);

}  // namespace qv
