#pragma once
// The store value coders: arrays of unsigned values turned into bytes that are cheap to code and
// decode, for records kept packed in memory and for the plain form of saved arrays. Values go in
// blocks of 32, four groups of 8; each group takes a 2-bit mode from its largest value:
//
//   mode   32-bit coder                  16-bit coder
//   0      all eight are 0, no bytes     all eight are 0, no bytes
//   1      below 256: one byte each      below 256: one byte each
//   2      below 65536: two bytes each   below 4096: 12 bytes, value i in bits 12i..12i+11
//   3      four bytes each               two bytes each
//
// A block starts with one header byte holding the four modes (group 0 in the low bits), then the
// groups' bytes. The n mod 32 values after the last block go in groups of up to 8, each with a
// header byte of its own: 32-bit, 0 one byte, 1 two bytes, 2 or 3 four bytes per value (the OR of
// 1 for each value of 256 or more and 2 for each of 65536 or more); 16-bit, 1 one byte and 3 two
// bytes per value. Multi-byte values are little-endian.
#include <cstddef>
#include <cstdint>

namespace qv {

// The most bytes n values can take.
size_t storeValueBound(int n, int bytesPerValue);

// Codes n values into `out` (storeValueBound bytes); returns the bytes written.
size_t encodeStoreValues32(const uint32_t* values, int n, uint8_t* out);
size_t encodeStoreValues16(const uint16_t* values, int n, uint8_t* out);

// Decodes n values from the first bytes of `in`; false when they are not such a coding within
// `size` bytes. `used` gets the bytes read.
bool decodeStoreValues32(const uint8_t* in, size_t size, uint32_t* values, int n, size_t& used);
bool decodeStoreValues16(const uint8_t* in, size_t size, uint16_t* values, int n, size_t& used);

}  // namespace qv
