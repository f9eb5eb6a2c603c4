#pragma once
// Coding sequences of per-hand arrays (up to 1326 unsigned values each) into numbered byte streams.
// The codec owns no output: it writes and reads through a stream callback, so one coder serves a
// file, a memory buffer or a network message. Three compressors exist, told apart by an identifier
// byte that goes first into stream 0:
//
//   0  binary model      a prefix code whose branches are coded with adaptive binary probabilities
//   1  fixed blocks      zero bits, small values and bytes in three streams of 256-byte blocks
//   2  entropy streams   values split by kind into 24 streams, each cut into blocks of up to 64 KiB
//                        and entropy coded block by block; the compressor the stores use
//
// Every compressor first applies the array transform (array_transform.h): differences between
// neighbouring values, or against a reference array when that leaves fewer non-zero values.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace qv {

constexpr int kMaxArrayValues = 1326;

// Writing side: appends `count` bytes of `buffer` to stream `stream` (the result is ignored).
// Reading side: fills `buffer` with the next `count` bytes of the stream and returns how many it
// could deliver (fewer only at the end of the stream's data).
using StreamCallback = size_t (*)(void* context, int stream, void* buffer, size_t count);

enum CompressorId : uint8_t { BinaryModelCompressor = 0, FixedBlockCompressor = 1, EntropyStreamCompressor = 2 };

// Kept by the entropy stream encoder.
struct EncoderStatistics {
    uint64_t rawBytes = 0;        // 4 per value coded
    uint64_t arrays = 0;
    uint64_t relativeArrays = 0;  // coded against their reference
    uint32_t largestEscape = 0;   // largest value that needed escape bytes
};

class ArrayEncoder {
public:
    virtual ~ArrayEncoder() = default;
    // Codes n values (at most kMaxArrayValues; more is a fatal program error), against `reference`
    // (n values, the caller's previous array for the same record) when it is not null.
    virtual void encode(const uint32_t* values, int n, const uint32_t* reference) = 0;
    void encode16(const uint16_t* values, int n, const uint16_t* reference);
    // Writes out everything still held, as last and possibly short blocks. The destructor does it
    // when it was not called.
    virtual void finish() = 0;
    virtual EncoderStatistics statistics() const { return {}; }
};

class ArrayDecoder {
public:
    virtual ~ArrayDecoder() = default;
    // The inverse of encode, with the same n and the same presence of a reference. False when the
    // streams do not hold such an array (corrupt or cut short); nothing outside the buffers is read.
    virtual bool tryDecode(uint32_t* values, int n, const uint32_t* reference) = 0;
    bool tryDecode16(uint16_t* values, int n, const uint16_t* reference);
    // As tryDecode, but bad data ends the process: "fse error" and exit status 1.
    void decode(uint32_t* values, int n, const uint32_t* reference);
    void decode16(uint16_t* values, int n, const uint16_t* reference);
};

// Writes the identifier byte to stream 0 and returns the encoder of that compressor.
std::unique_ptr<ArrayEncoder> createEncoder(CompressorId compressor, StreamCallback callback, void* context);
// Reads the identifier byte from stream 0 and returns the matching decoder; null for an unknown
// identifier or an empty stream. The binary model decoder raises CodecError ("compressor wrong id",
// "CreateOptimalTree fail") when its stream does not start as it must.
std::unique_ptr<ArrayDecoder> createDecoder(StreamCallback callback, void* context);

// The end of the process on bad coded data.
[[noreturn]] void codedDataFailure();
// Ends the process when an array is longer than the codec allows.
void checkArrayLength(int n);

}  // namespace qv
