#pragma once
// The two forms in which a tree file carries a part's arrays, chosen by the coding byte that
// starts the part:
//   non-zero  each array in place: an i16 byte length, then the store value coding of the array
//             (32-bit or 16-bit coder, by the array's element width);
//   0         the whole part coded by the entropy stream compressor (array transform without
//             reference): 24 blocks, each an i64 byte length and the bytes of one stream, block k
//             holding stream k - 1.
// The compressor's streams are only complete when the part ends, so a writer spills them to
// scratch files and copies them out at the end; a reader decodes them in place from the file.
// Neither holds more than a block per stream in memory.
#include <cstdint>
#include <memory>
#include <string>

#include "treefile/binary_io.h"

namespace qv {

class ArraySink {
public:
    virtual ~ArraySink() = default;
    virtual void put32(const uint32_t* values, int n) = 0;
    virtual void put16(const uint16_t* values, int n) = 0;
    // Ends the part (writes the streams of the compressed form).
    virtual void finish() = 0;
};

// Writes the coding byte and returns the sink of that form; scratch files go to `folder`.
std::unique_ptr<ArraySink> startArrays(BinaryWriter& out, bool plain, const std::string& folder);

class ArraySource {
public:
    virtual ~ArraySource() = default;
    // The next array of n values; "invalid file" when the part holds no such array.
    virtual void get32(uint32_t* values, int n) = 0;
    virtual void get16(uint16_t* values, int n) = 0;
};

// Reads the coding byte (when `codingByte`; else the part is compressed) and what the form
// needs to begin; the reader's position is then after the part's blocks (compressed form) or
// at its first array (plain form).
std::unique_ptr<ArraySource> openArrays(FileReader& in, bool codingByte);

}  // namespace qv
