#pragma once
// An order-0 entropy coder for byte blocks of up to 64 KiB: finite state entropy, an asymmetric
// numeral system driven by tables. Each coded block carries its own table of normalised symbol
// counts, so blocks are coded and decoded independently of each other.
//
//  coded block:  [table log - 5 : 4 bits][largest symbol : 8 bits][normalised count + 1 of every
//                symbol up to the largest, Elias gamma][pad to a byte]
//                [coded bits, written from the last symbol to the first][final states of the odd and
//                the even symbols][a 1 bit][pad]
//
// Even and odd symbols are coded with states of their own, so decoding runs two chains of table
// lookups at once. The decoder reads the coded bits backwards from the terminating 1 bit and ends
// in the states the encoder began with, which checks the block as a whole.
#include <cstddef>
#include <cstdint>

namespace qv {

constexpr size_t kFseMaxBlock = 65536;

// Room the coder may use for a block of n bytes.
constexpr size_t fseBound(size_t n) { return n + n / 128 + 512; }

// Codes n bytes (1..kFseMaxBlock) into `out` (at least fseBound(n) bytes). Returns the coded size;
// 0 when coding would not make the block smaller; 1 when the block is one byte value repeated.
size_t fseCompress(const uint8_t* in, size_t n, uint8_t* out, size_t capacity);

// Decodes a block made by fseCompress (a coded size above 1) into exactly n bytes. False when the
// bytes are not such a block; it never reads outside `in` nor writes outside `out`.
bool fseDecompress(const uint8_t* in, size_t size, uint8_t* out, size_t n);

}  // namespace qv
