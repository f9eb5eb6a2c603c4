#include "codec/array_codec.h"

#include <vector>

#include "codec/compressors.h"
#include "platform/fatal_exit.h"

namespace qv {

void codedDataFailure() { fatalExit("fse error\n"); }

void checkArrayLength(int n) {
    if (n < 0 || n > kMaxArrayValues) fatalExit("codec array of %d values: at most %d\n", n, kMaxArrayValues);
}

namespace {

std::vector<uint32_t> widen(const uint16_t* values, int n) {
    return values ? std::vector<uint32_t>(values, values + n) : std::vector<uint32_t>();
}

}  // namespace

void ArrayEncoder::encode16(const uint16_t* values, int n, const uint16_t* reference) {
    checkArrayLength(n);
    const std::vector<uint32_t> wide = widen(values, n), wideReference = widen(reference, n);
    encode(wide.data(), n, reference ? wideReference.data() : nullptr);
}

bool ArrayDecoder::tryDecode16(uint16_t* values, int n, const uint16_t* reference) {
    checkArrayLength(n);
    std::vector<uint32_t> wide(static_cast<size_t>(n));
    const std::vector<uint32_t> wideReference = widen(reference, n);
    if (!tryDecode(wide.data(), n, reference ? wideReference.data() : nullptr)) return false;
    for (int i = 0; i < n; ++i) values[i] = uint16_t(wide[i]);
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
