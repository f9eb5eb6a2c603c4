#pragma once
// The bit width coder: 16-bit values in groups of 8, each group kept at the bit width of its
// largest value, so the eight values of a group of width w take exactly w bytes. A header byte
// holds the widths of two groups (the first in the low 4 bits; 15 stands for 16 bits). A last
// group of fewer than 8 values is coded as if padded with zeros. Small values, such as those of
// records kept in coarse units, cost only the bits they use.
#include <cstddef>
#include <cstdint>

namespace qv {

// The most bytes n values can take.
size_t bitWidthBound(int n);
// Codes n values into `out` (bitWidthBound bytes); returns the bytes written.
size_t encodeBitWidths(const uint16_t* values, int n, uint8_t* out);
// Decodes n values from the first bytes of `in`; false when they are not such a coding within
// `size` bytes. `used` gets the bytes read.
bool decodeBitWidths(const uint8_t* in, size_t size, uint16_t* values, int n, size_t& used);

}  // namespace qv
