#include "codec/array_codec.h"

#include <algorithm>

#include "codec/compressors.h"
#include "platform/fatal_exit.h"

namespace qv {

void codedDataFailure() { fatalExit("fse error\n"); }

void checkArrayLength(int n) {
    if (n < 0 || n > kMaxArrayValues) fatalExit("codec array of %d values: at most %d\n", n, kMaxArrayValues);
}

void ArrayEncoder::encode16(const uint16_t* values, int n, const uint16_t* reference) {
    checkArrayLength(n);
    uint32_t wide[kMaxArrayValues], wideReference[kMaxArrayValues];
    std::copy(values, values + n, wide);
    if (reference) std::copy(reference, reference + n, wideReference);
    encode(wide, n, reference ? wideReference : nullptr);
}

bool ArrayDecoder::tryDecode16(uint16_t* values, int n, const uint16_t* reference) {
    checkArrayLength(n);
    uint32_t wide[kMaxArrayValues], wideReference[kMaxArrayValues];
    if (reference) std::copy(reference, reference + n, wideReference);
    if (!tryDecode(wide, n, reference ? wideReference : nullptr)) return false;
    std::copy(wide, wide + n, values);
    return true;
}

void ArrayDecoder::decode(uint32_t* values, int n, const uint32_t* reference) {
    if (!tryDecode(values, n, reference)) codedDataFailure();
}

void ArrayDecoder::decode16(uint16_t* values, int n, const uint16_t* reference) {
    if (!tryDecode16(values, n, reference)) codedDataFailure();
}

std::unique_ptr<ArrayEncoder> createEncoder(CompressorId compressor, StreamCallback callback, void* context) {
    uint8_t id = compressor;
    callback(context, 0, &id, 1);
    switch (compressor) {
        case BinaryModelCompressor: return makeBinaryModelEncoder(callback, context);
        case FixedBlockCompressor: return makeFixedBlockEncoder(callback, context);
        case EntropyStreamCompressor: return makeEntropyStreamEncoder(callback, context);
    }
    return nullptr;
}

std::unique_ptr<ArrayDecoder> createDecoder(StreamCallback callback, void* context) {
    uint8_t id = 0xFF;
    if (!readStream(callback, context, 0, &id, 1)) return nullptr;
    switch (id) {
        case BinaryModelCompressor: return makeBinaryModelDecoder(callback, context);
        case FixedBlockCompressor: return makeFixedBlockDecoder(callback, context);
        case EntropyStreamCompressor: return makeEntropyStreamDecoder(callback, context);
        default: return nullptr;
    }
}

}  // namespace qv
