// The fixed block compressor: three streams written in blocks of exactly 256 bytes, so a reader
// needs no block headers.
//
//   stream 1  bits (2048 a block): per array its relative flag, then per value whether it is not 0
//   stream 2  4-bit entries (512 a block, low nibble first): per non-zero value v, u = v - 1 when
//             u <= 11, else 11 + the byte count k (1..4) of u - 12
//   stream 0  bytes (256 a block): the k bytes of u - 12, low byte first
//
// A block is written when it is full; at the end every partly filled block is written once more,
// padded with zeros.
#include <array>
#include <cstring>

#include "codec/array_transform.h"
#include "codec/compressors.h"

namespace qv {

namespace {

constexpr size_t kBlockBytes = 256;
constexpr int kByteStream = 0, kBitStream = 1, kNibbleStream = 2;
constexpr uint32_t kDirectNibbles = 12;
// Bits per entry of streams 0, 1 and 2.
constexpr int kEntryBits[3] = {8, 1, 4};

int byteCount(uint32_t x) { return x < 0x100 ? 1 : x < 0x10000 ? 2 : x < 0x1000000 ? 3 : 4; }

class FixedBlockEncoder final : public ArrayEncoder {
public:
    FixedBlockEncoder(StreamCallback callback, void* context) : callback_(callback), context_(context) {}
    ~FixedBlockEncoder() override { finish(); }

    void encode(const uint32_t* values, int n, const uint32_t* reference) override {
        checkArrayLength(n);
        uint32_t coded[kMaxArrayValues];
        put(kBitStream, transformArray(values, n, reference, coded));
        for (int i = 0; i < n; ++i) {
            put(kBitStream, coded[i] != 0);
            if (!coded[i]) continue;
            const uint32_t u = coded[i] - 1;
            if (u < kDirectNibbles) {
                put(kNibbleStream, u);
                continue;
            }
            const int k = byteCount(u - kDirectNibbles);
            put(kNibbleStream, kDirectNibbles - 1 + uint32_t(k));
            for (int b = 0; b < k; ++b) put(kByteStream, uint8_t((u - kDirectNibbles) >> (8 * b)));
        }
    }

    void finish() override {
        for (int s = 0; s < 3; ++s)
            if (filled_[s]) writeBlock(s);
    }

private:
    // Entries of a block's width (1, 4 or 8 bits) packed low bits first.
    void put(int stream, uint32_t value) {
        const int bits = kEntryBits[stream];
        const size_t entry = filled_[stream]++;
        const size_t bit = entry * size_t(bits);
        blocks_[stream][bit / 8] = uint8_t(blocks_[stream][bit / 8] | (value & ((1u << bits) - 1)) << (bit % 8));
        if (filled_[stream] == kBlockBytes * 8 / size_t(bits)) writeBlock(stream);
    }

    void writeBlock(int stream) {
        callback_(context_, stream, blocks_[stream].data(), kBlockBytes);
        blocks_[stream].fill(0);
        filled_[stream] = 0;
    }

    StreamCallback callback_;
    void* context_;
    std::array<std::array<uint8_t, kBlockBytes>, 3> blocks_{};
    std::array<size_t, 3> filled_{};
};

class FixedBlockDecoder final : public ArrayDecoder {
public:
    FixedBlockDecoder(StreamCallback callback, void* context) : callback_(callback), context_(context) {}

    bool tryDecode(uint32_t* values, int n, const uint32_t* reference) override {
        checkArrayLength(n);
        uint32_t coded[kMaxArrayValues];
        const bool relative = get(kBitStream) != 0;
        if (relative && !reference) failed_ = true;
        for (int i = 0; i < n && !failed_; ++i) {
            coded[i] = 0;
            if (!get(kBitStream)) continue;
            const uint32_t nibble = get(kNibbleStream);
            if (nibble < kDirectNibbles) {
                coded[i] = nibble + 1;
                continue;
            }
            uint32_t u = 0;
            for (uint32_t b = 0; b < nibble - (kDirectNibbles - 1); ++b) u |= get(kByteStream) << (8 * b);
            coded[i] = u + kDirectNibbles + 1;
        }
        if (failed_) return false;
        restoreArray(coded, n, reference, relative, values);
        return true;
    }

private:
    uint32_t get(int stream) {
        const int bits = kEntryBits[stream];
        if (used_[stream] == 0 && !readStream(callback_, context_, stream, blocks_[stream].data(), kBlockBytes)) {
            failed_ = true;
            return 0;
        }
        const size_t bit = used_[stream] * size_t(bits);
        const uint32_t value = (blocks_[stream][bit / 8] >> (bit % 8)) & ((1u << bits) - 1);
        if (++used_[stream] == kBlockBytes * 8 / size_t(bits)) used_[stream] = 0;
        return value;
    }

    StreamCallback callback_;
    void* context_;
    std::array<std::array<uint8_t, kBlockBytes>, 3> blocks_{};
    std::array<size_t, 3> used_{};
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<ArrayEncoder> makeFixedBlockEncoder(StreamCallback callback, void* context) {
    return std::make_unique<FixedBlockEncoder>(callback, context);
}

std::unique_ptr<ArrayDecoder> makeFixedBlockDecoder(StreamCallback callback, void* context) {
    return std::make_unique<FixedBlockDecoder>(callback, context);
}

}  // namespace qv
