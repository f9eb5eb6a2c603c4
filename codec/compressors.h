#pragma once
// The three compressors behind createEncoder and createDecoder. Each encoder is created after the
// identifier byte was written, each decoder after it was read.
#include <memory>

#include "codec/array_codec.h"

namespace qv {

std::unique_ptr<ArrayEncoder> makeBinaryModelEncoder(StreamCallback callback, void* context);
std::unique_ptr<ArrayDecoder> makeBinaryModelDecoder(StreamCallback callback, void* context);
std::unique_ptr<ArrayEncoder> makeFixedBlockEncoder(StreamCallback callback, void* context);
std::unique_ptr<ArrayDecoder> makeFixedBlockDecoder(StreamCallback callback, void* context);
std::unique_ptr<ArrayEncoder> makeEntropyStreamEncoder(StreamCallback callback, void* context);
std::unique_ptr<ArrayDecoder> makeEntropyStreamDecoder(StreamCallback callback, void* context);

// Reads exactly `count` bytes of a stream; false when the stream ends first.
inline bool readStream(StreamCallback callback, void* context, int stream, void* buffer, size_t count) {
    return callback(context, stream, buffer, count) == count;
}

}  // namespace qv
